// Author on a real X server with the openbox window manager: what the credits window looks like
// on screen, what it asks of the window manager and whether a drag can move it, and how the real
// program ends.

#include <form2.h>

#include <picture.h>
#include <units.h>

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A connection of the test's own to the X server, to read what the windows asked of the window
// manager and to send what a window manager or a pager sends.
class XServer
{
public:
    XServer() : conn_(xcb_connect(nullptr, nullptr))
    {
        if (ok())
            root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    }
    ~XServer() { xcb_disconnect(conn_); }
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool ok() const { return conn_ && !xcb_connection_has_error(conn_); }
    xcb_window_t root() const { return root_; }

    xcb_atom_t atom(const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
            xcb_intern_atom_reply(conn_, xcb_intern_atom(conn_, 0, uint16_t(strlen(name)), name), nullptr), &free);
        return reply ? reply->atom : XCB_ATOM_NONE;
    }

    // The 32-bit values of a property, empty when the window has none.
    std::vector<quint32> property(xcb_window_t window, const char *name, xcb_atom_t *type = nullptr)
    {
        std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
            xcb_get_property_reply(conn_, xcb_get_property(conn_, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr),
            &free);
        if (!reply || reply->format != 32)
            return {};
        if (type)
            *type = reply->type;
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
        return std::vector<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }

    // Where the window's client area stands on the screen, as the server has it.
    QPoint position(xcb_window_t window)
    {
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&free)> reply(
            xcb_translate_coordinates_reply(conn_, xcb_translate_coordinates(conn_, window, root_, 0, 0), nullptr), &free);
        return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
    }

    // The managed window whose owner has this process id; 0 until there is one.
    xcb_window_t windowOfProcess(qint64 pid)
    {
        for (quint32 w : property(root_, "_NET_CLIENT_LIST")) {
            const std::vector<quint32> owner = property(w, "_NET_WM_PID");
            if (!owner.empty() && owner.front() == quint32(pid))
                return w;
        }
        return 0;
    }

    void sendClientMessage(xcb_window_t to, xcb_window_t about, const char *type, std::vector<quint32> data,
                           uint32_t mask)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = about;
        event.type = atom(type);
        for (std::size_t i = 0; i < data.size() && i < 5; ++i)
            event.data.data32[i] = data[i];
        xcb_send_event(conn_, 0, to, mask, reinterpret_cast<const char *>(&event));
        xcb_flush(conn_);
    }

private:
    xcb_connection_t *conn_;
    xcb_window_t root_ = 0;
};

enum : quint32 {
    MwmHintsFunctions = 1u << 0,
    MwmHintsDecorations = 1u << 1,
    MwmFuncAll = 1u << 0,
    MwmFuncResize = 1u << 1,
    MwmFuncMove = 1u << 2,
    MwmFuncMinimize = 1u << 3,
    MwmFuncMaximize = 1u << 4,
    MwmFuncClose = 1u << 5,
    MwmDecorAll = 1u << 0,
    MwmDecorBorder = 1u << 1,
    MwmDecorResizeH = 1u << 2,
    MwmDecorTitle = 1u << 3,
    MwmDecorMenu = 1u << 4,
    MwmDecorMinimize = 1u << 5,
    MwmDecorMaximize = 1u << 6,
    PMinSize = 1u << 4,
    PMaxSize = 1u << 5,
};

struct Rgb
{
    int r, g, b;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

Rgb rgbAt(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return {qRed(c), qGreen(c), qBlue(c)};
}

QRect pixels(const forms::FormDesign &design, const QString &control)
{
    return forms::pixelRect(design.control(control)->rect);
}

// The frame's top-left corner that puts the whole window in the middle of the available screen.
QPoint centredFrame(QSize frame)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    return {avail.x() + (avail.width() - frame.width()) / 2, avail.y() + (avail.height() - frame.height()) / 2};
}

// Runs xdotool while this process goes on answering its windows: openbox drops a fast drag of a
// window whose owner does not answer.
bool xdotool(const QStringList &args)
{
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    p.start(QStringLiteral("xdotool"), args);
    if (p.state() != QProcess::NotRunning)
        loop.exec();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 && p.error() == QProcess::UnknownError;
}

} // namespace

class TestAuthor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void looksAsDesigned();
    void labelsLetTheWindowShowThrough();
    void asksForAFixedWindowAndStaysPut();

    void programEndsWithStatusZero_data();
    void programEndsWithStatusZero();

private:
    // Shows the window and waits until the window manager has framed it and it is centred.
    void showFramed(Form2 &form);
    // The client area of the window as it stands on the screen, once it is painted.
    void grabPainted(Form2 &form, const QColor &background, QImage &shot);

    std::unique_ptr<XServer> x_;
};

