#include "entryfile.h"

#include <ansi.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString oneLine(const QString &value)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString line = value;
    return line.replace(lineBreak, QStringLiteral(" "));
}

} // namespace

QString entryFileName(int number)
{
    return QString::number(number) + QStringLiteral(".enc");
}

QByteArray encodeEntry(const Entry &entry)
{
    QByteArray bytes;
    for (const QString &value : {entry.picture, entry.description, entry.name}) {
        const auto ansi = forms::toAnsi(oneLine(value));
        if (!ansi)
            throw EntryFileError(EntryFileError::Reason::NotAnsi,
                                 QStringLiteral("The entry holds text that Windows-1251 cannot represent"));
        bytes += *ansi;
        bytes += "\r\n";
    }
    return bytes;
}

Entry decodeEntry(const QByteArray &bytes)
{
    QString lines[3];
    qsizetype at = 0;
    for (QString &line : lines) {
        if (at >= bytes.size())
            break;
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        line = forms::fromAnsi(bytes.mid(at, end - at));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            at = end + 2;
        else
            at = end + 1;
    }
    return {lines[0], lines[1], lines[2]};
}

void writeEntry(const QString &path, const Entry &entry)
{
    const QByteArray bytes = encodeEntry(entry);
    auto failed = [&](const QString &why) {
        return EntryFileError(EntryFileError::Reason::CannotWrite,
                              QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), why));
    };
    // The entry file is replaced only when it is a file of our own to write: a read-only file stays
    // read-only, and a link is never followed, so a save cannot replace a file outside the
    // working folder (QSaveFile would write to the link's target).
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            throw failed(QStringLiteral("the entry file is a symbolic link"));
        if (!S_ISREG(st.st_mode))
            throw failed(QStringLiteral("the entry file is not a regular file"));
        if ((st.st_mode & 0222) == 0 || ::access(native.constData(), W_OK) != 0)
            throw failed(QStringLiteral("the entry file is read-only"));
    }
    QSaveFile file(path);
    // Unbuffered: every byte reaches the disk in write() and its failure shows there. Buffered,
    // Qt 6.4's commit() can report success for the empty file a failing final flush leaves.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw failed(why);
    }
    if (!file.commit())
        throw failed(file.errorString());
}

Entry readEntry(const QString &path)
{
    // Only a regular file (or a link to one) is read: a fifo would wait for a writer for ever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw EntryFileError(EntryFileError::Reason::CannotRead,
                             QStringLiteral("Cannot read %1: not a file").arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto reason = QFile::exists(path) ? EntryFileError::Reason::CannotRead
                                                : EntryFileError::Reason::Missing;
        throw EntryFileError(reason, QStringLiteral("Cannot read %1: %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EntryFileError(EntryFileError::Reason::CannotRead,
                             QStringLiteral("Cannot read %1: %2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
    return decodeEntry(bytes);
}

bool isBareFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/')
        && !name.contains(u'\\') && !name.contains(QChar(0)) && !QDir::isAbsolutePath(name);
}
