#include "units.h"

#include <QDir>
#include <cmath>

namespace forms {

int pixelsFromTwips(int twips, qreal dpi)
{
    return int(std::lround(twips * dpi / TwipsPerInch));
}

float twipsFromPixels(int pixels, qreal dpi)
{
    return float(pixels) * float(TwipsPerInch) / float(dpi);
}

QRect pixelRect(const Twips &t, qreal dpi)
{
    return QRect(pixelsFromTwips(t.left, dpi), pixelsFromTwips(t.top, dpi),
                 pixelsFromTwips(t.width, dpi), pixelsFromTwips(t.height, dpi));
}

QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

QString joinPath(const QString &folder, const QString &name)
{
    const QChar sep = QDir::separator();
    QString f = folder;
    QString n = name;
    while (n.startsWith(sep) || n.startsWith(u'/'))
        n.remove(0, 1);
    if (f.isEmpty())
        return QDir::toNativeSeparators(n);
    if (f.endsWith(sep) || f.endsWith(u'/'))
        return QDir::toNativeSeparators(f + n);
    return QDir::toNativeSeparators(f + sep + n);
}

} // namespace forms
