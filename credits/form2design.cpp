#include "form2design.h"

using forms::ControlKind;

namespace {

constexpr std::uint32_t Black = 0x00000000;
constexpr std::uint32_t Green = 0x0000FF00;
constexpr std::uint32_t Yellow = 0x0000FFFF;
constexpr std::uint32_t ButtonGreen = 0x0000C000; // RGB(0, 192, 0)

// One element of Label1: yellow, transparent over the black window, wrapped inside its box.
forms::ControlDesign label1(int index, const QString &text, forms::Twips rect)
{
    forms::ControlDesign c{label1Name(index), ControlKind::Label, text, rect, 1 + index};
    c.transparent = true;
    c.wordWrap = true;
    c.backColor = Black;
    c.foreColor = Yellow;
    return c;
}

} // namespace

QString label1Name(int index)
{
    return QStringLiteral("Label1(%1)").arg(index);
}

forms::FormDesign form2Design()
{
    forms::FormDesign d;
    d.name = QStringLiteral("Form2");
    d.caption = QStringLiteral("Автор");
    d.clientWidth = 6915;
    d.clientHeight = 4500;
    d.border = forms::Border::FixedSingle;
    d.controlBox = false;
    d.minButton = false;
    d.maxButton = false;
    d.movable = false;
    d.placement = forms::Placement::CenterScreen;
    d.icon = QStringLiteral(":/Author/author.ico");
    d.cursor = QStringLiteral(":/Author/author.cur");
    d.backColor = Black;
    d.foreColor = Green;

    forms::ControlDesign image1{QStringLiteral("Image1"), ControlKind::Image, {}, {5040, 120, 1725, 2685}, 0};
    image1.picture = QStringLiteral(":/Author/author.bmp");

    forms::ControlDesign command1{QStringLiteral("Command1"), ControlKind::CommandButton,
                                  QStringLiteral("ОК"), {120, 4080, 6735, 375}, 0};
    command1.graphical = true;
    command1.backColor = ButtonGreen;

    d.controls = {
        image1,
        label1(0, QStringLiteral("Программирование: Lemtaris"), {240, 600, 6240, 375}),
        label1(1, QStringLiteral("Звуки: Lemtaris"), {240, 960, 6240, 375}),
        label1(2, QStringLiteral("Сценарий: Lemtaris"), {240, 1320, 6240, 375}),
        label1(3, QStringLiteral("Художественное оформление: Lemtaris"), {240, 1680, 6240, 375}),
        label1(4, QStringLiteral("Время создания игры: 2002 год - 2004 год."), {1920, 2040, 3360, 255}),
        label1(5,
               QStringLiteral("Место создания игры: Галактика Млечный Путь, Солнечная система, "
                              "планета Земля, Российская Федерация"),
               {1920, 2280, 3825, 1095}),
        label1(6, QStringLiteral("Дата рождения создателя игры: ") + QStringLiteral("9 ноября 1985")
                      + QStringLiteral(" нашей эры."),
               {240, 3360, 6240, 375}),
        command1,
    };
    return d;
}
