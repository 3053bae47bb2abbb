// The editor window driven through its controls, in a temporary working folder that holds a few
// pictures and other files.
#include "fullmedium.h"

#include <form1.h>

#include <beep.h>
#include <commandbutton.h>
#include <filelist.h>
#include <label.h>
#include <picturebox.h>
#include <textbox.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QString Sample = QStringLiteral(SAMPLE_DIR);
const QSize PenguinSize(120, 140);
const QSize EarthSize(200, 150);

} // namespace

class tst_EditorForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensAtZeroWithFocusOnCommand1();
    void tabOrder();
    void stepping_data();
    void stepping();
    void stepPastLargestNumber();
    void saveAtFiveBeforeAnyPicture();
    void descriptionOverSeveralLinesIsSavedAsOneLine();
    void saveThenLoad();
    void loadEntryWithoutPictureClearsPicture1();
    void loadUnreadableEntryChangesNothing_data();
    void loadUnreadableEntryChangesNothing();
    void loadPictureThatCannotBeShown_data();
    void loadPictureThatCannotBeShown();
    void clickPictureThatCannotBeShown_data();
    void clickPictureThatCannotBeShown();
    void listShowsGifFilesOnly();
    void newGifShowsAfterRefresh();
    void saveFailureKeepsEverything_data();
    void saveFailureKeepsEverything();

private:
    QString path(const QString &name) const { return dir_->filePath(name); }
    void click(const char *button);
    void clickFile(const QString &name);
    void type(const char *box, const QString &text);
    QString text(const char *box) const;
    QString label1() const;
    QImage picture1() const;
    QStringList listed() const;
    QStringList folder() const;

    std::unique_ptr<QTemporaryDir> dir_;
    QString oldFolder_;
    QPointer<EditorForm> form_;
};

// The working folder: two pictures (one with a capital extension), a picture that is not one, a
// cut-off picture, a sub-folder with a picture, and files that are not pictures.
void tst_EditorForm::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QFile::copy(Sample + "/penguin.gif", path("penguin.gif")));
    QVERIFY(QFile::copy(Sample + "/earth.gif", path("Earth.GIF")));
    QVERIFY(writeBytes(path("broken.gif"), "this is not a picture"));
    QVERIFY(writeBytes(path("cut.gif"), bytesOf(Sample + "/sun.gif").left(300)));
    QVERIFY(writeBytes(path("notes.txt"), "notes"));
    QVERIFY(writeBytes(path("7.enc"), "penguin.gif\r\nd\r\nn\r\n"));
    QVERIFY(QDir(dir_->path()).mkpath("sub/folder.gif"));
    QVERIFY(QFile::copy(Sample + "/penguin.gif", path("sub/penguin.gif")));
    oldFolder_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));

    form_ = new EditorForm;
    form_->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void tst_EditorForm::cleanup()
{
    delete form_;
    QDir::setCurrent(oldFolder_);
    dir_.reset();
}

void tst_EditorForm::click(const char *button)
{
    QTest::mouseClick(form_->control<forms::CommandButton>(QString::fromLatin1(button)), Qt::LeftButton);
}

