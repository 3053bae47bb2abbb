#include "filelist.h"

#include "files.h"
#include "formserror.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace forms {

QStringList matchingFiles(const QString &folder, const QString &pattern)
{
    QList<QByteArray> patterns;
    for (const QString &p : pattern.split(u';', Qt::SkipEmptyParts))
        patterns.append(QFile::encodeName(p.trimmed()));
    QStringList names;
    const QByteArray dirPath = QFile::encodeName(QDir::fromNativeSeparators(folder));
    DIR *dir = ::opendir(dirPath.constData());
    if (!dir)
        return names;
    const int dirFd = ::dirfd(dir);
    while (dirent *e = ::readdir(dir)) {
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        bool match = false;
        for (const QByteArray &p : std::as_const(patterns))
            if (::fnmatch(p.constData(), name, FNM_CASEFOLD | FNM_PERIOD) == 0) {
                match = true;
                break;
            }
        if (!match)
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular)
            names.append(QFile::decodeName(name));
    }
    ::closedir(dir);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

FileList::FileList(const QString &pattern, QWidget *parent)
    : QListWidget(parent), pattern_(pattern.isEmpty() ? QStringLiteral("*.*") : pattern)
{
    setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QListWidget::itemClicked, this, [this] { emit click(); });
    try {
        folder_ = workingFolder();
    } catch (const FormsError &) {
    }
    reread();
}

void FileList::setPattern(const QString &pattern)
{
    pattern_ = pattern;
    reread();
}

void FileList::setFolder(const QString &folder)
{
    folder_ = folder;
    reread();
}

QString FileList::fileName() const
{
    const QListWidgetItem *it = currentItem();
    return it && it->isSelected() ? it->text() : QString();
}

void FileList::keyPressEvent(QKeyEvent *event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit click();
}

void FileList::reread()
{
    const QSignalBlocker block(this);
    clear();
    addItems(matchingFiles(folder_, pattern_));
}

} // namespace forms
