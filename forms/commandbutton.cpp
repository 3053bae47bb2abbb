#include "commandbutton.h"

#include "units.h"

#include <QKeyEvent>

namespace forms {

CommandButton::CommandButton(const ControlDesign &design, QWidget *parent)
    : QPushButton(design.text, parent)
{
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    if (design.graphical && design.backColor) {
        const QColor back = colorFromBgr(*design.backColor);
        const QColor text = design.foreColor ? colorFromBgr(*design.foreColor) : QColor(Qt::black);
        setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 2px outset %3; }"
                                     "QPushButton:pressed { border-style: inset; }"
                                     "QPushButton:focus { outline: 1px dotted black; }")
                          .arg(back.name(), text.name(), back.lighter(130).name()));
    }
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace forms
