#pragma once
// The file list: the files of a folder whose names match a pattern, without regard to case.
// Every change of the pattern reads the folder again. A click on a file, or moving to one with
// the keys, raises click.

#include <QListWidget>

namespace forms {

class FileList : public QListWidget
{
    Q_OBJECT
public:
    FileList(const QString &pattern, QWidget *parent);

    QString pattern() const { return pattern_; }
    void setPattern(const QString &pattern);
    QString folder() const { return folder_; }
    void setFolder(const QString &folder);
    // The name of the selected file, without its folder.
    QString fileName() const;

signals:
    void click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void reread();

    QString pattern_;
    QString folder_;
};

// The names of the files in a folder that match one of the ';'-separated patterns, sorted
// without regard to case. Used by the list and measured on its own.
QStringList matchingFiles(const QString &folder, const QString &pattern);

} // namespace forms
