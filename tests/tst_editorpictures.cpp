// The editor window meets pictures that cannot be shown, through File1's click and through
// "Загрузить": one beep, Picture1 cleared, no crash or hang, memory bounded by Qt's allocation
// limit, and the window goes on working. A click keeps the picture name it had; a load takes the
// texts and the picture name from the entry.

#include "picturefixture.h"
#include "treefixture.h"

#include <form1.h>

#include <beep.h>
#include <commandbutton.h>
#include <filelist.h>
#include <picturebox.h>
#include <textbox.h>

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace fixture;

class tst_EditorPictures : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hostile_data();
    void hostile();

private:
    void clickFile(const QString &name);
    void click(const char *button);
    QImage picture1() const { return form->control<forms::PictureBox>("Picture1")->picture(); }
    QString text(const char *box) const { return form->control<forms::TextBox>(box)->text(); }

    std::unique_ptr<QTemporaryDir> tmp;
    QString oldCwd;
    std::unique_ptr<EditorForm> form;
};

void tst_EditorPictures::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    writeFile(tmp->filePath("good.gif"), gif(5, 3));
    oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp->path()));
}

void tst_EditorPictures::cleanup()
{
    form.reset();
    QDir::setCurrent(oldCwd);
    fixture::removeTree(tmp->path());
}

void tst_EditorPictures::click(const char *button)
{
    QTest::mouseClick(form->control<forms::CommandButton>(button), Qt::LeftButton);
}

void tst_EditorPictures::clickFile(const QString &name)
{
    auto *list = form->control<forms::FileList>("File1");
    const auto items = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    QCOMPARE(list->fileName(), name);
}

void tst_EditorPictures::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("special");
    for (const HostilePicture &h : hostilePictures())
        QTest::newRow(h.row) << h.bytes << h.special;
}

void tst_EditorPictures::hostile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, special);
    const int limit = QImageReader::allocationLimit();
    // The list shows p.gif as a good picture; then it is replaced by the hostile one, the way a
    // file can change after the list was read (a fifo or a folder is never listed).
    const QString hostile = tmp->filePath("p.gif");
    writeFile(hostile, gif(2, 2));
    form = std::make_unique<EditorForm>();
    form->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QFile::remove(hostile);
    QVERIFY(makePicture(hostile, bytes, special));

    // A click in the list.
    clickFile("good.gif");
    QCOMPARE(picture1().size(), QSize(5, 3));
    int beeps = forms::beepCount();
    clickFile("p.gif");
    QCOMPARE(forms::beepCount(), beeps + 1);
    QVERIFY(picture1().isNull());
    click("Command3");
    QVERIFY(readFile(tmp->filePath("0.enc")).startsWith("good.gif\r\n"));

    // An entry that names it.
    writeFile(tmp->filePath("0.enc"), "p.gif\r\nd\r\nn\r\n");
    clickFile("good.gif");
    beeps = forms::beepCount();
    click("Command4");
    QCOMPARE(forms::beepCount(), beeps + 1);
    QVERIFY(picture1().isNull());
    QCOMPARE(text("Text1"), QStringLiteral("d"));
    QCOMPARE(text("Text2"), QStringLiteral("n"));

    // The window goes on working.
    clickFile("good.gif");
    QCOMPARE(picture1().size(), QSize(5, 3));
    click("Command2");
    click("Command3");
    QCOMPARE(readFile(tmp->filePath("1.enc")), QByteArray("good.gif\r\nd\r\nn\r\n"));
    QCOMPARE(QImageReader::allocationLimit(), limit);
}

QTEST_MAIN(tst_EditorPictures)
#include "tst_editorpictures.moc"
