#include "form1.h"

#include "form1design.h"

#include <beep.h>
#include <busy.h>
#include <commandbutton.h>
#include <drivelist.h>
#include <files.h>
#include <folderlist.h>
#include <formserror.h>
#include <units.h>

#include <cmath>

Form1::Form1()
    : forms::Form(form1Design())
{
    Drive1 = control<forms::DriveList>(QStringLiteral("Drive1"));
    Dir1 = control<forms::FolderList>(QStringLiteral("Dir1"));
    install = control<forms::CommandButton>(QStringLiteral("install"));
    connect(Dir1, &forms::FolderList::change, this, &Form1::Dir1_Change);
    connect(Drive1, &forms::DriveList::change, this, &Form1::Drive1_Change);
    connect(install, &forms::CommandButton::clicked, this, &Form1::install_Click);
    Drive1->setFocus();
}

void Form1::pisatel()
{
    print(QStringLiteral(" Игра будет установлена по адресу: ") + Dir1->path());
}

void Form1::proverka()
{
    install->setEnabled(false);
    Dir1->setEnabled(false);
    forms::beep();
    print(QStringLiteral(" Невозможно установить игру по указанному пути."));
}

void Form1::Dir1_Change()
{
    try {
        pisatel();
    } catch (const forms::FormsError &) {
        proverka();
    }
}

void Form1::Drive1_Change()
{
    try {
        Dir1->setDrive(Drive1->drive());
        install->setEnabled(true);
        Dir1->setEnabled(true);
    } catch (const forms::FormsError &) {
        proverka();
    }
}

void Form1::install_Click()
{
    QString source;
    try {
        source = forms::workingFolder();
    } catch (const forms::FormsError &) {
        proverka();
        return;
    }
    const auto outcome = installation_.run(
        source, Dir1->path(), [this](const QString &line) { print(line); },
        [](const std::function<void()> &job) { forms::runWithoutInput(job); });
    if (outcome == Installation::Outcome::Failed)
        proverka();
}

void Form1::onResize()
{
    const float outer = outerWidthTwips();
    for (const char *name : {"DISK", "Drive1", "KATALOG", "Dir1", "install"}) {
        QWidget *w = control(QString::fromLatin1(name));
        const float left = columnLeft(outer, forms::twipsFromPixels(w->width(), dpi()));
        w->move(int(std::lround(left * float(dpi()) / float(forms::TwipsPerInch))), w->y());
    }
}
