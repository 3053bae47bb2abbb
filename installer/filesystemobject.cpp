#include "filesystemobject.h"

#include "copyengine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <formserror.h>

namespace {

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(QDir::fromNativeSeparators(path)).toStdString());
}

} // namespace

FileSystemObject::FileSystemObject() : engine_(new CopyEngine) {}

FileSystemObject::~FileSystemObject()
{
    delete engine_;
}

FileSystemObject::Folder FileSystemObject::getFolder(const QString &path) const
{
    if (!QFileInfo(path).isDir())
        throw forms::FormsError(QStringLiteral("Path not found: %1").arg(path));
    return Folder{QDir::toNativeSeparators(path)};
}

void FileSystemObject::copyFolder(const Folder &folder, const QString &destination) const
{
    try {
        engine_->copyTree(nativePath(folder.path), nativePath(destination));
    } catch (const CopyError &e) {
        throw forms::FormsError(QString::fromLocal8Bit(e.what()));
    }
}

FileSystemObject::File FileSystemObject::getFile(const QString &path) const
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw forms::FormsError(QStringLiteral("File not found: %1").arg(path));
    return File{QDir::toNativeSeparators(info.absoluteFilePath())};
}

bool FileSystemObject::fileExists(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
