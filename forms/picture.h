#pragma once
// Pictures from files (GIF and BMP at least): an empty path is no picture, anything else either
// decodes whole or fails.

#include <QImage>
#include <QString>

namespace forms {

QImage loadPicture(const QString &path);

} // namespace forms

#include <QCursor>

namespace forms {

// A cursor from a Windows .cur file, with the hot spot its header gives.
QCursor cursorFromFile(const QString &path);

} // namespace forms
