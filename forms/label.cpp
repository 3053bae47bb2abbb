#include "label.h"

#include "units.h"

namespace forms {

Label::Label(const ControlDesign &design, QWidget *parent)
    : QLabel(design.text, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setWordWrap(design.wordWrap);
    QPalette pal = palette();
    if (design.foreColor)
        pal.setColor(QPalette::WindowText, colorFromBgr(*design.foreColor));
    if (design.backColor && !design.transparent) {
        pal.setColor(QPalette::Window, colorFromBgr(*design.backColor));
        setAutoFillBackground(true);
    } else {
        setAutoFillBackground(false);
    }
    setPalette(pal);
}

} // namespace forms
