#include "windows.h"

#include <form1design.h>
#include <form2design.h>

namespace e2e {

const std::vector<WindowCase> &windowCases()
{
    static const std::vector<WindowCase> cases = {
        {QStringLiteral("Install/Form1"), QStringLiteral("Install"), form1Design, {}, QStringLiteral("Drive1"),
         {QStringLiteral("DISK"), QStringLiteral("Drive1"), QStringLiteral("KATALOG"), QStringLiteral("Dir1"),
          QStringLiteral("install")},
         {}},
        {QStringLiteral("Author/Form2"), QStringLiteral("Author"), form2Design, {}, QStringLiteral("Command1"), {}, {}},
    };
    return cases;
}

const WindowCase *windowCase(const QString &id)
{
    for (const WindowCase &c : windowCases())
        if (c.id == id)
            return &c;
    return nullptr;
}

} // namespace e2e
