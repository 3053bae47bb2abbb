#pragma once
// One window of a running program, seen through the X server and the accessibility bus.

#include "atspi.h"
#include "session.h"
#include "windows.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <optional>

namespace e2e {

// The rectangle of a control in device pixels of the client area, as its design places it.
QRect expectedRect(const forms::ControlDesign &c, const WindowCase &wc, double scale, int outerLogical);
bool near(const QRect &a, const QRect &b, int tolerance);
QString str(const QRect &r);

// One window of a running program, seen through the X server and the accessibility bus.
class Opened
{
public:
    Opened(const Bus &bus, const WindowCase &wc, double scale)
        : wc(wc), design(wc.design()), scale(scale), program(bus, wc.program, scale), a11y(bus.address())
    {
    }

    // Starts the program, brings the window up and waits for the window manager's frame.
    bool open(QString *why)
    {
        if (!a11y.isConnected())
            return *why = a11y.error(), false;
        if (!program.start())
            return *why = QStringLiteral("the program does not start"), false;
        if (!QTest::qWaitFor([&] { return (app = a11y.applicationOf(program.pid())).has_value(); }, 20000))
            return *why = QStringLiteral("the program never joins the accessibility bus: ") + program.output(), false;
        if (wc.reach && !wc.reach(program, a11y))
            return *why = QStringLiteral("the window cannot be reached"), false;
        if (!QTest::qWaitFor([&] { return (xid = program.window(design.caption)) != 0; }, 20000))
            return *why = QStringLiteral("no window captioned ") + design.caption, false;
        if (!QTest::qWaitFor([&] { return frameExtents(xid).left > 0 || frameExtents(xid).top > 0; }, 10000))
            return *why = QStringLiteral("the window manager draws no frame"), false;
        if (!QTest::qWaitFor([&] { return findFrame(); }, 10000))
            return *why = QStringLiteral("no accessible frame named ") + design.caption, false;
        // What is checked on screenshots must be on the screen.
        if (!QGuiApplication::primaryScreen()->geometry().contains(client()))
            return *why = QStringLiteral("the window does not fit on the screen"), false;
        return true;
    }

    bool findFrame()
    {
        for (const Node &n : a11y.children(*app))
            if (a11y.name(n) == design.caption) {
                frame = n;
                controls = a11y.children(n);
                return controls.size() >= design.controls.size();
            }
        return false;
    }

    QRect client() const { return clientRect(xid); }

    // The control's rectangle in device pixels of the client area. Qt's bridge gives extents in
    // device-independent pixels, so the offset from the window is scaled here.
    QRect controlRect(std::size_t i)
    {
        const QRect r = a11y.extents(controls[i]).translated(-a11y.extents(frame).topLeft());
        return QRect(qRound(r.x() * scale), qRound(r.y() * scale), qRound(r.width() * scale), qRound(r.height() * scale));
    }

    // Logical outer width, the way the window's own Resize sees it.
    int outerLogical()
    {
        const Frame f = frameExtents(xid);
        return qRound(client().width() / scale) + qRound(f.left / scale) + qRound(f.right / scale);
    }

    // Differences between what is on the screen and the design; empty when they agree.
    QString layoutDifferences(int tolerance)
    {
        QStringList out;
        const int outer = outerLogical();
        for (std::size_t i = 0; i < design.controls.size(); ++i) {
            const forms::ControlDesign &c = design.controls[i];
            const QRect want = expectedRect(c, wc, scale, outer);
            const QRect got = controlRect(i);
            if (!near(got, want, tolerance))
                out << QStringLiteral("%1 at %2, designed %3").arg(c.name, str(got), str(want));
        }
        return out.join(QStringLiteral("; "));
    }

    // The design control that holds the keyboard focus (the control or the editor inside it).
    QString focused()
    {
        for (std::size_t i = 0; i < design.controls.size(); ++i) {
            if (a11y.hasState(controls[i], state::Focused))
                return design.controls[i].name;
            if (design.controls[i].kind == forms::ControlKind::TextBox)
                for (const Node &inner : a11y.children(controls[i]))
                    if (a11y.hasState(inner, state::Focused))
                        return design.controls[i].name;
        }
        return QString();
    }

    QImage shot() { return grabScreen(client()); }

    const WindowCase &wc;
    forms::FormDesign design;
    double scale;
    Program program;
    AtSpi a11y;
    std::optional<Node> app;
    Node frame;
    std::vector<Node> controls;
    qulonglong xid = 0;
};

} // namespace e2e
