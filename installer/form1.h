#pragma once
// Install's one window. The user picks a drive (Drive1) and opens folders (Dir1); each new path
// is reported as a line of the message log drawn on the window, left of a column of controls
// that always stands against the right edge. "Установить" runs the installation (Installation)
// into the chosen folder plus "Trivalon". Any failure beeps, reports that the game cannot be
// installed there and blocks the window until another drive is selected successfully.

#include "installation.h"

#include <form.h>

namespace forms {
class CommandButton;
class DriveList;
class FolderList;
}

class Form1 : public forms::Form
{
    Q_OBJECT
public:
    Form1();

protected:
    void onResize() override;

private:
    void Dir1_Change();
    void Drive1_Change();
    void install_Click();

    // Appends the line that names the chosen folder.
    void pisatel();
    // Enters the blocked state: install and Dir1 disabled, a beep and the line that says so.
    void proverka();

    forms::DriveList *Drive1;     // drive list
    forms::FolderList *Dir1;      // folder list
    forms::CommandButton *install; // "Установить"
    Installation installation_;
};
