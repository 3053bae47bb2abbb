#include "installlines.h"
#include "treefixture.h"

#include <beep.h>
#include <commandbutton.h>
#include <drivelist.h>
#include <folderlist.h>
#include <form1.h>

#include <QComboBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using fixture::writeFile;
using namespace lines;

namespace {

int rowOf(forms::FolderList *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->rowText(i) == text)
            return i;
    return -1;
}

void doubleClickRow(forms::FolderList *list, const QString &text)
{
    const int row = rowOf(list, text);
    QVERIFY2(row >= 0, qPrintable(text));
    const QPoint at = list->rowRect(row).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startState();
    void openingFoldersDrawsOneLineEach();
    void singleClickOnlySelects();
    void driveNotReadyBlocksAndReadyDriveUnblocks();
    void installThroughTheWindow();
    void failedInstallBlocks();
    void columnStandsAgainstRightEdge();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString oldCwd;
    QPointer<Form1> form;
    forms::FolderList *dir() { return form->control<forms::FolderList>("Dir1"); }
    forms::DriveList *drive() { return form->control<forms::DriveList>("Drive1"); }
    forms::CommandButton *install() { return form->control<forms::CommandButton>("install"); }
};

void tst_Form1::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    oldCwd = QDir::currentPath();
    const QString wf = tmp->filePath("distribution");
    writeFile(wf + "/trivalon.dat", "game");
    writeFile(wf + "/file.bin", "f");
    QDir().mkpath(tmp->filePath("games/a/b/c"));
    QVERIFY(QDir::setCurrent(wf));
    form = new Form1;
    form->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void tst_Form1::cleanup()
{
    delete form;
    QDir::setCurrent(oldCwd);
    fixture::removeTree(tmp->path());
}

void tst_Form1::startState()
{
    QCOMPARE(form->windowTitle(), QString("Установка программы \"TRIVALON\""));
    QCOMPARE(form->size(), QSize(647, 238));
    QVERIFY(form->printedLines().isEmpty());
    QVERIFY(install()->isEnabled());
    QVERIFY(dir()->isEnabled());
    QCOMPARE(dir()->path(), tmp->filePath("distribution"));
    QCOMPARE(drive()->drive(), forms::volumeOf(tmp->path()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(drive()));
    // The window's icon, with both images of its file.
    const QList<QSize> sizes = form->windowIcon().availableSizes();
    QVERIFY2(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)), qPrintable(QDebug::toString(sizes)));
}

void tst_Form1::openingFoldersDrawsOneLineEach()
{
    dir()->setPath(tmp->filePath("games"));
    QCOMPARE(form->printedLines(), QStringList{WillInstall + tmp->filePath("games")});
    doubleClickRow(dir(), "a");
    doubleClickRow(dir(), "b");
    // Enter opens the selected folder too.
    dir()->setCurrentRow(rowOf(dir(), "c"));
    dir()->setFocus();
    QTest::keyClick(dir(), Qt::Key_Return);
    QCOMPARE(form->printedLines(), (QStringList{WillInstall + tmp->filePath("games"),
                                                WillInstall + tmp->filePath("games/a"),
                                                WillInstall + tmp->filePath("games/a/b"),
                                                WillInstall + tmp->filePath("games/a/b/c")}));
    // Going back up through the path shown above the subfolders.
    doubleClickRow(dir(), "games");
    QCOMPARE(form->printedLines().last(), WillInstall + tmp->filePath("games"));
}

void tst_Form1::singleClickOnlySelects()
{
    dir()->setPath(tmp->filePath("games"));
    const int row = rowOf(dir(), "a");
    QTest::mouseClick(dir()->viewport(), Qt::LeftButton, {}, dir()->rowRect(row).center());
    QCOMPARE(dir()->currentRow(), row);
    QCOMPARE(dir()->path(), tmp->filePath("games"));
    QCOMPARE(form->printedLines().size(), 1);
}

