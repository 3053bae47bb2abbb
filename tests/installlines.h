#pragma once
// The installer's log lines, as the tests expect them word for word.

#include <QString>

namespace lines {

inline const QString Copied = QStringLiteral(" Копирование файлов завершено.");
inline const QString P20 = QStringLiteral(" Установка выполнена на 20%.");
inline const QString P40 = QStringLiteral(" Установка выполнена на 40%.");
inline const QString P60 = QStringLiteral(" Установка выполнена на 60%.");
inline const QString P80 = QStringLiteral(" Установка выполнена на 80%.");
inline const QString P100 = QStringLiteral(" Установка выполнена на 100%");
inline const QString Done = QStringLiteral(" Установка игры завершена.");
inline const QString Blocked = QStringLiteral(" Невозможно установить игру по указанному пути.");
inline const QString WillInstall = QStringLiteral(" Игра будет установлена по адресу: ");
inline const QString InstalledAt = QStringLiteral(" Игра установлена по адресу: ");

} // namespace lines
