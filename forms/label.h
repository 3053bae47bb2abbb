#pragma once
// A label: never takes the focus; transparent and word-wrapped where its design asks.

#include "design.h"

#include <QLabel>

namespace forms {

class Label : public QLabel
{
    Q_OBJECT
public:
    Label(const ControlDesign &design, QWidget *parent);
};

} // namespace forms
