// Every window of the built programs as a person and a screen reader meet it: each program runs
// as its own process in a fresh copy of the distribution folder, under the X server and window
// manager of scripts/test, with Qt's accessibility bridge on a private session bus. The window's
// caption, client size, every control's role, text, place and size, the keyboard focus and the
// Tab walk, the colours, and at scale factors 1.5 and 2 the text and the pictures are checked
// against the programs' own design tables.

#include "e2e/atspi.h"
#include "e2e/opened.h"
#include "e2e/session.h"
#include "e2e/windows.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSet>
#include <QFontMetricsF>
#include <QTest>
#include <units.h>
#include <cmath>
#include <memory>

using namespace e2e;

Q_DECLARE_METATYPE(const e2e::WindowCase *)

namespace {

const double Scales[] = {1.0, 1.5, 2.0};

QColor bgr(std::uint32_t v)
{
    return forms::colorFromBgr(v);
}

// The window's background: its design's colour, or the system's.
QColor windowBackground(const forms::FormDesign &d)
{
    return d.backColor ? bgr(*d.backColor) : QGuiApplication::palette().color(QPalette::Window);
}

bool takesFocus(forms::ControlKind k)
{
    return k != forms::ControlKind::Label && k != forms::ControlKind::Image;
}

QList<uint> rolesOf(forms::ControlKind k)
{
    switch (k) {
    case forms::ControlKind::Label: return {role::Label};
    case forms::ControlKind::CommandButton: return {role::PushButton};
    case forms::ControlKind::DriveList: return {role::ComboBox};
    case forms::ControlKind::FolderList:
    case forms::ControlKind::FileList: return {role::List};
    default: return {};
    }
}

} // namespace

class tst_E2eWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void layout_data();
    void layout();
    void keyboard_data();
    void keyboard();
    void colours_data();
    void colours();
    void textFits_data();
    void textFits();
    void pictures_data();
    void pictures();

private:
    void windowsAtScales();
    void windowsAtOneScale();
    std::unique_ptr<Opened> open();

    std::unique_ptr<Bus> bus;
};

void tst_E2eWindows::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server with a window manager (scripts/test starts one)");
    bus = std::make_unique<Bus>();
    QVERIFY2(bus->error().isEmpty(), qPrintable(bus->error()));
}

void tst_E2eWindows::cleanupTestCase()
{
    bus.reset();
}

void tst_E2eWindows::windowsAtScales()
{
    QTest::addColumn<const WindowCase *>("window");
    QTest::addColumn<double>("scale");
    for (const WindowCase &wc : windowCases())
        for (double s : Scales)
            QTest::addRow("%s@%g", qPrintable(wc.id), s) << &wc << s;
}

void tst_E2eWindows::windowsAtOneScale()
{
    QTest::addColumn<const WindowCase *>("window");
    QTest::addColumn<double>("scale");
    for (const WindowCase &wc : windowCases())
        QTest::addRow("%s", qPrintable(wc.id)) << &wc << 1.0;
}

std::unique_ptr<Opened> tst_E2eWindows::open()
{
    QFETCH(const WindowCase *, window);
    QFETCH(double, scale);
    auto w = std::make_unique<Opened>(*bus, *window, scale);
    QString why;
    if (!w->open(&why)) {
        QTest::qFail(qPrintable(why), __FILE__, __LINE__);
        return nullptr;
    }
    return w;
}

void tst_E2eWindows::layout_data() { windowsAtScales(); }

