#pragma once
// The editor window form1 as designed.

#include <design.h>

forms::FormDesign editorDesign();
