// A helper of tst_savefaults, run as a process of its own in the working folder it is given by
// its parent (which may have dropped to another user or limited the file size first).
//   savehelper window <name> <description>: opens the editor window offscreen, types the two
//       texts, presses "Сохранить" once and prints the beeps it heard and the texts on screen.
//   savehelper loop: saves entry 0 over and over, alternating two entries, until killed; it
//       writes one byte to its standard output once the first save is done.

#include <entryfile.h>
#include <form1.h>

#include <beep.h>
#include <commandbutton.h>
#include <textbox.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <unistd.h>

const Entry Old{QStringLiteral("earth.gif"), QStringLiteral("Старое описание"), QStringLiteral("Старое")};
const Entry New{QStringLiteral("penguin.gif"),
                QStringLiteral("Новое описание, гораздо длиннее старого, чтобы файлы различались длиной"),
                QStringLiteral("Новое")};

int main(int argc, char *argv[])
{
    if (argc == 2 && QByteArray(argv[1]) == "loop") {
        for (unsigned i = 0;; ++i) {
            writeEntry(QStringLiteral("0.enc"), i % 2 ? Old : New);
            if (i == 0 && ::write(1, "r", 1) != 1)
                return 2;
        }
    }
    if (argc == 4 && QByteArray(argv[1]) == "window") {
        QApplication app(argc, argv);
        EditorForm form;
        form.showForm();
        auto *name = form.control<forms::TextBox>(QStringLiteral("Text2"));
        auto *description = form.control<forms::TextBox>(QStringLiteral("Text1"));
        name->setText(QString::fromUtf8(argv[2]));
        description->setText(QString::fromUtf8(argv[3]));
        QTest::mouseClick(form.control<forms::CommandButton>(QStringLiteral("Command3")), Qt::LeftButton);
        std::printf("%d\n%s\n%s\n", forms::beepCount(), name->text().toUtf8().constData(),
                    description->text().toUtf8().constData());
        return 0;
    }
    std::fprintf(stderr, "usage: savehelper window <name> <description> | loop\n");
    return 2;
}
