#include "form1.h"

#include "entryfile.h"
#include "form1design.h"

#include <beep.h>
#include <commandbutton.h>
#include <filelist.h>
#include <files.h>
#include <formserror.h>
#include <label.h>
#include <picture.h>
#include <picturebox.h>
#include <textbox.h>
#include <units.h>

#include <limits>

EditorForm::EditorForm()
    : forms::Form(editorDesign())
{
    Command1 = control<forms::CommandButton>(QStringLiteral("Command1"));
    Command2 = control<forms::CommandButton>(QStringLiteral("Command2"));
    Command3 = control<forms::CommandButton>(QStringLiteral("Command3"));
    Command4 = control<forms::CommandButton>(QStringLiteral("Command4"));
    Command5 = control<forms::CommandButton>(QStringLiteral("Command5"));
    Label1 = control<forms::Label>(QStringLiteral("Label1"));
    Text1 = control<forms::TextBox>(QStringLiteral("Text1"));
    Text2 = control<forms::TextBox>(QStringLiteral("Text2"));
    Picture1 = control<forms::PictureBox>(QStringLiteral("Picture1"));
    File1 = control<forms::FileList>(QStringLiteral("File1"));
    connect(Command1, &forms::CommandButton::clicked, this, &EditorForm::Command1_Click);
    connect(Command2, &forms::CommandButton::clicked, this, &EditorForm::Command2_Click);
    connect(Command3, &forms::CommandButton::clicked, this, &EditorForm::Command3_Click);
    connect(Command4, &forms::CommandButton::clicked, this, &EditorForm::Command4_Click);
    connect(Command5, &forms::CommandButton::clicked, this, &EditorForm::Command5_Click);
    connect(File1, &forms::FileList::click, this, &EditorForm::File1_Click);
    Command1->setFocus();
}

void EditorForm::onLoad()
{
    number_ = 0;
    pokaz();
}

void EditorForm::pokaz()
{
    Label1->setText(QString::number(number_));
}

bool EditorForm::risunok(const QString &name)
{
    try {
        if (!isBareFileName(name))
            throw forms::FormsError(QStringLiteral("%1 is not a file of the working folder").arg(name));
        Picture1->setPicture(forms::loadPicture(forms::joinPath(forms::workingFolder(), name)));
        return true;
    } catch (const forms::FormsError &) {
        Picture1->clear();
        forms::beep();
        return false;
    }
}

void EditorForm::Command1_Click()
{
    if (number_ > 0) {
        --number_;
        pokaz();
    }
}

void EditorForm::Command2_Click()
{
    if (number_ == std::numeric_limits<qint16>::max()) {
        forms::beep();
        return;
    }
    ++number_;
    pokaz();
}

void EditorForm::Command3_Click()
{
    try {
        writeEntry(entryFileName(number_), {picture_, Text1->text(), Text2->text()});
    } catch (const EntryFileError &) {
        forms::beep();
    } catch (const forms::FormsError &) {
        forms::beep();
    }
}

void EditorForm::Command4_Click()
{
    Entry entry;
    try {
        entry = readEntry(entryFileName(number_));
    } catch (const EntryFileError &) {
        forms::beep();
        return;
    } catch (const forms::FormsError &) {
        forms::beep();
        return;
    }
    Text1->setText(entry.description);
    Text2->setText(entry.name);
    picture_ = entry.picture;
    if (picture_.isEmpty())
        Picture1->clear();
    else
        risunok(picture_);
}

void EditorForm::Command5_Click()
{
    File1->setPattern(QStringLiteral("*.dat"));
    File1->setPattern(QStringLiteral("*.gif"));
}

void EditorForm::File1_Click()
{
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    // The picture name changes only when the picture can be shown.
    if (risunok(name))
        picture_ = name;
}
