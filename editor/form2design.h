#pragma once
// The password window Form2 as designed, and the password it asks for.

#include <design.h>

forms::FormDesign passwordDesign();

// The Cyrillic word, capital first letter.
inline const QString Password = QStringLiteral("Пингвин");
