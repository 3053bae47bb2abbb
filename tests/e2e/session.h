#pragma once
// The end-to-end harness: a private session bus, the built programs started as separate
// processes in a fresh copy of the sample distribution folder, and what the X server and the
// window manager say about their windows.

#include "atspi.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace e2e {

// Runs a tool and returns its standard output; empty when it fails.
QString run(const QString &program, const QStringList &args, int *exitCode = nullptr);
// xdotool with the given arguments; true when it succeeds.
bool xdotool(const QStringList &args);

// A private session bus for the programs and the accessibility bus it starts on demand.
class Bus
{
public:
    Bus();
    ~Bus();
    QString address() const { return address_; }
    QString error() const { return error_; }

private:
    QProcess daemon_;
    QString address_;
    QString error_;
};

struct Frame
{
    int left = 0, right = 0, top = 0, bottom = 0;
};

// One built program running in its own copy of the distribution folder.
class Program
{
public:
    // scale: QT_SCALE_FACTOR for Qt in that process; 1 leaves it unset.
    Program(const Bus &bus, const QString &name, double scale = 1.0);
    ~Program();

    bool start();
    qint64 pid() const { return process_.processId(); }
    QString folder() const { return dir_.path(); }
    QString output() { return QString::fromLocal8Bit(process_.readAll()); }
    bool isRunning() const { return process_.state() == QProcess::Running; }
    // What a drive list shows for the volume of the working folder: its mount path, with its
    // label in brackets where it has one.
    QString driveShown() const;

    // The visible top-level window of the process whose title is the caption; 0 when none.
    qulonglong window(const QString &caption) const;

private:
    QString name_;
    double scale_;
    QString busAddress_;
    QTemporaryDir dir_;
    QProcess process_;
};

// The client area of a window in screen coordinates (device pixels), as the X server says.
QRect clientRect(qulonglong window);
// The window manager's frame around it.
Frame frameExtents(qulonglong window);
QString windowName(qulonglong window);
// The pixels of part of the screen.
QImage grabScreen(const QRect &rect);

QString sourceDir();
QString binaryDir();

} // namespace e2e
