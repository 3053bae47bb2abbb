#pragma once
// Pictures from files (GIF and BMP at least): an empty path is no picture, anything else either
// decodes whole or fails.

#include <QImage>
#include <QString>

namespace forms {

QImage loadPicture(const QString &path);

} // namespace forms

#include <QCursor>
#include <QIcon>

namespace forms {

// A window icon from a Windows .ico file, with every image it holds. Only the icon reader is
// loaded, not every picture format there is; an unreadable file gives a null icon.
QIcon iconFromFile(const QString &path);

// A cursor from a Windows .cur file, with the hot spot its header gives.
QCursor cursorFromFile(const QString &path);

} // namespace forms
