#pragma once
// The folder list as people know it: the folders of the path from the root down, then the
// subfolders of the current one. A double-click or Enter opens a folder; a single click selects.
// Every change of the path raises change once, before the call that set it returns.
//
// The list draws its few rows itself on a scroll area. An item view, with its model, selection
// model, delegate and the style's folder pictures, made the installer's window take about 2 MB
// more memory at start-up than these rows do.

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <vector>

namespace forms {

class FolderList : public QAbstractScrollArea
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
    // Opens the folder of a row as a double-click would; a folder that cannot be opened beeps.
    void openRow(int row);

    // The rows: the path's folders first (the last of them is the folder shown), then the
    // subfolders, sorted without regard to case.
    int count() const { return int(rows_.size()); }
    QString rowText(int row) const;
    QString rowPath(int row) const;
    // The selected row, which Enter opens; -1 when there are no rows.
    int currentRow() const { return current_; }
    // Selects a row and scrolls it into view.
    void setCurrentRow(int row);
    // Where a row is drawn, in viewport coordinates, and the row under a viewport point (-1 for
    // none).
    QRect rowRect(int row) const;
    int rowAt(const QPoint &point) const;

signals:
    void change();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Row
    {
        QString text;
        QString path;
        int depth;
        bool open; // a folder of the path shown, drawn open
    };

    void fill();
    int rowHeight() const;
    int rowsPerPage() const;
    void updateScrollBar();
    void scrollToRow(int row);
    void typeAhead(const QString &text);

    QString path_;
    std::vector<Row> rows_;
    int current_ = -1;
    QString search_;
    QElapsedTimer searchTimer_;
};

} // namespace forms
