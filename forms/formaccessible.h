#pragma once
// What assistive technology sees of a Form: a window whose children are its controls followed
// by one static text per message line, so that a screen reader can read the log that is only
// drawn on the surface.

class QAccessibleInterface;
class QObject;
class QString;

namespace forms {

class Form;

// Installed once by the first Form: builds the accessible interface of every Form.
QAccessibleInterface *formAccessibleFactory(const QString &className, QObject *object);
// Tells assistive technology that the form's newest message line was added.
void announceLastLine(Form *form);

} // namespace forms
