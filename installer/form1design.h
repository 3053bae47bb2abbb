#pragma once
// The installer window as designed, and the rule that keeps its control column at the right edge.

#include <design.h>

forms::FormDesign form1Design();

// Left edge, in twips, of a column control of the given width for a window of the given outer
// width: the outer width less the control's width less 100, in single precision.
float columnLeft(float outerWidthTwips, float controlWidthTwips);
