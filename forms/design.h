#pragma once
// A window's design as the control tables give it: twips, 0x00BBGGRR colours, names, tab order.
// The windows are built from these values and the end-to-end tests read the same ones.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

struct Twips
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Twips &, const Twips &) = default;
};

enum class ControlKind {
    Label,         // static text; transparent and word-wrapped where asked
    CommandButton, // push button, optionally in the graphical style with its own colour
    TextBox,       // single-line, multi-line with a vertical scroll bar, or masked
    PictureBox,    // a picture at its own size from the top-left corner, clipped; takes the focus
    Image,         // the same drawing, never takes the focus
    DriveList,
    FolderList,
    FileList,
};

struct ControlDesign
{
    QString name;
    ControlKind kind = ControlKind::Label;
    QString text;
    Twips rect;
    int tabIndex = 0;

    bool transparent = false;            // labels: the window shows through
    bool wordWrap = false;               // labels
    bool graphical = false;              // buttons: flat style with backColor
    bool multiLine = false;              // text boxes: multi-line with a vertical scroll bar
    QChar passwordChar;                  // text boxes: shown for every typed character
    std::optional<std::uint32_t> backColor;
    std::optional<std::uint32_t> foreColor;
    QString pattern;                     // file lists
    QString picture;                     // picture boxes and images: a resource path
};

enum class Border { FixedSingle, Sizable };
enum class Placement { SystemChosen, CenterScreen };

struct FormDesign
{
    QString name;
    QString caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    Border border = Border::Sizable;
    bool controlBox = true;  // the system menu and close box
    bool minButton = true;
    bool maxButton = true;
    bool movable = true;
    Placement placement = Placement::SystemChosen;
    QString icon;   // resource path, empty for none
    QString cursor; // resource path of a .cur file, empty for the default arrow
    std::optional<std::uint32_t> backColor;
    std::optional<std::uint32_t> foreColor;
    std::vector<ControlDesign> controls;

    const ControlDesign *control(const QString &controlName) const
    {
        for (const auto &c : controls)
            if (c.name == controlName)
                return &c;
        return nullptr;
    }
};

} // namespace forms
