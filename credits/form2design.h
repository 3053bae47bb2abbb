#pragma once
// The credits window as designed. The window and the end-to-end tests read this same table.

#include <design.h>

// Names of the seven elements of the control array Label1: "Label1(0)" to "Label1(6)".
QString label1Name(int index);
constexpr int Label1Count = 7;

forms::FormDesign form2Design();
