#pragma once
// What assistive technology sees of a Form: a window whose children are its controls followed
// by one static text per message line, so that a screen reader can read the log that is only
// drawn on the surface.

#include <QAccessibleInterface>

namespace forms {

class Form;

// Something assistive technology reads that is no widget of its own and holds nothing: a message
// line, a row of a list.
class LeafAccessible : public QAccessibleInterface
{
public:
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}
};

// Installed once by the first Form: builds the accessible interface of every Form.
QAccessibleInterface *formAccessibleFactory(const QString &className, QObject *object);
// Tells assistive technology that the form's newest message line was added.
void announceLastLine(Form *form);

} // namespace forms
