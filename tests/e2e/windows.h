#pragma once
// The windows the end-to-end suite checks, one row each. The geometry, captions, colours and tab
// order come from the programs' own design tables; a row adds only how the window is reached
// and what the requirements say of it beyond the table.

#include <design.h>

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace e2e {

class AtSpi;
class Opened;
class Program;

struct WindowCase
{
    QString id;      // row name: program/window
    QString program; // executable in bin/
    std::function<forms::FormDesign()> design;
    // Steps that bring the window up after the program starts; none for a start-up window.
    std::function<bool(Program &, AtSpi &)> reach;
    QString initialFocus;     // the control that has the keyboard focus when the window opens
    QStringList rightColumn;  // controls that the first Resize moves to outer width - width - 100 twips
    // Accessible names that differ from the designed text once the window is up (a label
    // that shows a value set at load).
    std::map<QString, QString> shownText;
    // Pictures that controls show after a step of the user's, beyond those the design names: the
    // step, and for each control the picture file of the distribution folder that it then shows.
    std::function<bool(Opened &)> showPictures;
    std::map<QString, QString> shownPictures;
};

const std::vector<WindowCase> &windowCases();
const WindowCase *windowCase(const QString &id);

} // namespace e2e
