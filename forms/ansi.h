#pragma once
// Text in the system's ANSI code page, Windows-1251, whatever the locale says.

#include <QByteArray>
#include <QString>
#include <optional>

namespace forms {

// The Windows-1251 bytes of a text, or nothing when a character has no place in the code page.
std::optional<QByteArray> toAnsi(const QString &text);
QString fromAnsi(const QByteArray &bytes);

} // namespace forms