// Caption, client size, and every control's role, text, place and size: to the pixel at 96 dpi,
// and the same number of twips (scale times the pixels) at the higher scale factors.
void tst_E2eWindows::layout()
{
    auto w = open();
    if (!w)
        return;
    const forms::FormDesign &d = w->design;

    QCOMPARE(windowName(w->xid), d.caption);
    QCOMPARE(w->a11y.name(w->frame), d.caption);
    QCOMPARE(w->a11y.role(w->frame), role::Frame);

    QCOMPARE(d.clientWidth % 15, 0);
    QCOMPARE(d.clientHeight % 15, 0);
    // At a fractional scale the device size is a half pixel off a whole one, and Qt 6.4 asks the
    // window manager for a size increment of 2 device pixels there, so one pixel either way is
    // allowed; at whole scales the size is exact.
    const QSize client(qRound(d.clientWidth / 15 * w->scale), qRound(d.clientHeight / 15 * w->scale));
    const int slack = w->scale == std::floor(w->scale) ? 0 : 1;
    QTRY_VERIFY2(std::abs(w->client().width() - client.width()) <= slack
                     && std::abs(w->client().height() - client.height()) <= slack,
                 qPrintable(QStringLiteral("client %1x%2, designed %3x%4").arg(w->client().width())
                                .arg(w->client().height()).arg(client.width()).arg(client.height())));
    const QRect seen = w->a11y.extents(w->frame);
    if (w->scale == 1.0)
        QCOMPARE(seen, w->client());
    else
        QCOMPARE(seen.size(), QSize(d.clientWidth / 15, d.clientHeight / 15));

    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const forms::ControlDesign &c = d.controls[i];
        // Labels and buttons are read by their caption; a drive list by the drive it shows (the
        // working folder's volume); other controls by their name.
        const bool captioned = c.kind == forms::ControlKind::Label || c.kind == forms::ControlKind::CommandButton;
        const QString text = w->wc.shownText.count(c.name) ? w->wc.shownText.at(c.name)
                             : captioned                   ? c.text
                             : c.kind == forms::ControlKind::DriveList ? w->program.driveShown()
                                                                       : c.name;
        QVERIFY2(c.rect.left % 15 == 0 && c.rect.top % 15 == 0 && c.rect.width % 15 == 0 && c.rect.height % 15 == 0,
                 qPrintable(c.name));
        QCOMPARE(w->a11y.name(w->controls[i]), text);
        const QList<uint> roles = rolesOf(c.kind);
        if (!roles.isEmpty())
            QVERIFY2(roles.contains(w->a11y.role(w->controls[i])),
                     qPrintable(QStringLiteral("%1 has role %2").arg(c.name).arg(w->a11y.role(w->controls[i]))));
    }
    // At 96 dpi every place divides exactly; at 1.5 a half pixel may round either way.
    const int tolerance = w->scale == std::floor(w->scale) ? 0 : 1;
    QTRY_COMPARE_WITH_TIMEOUT(w->layoutDifferences(tolerance), QString(), 10000);
}

void tst_E2eWindows::keyboard_data() { windowsAtOneScale(); }

// The focus at start, then Tab walks the controls in their tab order, skipping labels, images
// and disabled controls, and comes back round to the first, typing nothing into the text boxes.
void tst_E2eWindows::keyboard()
{
    auto w = open();
    if (!w)
        return;
    const forms::FormDesign &d = w->design;

    std::vector<const forms::ControlDesign *> order;
    for (std::size_t i = 0; i < d.controls.size(); ++i)
        if (takesFocus(d.controls[i].kind) && w->a11y.hasState(w->controls[i], state::Sensitive))
            order.push_back(&d.controls[i]);
    std::stable_sort(order.begin(), order.end(), [](auto *a, auto *b) { return a->tabIndex < b->tabIndex; });
    QVERIFY(!order.empty());
    QCOMPARE(order.front()->name, w->wc.initialFocus);

    // How many characters each text box holds (a masked one gives no text, but its length).
    auto textLengths = [&] {
        QStringList lengths;
        for (std::size_t i = 0; i < d.controls.size(); ++i)
            if (d.controls[i].kind == forms::ControlKind::TextBox) {
                const std::vector<Node> inner = w->a11y.children(w->controls[i]);
                const Node editor = inner.empty() ? w->controls[i] : inner.front();
                lengths << QStringLiteral("%1:%2").arg(d.controls[i].name).arg(w->a11y.characterCount(editor));
            }
        return lengths;
    };
    const QStringList before = textLengths();

    QTRY_COMPARE(w->focused(), w->wc.initialFocus);
    QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(w->xid)}));
    for (std::size_t step = 1; step <= order.size(); ++step) {
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Tab")}));
        QTRY_COMPARE(w->focused(), order[step % order.size()]->name);
    }
    // Tab only moves the focus: a multi-line box takes no tab character on the way through.
    QCOMPARE(textLengths(), before);
}

void tst_E2eWindows::colours_data() { windowsAtOneScale(); }

