#pragma once
// The folder list as people know it: the folders of the path from the root down, then the
// subfolders of the current one. A double-click or Enter opens a folder; a single click selects.
// Every change of the path raises change once, before the call that set it returns.

#include <QListWidget>

namespace forms {

class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent);

    // Full native path of the folder shown; a root ends with its separator.
    QString path() const { return path_; }
    // Shows the folder; throws when it is not a folder that can be read.
    void setPath(const QString &path);
    // Shows the current folder of a drive: the working folder on its own volume, the root of any
    // other. Throws when the drive is not ready.
    void setDrive(const QString &rootPath);
    // Opens the folder of a row as a double-click would.
    void openRow(int row);

signals:
    void change();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();

    QString path_;
};

} // namespace forms
