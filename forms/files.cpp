#include "files.h"

#include "formserror.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace forms {

QString workingFolder()
{
    // getcwd rather than QDir::currentPath: the bytes of the name stay as the disk has them.
    std::string buf(4096, '\0');
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE)
            throw FormsError(QStringLiteral("The working folder cannot be read: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
        buf.resize(buf.size() * 2);
    }
    return QDir::toNativeSeparators(QFile::decodeName(buf.c_str()));
}

void deleteFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(QDir::fromNativeSeparators(path));
    if (::unlink(native.constData()) != 0)
        throw FormsError(QStringLiteral("Cannot delete %1: %2")
                             .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace forms
