#pragma once
// Twips, colours and path joining: plain functions, no widgets.

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>

#include "design.h"

namespace forms {

constexpr int TwipsPerInch = 1440;

// Rounded pixels of a length in twips at the given logical dots per inch (15 twips a pixel at 96).
int pixelsFromTwips(int twips, qreal dpi = 96.0);
// Twips of a length in pixels, as single precision, the way the window reports its outer width.
float twipsFromPixels(int pixels, qreal dpi = 96.0);
QRect pixelRect(const Twips &t, qreal dpi = 96.0);

// 0x00BBGGRR: red is the lowest byte.
QColor colorFromBgr(std::uint32_t bgr);

// A folder path joined with a name by exactly one separator, also at a root ("/" + "a" = "/a").
QString joinPath(const QString &folder, const QString &name);

} // namespace forms
