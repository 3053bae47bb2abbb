#include "windows.h"

#include "atspi.h"
#include "opened.h"
#include "session.h"

// The design headers of the programs share their file names, so they are named by folder.
#include <credits/form2design.h>
#include <editor/form1design.h>
#include <editor/form2design.h>
#include <installer/form1design.h>

#include <QTest>

namespace e2e {

namespace {

int indexOf(const forms::FormDesign &d, const QString &name)
{
    for (std::size_t i = 0; i < d.controls.size(); ++i)
        if (d.controls[i].name == name)
            return int(i);
    return -1;
}

// The editable text inside a text box: its only child, the line or the page that takes the typing.
Node editorOf(AtSpi &a11y, const Node &textBox)
{
    const std::vector<Node> inner = a11y.children(textBox);
    return inner.empty() ? textBox : inner.front();
}

// Kovilan's editor opens from its password window: the password goes into Text1 and "ОК" is
// pressed. The text is set through the accessibility bus, which takes Cyrillic letters whole
// (synthetic key presses of letters outside the keyboard map can be lost); its length is read
// back, as the box shows only "#".
bool enterPassword(Program &program, AtSpi &a11y)
{
    const forms::FormDesign d = passwordDesign();
    std::vector<Node> controls;
    const bool up = QTest::qWaitFor([&] {
        const std::optional<Node> app = a11y.applicationOf(program.pid());
        if (!app)
            return false;
        for (const Node &n : a11y.children(*app))
            if (a11y.name(n) == d.caption) {
                controls = a11y.children(n);
                return controls.size() >= d.controls.size();
            }
        return false;
    }, 20000);
    if (!up)
        return false;
    const Node text1 = editorOf(a11y, controls[indexOf(d, QStringLiteral("Text1"))]);
    const bool typed = QTest::qWaitFor([&] {
        a11y.setTextContents(text1, Password);
        return a11y.characterCount(text1) == Password.size();
    }, 10000);
    return typed && a11y.doAction(controls[indexOf(d, QStringLiteral("Command1"))]);
}

// "Загрузить" at entry number 0 reads 0.enc of the distribution folder, which names penguin.gif;
// the entry is in once its name is in Text2.
bool loadEntry0(Opened &w)
{
    const forms::FormDesign &d = w.design;
    if (w.a11y.name(w.controls[indexOf(d, QStringLiteral("Label1"))]) != QLatin1String("0"))
        return false;
    if (!w.a11y.doAction(w.controls[indexOf(d, QStringLiteral("Command4"))]))
        return false;
    const Node text2 = editorOf(w.a11y, w.controls[indexOf(d, QStringLiteral("Text2"))]);
    return QTest::qWaitFor([&] { return !w.a11y.text(text2).isEmpty(); }, 10000);
}

} // namespace

const std::vector<WindowCase> &windowCases()
{
    static const std::vector<WindowCase> cases = {
        {QStringLiteral("Install/Form1"), QStringLiteral("Install"), form1Design, {}, QStringLiteral("Drive1"),
         {QStringLiteral("DISK"), QStringLiteral("Drive1"), QStringLiteral("KATALOG"), QStringLiteral("Dir1"),
          QStringLiteral("install")},
         {}, {}, {}},
        {QStringLiteral("Author/Form2"), QStringLiteral("Author"), form2Design, {}, QStringLiteral("Command1"), {}, {},
         {}, {}},
        {QStringLiteral("Kovilan/Form2"), QStringLiteral("Kovilan"), passwordDesign, {}, QStringLiteral("Text1"), {},
         {}, {}, {}},
        {QStringLiteral("Kovilan/form1"), QStringLiteral("Kovilan"), editorDesign, enterPassword,
         QStringLiteral("Command1"), {}, {{QStringLiteral("Label1"), QStringLiteral("0")}}, loadEntry0,
         {{QStringLiteral("Picture1"), QStringLiteral("penguin.gif")}}},
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
