#pragma once
// The system beep, counted so that tests can see every one the programs sound.

namespace forms {

void beep();
int beepCount();

} // namespace forms
