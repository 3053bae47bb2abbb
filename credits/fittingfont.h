#pragma once
// The credits' texts must be read whole inside the boxes the design gives them, whatever fonts
// the system has: the labels share the largest font, no larger than the system's, in which every
// text wraps inside its box.

#include <QFont>
#include <QSize>
#include <QString>
#include <vector>

class QPaintDevice;

struct BoxedText
{
    QString text;
    QSize box; // pixels
};

// Whether the text, wrapped at word boundaries to the box's width, fits the box.
bool fitsBox(const QFont &font, const BoxedText &t, const QPaintDevice *device = nullptr);

// The base font, or the same family made smaller step by step (half a point, or a pixel for a
// font sized in pixels) until every text fits; the smallest tried when none does.
QFont fittingFont(const QFont &base, const std::vector<BoxedText> &texts, const QPaintDevice *device = nullptr);
