#pragma once
// A picture box or image: the picture at its own size from the top-left corner, cut off where it
// does not fit, never scaled. A picture box takes the focus and has a sunken border; an image
// neither.

#include "design.h"

#include <QFrame>
#include <QImage>

namespace forms {

class PictureBox : public QFrame
{
    Q_OBJECT
public:
    PictureBox(const ControlDesign &design, QWidget *parent);

    // Loads the picture from a path (an empty path clears it); throws and keeps the old picture
    // when the file cannot be shown.
    void loadPicture(const QString &path);
    void setPicture(const QImage &image);
    void clear() { setPicture({}); }
    const QImage &picture() const { return image_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage image_;
};

} // namespace forms
