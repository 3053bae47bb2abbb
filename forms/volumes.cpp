#include "volumes.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <unistd.h>

namespace forms {

namespace {

bool userVisible(const QString &root)
{
    const QString home = QDir::homePath();
    for (const QString &prefix : {QStringLiteral("/media/"), QStringLiteral("/run/media/"), QStringLiteral("/mnt/")})
        if (root.startsWith(prefix))
            return true;
    return home != QStringLiteral("/") && root.startsWith(home + u'/');
}

} // namespace

QList<Volume> listVolumes(const QString &workingFolder)
{
    QList<Volume> result;
    result.append(Volume{QStringLiteral("/"), QStorageInfo::root().name()});
    QList<Volume> visible;
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::toNativeSeparators(info.rootPath());
        if (root != QStringLiteral("/") && userVisible(root))
            visible.append(Volume{root, info.name()});
    }
    std::sort(visible.begin(), visible.end(),
              [](const Volume &a, const Volume &b) { return a.rootPath < b.rootPath; });
    result.append(visible);
    const QString own = volumeOf(workingFolder);
    if (!own.isEmpty() && std::none_of(result.begin(), result.end(), [&](const Volume &v) { return v.rootPath == own; }))
        result.append(Volume{own, QStorageInfo(own).name()});
    return result;
}

QString volumeOf(const QString &path)
{
    QStorageInfo info(QDir::fromNativeSeparators(path));
    if (!info.isValid())
        return {};
    return QDir::toNativeSeparators(info.rootPath());
}

bool volumeIsReady(const QString &rootPath)
{
    const QString path = QDir::fromNativeSeparators(rootPath);
    QStorageInfo info(path);
    if (!info.isValid() || !info.isReady() || info.rootPath() != path)
        return false;
    return ::access(QFile::encodeName(path).constData(), R_OK | X_OK) == 0;
}

} // namespace forms
