#include "form1design.h"

using forms::ControlKind;

forms::FormDesign editorDesign()
{
    forms::FormDesign d;
    d.name = QStringLiteral("form1");
    d.caption = QStringLiteral("Kovilan");
    d.clientWidth = 7980;
    d.clientHeight = 6555;
    d.border = forms::Border::Sizable;
    d.controlBox = true;
    d.minButton = true;
    d.maxButton = false;
    d.placement = forms::Placement::CenterScreen;
    forms::ControlDesign text1{QStringLiteral("Text1"), ControlKind::TextBox, {}, {4440, 1560, 3375, 2055}, 5};
    text1.multiLine = true;
    forms::ControlDesign file1{QStringLiteral("File1"), ControlKind::FileList, {}, {120, 3960, 7695, 2235}, 6};
    file1.pattern = QStringLiteral("*.gif");
    d.controls = {
        {QStringLiteral("Command1"), ControlKind::CommandButton, QStringLiteral("<"), {0, 120, 1455, 375}, 0},
        {QStringLiteral("Command2"), ControlKind::CommandButton, QStringLiteral(">"), {1440, 120, 1455, 375}, 1},
        {QStringLiteral("Command4"), ControlKind::CommandButton, QStringLiteral("Загрузить"), {2880, 120, 1455, 375}, 8},
        {QStringLiteral("Command3"), ControlKind::CommandButton, QStringLiteral("Сохранить"), {6360, 120, 1455, 375}, 2},
        {QStringLiteral("Label4"), ControlKind::Label, QStringLiteral("Номер объекта:"), {120, 720, 4095, 255}, 11},
        {QStringLiteral("Label1"), ControlKind::Label, QStringLiteral("Label1"), {120, 960, 4095, 255}, 3},
        {QStringLiteral("Picture1"), ControlKind::PictureBox, {}, {120, 1200, 4095, 2415}, 4},
        {QStringLiteral("Label2"), ControlKind::Label, QStringLiteral("Объект:"), {4440, 600, 3255, 255}, 9},
        {QStringLiteral("Text2"), ControlKind::TextBox, {}, {4440, 840, 3375, 285}, 7},
        {QStringLiteral("Label3"), ControlKind::Label, QStringLiteral("Описание объекта:"), {4440, 1200, 3375, 255}, 10},
        text1,
        {QStringLiteral("Label5"), ControlKind::Label, QStringLiteral("Рисунок объекта. Выберите файл:"), {120, 3720, 5775, 255}, 12},
        file1,
        {QStringLiteral("Command5"), ControlKind::CommandButton, QStringLiteral("Обновить"), {120, 6240, 7695, 255}, 13},
    };
    return d;
}