void TestAuthor::initTestCase()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X server with a window manager (scripts/test starts one)");
    x_ = std::make_unique<XServer>();
    QVERIFY(x_->ok());
    // The window manager may still be starting.
    QTRY_VERIFY_WITH_TIMEOUT(!x_->property(x_->root(), "_NET_SUPPORTING_WM_CHECK").empty(), 10000);
}

void TestAuthor::showFramed(Form2 &form)
{
    form.showForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(form.frameGeometry() != form.geometry(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(form.frameGeometry().topLeft(), centredFrame(form.frameGeometry().size()), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(x_->position(xcb_window_t(form.winId())), form.geometry().topLeft(), 10000);
}

void TestAuthor::grabPainted(Form2 &form, const QColor &background, QImage &shot)
{
    const QRect client(x_->position(xcb_window_t(form.winId())), form.size());
    const QPoint button = pixels(form.design(), QStringLiteral("Command1")).topLeft() + QPoint(6, 6);
    // Painted when both the window's own colour and the button's stand where they belong.
    QTRY_VERIFY_WITH_TIMEOUT(
        (shot = form.screen()->grabWindow(0, client.x(), client.y(), client.width(), client.height())
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32),
         shot.pixelColor(1, 1) == background && rgbAt(shot, button.x(), button.y()) == (Rgb{0, 192, 0})),
        10000);
}

void TestAuthor::looksAsDesigned()
{
    Form2 form;
    showFramed(form);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(form.windowTitle(), QStringLiteral("Автор"));
    QCOMPARE(form.size(), QSize(461, 300));
    QImage shot;
    grabPainted(form, Qt::black, shot);
    if (QTest::currentTestFailed())
        return;
    const forms::FormDesign &d = form.design();
    const QRect image1 = pixels(d, QStringLiteral("Image1"));
    const QRect command1 = pixels(d, QStringLiteral("Command1"));
    std::vector<QRect> labels;
    for (int i = 0; i < Label1Count; ++i)
        labels.push_back(pixels(d, label1Name(i)));
    auto inLabel = [&](QPoint p) {
        return std::any_of(labels.begin(), labels.end(), [&](const QRect &r) { return r.contains(p); });
    };

    // Black wherever no control stands.
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QPoint p(x, y);
            if (!image1.contains(p) && !command1.contains(p) && !inLabel(p))
                QVERIFY2(rgbAt(shot, x, y) == (Rgb{0, 0, 0}), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }

    // The labels paint only their yellow letters over the black window: nothing but black,
    // yellow and the shades in between of the letters' edges.
    for (int i = 0; i < Label1Count; ++i) {
        const QRect r = labels[std::size_t(i)];
        int brightest = 0;
        int black = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                if (image1.contains(x, y))
                    continue;
                const Rgb c = rgbAt(shot, x, y);
                QVERIFY2(c.b == 0 && std::abs(c.r - c.g) <= 8,
                         qPrintable(QStringLiteral("Label1(%1) at %2,%3: %4 %5 %6").arg(i).arg(x).arg(y).arg(c.r).arg(c.g).arg(c.b)));
                brightest = std::max(brightest, std::min(c.r, c.g));
                black += c == Rgb{0, 0, 0};
            }
        // The strokes of small letters are thin: full yellow is blended with the black around it.
        QVERIFY2(brightest >= 224, qPrintable(QStringLiteral("%1: %2").arg(label1Name(i)).arg(brightest)));
        QVERIFY2(black > r.width() * r.height() / 2, qPrintable(label1Name(i)));
    }

    // The place of creation takes several lines inside its box: bands of text rows with blank
    // rows between them, left of the picture.
    const QRect place = labels[5];
    int bands = 0;
    bool inBand = false;
    for (int y = place.top(); y <= place.bottom(); ++y) {
        bool ink = false;
        for (int x = place.left(); x < image1.left() && !ink; ++x)
            ink = rgbAt(shot, x, y) != Rgb{0, 0, 0};
        bands += ink && !inBand;
        inBand = ink;
    }
    QVERIFY2(bands >= 2, qPrintable(QString::number(bands)));

    // The button: RGB(0, 192, 0), apart from its edge and its black caption.
    int green = 0;
    for (int y = command1.top(); y <= command1.bottom(); ++y)
        for (int x = command1.left(); x <= command1.right(); ++x)
            green += rgbAt(shot, x, y) == Rgb{0, 192, 0};
    QVERIFY2(green > command1.width() * command1.height() * 3 / 4, qPrintable(QString::number(green)));

    // The bitmap at its place and size, pixel for pixel where no label's letters may cover it.
    const QImage art = forms::loadPicture(QStringLiteral(":/Author/author.bmp")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image1.size(), art.size());
    int covered = 0;
    int coveredSame = 0;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QPoint p = image1.topLeft() + QPoint(x, y);
            const bool same = shot.pixel(p) == art.pixel(x, y);
            if (inLabel(p)) {
                ++covered;
                coveredSame += same;
            } else {
                QVERIFY2(same, qPrintable(QStringLiteral("bitmap pixel %1,%2").arg(x).arg(y)));
            }
        }
    QVERIFY(coveredSame > covered * 9 / 10);
}

