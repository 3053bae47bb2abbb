#pragma once
// Kovilan's start-up window Form2: it asks for the password. The right one opens the editor
// window form1 and closes this one; a wrong one says so in Label1 and beeps, keeping what was
// typed. Closing this window first ends the program.

#include <form.h>

namespace forms {
class CommandButton;
class Label;
class TextBox;
}

class PasswordForm : public forms::Form
{
    Q_OBJECT
public:
    PasswordForm();

private:
    void Command1_Click();

    forms::Label *Label1;           // the prompt, later the error text
    forms::TextBox *Text1;          // the password, masked with "#"
    forms::CommandButton *Command1; // "ОК"
};
