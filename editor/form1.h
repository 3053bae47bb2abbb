#pragma once
// Kovilan's editor window form1: one encyclopedia entry at a time. "<" and ">" step the entry
// number shown in Label1; the user types the name (Text2) and the description (Text1) and picks
// a picture from the "*.gif" files of the working folder (File1), which Picture1 shows.
// "Сохранить" writes and "Загрузить" reads the entry file named by Label1 plus ".enc"
// (entryfile.h). Every failure is a beep; nothing on screen is ever lost to one.

#include <form.h>

namespace forms {
class CommandButton;
class FileList;
class Label;
class PictureBox;
class TextBox;
}

class EditorForm : public forms::Form
{
    Q_OBJECT
public:
    EditorForm();

protected:
    void onLoad() override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void File1_Click();

    // Label1 shows the entry number.
    void pokaz();
    // Picture1 shows the named picture of the working folder; a name that cannot be shown beeps
    // and leaves Picture1 empty. Returns whether it was shown.
    bool risunok(const QString &name);

    forms::CommandButton *Command1; // "<"
    forms::CommandButton *Command2; // ">"
    forms::CommandButton *Command3; // "Сохранить"
    forms::CommandButton *Command4; // "Загрузить"
    forms::CommandButton *Command5; // "Обновить"
    forms::Label *Label1;           // the entry number
    forms::TextBox *Text1;          // the description
    forms::TextBox *Text2;          // the name
    forms::PictureBox *Picture1;    // the entry's picture
    forms::FileList *File1;         // the "*.gif" files of the working folder

    qint16 number_ = 0;  // the entry number, 0 to 32767
    QString picture_;    // bare file name of the current picture, empty for none
};
