#pragma once
// What the drive list shows on Linux: mounted volumes, "/" first, then the ones a user sees
// (under /media, /run/media, /mnt and inside the home folder), then the working folder's own.

#include <QString>
#include <QStringList>

namespace forms {

struct Volume
{
    QString rootPath; // native mount path
    QString label;    // may be empty
    QString display() const { return label.isEmpty() ? rootPath : rootPath + QStringLiteral(" [") + label + u']'; }
};

QList<Volume> listVolumes(const QString &workingFolder);
// The mount path of the volume that holds the path.
QString volumeOf(const QString &path);
// A drive is ready while its mount path exists, is still a mounted volume and can be read.
bool volumeIsReady(const QString &rootPath);

} // namespace forms
