#pragma once
// What Qt's window flags cannot say to an X11 window manager: a window the user cannot move.

#include "design.h"

class QWidget;

namespace forms {

// Writes the window's Motif hints (functions and decorations) natively on X11; elsewhere the
// flags Qt already set are all there is.
void applyWindowHints(QWidget *window, const FormDesign &design);

} // namespace forms
