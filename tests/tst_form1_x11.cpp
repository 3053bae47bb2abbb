// The installer window under a real X server and window manager: the frame that the window
// manager draws is part of the outer width, maximizing and restoring move the column, and
// dragging the border does not resize the window.

#include <form1.h>

#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

int expectedLeft(QWidget *form)
{
    return qRound((form->frameGeometry().width() * 15.0f - 1575.0f - 100.0f) / 15.0f);
}

bool columnAt(Form1 *form, int left)
{
    for (const char *name : {"DISK", "Drive1", "KATALOG", "Dir1", "install"})
        if (form->control(name)->x() != left)
            return false;
    return true;
}

void xdotool(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
}

} // namespace

class tst_Form1X11 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void columnPlacedFromRealFrame();
    void maximizeAndRestoreMoveTheColumn();
    void borderDragDoesNotResize();
    void logSurvivesRepaint();

private:
    QTemporaryDir tmp;
    QString oldCwd;
    QPointer<Form1> form;
};

void tst_Form1X11::initTestCase()
{
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("needs an X server with a window manager (scripts/test starts one)");
    oldCwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
}

void tst_Form1X11::init()
{
    form = new Form1;
    form->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    // The window manager's frame arrives after the first show.
    QTRY_VERIFY(form->frameGeometry().width() > form->width());
}

void tst_Form1X11::cleanup()
{
    delete form;
}

void tst_Form1X11::columnPlacedFromRealFrame()
{
    QCOMPARE(form->size(), QSize(647, 238));
    QTRY_VERIFY2(columnAt(form, expectedLeft(form)),
                 qPrintable(QString("frame %1, Drive1 at %2").arg(form->frameGeometry().width()).arg(form->control("Drive1")->x())));
    // The frame makes the column stand further right than the designed 8040 twips.
    QVERIFY(form->control("install")->x() >= 536);
}

void tst_Form1X11::maximizeAndRestoreMoveTheColumn()
{
    const int normalLeft = expectedLeft(form);
    QTRY_VERIFY(columnAt(form, normalLeft));
    form->showMaximized();
    QTRY_VERIFY(form->isMaximized());
    QTRY_VERIFY(form->width() > 647);
    QTRY_VERIFY(columnAt(form, expectedLeft(form)));
    QVERIFY(expectedLeft(form) > normalLeft);
    // The column keeps its tops and sizes.
    QCOMPARE(form->control("install")->geometry().size(), QSize(105, 33));
    QCOMPARE(form->control("install")->y(), 200);

    form->showNormal();
    QTRY_VERIFY(!form->isMaximized());
    QTRY_COMPARE(form->size(), QSize(647, 238));
    QTRY_VERIFY(columnAt(form, normalLeft));
}

void tst_Form1X11::borderDragDoesNotResize()
{
    // The window manager's bottom-right grip, dragged 100 pixels down and right.
    auto dragCorner = [](QWidget *w) {
        const QPoint corner = w->geometry().bottomRight() + QPoint(-2, 3);
        xdotool({"mousemove", "--sync", QString::number(corner.x()), QString::number(corner.y())});
        xdotool({"mousedown", "1"});
        for (int step = 1; step <= 10; ++step)
            xdotool({"mousemove", QString::number(corner.x() + 10 * step), QString::number(corner.y() + 10 * step)});
        xdotool({"mouseup", "1"});
    };

    // The same drag resizes an ordinary window, so it reaches the window manager.
    QWidget plain;
    plain.resize(200, 150);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QTRY_VERIFY(plain.frameGeometry().height() > plain.height());
    dragCorner(&plain);
    QTRY_VERIFY(plain.width() > 250);

    form->activateWindow();
    dragCorner(form);
    QTRY_COMPARE(form->size(), QSize(647, 238));
    QVERIFY(!form->isMaximized());
    QTRY_VERIFY(columnAt(form, expectedLeft(form)));
}

void tst_Form1X11::logSurvivesRepaint()
{
    for (int i = 0; i < 5; ++i)
        form->print(" Строка журнала номер " + QString::number(i));
    auto inkInLog = [&] {
        const QImage shot = form->grab(QRect(0, 0, 400, 100)).toImage();
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 100;
        return dark;
    };
    QTRY_VERIFY(inkInLog() > 100);
    const int before = inkInLog();
    form->showMaximized();
    QTRY_VERIFY(form->isMaximized());
    form->showNormal();
    QTRY_COMPARE(form->size(), QSize(647, 238));
    QCOMPARE(inkInLog(), before);
}

QTEST_MAIN(tst_Form1X11)
#include "tst_form1_x11.moc"
