#include "drivelist.h"

#include "files.h"
#include "formserror.h"

namespace forms {

DriveList::DriveList(QWidget *parent)
    : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &DriveList::onActivated);
    QString wf;
    try {
        wf = workingFolder();
    } catch (const FormsError &) {
    }
    setDrives(listVolumes(wf));
}

QString DriveList::drive() const
{
    return current_ >= 0 && current_ < drives_.size() ? drives_[current_].rootPath : QString();
}

void DriveList::setDrives(const QList<Volume> &drives)
{
    drives_ = drives;
    clear();
    for (const Volume &v : drives_)
        addItem(v.display(), v.rootPath);
    QString own;
    try {
        own = volumeOf(workingFolder());
    } catch (const FormsError &) {
    }
    current_ = 0;
    for (int i = 0; i < drives_.size(); ++i)
        if (drives_[i].rootPath == own)
            current_ = i;
    setCurrentIndex(drives_.isEmpty() ? -1 : current_);
}

void DriveList::selectDrive(const QString &rootPath)
{
    for (int i = 0; i < drives_.size(); ++i) {
        if (drives_[i].rootPath == rootPath) {
            setCurrentIndex(i);
            onActivated(i);
            return;
        }
    }
}

void DriveList::onActivated(int index)
{
    if (index == current_)
        return;
    current_ = index;
    emit change();
}

} // namespace forms