void TestAuthor::labelsLetTheWindowShowThrough()
{
    // On a blue window the labels' black background colour would show if it were painted.
    forms::FormDesign design = form2Design();
    design.backColor = 0x00FF0000;
    Form2 form(design);
    showFramed(form);
    if (QTest::currentTestFailed())
        return;
    QImage shot;
    grabPainted(form, Qt::blue, shot);
    if (QTest::currentTestFailed())
        return;
    const QRect image1 = pixels(design, QStringLiteral("Image1"));
    for (int i = 0; i < Label1Count; ++i) {
        const QRect r = pixels(design, label1Name(i));
        int blue = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                if (image1.contains(x, y))
                    continue;
                const Rgb c = rgbAt(shot, x, y);
                QVERIFY2(c != (Rgb{0, 0, 0}), qPrintable(QStringLiteral("Label1(%1) at %2,%3").arg(i).arg(x).arg(y)));
                blue += c == Rgb{0, 0, 255};
            }
        QVERIFY2(blue > r.width() * r.height() / 2, qPrintable(label1Name(i)));
    }
}

void TestAuthor::asksForAFixedWindowAndStaysPut()
{
    Form2 form;
    showFramed(form);
    if (QTest::currentTestFailed())
        return;
    const xcb_window_t win = xcb_window_t(form.winId());

    // A window anyone may move, as a witness that a drag of the title bar moves windows here.
    QWidget witness;
    witness.setWindowTitle(QStringLiteral("witness"));
    witness.resize(200, 100);
    witness.move(40, 40);
    witness.show();
    QVERIFY(QTest::qWaitForWindowExposed(&witness));
    QTRY_VERIFY_WITH_TIMEOUT(witness.frameGeometry() != witness.geometry(), 10000);
    const xcb_window_t witnessWin = xcb_window_t(witness.winId());

    auto checkHints = [&] {
        xcb_atom_t type = XCB_ATOM_NONE;
        const std::vector<quint32> mwm = x_->property(win, "_MOTIF_WM_HINTS", &type);
        QCOMPARE(mwm.size(), std::size_t(5));
        QCOMPARE(type, x_->atom("_MOTIF_WM_HINTS"));
        QCOMPARE(mwm[0] & (MwmHintsFunctions | MwmHintsDecorations), quint32(MwmHintsFunctions | MwmHintsDecorations));
        QCOMPARE(mwm[1] & (MwmFuncAll | MwmFuncResize | MwmFuncMove | MwmFuncMinimize | MwmFuncMaximize | MwmFuncClose), 0u);
        QCOMPARE(mwm[2] & (MwmDecorAll | MwmDecorResizeH | MwmDecorMenu | MwmDecorMinimize | MwmDecorMaximize), 0u);
        QCOMPARE(mwm[2] & (MwmDecorBorder | MwmDecorTitle), quint32(MwmDecorBorder | MwmDecorTitle));

        const std::vector<quint32> normal = x_->property(win, "WM_NORMAL_HINTS");
        QVERIFY(normal.size() >= 9);
        QCOMPARE(normal[0] & (PMinSize | PMaxSize), quint32(PMinSize | PMaxSize));
        QCOMPARE(QSize(int(normal[5]), int(normal[6])), QSize(461, 300)); // minimum
        QCOMPARE(QSize(int(normal[7]), int(normal[8])), QSize(461, 300)); // maximum

        // What openbox made of them.
        const std::vector<quint32> allowed = x_->property(win, "_NET_WM_ALLOWED_ACTIONS");
        for (const char *action : {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                   "_NET_WM_ACTION_MAXIMIZE_VERT"})
            QVERIFY2(std::find(allowed.begin(), allowed.end(), x_->atom(action)) == allowed.end(), action);
    };
    checkHints();
    if (QTest::currentTestFailed())
        return;

    auto drag = [](const QWidget &w) {
        const QPoint title(w.frameGeometry().center().x(), (w.frameGeometry().top() + w.geometry().top()) / 2);
        auto at = [&](int dx, int dy) {
            return QStringList{QStringLiteral("mousemove"), QString::number(title.x() + dx), QString::number(title.y() + dy)};
        };
        // Each step comes a moment after the last, as from a hand: openbox at times missed every
        // one of several drags whose press and moves all arrived at once.
        const QStringList pause{QStringLiteral("sleep"), QStringLiteral("0.05")};
        QStringList steps = at(0, 0);
        for (const QStringList &step : {QStringList{QStringLiteral("mousedown"), QStringLiteral("1")}, at(30, 20),
                                        at(60, 40), at(90, 60), QStringList{QStringLiteral("mouseup"), QStringLiteral("1")}})
            steps += pause + step;
        return xdotool(steps);
    };
    // The window manager may take a press for something else (the end of a click, a
    // double-click, or a press that came while it was still busy framing a window): the witness
    // is dragged until it has moved, a few times at most.
    auto witnessMoves = [&] {
        const QPoint before = x_->position(witnessWin);
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!drag(witness))
                return false;
            if (QTest::qWaitFor([&] { return x_->position(witnessWin) != before; }, 2000))
                return true;
        }
        return false;
    };
    // The witness moves before and after the credits window's drag: drags work at that time, and
    // the window manager, which handles them in turn, is done with the credits window's drag.
    const QPoint formBefore = x_->position(win);
    QVERIFY(witnessMoves());
    QVERIFY(drag(form));
    QVERIFY(witnessMoves());
    QCOMPARE(x_->position(win), formBefore);
    QCOMPARE(form.geometry().topLeft(), formBefore);

    // Nothing has written other hints meanwhile.
    checkHints();
}

