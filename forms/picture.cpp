#include "picture.h"

#include "formserror.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstdlib>

namespace forms {

namespace {

// Qt decodes a GIF cut short without complaint and shows what it got (black where data is
// missing). A GIF is whole here when its blocks can be walked from the header to the trailer
// within the file: a last byte of 0x3b alone could be a pixel of a file cut off in its data.
bool gifIsWhole(QFile &file)
{
    const qint64 size = file.size();
    auto skip = [&](qint64 n) { return file.pos() + n <= size && file.seek(file.pos() + n); };
    auto byte = [&](int &value) {
        char c;
        if (!file.getChar(&c))
            return false;
        value = quint8(c);
        return true;
    };
    auto colourTable = [&](int packed) { return !(packed & 0x80) || skip(3 * (2 << (packed & 7))); };
    auto subBlocks = [&] {
        for (int length; byte(length);) {
            if (length == 0)
                return true;
            if (!skip(length))
                return false;
        }
        return false;
    };

    int packed;
    if (!file.seek(10) || !byte(packed) || !skip(2) || !colourTable(packed))
        return false;
    for (int introducer; byte(introducer);) {
        if (introducer == 0x3b)
            return true;
        if (introducer == 0x21) { // extension: its label, then data blocks
            if (!skip(1) || !subBlocks())
                return false;
        } else if (introducer == 0x2c) { // image: descriptor, colours, code size, data blocks
            if (!skip(8) || !byte(packed) || !colourTable(packed) || !skip(1) || !subBlocks())
                return false;
        } else {
            return false;
        }
    }
    return false;
}

quint32 little(const QByteArray &a, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(a[at + i]);
    return v;
}

// Qt decodes a BMP whose pixel data stops early into a picture of whatever memory held. A BMP is
// whole here when the file holds all the pixel data its header announces.
bool bmpIsWhole(QFile &file)
{
    if (!file.seek(0))
        return false;
    const QByteArray h = file.read(54);
    if (h.size() < 26)
        return false;
    const quint64 offset = little(h, 10, 4);
    const quint32 headerSize = little(h, 14, 4);
    quint64 width, height, bits, compression = 0, imageSize = 0;
    if (headerSize == 12) { // OS/2 core header
        width = little(h, 18, 2);
        height = little(h, 20, 2);
        bits = little(h, 24, 2);
    } else if (headerSize >= 40 && h.size() >= 38) {
        width = quint64(std::abs(qint64(qint32(little(h, 18, 4)))));
        height = quint64(std::abs(qint64(qint32(little(h, 22, 4)))));
        bits = little(h, 28, 2);
        compression = little(h, 30, 4);
        imageSize = little(h, 34, 4);
    } else {
        return false;
    }
    const quint64 size = quint64(file.size());
    if (offset > size)
        return false;
    const quint64 available = size - offset;
    if (compression == 0 || compression == 3 || compression == 6) { // uncompressed rows
        const quint64 stride = (width * bits + 31) / 32 * 4;
        return height == 0 || stride <= available / height;
    }
    return imageSize <= available; // run-length data: the size the header gives
}

} // namespace

QImage loadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    // Only regular files (or links to them): opening a fifo would wait forever for a writer, and a
    // device could be read without end.
    if (!QFileInfo(path).isFile())
        throw FormsError(QStringLiteral("%1 is not a picture file").arg(path));
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
    if (format == "bmp" && !bmpIsWhole(file))
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

QIcon iconFromFile(const QString &path)
{
    QIcon icon;
    // The file's suffix picks the reader: a format named here would make Qt try the other
    // readers in turn until one takes it.
    QImageReader reader(path);
    // An icon file holds a few sizes; a count in the dozens would be a damaged file.
    for (int i = 0; i < 64; ++i) {
        QImage image;
        if (!reader.read(&image))
            break;
        icon.addPixmap(QPixmap::fromImage(image));
        if (!reader.jumpToNextImage())
            break;
    }
    return icon;
}

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
    const int hotX = int(little(data, 10, 2));
    const int hotY = int(little(data, 12, 2));
    // Read through the reader the file's suffix picks, like the icons; the named formats are the
    // way for a file whose name says nothing.
    QImage image;
    QImageReader reader(path);
    if (!reader.read(&image) && !image.loadFromData(data, "cur") && !image.loadFromData(data, "ico"))
        throw FormsError(QStringLiteral("Cannot read the cursor %1").arg(path));
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace forms
