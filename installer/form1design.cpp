#include "form1design.h"

using forms::ControlKind;

forms::FormDesign form1Design()
{
    forms::FormDesign d;
    d.name = QStringLiteral("Form1");
    d.caption = QStringLiteral("Установка программы \"TRIVALON\"");
    d.clientWidth = 9705;
    d.clientHeight = 3570;
    d.border = forms::Border::FixedSingle;
    d.controlBox = true;
    d.minButton = true;
    d.maxButton = true;
    d.placement = forms::Placement::SystemChosen;
    d.icon = QStringLiteral(":/Install/install.ico");
    d.controls = {
        {QStringLiteral("DISK"), ControlKind::Label, QStringLiteral("Диск:"), {8040, 120, 1575, 255}, 1},
        {QStringLiteral("Drive1"), ControlKind::DriveList, {}, {8040, 360, 1575, 315}, 0},
        {QStringLiteral("KATALOG"), ControlKind::Label, QStringLiteral("Путь:"), {8040, 720, 1575, 255}, 2},
        {QStringLiteral("Dir1"), ControlKind::FolderList, {}, {8040, 960, 1575, 1890}, 3},
        {QStringLiteral("install"), ControlKind::CommandButton, QStringLiteral("Установить"), {8040, 3000, 1575, 495}, 4},
    };
    return d;
}

float columnLeft(float outerWidthTwips, float controlWidthTwips)
{
    return outerWidthTwips - controlWidthTwips - 100.0f;
}
