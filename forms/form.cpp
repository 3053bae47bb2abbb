#include "form.h"

#include "commandbutton.h"
#include "formaccessible.h"
#include "drivelist.h"
#include "filelist.h"
#include "folderlist.h"
#include "label.h"
#include "picture.h"
#include "picturebox.h"
#include "textbox.h"
#include "units.h"
#include "windowhints.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace forms {

namespace {

QWidget *createControl(const ControlDesign &c, QWidget *parent)
{
    switch (c.kind) {
    case ControlKind::Label:
        return new Label(c, parent);
    case ControlKind::CommandButton:
        return new CommandButton(c, parent);
    case ControlKind::TextBox:
        return new TextBox(c, parent);
    case ControlKind::PictureBox:
    case ControlKind::Image:
        return new PictureBox(c, parent);
    case ControlKind::DriveList:
        return new DriveList(parent);
    case ControlKind::FolderList:
        return new FolderList(parent);
    case ControlKind::FileList:
        return new FileList(c.pattern, parent);
    }
    return nullptr;
}

Qt::WindowFlags flagsOf(const FormDesign &d)
{
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (d.controlBox)
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (d.controlBox && d.minButton)
        f |= Qt::WindowMinimizeButtonHint;
    if (d.controlBox && d.maxButton)
        f |= Qt::WindowMaximizeButtonHint;
    return f;
}

} // namespace

Form::Form(FormDesign design, QWidget *parent)
    : QWidget(parent), design_(std::move(design))
{
    static const bool accessible = (QAccessible::installFactory(formAccessibleFactory), true);
    Q_UNUSED(accessible);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(design_.name);
    setWindowFlags(flagsOf(design_));
    setWindowTitle(design_.caption);
    if (!design_.icon.isEmpty())
        setWindowIcon(iconFromFile(design_.icon));
    if (!design_.cursor.isEmpty())
        setCursor(cursorFromFile(design_.cursor));
    QPalette pal = palette();
    if (design_.backColor) {
        pal.setColor(QPalette::Window, colorFromBgr(*design_.backColor));
        setAutoFillBackground(true);
    }
    if (design_.foreColor)
        pal.setColor(QPalette::WindowText, colorFromBgr(*design_.foreColor));
    setPalette(pal);

    const qreal d = dpi();
    resize(designedSize());
    if (design_.border == Border::FixedSingle && !design_.maxButton)
        setFixedSize(designedSize());

    std::vector<std::pair<int, QWidget *>> focusable;
    for (const ControlDesign &c : design_.controls) {
        QWidget *w = createControl(c, this);
        w->setObjectName(c.name);
        w->setGeometry(pixelRect(c.rect, d));
        // Labels and buttons are read by the caption they show now, which a program may change;
        // the other controls show no caption of their own and are known by their name.
        if (c.kind != ControlKind::Label && c.kind != ControlKind::CommandButton && w->accessibleName().isEmpty())
            w->setAccessibleName(c.name);
        controls_[c.name] = w;
        if (w->focusPolicy() != Qt::NoFocus)
            focusable.emplace_back(c.tabIndex, w);
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        setTabOrder(focusable[i - 1].second, focusable[i].second);
    if (!focusable.empty())
        focusable.front().second->setFocus();
}

Form::~Form() = default;

QWidget *Form::control(const QString &name) const
{
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

qreal Form::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

QSize Form::designedSize() const
{
    return QSize(pixelsFromTwips(design_.clientWidth, dpi()), pixelsFromTwips(design_.clientHeight, dpi()));
}

void Form::showForm()
{
    if (!loaded_) {
        loaded_ = true;
        onLoad();
    }
    if (design_.placement == Placement::CenterScreen) {
        // The frame is not known before the window manager has framed the window: the client area
        // is centred now, and the whole window again once its frame has arrived.
        centreOnScreen(size());
        centrePending_ = true;
    }
    // The native window exists before it is mapped, so the window manager reads our hints at once.
    winId();
    applyWindowHints(this, design_);
    show();
    applyWindowHints(this, design_);
}

void Form::centreOnScreen(QSize outer)
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    move(avail.x() + (avail.width() - outer.width()) / 2, avail.y() + (avail.height() - outer.height()) / 2);
}

void Form::unload()
{
    close();
}

void Form::takeFocus()
{
    activateWindow();
    raise();
    if (!focusWidget())
        setFocus();
}

float Form::outerWidthTwips() const
{
    return twipsFromPixels(frameGeometry().width(), dpi());
}

void Form::print(const QString &line)
{
    lines_.append(line);
    update();
    announceLastLine(this);
}

void Form::paintEvent(QPaintEvent *)
{
    if (lines_.isEmpty())
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const QFontMetrics fm(font());
    for (int i = 0; i < lines_.size(); ++i) {
        const QRect r = lineRect(i);
        if (r.top() > height())
            break;
        p.drawText(r.left(), r.top() + fm.ascent(), lines_[i]);
    }
}

QRect Form::lineRect(int index) const
{
    const QFontMetrics fm(font());
    if (index < 0 || index >= lines_.size())
        return {};
    return QRect(0, index * fm.height(), fm.horizontalAdvance(lines_[index]), fm.height());
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    keepDesignedSize();
    raiseResize();
}

void Form::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (centrePending_ && isVisible() && frameGeometry() != geometry()) {
        centrePending_ = false;
        centreOnScreen(frameGeometry().size());
    }
    // The frame arrives after the first show: its width is part of the outer width.
    if (frameGeometry().width() != lastOuterWidth_)
        raiseResize();
}

void Form::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        raiseResize();
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        onActivate();
    }
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    raiseResize();
}

void Form::raiseResize()
{
    if (inResize_ || !isVisible())
        return;
    inResize_ = true;
    lastOuterWidth_ = frameGeometry().width();
    onResize();
    inResize_ = false;
}

// A fixed border that keeps its maximize button: the window manager must be free to maximize it,
// so dragging the border is undone here instead of being refused by size hints.
void Form::keepDesignedSize()
{
    if (design_.border != Border::FixedSingle || !design_.maxButton)
        return;
    QTimer::singleShot(0, this, [this] {
        if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
            return;
        if (size() != designedSize())
            resize(designedSize());
    });
}

} // namespace forms
