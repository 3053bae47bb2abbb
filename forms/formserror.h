#pragma once
// Every operation of the forms layer that fails throws this; a handler's failure route is a catch.

#include <QString>
#include <stdexcept>

namespace forms {

class FormsError : public std::runtime_error
{
public:
    explicit FormsError(const QString &what) : std::runtime_error(what.toStdString()) {}
};

} // namespace forms