void tst_EditorForm::clickFile(const QString &name)
{
    auto *list = form_->control<forms::FileList>(QStringLiteral("File1"));
    const auto items = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    list->scrollToItem(items.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    QCOMPARE(list->fileName(), name);
}

// Key by key, as typed; keyClicks takes Latin-1 only.
void tst_EditorForm::type(const char *box, const QString &text)
{
    QWidget *editor = form_->control<forms::TextBox>(QString::fromLatin1(box))->editor();
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

QString tst_EditorForm::text(const char *box) const
{
    return form_->control<forms::TextBox>(QString::fromLatin1(box))->text();
}

QStringList tst_EditorForm::listed() const
{
    QStringList names;
    auto *list = form_->control<forms::FileList>(QStringLiteral("File1"));
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    return names;
}

QStringList tst_EditorForm::folder() const
{
    return QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString tst_EditorForm::label1() const
{
    return form_->control<forms::Label>(QStringLiteral("Label1"))->text();
}

QImage tst_EditorForm::picture1() const
{
    return form_->control<forms::PictureBox>(QStringLiteral("Picture1"))->picture();
}

void tst_EditorForm::opensAtZeroWithFocusOnCommand1()
{
    QCOMPARE(form_->objectName(), QStringLiteral("form1"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Kovilan"));
    QCOMPARE(form_->size(), QSize(532, 437));
    QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form_->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form_->windowFlags() & Qt::WindowSystemMenuHint);
    QCOMPARE(form_->minimumSize(), QSize(0, 0)); // sizable
    QCOMPARE(label1(), QStringLiteral("0"));
    QVERIFY(picture1().isNull());
    QCOMPARE(text("Text1"), QString());
    QCOMPARE(text("Text2"), QString());
    QApplication::setActiveWindow(form_);
    QTRY_COMPARE(QApplication::focusWidget(), form_->control(QStringLiteral("Command1")));
}

void tst_EditorForm::tabOrder()
{
    QApplication::setActiveWindow(form_);
    QTRY_COMPARE(QApplication::focusWidget(), form_->control(QStringLiteral("Command1")));
    const QStringList expected{"Command2", "Command3", "Picture1", "Text1", "File1",
                               "Text2", "Command4", "Command5", "Command1"};
    QStringList order;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        while (w && w->parentWidget() != form_)
            w = w->parentWidget();
        order.append(w ? w->objectName() : QStringLiteral("<none>"));
    }
    QCOMPARE(order, expected);
}

void tst_EditorForm::stepping_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("shown");
    QTest::newRow("< at 0") << "<" << "0";
    QTest::newRow("< twice at 0") << "<<" << "0";
    QTest::newRow(">") << ">" << "1";
    QTest::newRow("> > >") << ">>>" << "3";
    QTest::newRow("> <") << "><" << "0";
    QTest::newRow("> > < < <") << ">><<<" << "0";
    QTest::newRow("< then >") << "<>" << "1";
}

void tst_EditorForm::stepping()
{
    QFETCH(QString, clicks);
    QFETCH(QString, shown);
    type("Text2", "Имя");
    const int beeps = forms::beepCount();
    for (QChar c : clicks)
        click(c == u'<' ? "Command1" : "Command2");
    QCOMPARE(label1(), shown);
    QCOMPARE(forms::beepCount(), beeps);
    QCOMPARE(text("Text2"), QStringLiteral("Имя"));
}

void tst_EditorForm::stepPastLargestNumber()
{
    auto *next = form_->control<forms::CommandButton>(QStringLiteral("Command2"));
    for (int i = 0; i < 32766; ++i)
        next->click();
    QCOMPARE(label1(), QStringLiteral("32766"));
    const int beeps = forms::beepCount();
    click("Command2");
    QCOMPARE(label1(), QStringLiteral("32767"));
    QCOMPARE(forms::beepCount(), beeps);
    click("Command2");
    QCOMPARE(label1(), QStringLiteral("32767"));
    QCOMPARE(forms::beepCount(), beeps + 1);
    click("Command3");
    QCOMPARE(bytesOf(path("32767.enc")), QByteArray("\r\n\r\n\r\n"));
    click("Command1");
    QCOMPARE(label1(), QStringLiteral("32766"));
}

void tst_EditorForm::saveAtFiveBeforeAnyPicture()
{
    type("Text2", "Пингвин");
    type("Text1", "Птица");
    for (int i = 0; i < 5; ++i)
        click("Command2");
    click("Command3");
    QCOMPARE(bytesOf(path("5.enc")), QByteArray("\r\n\xcf\xf2\xe8\xf6\xe0\r\n\xcf\xe8\xed\xe3\xe2\xe8\xed\r\n"));
    QVERIFY(!QFile::exists(path("0.enc")));
}

void tst_EditorForm::descriptionOverSeveralLinesIsSavedAsOneLine()
{
    type("Text1", "a");
    QTest::keyClick(form_->control<forms::TextBox>(QStringLiteral("Text1"))->editor(), Qt::Key_Return);
    type("Text1", "b");
    QCOMPARE(text("Text1"), QStringLiteral("a\nb"));
    click("Command3");
    QCOMPARE(bytesOf(path("0.enc")), QByteArray("\r\na b\r\n\r\n"));
    QCOMPARE(text("Text1"), QStringLiteral("a\nb"));
}

void tst_EditorForm::saveThenLoad()
{
    click("Command2");
    clickFile("penguin.gif");
    QCOMPARE(picture1().size(), PenguinSize);
    type("Text2", "Пингвин");
    type("Text1", "Живёт во льдах");
    click("Command3");
    const QByteArray saved = bytesOf(path("1.enc"));
    QVERIFY(saved.startsWith("penguin.gif\r\n"));

    type("Text2", " и ещё");
    type("Text1", "!");
    clickFile("Earth.GIF");
    QCOMPARE(picture1().size(), EarthSize);
    click("Command4");
    QCOMPARE(text("Text2"), QStringLiteral("Пингвин"));
    QCOMPARE(text("Text1"), QStringLiteral("Живёт во льдах"));
    QCOMPARE(picture1().size(), PenguinSize);
    QCOMPARE(label1(), QStringLiteral("1"));

    // The picture name came back as well: saving again writes the same file.
    QVERIFY(QFile::remove(path("1.enc")));
    click("Command3");
    QCOMPARE(bytesOf(path("1.enc")), saved);
}

void tst_EditorForm::loadEntryWithoutPictureClearsPicture1()
{
    QVERIFY(writeBytes(path("0.enc"), "\r\n\xce\xef\xe8\xf1\xe0\xed\xe8\xe5\r\n\xc8\xec\xff\r\n"));
    clickFile("penguin.gif");
    QVERIFY(!picture1().isNull());
    const int beeps = forms::beepCount();
    click("Command4");
    QVERIFY(picture1().isNull());
    QCOMPARE(text("Text1"), QStringLiteral("Описание"));
    QCOMPARE(text("Text2"), QStringLiteral("Имя"));
    QCOMPARE(forms::beepCount(), beeps);
    click("Command3");
    QVERIFY(bytesOf(path("0.enc")).startsWith("\r\n"));
}

void tst_EditorForm::loadUnreadableEntryChangesNothing_data()
{
    QTest::addColumn<bool>("entryIsFolder");
    QTest::newRow("missing") << false;
    QTest::newRow("a folder of that name") << true;
}

void tst_EditorForm::loadUnreadableEntryChangesNothing()
{
    QFETCH(bool, entryIsFolder);
    if (entryIsFolder)
        QVERIFY(QDir(dir_->path()).mkdir("0.enc"));
    clickFile("penguin.gif");
    type("Text2", "name");
    type("Text1", "description");
    const int beeps = forms::beepCount();
    click("Command4");
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(text("Text2"), QStringLiteral("name"));
    QCOMPARE(text("Text1"), QStringLiteral("description"));
    QCOMPARE(picture1().size(), PenguinSize);
    QCOMPARE(label1(), QStringLiteral("0"));
    QCOMPARE(QFile::exists(path("0.enc")), entryIsFolder);
}

void tst_EditorForm::loadPictureThatCannotBeShown_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("missing") << "missing.gif";
    QTest::newRow("not a picture") << "broken.gif";
    QTest::newRow("cut short") << "cut.gif";
    QTest::newRow("a folder") << "sub";
    QTest::newRow("folder part") << "sub/penguin.gif";
    QTest::newRow("windows folder part") << "sub\\penguin.gif";
    QTest::newRow("parent folder") << "../penguin.gif";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("absolute") << "<absolute>";
}

void tst_EditorForm::loadPictureThatCannotBeShown()
{
    QFETCH(QString, picture);
    if (picture == u"<absolute>")
        picture = path("penguin.gif"); // a picture that exists, but outside what an entry may name
    const QByteArray entry = QFile::encodeName(picture) + "\r\nd\r\nn\r\n";
    QVERIFY(writeBytes(path("0.enc"), entry));
    clickFile("penguin.gif");
    const int beeps = forms::beepCount();
    click("Command4");
    QCOMPARE(forms::beepCount(), beeps + 1);
    QVERIFY(picture1().isNull());
    QCOMPARE(text("Text1"), QStringLiteral("d"));
    QCOMPARE(text("Text2"), QStringLiteral("n"));
    // The name is kept, so saving the entry again loses nothing.
    QVERIFY(QFile::remove(path("0.enc")));
    click("Command3");
    QCOMPARE(bytesOf(path("0.enc")), entry);
}

void tst_EditorForm::clickPictureThatCannotBeShown_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("removeFirst");
    QTest::newRow("not a picture") << "broken.gif" << false;
    QTest::newRow("cut short") << "cut.gif" << false;
    QTest::newRow("gone since the list was read") << "Earth.GIF" << true;
}