// The window's background is its design's colour or the system's; labels draw their text in
// their colour and, when transparent, leave the window showing through; a graphical button is
// filled with its colour.
void tst_E2eWindows::colours()
{
    auto w = open();
    if (!w)
        return;
    const forms::FormDesign &d = w->design;
    const QPalette system = QGuiApplication::palette();
    const QColor back = windowBackground(d);

    QImage shot;
    QTRY_VERIFY((shot = w->shot()).width() > 0 && w->layoutDifferences(1).isEmpty());
    shot = w->shot();
    std::vector<QRect> rects;
    for (std::size_t i = 0; i < d.controls.size(); ++i)
        rects.push_back(w->controlRect(i));

    // Every free point of the client area on a grid.
    int free = 0;
    for (int y = 2; y < shot.height(); y += 9)
        for (int x = 2; x < shot.width(); x += 9) {
            const QPoint p(x, y);
            if (std::any_of(rects.begin(), rects.end(), [&](const QRect &r) { return r.adjusted(-2, -2, 2, 2).contains(p); }))
                continue;
            ++free;
            QVERIFY2(shot.pixelColor(p) == back, qPrintable(QStringLiteral("%1 at %2,%3 instead of %4")
                                                                 .arg(shot.pixelColor(p).name()).arg(x).arg(y).arg(back.name())));
        }
    QVERIFY(free > 0);

    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const forms::ControlDesign &c = d.controls[i];
        const QRect r = rects[i] & shot.rect();
        auto count = [&](const QColor &colour) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    n += shot.pixelColor(x, y) == colour;
            return n;
        };
        const int area = r.width() * r.height();
        if (c.kind == forms::ControlKind::Label) {
            const QColor text = c.foreColor ? bgr(*c.foreColor) : system.color(QPalette::WindowText);
            // Smoothed glyphs of a small font may never reach the full colour: near it is enough.
            int inked = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor p = shot.pixelColor(x, y);
                    inked += std::abs(p.red() - text.red()) + std::abs(p.green() - text.green())
                                 + std::abs(p.blue() - text.blue()) <= 96;
                }
            QVERIFY2(inked > 0, qPrintable(c.name + QStringLiteral(": no text in ") + text.name()));
            const QColor under = (c.backColor && !c.transparent) ? bgr(*c.backColor) : back;
            QVERIFY2(count(under) > area / 2, qPrintable(c.name + QStringLiteral(": not on ") + under.name()));
        } else if (c.kind == forms::ControlKind::CommandButton && c.graphical && c.backColor) {
            const QColor fill = bgr(*c.backColor);
            QVERIFY2(count(fill) > area / 2, qPrintable(c.name + QStringLiteral(": not filled with ") + fill.name()));
        }
    }
}

void tst_E2eWindows::textFits_data() { windowsAtScales(); }

// The text of every label and button fits its box at every scale: the label's ink stays inside
// its box (text cut off at an edge would reach it), and a button's caption is narrower than it.
void tst_E2eWindows::textFits()
{
    auto w = open();
    if (!w)
        return;
    const forms::FormDesign &d = w->design;
    const QColor back = windowBackground(d);
    QTRY_COMPARE_WITH_TIMEOUT(w->layoutDifferences(1), QString(), 10000);
    const QImage shot = w->shot();

    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const forms::ControlDesign &c = d.controls[i];
        const QString text = w->a11y.name(w->controls[i]);
        if (c.kind == forms::ControlKind::Label && !text.isEmpty()) {
            // Pixels of other controls that overlap the box (and a margin for the shadows that
            // styles draw just outside a control) are not the label's ink.
            const int margin = int(std::ceil(w->scale));
            const QRect r = w->controlRect(i);
            std::vector<QRect> others;
            for (std::size_t j = 0; j < d.controls.size(); ++j)
                if (j != i)
                    others.push_back(w->controlRect(j).adjusted(-margin, -margin, margin, margin));
            const QColor under = (c.backColor && !c.transparent) ? bgr(*c.backColor) : back;
            QRect ink;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (shot.pixelColor(x, y) != under
                        && std::none_of(others.begin(), others.end(), [&](const QRect &o) { return o.contains(x, y); }))
                        ink |= QRect(x, y, 1, 1);
            QVERIFY2(!ink.isEmpty(), qPrintable(c.name + QStringLiteral(": no text drawn")));
            QVERIFY2(ink.right() < r.right() && ink.bottom() < r.bottom(),
                     qPrintable(QStringLiteral("%1: text reaches the edge (ink %2 in %3)").arg(c.name, str(ink), str(r))));
        } else if (c.kind == forms::ControlKind::CommandButton) {
            const QFontMetricsF fm(QGuiApplication::font());
            QVERIFY2(fm.horizontalAdvance(c.text) + 8 <= c.rect.width / 15.0,
                     qPrintable(c.name + QStringLiteral(": caption wider than the button")));
        }
    }
}

void tst_E2eWindows::pictures_data()
{
    QTest::addColumn<const WindowCase *>("window");
    QTest::addColumn<double>("scale");
    for (const WindowCase &wc : windowCases()) {
        const forms::FormDesign d = wc.design();
        if (!wc.shownPictures.empty()
            || std::any_of(d.controls.begin(), d.controls.end(), [](const auto &c) { return !c.picture.isEmpty(); }))
            for (double s : Scales)
                QTest::addRow("%s@%g", qPrintable(wc.id), s) << &wc << s;
    }
}

