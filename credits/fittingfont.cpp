#include "fittingfont.h"

#include <QFontMetrics>
#include <algorithm>
#include <numeric>

namespace {

constexpr qreal SmallestPoints = 4.0;
constexpr int SmallestPixels = 5;

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
    // The text that failed last is tried first: at a size still too large it is usually the
    // same one again, and the others need not be laid out at that size.
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    auto allFit = [&](const QFont &font) {
        for (auto it = order.begin(); it != order.end(); ++it) {
            if (!fitsBox(font, texts[*it], device)) {
                std::rotate(order.begin(), it, it + 1);
                return false;
            }
        }
        return true;
    };

    QFont font = base;
    if (font.pixelSize() > 0) {
        for (int px = font.pixelSize(); px >= SmallestPixels; --px) {
            font.setPixelSize(px);
            if (allFit(font))
                return font;
        }
        return font;
    }
    for (qreal pt = font.pointSizeF(); pt >= SmallestPoints; pt -= 0.5) {
        font.setPointSizeF(pt);
        if (allFit(font))
            return font;
    }
    return font;
}