void tst_EditorForm::clickPictureThatCannotBeShown()
{
    QFETCH(QString, file);
    QFETCH(bool, removeFirst);
    clickFile("penguin.gif");
    if (removeFirst)
        QVERIFY(QFile::remove(path(file)));
    const int beeps = forms::beepCount();
    clickFile(file);
    QCOMPARE(forms::beepCount(), beeps + 1);
    QVERIFY(picture1().isNull());
    click("Command3");
    QVERIFY(bytesOf(path("0.enc")).startsWith("penguin.gif\r\n"));
}

void tst_EditorForm::listShowsGifFilesOnly()
{
    const QStringList gifs{"broken.gif", "cut.gif", "Earth.GIF", "penguin.gif"};
    QCOMPARE(listed(), gifs);
    click("Command3");
    QVERIFY(QFile::exists(path("0.enc")));
    click("Command5");
    QCOMPARE(listed(), gifs);
}

void tst_EditorForm::newGifShowsAfterRefresh()
{
    QVERIFY(QFile::copy(Sample + "/galaxy.gif", path("Galaxy.gif")));
    QVERIFY(!listed().contains("Galaxy.gif"));
    click("Command5");
    QCOMPARE(listed(), (QStringList{"broken.gif", "cut.gif", "Earth.GIF", "Galaxy.gif", "penguin.gif"}));
    clickFile("Galaxy.gif");
    QCOMPARE(picture1().size(), QSize(260, 160));
}

