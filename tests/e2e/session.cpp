#include "session.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStorageInfo>
#include <QThread>

namespace e2e {

QString sourceDir() { return QStringLiteral(TRIVALON_SOURCE_DIR); }
QString binaryDir() { return QStringLiteral(TRIVALON_BINARY_DIR); }

QString run(const QString &program, const QStringList &args, int *exitCode)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool xdotool(const QStringList &args)
{
    int code = -1;
    run(QStringLiteral("xdotool"), args, &code);
    return code == 0;
}

Bus::Bus()
{
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(10000)) {
        error_ = QStringLiteral("dbus-daemon does not start");
        return;
    }
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        error_ = QStringLiteral("dbus-daemon gave no address");
}

Bus::~Bus()
{
    // The accessibility bus launcher and registry end with the session bus they belong to.
    daemon_.terminate();
    if (!daemon_.waitForFinished(5000)) {
        daemon_.kill();
        daemon_.waitForFinished();
    }
}

Program::Program(const Bus &bus, const QString &name, double scale)
    : name_(name), scale_(scale), busAddress_(bus.address())
{
}

Program::~Program()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
}

bool Program::start()
{
    if (!dir_.isValid())
        return false;
    // The distribution folder as it ships: the sample files with the three programs beside them.
    const int code = QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), sourceDir() + QStringLiteral("/sample/."), dir_.path()});
    if (code != 0)
        return false;
    for (const char *p : {"Install", "Kovilan", "Author"}) {
        const QString exe = binaryDir() + QStringLiteral("/bin/") + QLatin1String(p);
        if (QFile::exists(exe) && !QFile::copy(exe, dir_.path() + u'/' + QLatin1String(p)))
            return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const char *v : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                          "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI"})
        env.remove(QLatin1String(v));
    if (scale_ != 1.0)
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale_));
    process_.setProcessEnvironment(env);
    process_.setWorkingDirectory(dir_.path());
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(dir_.path() + u'/' + name_, {});
    return process_.waitForStarted(10000);
}

QString Program::driveShown() const
{
    const QStorageInfo volume(dir_.path());
    const QString root = QDir::toNativeSeparators(volume.rootPath());
    return volume.name().isEmpty() ? root : root + QStringLiteral(" [") + volume.name() + u']';
}

qulonglong Program::window(const QString &caption) const
{
    const QString ids = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                        QStringLiteral("--pid"), QString::number(pid())});
    for (const QString &id : ids.split(u'\n', Qt::SkipEmptyParts))
        if (windowName(id.toULongLong()) == caption)
            return id.toULongLong();
    return 0;
}

QString windowName(qulonglong window)
{
    QString name = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(window)});
    if (name.endsWith(u'\n'))
        name.chop(1);
    return name;
}

QRect clientRect(qulonglong window)
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto field = [&](const char *label) {
        const QRegularExpression re(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(label)));
        const auto m = re.match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
}

Frame frameExtents(qulonglong window)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                      QStringLiteral("_NET_FRAME_EXTENTS")});
    const auto m = QRegularExpression(QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)")).match(out);
    if (!m.hasMatch())
        return {};
    return Frame{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
}

QImage grabScreen(const QRect &rect)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height()).toImage();
}

} // namespace e2e
