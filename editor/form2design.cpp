#include "form2design.h"

using forms::ControlKind;

forms::FormDesign passwordDesign()
{
    forms::FormDesign d;
    d.name = QStringLiteral("Form2");
    d.caption = QStringLiteral("Энциклопедия. Kovilan. Ввод пароля");
    d.clientWidth = 5985;
    d.clientHeight = 1425;
    d.border = forms::Border::Sizable;
    d.controlBox = true;
    d.minButton = true;
    d.maxButton = false;
    d.placement = forms::Placement::CenterScreen;
    d.icon = QStringLiteral(":/Kovilan/kovilan.ico");
    forms::ControlDesign label1{QStringLiteral("Label1"), ControlKind::Label,
                                QStringLiteral("Для входа в редактор необходимо ввести пароль. Введите пароль."),
                                {240, 120, 5655, 375}, 0};
    label1.wordWrap = true;
    forms::ControlDesign text1{QStringLiteral("Text1"), ControlKind::TextBox, {}, {120, 480, 5775, 375}, 1};
    text1.passwordChar = u'#';
    d.controls = {
        label1,
        text1,
        // "ОК" in Cyrillic letters.
        {QStringLiteral("Command1"), ControlKind::CommandButton, QStringLiteral("ОК"), {120, 960, 5775, 375}, 2},
    };
    return d;
}