void tst_Form1::driveNotReadyBlocksAndReadyDriveUnblocks()
{
    const QString own = forms::volumeOf(tmp->path());
    drive()->setDrives({forms::Volume{own, {}}, forms::Volume{tmp->filePath("no-medium"), "USB"}});
    dir()->setPath(tmp->filePath("games"));
    const int linesBefore = form->printedLines().size();
    const int beeps = forms::beepCount();

    // The user moves down the drive list to the drive with no medium.
    drive()->setFocus();
    QTest::keyClick(drive(), Qt::Key_Down);
    QCOMPARE(drive()->drive(), tmp->filePath("no-medium"));
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(form->printedLines().mid(linesBefore), QStringList{Blocked});
    QVERIFY(!install()->isEnabled());
    QVERIFY(!dir()->isEnabled());
    QVERIFY(drive()->isEnabled());

    // A ready drive: its current folder is the working folder, whose path line is drawn.
    QTest::keyClick(drive(), Qt::Key_Up);
    QCOMPARE(form->printedLines().mid(linesBefore),
             (QStringList{Blocked, WillInstall + tmp->filePath("distribution")}));
    QVERIFY(install()->isEnabled());
    QVERIFY(dir()->isEnabled());
    QCOMPARE(forms::beepCount(), beeps + 1);
}

void tst_Form1::installThroughTheWindow()
{
    dir()->setPath(tmp->filePath("games"));
    QTest::mouseClick(install(), Qt::LeftButton);
    QCOMPARE(form->printedLines(), (QStringList{WillInstall + tmp->filePath("games"),
                                                " Копирование файлов завершено.",
                                                " Установка выполнена на 20%.",
                                                " Установка выполнена на 40%.",
                                                " Установка игры завершена.",
                                                InstalledAt + tmp->filePath("games/Trivalon")}));
    QCOMPARE(fixture::readFile(tmp->filePath("games/Trivalon/trivalon.dat")), QByteArray("game"));
    QVERIFY(!QFileInfo::exists(tmp->filePath("games/Trivalon/file.bin")));
    QVERIFY(QFileInfo::exists(tmp->filePath("distribution/file.bin")));
    QVERIFY(install()->isEnabled());
}

void tst_Form1::failedInstallBlocks()
{
    writeFile(tmp->filePath("games/Trivalon"), "a file where the folder goes");
    dir()->setPath(tmp->filePath("games"));
    const int beeps = forms::beepCount();
    QTest::mouseClick(install(), Qt::LeftButton);
    QCOMPARE(form->printedLines(), (QStringList{WillInstall + tmp->filePath("games"), Blocked}));
    QCOMPARE(forms::beepCount(), beeps + 1);
    QVERIFY(!install()->isEnabled());
    QVERIFY(!dir()->isEnabled());
    QCOMPARE(fixture::readFile(tmp->filePath("games/Trivalon")), QByteArray("a file where the folder goes"));
}

void tst_Form1::columnStandsAgainstRightEdge()
{
    // Every control of the column: outer width (frame included) less 1575 less 100 twips.
    const int outer = form->frameGeometry().width();
    const int left = qRound((outer * 15 - 1575 - 100) / 15.0);
    for (const char *name : {"DISK", "Drive1", "KATALOG", "Dir1", "install"}) {
        QWidget *w = form->control(name);
        QCOMPARE(w->x(), left);
        QCOMPARE(w->width(), 105);
    }
    QCOMPARE(form->control("DISK")->geometry(), QRect(left, 8, 105, 17));
    QCOMPARE(form->control("Drive1")->geometry(), QRect(left, 24, 105, 21));
    QCOMPARE(form->control("KATALOG")->geometry(), QRect(left, 48, 105, 17));
    QCOMPARE(form->control("Dir1")->geometry(), QRect(left, 64, 105, 126));
    QCOMPARE(form->control("install")->geometry(), QRect(left, 200, 105, 33));
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