namespace {

// Where a picture is drawn and what covers it: the control's rectangle in device pixels, the
// scale, and the rectangles of the controls made later, which lie above it.
struct PictureArea
{
    QRect rect;
    double scale = 1.0;
    std::vector<QRect> above;
    bool covered(const QPoint &p) const
    {
        return std::any_of(above.begin(), above.end(), [&](const QRect &o) { return o.contains(p); });
    }
};

// The first difference between the picture and the screen, the picture drawn `inset`
// device-independent pixels in from the top-left corner of the area (inside a border) at one
// picture pixel per device-independent pixel, clipped to the area; empty when they agree.
QString pictureDifference(const QImage &shot, const QImage &picture, const PictureArea &a, int inset)
{
    const double s = a.scale;
    const int shownWidth = std::min(picture.width(), int(a.rect.width() / s) - 2 * inset);
    const int shownHeight = std::min(picture.height(), int(a.rect.height() / s) - 2 * inset);
    if (s == std::floor(s)) {
        // Each picture pixel is an exact block of scale x scale device pixels.
        const int k = int(s);
        const QPoint origin = a.rect.topLeft() + QPoint(inset * k, inset * k);
        for (int y = 0; y < shownHeight; ++y)
            for (int x = 0; x < shownWidth; ++x)
                for (int dy = 0; dy < k; ++dy)
                    for (int dx = 0; dx < k; ++dx) {
                        const QPoint p = origin + QPoint(x * k + dx, y * k + dy);
                        if (!a.covered(p) && shot.pixel(p) != picture.pixel(x, y))
                            return QStringLiteral("picture pixel %1,%2 is %3 at %4,%5, not %6")
                                .arg(x).arg(y).arg(shot.pixelColor(p).name()).arg(p.x()).arg(p.y())
                                .arg(picture.pixelColor(x, y).name());
                    }
        return QString();
    }
    // At a fractional scale every device pixel inside has a colour of the picture (none smoothed).
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    const double from = inset * s;
    for (int y = int(from) + 1; y < int(from + shownHeight * s) - 1; ++y)
        for (int x = int(from) + 1; x < int(from + shownWidth * s) - 1; ++x) {
            const QPoint p = a.rect.topLeft() + QPoint(x, y);
            if (!a.covered(p) && !colours.contains(shot.pixel(p)))
                return QStringLiteral("%1 at %2,%3 is not a colour of the picture")
                    .arg(shot.pixelColor(p).name()).arg(p.x()).arg(p.y());
        }
    return QString();
}

} // namespace

// A picture, designed or shown after a step of the user's (an entry loaded in the editor), is
// drawn at one picture pixel per device-independent pixel from the top-left corner, inside the
// border of a picture box, never smoothed: at a whole scale each picture pixel is an exact block
// of scale x scale device pixels, and at 1.5 every device pixel has a colour of the picture.
void tst_E2eWindows::pictures()
{
    auto w = open();
    if (!w)
        return;
    const forms::FormDesign &d = w->design;
    QTRY_COMPARE_WITH_TIMEOUT(w->layoutDifferences(1), QString(), 10000);
    if (w->wc.showPictures)
        QVERIFY2(w->wc.showPictures(*w), "the step that shows the pictures does not end");

    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        const forms::ControlDesign &c = d.controls[i];
        QString file;
        if (!c.picture.isEmpty())
            // ":/Author/author.bmp" is resources/Author/author.bmp of the source tree.
            file = sourceDir() + QStringLiteral("/resources/") + c.picture.mid(2);
        else if (w->wc.shownPictures.count(c.name))
            // The distribution folder is a copy of sample/.
            file = sourceDir() + QStringLiteral("/sample/") + w->wc.shownPictures.at(c.name);
        else
            continue;
        const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!picture.isNull(), qPrintable(file));

        PictureArea area{w->controlRect(i), w->scale, {}};
        for (std::size_t j = i + 1; j < d.controls.size(); ++j)
            area.above.push_back(w->controlRect(j));
        // A picture box draws inside its border, a few pixels wide as the style has it; an image
        // has none.
        const int maxInset = c.kind == forms::ControlKind::PictureBox ? 3 : 0;
        auto difference = [&] {
            const QImage shot = w->shot();
            QString first;
            for (int inset = 0; inset <= maxInset; ++inset) {
                const QString diff = pictureDifference(shot, picture, area, inset);
                if (diff.isEmpty())
                    return QString();
                if (first.isEmpty())
                    first = diff;
            }
            return c.name + QStringLiteral(": ") + first;
        };
        QTRY_COMPARE_WITH_TIMEOUT(difference(), QString(), 10000);
    }
}

QTEST_MAIN(tst_E2eWindows)
#include "tst_e2e_windows.moc"
