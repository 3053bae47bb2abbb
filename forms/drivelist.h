#pragma once
// The drive list: the mounted volumes, by mount path. Selecting another one raises change once.

#include "volumes.h"

#include <QComboBox>

namespace forms {

class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent);

    // The mount path of the selected drive.
    QString drive() const;
    // Replaces the drives shown and selects the one that holds the working folder, raising nothing.
    void setDrives(const QList<Volume> &drives);
    // Selects a drive as the user would, raising change when it is another one.
    void selectDrive(const QString &rootPath);

signals:
    void change();

private:
    void onActivated(int index);

    QList<Volume> drives_;
    int current_ = -1;
};

} // namespace forms
