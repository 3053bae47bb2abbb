#include "folderlist.h"

#include "beep.h"
#include "files.h"
#include "formserror.h"
#include "units.h"
#include "volumes.h"

#include <QDir>
#include <QStyle>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <unistd.h>

namespace forms {

namespace {

constexpr int DepthRole = Qt::UserRole + 1;
constexpr int PathRole = Qt::UserRole;

// Each row is indented by its depth below the root, as a tree drawn flat.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.adjust(index.data(DepthRole).toInt() * 8, 0, 0, 0);
    }
};

bool readableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && ::access(QFile::encodeName(path).constData(), R_OK | X_OK) == 0;
}

QString normalFolder(const QString &path)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    return QDir::toNativeSeparators(clean);
}

} // namespace

FolderList::FolderList(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setIconSize(QSize(16, 16));
    setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { openRow(row(item)); });
    try {
        path_ = normalFolder(workingFolder());
    } catch (const FormsError &) {
        path_ = QDir::toNativeSeparators(QDir::rootPath());
    }
    fill();
}

void FolderList::setPath(const QString &path)
{
    const QString target = normalFolder(path);
    if (!readableFolder(target))
        throw FormsError(QStringLiteral("The folder %1 cannot be opened").arg(path));
    if (target == path_)
        return;
    path_ = target;
    fill();
    emit change();
}

void FolderList::setDrive(const QString &rootPath)
{
    if (!volumeIsReady(rootPath))
        throw FormsError(QStringLiteral("The drive %1 is not ready").arg(rootPath));
    QString current = rootPath;
    try {
        const QString wf = workingFolder();
        if (volumeOf(wf) == rootPath)
            current = wf;
    } catch (const FormsError &) {
    }
    setPath(current);
}

void FolderList::openRow(int row)
{
    QListWidgetItem *it = item(row);
    if (!it)
        return;
    try {
        setPath(it->data(PathRole).toString());
    } catch (const FormsError &) {
        beep();
    }
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        openRow(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::fill()
{
    // The style's own folder picture: the file icon provider would load an icon theme first.
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    clear();
    const QString sep = QDir::separator();
    // The chain of folders from the root down to the current one.
    QStringList parts = path_.split(sep, Qt::SkipEmptyParts);
    QString walk = sep;
    int depth = 0;
    auto add = [&](const QString &text, const QString &full, int d) {
        auto *it = new QListWidgetItem(closed, text, this);
        it->setData(PathRole, full);
        it->setData(DepthRole, d);
    };
    add(sep, sep, depth++);
    for (const QString &part : parts) {
        walk = joinPath(walk, part);
        add(part, walk, depth++);
    }
    const int currentRowIndex = count() - 1;
    QDir dir(QDir::fromNativeSeparators(path_));
    const QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subs)
        add(sub, joinPath(path_, sub), depth);
    setCurrentRow(currentRowIndex);
}

} // namespace forms