void tst_EditorForm::saveFailureKeepsEverything_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fullAfter"); // bytes the medium takes; -1 for no limit
    QTest::addColumn<bool>("entryIsFolder");
    QTest::newRow("full medium") << "Пингвин" << 10 << false;
    QTest::newRow("medium full at once") << "Пингвин" << 0 << false;
    QTest::newRow("entry name taken by a folder") << "Пингвин" << -1 << true;
    QTest::newRow("text outside the code page") << "Пингвин 日本" << -1 << false;
}

void tst_EditorForm::saveFailureKeepsEverything()
{
    QFETCH(QString, name);
    QFETCH(int, fullAfter);
    QFETCH(bool, entryIsFolder);
    const QByteArray old("earth.gif\r\nold\r\nentry\r\n");
    if (entryIsFolder)
        QVERIFY(QDir(dir_->path()).mkdir("0.enc"));
    else
        QVERIFY(writeBytes(path("0.enc"), old));
    const QStringList before = folder();
    clickFile("penguin.gif");
    type("Text2", name);
    type("Text1", "Описание");
    const int beeps = forms::beepCount();
    {
        std::optional<FullMedium> full;
        if (fullAfter >= 0)
            full.emplace(rlim_t(fullAfter));
        click("Command3");
    }
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(text("Text2"), name);
    QCOMPARE(text("Text1"), QStringLiteral("Описание"));
    QCOMPARE(picture1().size(), PenguinSize);
    QCOMPARE(label1(), QStringLiteral("0"));
    QCOMPARE(folder(), before);
    if (entryIsFolder)
        QVERIFY(QFileInfo(path("0.enc")).isDir());
    else
        QCOMPARE(bytesOf(path("0.enc")), old);
}

QTEST_MAIN(tst_EditorForm)
#include "tst_editorform.moc"
