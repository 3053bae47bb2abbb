#pragma once
// Author's one window: the game's credits in yellow on black beside a picture, over the green
// "ОК" button. The window stands fixed in the middle of the screen; whenever it becomes active it
// takes the keyboard focus. "ОК", like closing the window through the window manager, unloads
// it, and with its last window gone the program ends.

#include "form2design.h"

#include <form.h>

namespace forms {
class CommandButton;
class Label;
}

class Form2 : public forms::Form
{
    Q_OBJECT
public:
    explicit Form2(forms::FormDesign design = form2Design());

    // Element index of the control array Label1.
    forms::Label *Label1(int index) const;

protected:
    void onActivate() override;

private:
    void Command1_Click();

    forms::CommandButton *Command1; // "ОК"
};
