#pragma once
// A text box: single-line, multi-line with a vertical scroll bar, or masked with a character.

#include "design.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace forms {

class TextBox : public QWidget
{
    Q_OBJECT
public:
    TextBox(const ControlDesign &design, QWidget *parent);

    QString text() const;
    void setText(const QString &text);
    QWidget *editor() const;

private:
    QLineEdit *line_ = nullptr;
    QPlainTextEdit *multi_ = nullptr;
};

} // namespace forms
