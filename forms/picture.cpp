#include "picture.h"

#include "formserror.h"

#include <QFile>
#include <QImageReader>

namespace forms {

namespace {

// Qt decodes a GIF cut short without complaint and shows what it got; a GIF that does not end
// with its trailer is a broken file here.
bool gifIsWhole(QFile &file)
{
    const qint64 size = file.size();
    if (size < 14)
        return false;
    if (!file.seek(size - 1))
        return false;
    char last = 0;
    if (file.read(&last, 1) != 1)
        return false;
    return last == 0x3b;
}

} // namespace

QImage loadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FormsError(QStringLiteral("Cannot open the picture %1: %2").arg(path, file.errorString()));
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        throw FormsError(QStringLiteral("%1 is not a picture").arg(path));
    if (format == "gif" && !gifIsWhole(file))
        throw FormsError(QStringLiteral("The picture %1 is cut short").arg(path));
    file.seek(0);
    QImageReader whole(&file, format);
    QImage image;
    if (!whole.read(&image) || image.isNull())
        throw FormsError(QStringLiteral("Cannot read the picture %1: %2").arg(path, whole.errorString()));
    return image;
}

} // namespace forms

namespace forms {

QCursor cursorFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FormsError(QStringLiteral("Cannot open the cursor %1").arg(path));
    const QByteArray data = file.readAll();
    // ICONDIR (6 bytes) then the first ICONDIRENTRY, whose planes and bit-count words hold the
    // hot spot in a cursor file.
    if (data.size() < 22 || data[2] != 2)
        throw FormsError(QStringLiteral("%1 is not a cursor file").arg(path));
    auto word = [&](int at) { return int(quint8(data[at])) | (int(quint8(data[at + 1])) << 8); };
    const int hotX = word(10);
    const int hotY = word(12);
    QImage image;
    if (!image.loadFromData(data, "cur") && !image.loadFromData(data, "ico"))
        throw FormsError(QStringLiteral("Cannot read the cursor %1").arg(path));
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace forms
