#include "fittingfont.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr qreal SmallestPoints = 4.0;
constexpr int SmallestPixels = 5;

bool allFit(const QFont &font, const std::vector<BoxedText> &texts, const QPaintDevice *device)
{
    return std::all_of(texts.begin(), texts.end(),
                       [&](const BoxedText &t) { return fitsBox(font, t, device); });
}

} // namespace

bool fitsBox(const QFont &font, const BoxedText &t, const QPaintDevice *device)
{
    const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
    // The measure a word-wrapped label lays its plain text out by.
    const QRect r = fm.boundingRect(QRect(0, 0, t.box.width(), 100000),
                                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, t.text);
    return r.width() <= t.box.width() && r.height() <= t.box.height();
}

QFont fittingFont(const QFont &base, const std::vector<BoxedText> &texts, const QPaintDevice *device)
{
    QFont font = base;
    if (font.pixelSize() > 0) {
        for (int px = font.pixelSize(); px >= SmallestPixels; --px) {
            font.setPixelSize(px);
            if (allFit(font, texts, device))
                return font;
        }
        return font;
    }
    for (qreal pt = font.pointSizeF(); pt >= SmallestPoints; pt -= 0.5) {
        font.setPointSizeF(pt);
        if (allFit(font, texts, device))
            return font;
    }
    return font;
}
