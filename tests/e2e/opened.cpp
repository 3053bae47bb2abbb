#include "opened.h"

#include <cmath>

namespace e2e {

QRect expectedRect(const forms::ControlDesign &c, const WindowCase &wc, double scale, int outerLogical)
{
    auto px = [](int twips) { return twips / 15.0; };
    double left = px(c.rect.left);
    if (wc.rightColumn.contains(c.name)) {
        // The first Resize: outer width less the control's width less 100 twips, in single precision.
        const float l = float(outerLogical) * 15.0f - float(c.rect.width) - 100.0f;
        left = std::lround(l / 15.0f);
    }
    return QRect(qRound(left * scale), qRound(px(c.rect.top) * scale), qRound(px(c.rect.width) * scale),
                 qRound(px(c.rect.height) * scale));
}

bool near(const QRect &a, const QRect &b, int tolerance)
{
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance
        && std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

QString str(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}


} // namespace e2e
