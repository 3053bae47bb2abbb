// The installer as a screen reader meets it: the built program runs an installation, driven by
// the keyboard and the mouse as a person would, and the accessibility tree then lists every
// control with its role and text, the folder list's rows with the focus on the selected one,
// and every line of the message log, the same lines in the same order as the window draws them,
// each where it is drawn.

#include "e2e/atspi.h"
#include "e2e/opened.h"
#include "e2e/session.h"
#include "e2e/windows.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>
#include <memory>

using namespace e2e;

class tst_E2eScreenReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installerLogIsReadable();

private:
    std::unique_ptr<Bus> bus;
};

void tst_E2eScreenReader::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server with a window manager (scripts/test starts one)");
    bus = std::make_unique<Bus>();
    QVERIFY2(bus->error().isEmpty(), qPrintable(bus->error()));
}

void tst_E2eScreenReader::installerLogIsReadable()
{
    Opened w(*bus, *windowCase(QStringLiteral("Install/Form1")), 1.0);
    QString why;
    QVERIFY2(w.open(&why), qPrintable(why));
    const std::size_t controls = w.design.controls.size();

    // What a screen reader lists beyond the controls: the message lines, as static text.
    auto logLines = [&] {
        QStringList lines;
        const std::vector<Node> children = w.a11y.children(w.frame);
        for (std::size_t i = controls; i < children.size(); ++i)
            lines << w.a11y.name(children[i]);
        return lines;
    };
    QCOMPARE(logLines(), QStringList());

    // Open the last subfolder of the working folder ("music") from the keyboard.
    const QString folder = QDir::toNativeSeparators(w.program.folder());
    const QString music = folder + QDir::separator() + QStringLiteral("music");
    QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w.xid)}));
    QTRY_COMPARE(w.focused(), QStringLiteral("Drive1"));
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Tab")}));
    QTRY_COMPARE(w.focused(), QStringLiteral("Dir1"));

    // The folder list reads as a list of folders: the path from the root down, then the
    // subfolders. The row selected, the folder shown, is the one with the focus.
    std::size_t dirIndex = 0;
    while (w.design.controls[dirIndex].name != QLatin1String("Dir1"))
        ++dirIndex;
    auto rows = [&] {
        QStringList names;
        for (const Node &n : w.a11y.children(w.controls[dirIndex]))
            names << (w.a11y.role(n) == role::ListItem ? w.a11y.name(n) : QStringLiteral("?"));
        return names;
    };
    auto focusedRow = [&] {
        for (const Node &n : w.a11y.children(w.controls[dirIndex]))
            if (w.a11y.hasState(n, state::Focused))
                return w.a11y.name(n);
        return QString();
    };
    const QString folderName = QFileInfo(w.program.folder()).fileName();
    QStringList expectedRows = QStringList{QStringLiteral("/")}
        + QDir::fromNativeSeparators(w.program.folder()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &sub : QDir(w.program.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        expectedRows << sub;
    QCOMPARE(rows(), expectedRows);
    QTRY_COMPARE(focusedRow(), folderName);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("End")}));
    QTRY_COMPARE(focusedRow(), QStringLiteral("music"));
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")}));
    QTRY_COMPARE(logLines(), QStringList{QStringLiteral(" Игра будет установлена по адресу: ") + music});

    // A click on "Установить"; the sample folder holds all four files that the run removes.
    std::size_t installIndex = 0;
    while (w.design.controls[installIndex].name != QLatin1String("install"))
        ++installIndex;
    const QRect button = w.a11y.extents(w.controls[installIndex]);
    QCOMPARE(w.a11y.name(w.controls[installIndex]), QStringLiteral("Установить"));
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(button.center().x()),
                     QString::number(button.center().y()), QStringLiteral("click"), QStringLiteral("1")}));

    const QStringList expected = {
        QStringLiteral(" Игра будет установлена по адресу: ") + music,
        QStringLiteral(" Копирование файлов завершено."),
        QStringLiteral(" Установка выполнена на 20%."),
        QStringLiteral(" Установка выполнена на 40%."),
        QStringLiteral(" Установка выполнена на 60%."),
        QStringLiteral(" Установка выполнена на 80%."),
        QStringLiteral(" Установка выполнена на 100%"),
        QStringLiteral(" Установка игры завершена."),
        QStringLiteral(" Игра установлена по адресу: ") + music + QDir::separator() + QStringLiteral("Trivalon"),
    };
    QTRY_COMPARE_WITH_TIMEOUT(logLines(), expected, 20000);
    QVERIFY(QDir(music + QStringLiteral("/Trivalon")).exists());

    // Each line is static text that its text interface reads whole, lying where the window draws
    // it: one below the other from the top-left corner, left of the control column, with ink.
    const std::vector<Node> children = w.a11y.children(w.frame);
    const QRect client = w.client();
    const QImage shot = w.shot();
    const QColor back = QGuiApplication::palette().color(QPalette::Window);
    const int column = w.controlRect(0).left();
    int top = 0;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Node &line = children[controls + std::size_t(i)];
        QCOMPARE(w.a11y.role(line), role::Label);
        QVERIFY(w.a11y.interfaces(line).contains(QStringLiteral("org.a11y.atspi.Text")));
        QCOMPARE(w.a11y.text(line), expected[i]);
        const QRect r = w.a11y.extents(line).translated(-client.topLeft());
        QCOMPARE(r.left(), 0);
        QCOMPARE(r.top(), top);
        QVERIFY2(r.right() < column, qPrintable(str(r)));
        top = r.bottom() + 1;
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ink += shot.pixelColor(x, y) != back;
        QVERIFY2(ink > 0, qPrintable(expected[i] + QStringLiteral(" is not drawn where it is read")));
    }
    // The controls are read with their roles and captions after the run as before it.
    QCOMPARE(w.a11y.role(w.controls[installIndex]), role::PushButton);
    QCOMPARE(w.a11y.name(w.controls[0]), QStringLiteral("Диск:"));
}

QTEST_MAIN(tst_E2eScreenReader)
#include "tst_e2e_screenreader.moc"
