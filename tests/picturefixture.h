#pragma once
// Small pictures made in the test, so that hostile files can be built by changing a few bytes of a
// valid one: a GIF whose logical screen and image sizes can differ, and a 24-bit BMP.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <sys/stat.h>
#include <QColor>
#include <functional>

namespace fixture {

inline void put16(QByteArray &a, int v)
{
    a.append(char(v & 0xff));
    a.append(char((v >> 8) & 0xff));
}

inline void put32(QByteArray &a, quint32 v)
{
    put16(a, int(v & 0xffff));
    put16(a, int(v >> 16));
}

// Offsets of the sizes inside gif(): the logical screen's and the image's width and height.
constexpr int GifScreenWidthAt = 6;
constexpr int GifScreenHeightAt = 8;
constexpr int GifImageWidthAt = 13 + 384 + 5;
constexpr int GifImageHeightAt = 13 + 384 + 7;

inline void set16(QByteArray &a, int at, int v)
{
    a[at] = char(v & 0xff);
    a[at + 1] = char((v >> 8) & 0xff);
}

// The colour of palette index i in gif().
inline QRgb gifColour(int i)
{
    return qRgb(2 * i, 255 - 2 * i, i);
}

// A GIF of 128 colours whose pixels are palette indices: by default 0 and 1 alternate along each
// row, or each pixel is pixel(x, y) & 127. The data is written without compression: with 8-bit
// codes and a clear code before the code table would grow, each pixel is one byte of the file,
// which also makes it easy to find where to cut one.
inline QByteArray gif(int width, int height, const std::function<int(int, int)> &pixel = {})
{
    QByteArray g("GIF89a");
    put16(g, width);
    put16(g, height);
    g.append(char(0x86)); // a global colour table of 128 entries
    g.append('\0');
    g.append('\0');
    for (int i = 0; i < 128; ++i) {
        const QRgb c = gifColour(i);
        g.append(char(qRed(c)));
        g.append(char(qGreen(c)));
        g.append(char(qBlue(c)));
    }
    g.append(char(0x2c));
    put16(g, 0);
    put16(g, 0);
    put16(g, width);
    put16(g, height);
    g.append('\0');
    g.append(char(7)); // LZW minimum code size: codes of 8 bits, clear 128, end 129

    QByteArray data;
    int sinceClear = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (sinceClear++ % 100 == 0)
                data.append(char(128));
            data.append(char((pixel ? pixel(x, y) : x % 2) & 127));
        }
    data.append(char(129));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        g.append(char(block.size()));
        g.append(block);
    }
    g.append('\0');
    g.append(char(0x3b));
    return g;
}

// A 24-bit BMP with every pixel blue.
inline QByteArray bmp(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const quint32 imageSize = quint32(stride) * quint32(height);
    QByteArray b("BM");
    put32(b, 54 + imageSize);
    put32(b, 0);
    put32(b, 54); // pixel data offset
    put32(b, 40);
    put32(b, quint32(width));
    put32(b, quint32(height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = 0; y < height; ++y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x)
            row[x * 3] = char(0xff);
        b.append(row);
    }
    return b;
}

// A picture that cannot be shown: a test row's name, the file's name and bytes, or in "special"
// what stands there instead of a file: "fifo", "folder" or "missing".
struct HostilePicture
{
    const char *row;
    QString name;
    QByteArray bytes;
    QString special;
};

inline QList<HostilePicture> hostilePictures()
{
    QList<HostilePicture> rows;
    const QByteArray whole = gif(40, 40);
    rows.append({"gif cut in half", "p.gif", whole.left(whole.size() / 2), {}});
    // Cut in the image data just after a pixel of value 0x3b, the trailer's byte.
    const QByteArray semicolons = gif(16, 16, [](int x, int y) { return y < 8 ? x % 2 : 0x3b; });
    rows.append({"gif cut after a pixel of value 0x3b", "p.gif",
                 semicolons.left(semicolons.indexOf(char(0x3b), 13 + 384 + 11) + 1), {}});
    rows.append({"gif cut before its trailer", "p.gif", whole.left(whole.size() - 1), {}});
    rows.append({"gif header only", "p.gif", whole.left(13), {}});
    QByteArray huge = gif(2, 2);
    for (int at : {GifScreenWidthAt, GifScreenHeightAt, GifImageWidthAt, GifImageHeightAt})
        set16(huge, at, 20000);
    rows.append({"gif claiming 20000 x 20000", "p.gif", huge, {}});
    QByteArray canvas = gif(2, 2);
    set16(canvas, GifScreenWidthAt, 16000);
    set16(canvas, GifScreenHeightAt, 16000);
    rows.append({"small gif on a 16000 x 16000 canvas", "p.gif", canvas, {}});
    rows.append({"text named .gif", "p.gif", QByteArray("Это не рисунок, а текст.\r\n"), {}});
    rows.append({"empty file", "p.gif", QByteArray(), {}});
    const QByteArray goodBmp = bmp(8, 8);
    rows.append({"bmp with most of its pixels missing", "p.bmp", goodBmp.left(60), {}});
    rows.append({"bmp with its last row missing", "p.bmp", goodBmp.left(goodBmp.size() - 24), {}});
    rows.append({"bmp header only", "p.bmp", goodBmp.left(54), {}});
    QByteArray tall = goodBmp;
    set16(tall, 22, 30000);
    rows.append({"bmp claiming more rows than it holds", "p.bmp", tall, {}});
    QByteArray offset = goodBmp;
    set16(offset, 10, 60000);
    rows.append({"bmp whose pixel data lies past its end", "p.bmp", offset, {}});
    rows.append({"fifo named .gif", "p.gif", {}, "fifo"});
    rows.append({"folder named .gif", "p.gif", {}, "folder"});
    rows.append({"missing file", "p.gif", {}, "missing"});
    return rows;
}

// Puts a hostile picture at the path.
inline bool makePicture(const QString &path, const QByteArray &bytes, const QString &special)
{
    if (special == "fifo")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (special == "folder")
        return QDir().mkpath(path);
    if (special == "missing")
        return true;
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace fixture