void TestAuthor::programEndsWithStatusZero_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click on ОК") << QStringLiteral("click");
    QTest::newRow("Enter on the focused ОК") << QStringLiteral("enter");
    QTest::newRow("close through the window manager") << QStringLiteral("wm-close");
    QTest::newRow("WM_DELETE_WINDOW") << QStringLiteral("delete-window");
}

void TestAuthor::programEndsWithStatusZero()
{
    QFETCH(QString, how);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess author;
    author.setWorkingDirectory(folder.path());
    author.setProcessChannelMode(QProcess::ForwardedChannels);
    author.start(QStringLiteral(AUTHOR_EXE), QStringList());
    QVERIFY2(author.waitForStarted(), qPrintable(author.errorString()));
    auto stop = qScopeGuard([&] {
        if (author.state() != QProcess::NotRunning) {
            author.kill();
            author.waitForFinished();
        }
    });

    xcb_window_t win = 0;
    QTRY_VERIFY_WITH_TIMEOUT((win = x_->windowOfProcess(author.processId())) != 0, 10000);
    // Framed, centred and active: the window is where it stays.
    std::vector<quint32> extents;
    QTRY_COMPARE_WITH_TIMEOUT((extents = x_->property(win, "_NET_FRAME_EXTENTS")).size(), std::size_t(4), 10000);
    const QSize frame(461 + int(extents[0] + extents[1]), 300 + int(extents[2] + extents[3]));
    const QPoint client = centredFrame(frame) + QPoint(int(extents[0]), int(extents[2]));
    QTRY_COMPARE_WITH_TIMEOUT(x_->position(win), client, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(x_->property(x_->root(), "_NET_ACTIVE_WINDOW") == std::vector<quint32>{win}, 10000);

    const quint32 substructure = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
    if (how == QStringLiteral("click")) {
        const QPoint ok = client + forms::pixelRect(form2Design().control(QStringLiteral("Command1"))->rect).center();
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(ok.x()), QString::number(ok.y()),
                         QStringLiteral("click"), QStringLiteral("1")}));
    } else if (how == QStringLiteral("enter")) {
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    } else if (how == QStringLiteral("wm-close")) {
        // What a pager or a task bar sends (wmctrl -c); the window manager passes it on.
        x_->sendClientMessage(x_->root(), win, "_NET_CLOSE_WINDOW", {XCB_CURRENT_TIME, 2}, substructure);
    } else {
        x_->sendClientMessage(win, win, "WM_PROTOCOLS", {x_->atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME},
                              XCB_EVENT_MASK_NO_EVENT);
    }

    QTRY_COMPARE_WITH_TIMEOUT(author.state(), QProcess::NotRunning, 10000);
    QCOMPARE(author.exitStatus(), QProcess::NormalExit);
    QCOMPARE(author.exitCode(), 0);
}

QTEST_MAIN(TestAuthor)
#include "tst_author.moc"
