#include "form2.h"

#include "form1.h"
#include "form2design.h"

#include <beep.h>
#include <commandbutton.h>
#include <label.h>
#include <textbox.h>

PasswordForm::PasswordForm()
    : forms::Form(passwordDesign())
{
    Label1 = control<forms::Label>(QStringLiteral("Label1"));
    Text1 = control<forms::TextBox>(QStringLiteral("Text1"));
    Command1 = control<forms::CommandButton>(QStringLiteral("Command1"));
    // The prompt takes two lines in its low label, as it did in the small font the window was
    // designed with; in the default font its second line would be cut in half.
    QFont small = Label1->font();
    small.setPointSize(8);
    Label1->setFont(small);
    connect(Command1, &forms::CommandButton::clicked, this, &PasswordForm::Command1_Click);
    Text1->setFocus();
}

void PasswordForm::Command1_Click()
{
    if (Text1->text() == Password) {
        // The editor is shown first, so the program never runs out of windows in between.
        auto *editor = new EditorForm;
        editor->showForm();
        editor->takeFocus();
        unload();
        return;
    }
    Label1->setText(QStringLiteral("Ошибка ввода пароля. Введите пароль."));
    forms::beep();
}
