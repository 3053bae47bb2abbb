#pragma once
// A push button; in the graphical style it is flat and painted in its own background colour.
// Enter or Space on the focused button presses it; no button is ever a window's default.

#include "design.h"

#include <QPushButton>

namespace forms {

class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    CommandButton(const ControlDesign &design, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace forms
