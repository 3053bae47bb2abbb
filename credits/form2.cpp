#include "form2.h"

#include "fittingfont.h"

#include <commandbutton.h>
#include <label.h>

Form2::Form2(forms::FormDesign design)
    : forms::Form(std::move(design))
{
    Command1 = control<forms::CommandButton>(QStringLiteral("Command1"));
    connect(Command1, &forms::CommandButton::clicked, this, &Form2::Command1_Click);

    std::vector<BoxedText> texts;
    for (int i = 0; i < Label1Count; ++i)
        texts.push_back({Label1(i)->text(), Label1(i)->size()});
    const QFont font = fittingFont(Label1(0)->font(), texts, this);
    for (int i = 0; i < Label1Count; ++i)
        Label1(i)->setFont(font);
}

forms::Label *Form2::Label1(int index) const
{
    return control<forms::Label>(label1Name(index));
}

void Form2::onActivate()
{
    takeFocus();
}

void Form2::Command1_Click()
{
    unload();
}
