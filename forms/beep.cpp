#include "beep.h"

#include <QApplication>
#include <atomic>

namespace forms {

namespace {
std::atomic<int> beeps{0};
}

void beep()
{
    ++beeps;
    QApplication::beep();
}

int beepCount()
{
    return beeps.load();
}

} // namespace forms
