#include "picturebox.h"

#include "picture.h"
#include "units.h"

#include <QPainter>

namespace forms {

PictureBox::PictureBox(const ControlDesign &design, QWidget *parent)
    : QFrame(parent)
{
    if (design.kind == ControlKind::PictureBox) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setFocusPolicy(Qt::StrongFocus);
    } else {
        setFrameStyle(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
    }
    if (design.backColor) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, colorFromBgr(*design.backColor));
        setPalette(pal);
        setAutoFillBackground(true);
    }
    if (!design.picture.isEmpty())
        image_ = forms::loadPicture(design.picture);
}

void PictureBox::loadPicture(const QString &path)
{
    setPicture(forms::loadPicture(path));
}

void PictureBox::setPicture(const QImage &image)
{
    image_ = image;
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (image_.isNull())
        return;
    QPainter p(this);
    const QRect area = contentsRect();
    p.setClipRect(area);
    // One picture pixel to one device-independent pixel, whatever the scale of the screen.
    QImage shown = image_;
    shown.setDevicePixelRatio(1.0);
    p.drawImage(area.topLeft(), shown);
}

} // namespace forms
