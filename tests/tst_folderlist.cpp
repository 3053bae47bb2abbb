// The folder list on its own, driven the way a person drives it: clicks, keys and typing on a
// real folder tree, what it draws, and what a screen reader is told of its rows.

#include "treefixture.h"

#include <beep.h>
#include <folderlist.h>

#include <QAccessible>
#include <QApplication>
#include <QWheelEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList rowTexts(const forms::FolderList &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.rowText(i);
    return out;
}

// The path's folders from the root down, as the list shows them above the subfolders.
QStringList chainOf(const QString &path)
{
    return QStringList{QStringLiteral("/")} + path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

} // namespace

class tst_FolderList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsAreThePathThenTheSubfolders();
    void keys_data();
    void keys();
    void enterAndDoubleClickOpen();
    void folderGoneSinceShownBeeps();
    void currentRowStaysInView();
    void madeBeforeItsSizeShowsFromTheTop();
    void deepPathKeepsItsNameVisible();
    void selectedRowIsDrawnMarked();
    void screenReaderSeesTheRows();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<QWidget> window;
    forms::FolderList *list = nullptr;
    QString games() const { return tmp->filePath(QStringLiteral("games")); }
    int rowOf(const QString &text) const { return rowTexts(*list).indexOf(text); }
};

void tst_FolderList::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    for (const char *sub : {"Beta", "alpha", "Гамма", "charlie", "bravo"})
        QDir().mkpath(games() + QLatin1Char('/') + QString::fromUtf8(sub));
    fixture::writeFile(games() + QStringLiteral("/file.bin"), "not a folder");
    window = std::make_unique<QWidget>();
    window->resize(200, 200);
    list = new forms::FolderList(window.get());
    list->setGeometry(10, 10, 105, 126);
    list->setPath(games());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    list->setFocus();
}

void tst_FolderList::cleanup()
{
    window.reset();
    fixture::removeTree(tmp->path());
}

void tst_FolderList::rowsAreThePathThenTheSubfolders()
{
    // Subfolders sorted without regard to case, files left out; the folder shown is selected.
    const QStringList subfolders = {"alpha", "Beta", "bravo", "charlie", "Гамма"};
    QCOMPARE(rowTexts(*list), chainOf(games()) + subfolders);
    QCOMPARE(list->currentRow(), chainOf(games()).size() - 1);
    QCOMPARE(list->rowPath(rowOf("bravo")), games() + "/bravo");
    QCOMPARE(list->rowPath(0), QStringLiteral("/"));
    QCOMPARE(list->rowText(list->count()), QString());
}

void tst_FolderList::keys_data()
{
    QTest::addColumn<QString>("typed"); // keys by name, or the letters typed after '='
    QTest::addColumn<QString>("selected");

    QTest::newRow("down to the first subfolder") << "Down" << "alpha";
    QTest::newRow("up to the parent") << "Up" << ".."; // the temporary folder's name
    QTest::newRow("home") << "Home" << "/";
    QTest::newRow("end") << "End" << "Гамма";
    QTest::newRow("down past the end stays") << "End Down Down" << "Гамма";
    QTest::newRow("up past the root stays") << "Home Up" << "/";
    QTest::newRow("a letter") << "=b" << "Beta";
    QTest::newRow("the same letter again goes on") << "=bb" << "bravo";
    QTest::newRow("a word") << "=br" << "bravo";
    QTest::newRow("without regard to case") << "=C" << "charlie";
    QTest::newRow("Cyrillic") << "=г" << "Гамма";
    QTest::newRow("no match stays") << "=x" << "games";
}

void tst_FolderList::keys()
{
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    if (selected == QLatin1String(".."))
        selected = QFileInfo(tmp->path()).fileName();
    QSignalSpy changes(list, &forms::FolderList::change);
    if (typed.startsWith(QLatin1Char('='))) {
        // Typed as text, so that Cyrillic letters arrive as a keyboard gives them.
        for (const QChar c : typed.mid(1))
            QTest::sendKeyEvent(QTest::Click, list, Qt::Key_unknown, QString(c), Qt::NoModifier);
    } else {
        static const QMap<QString, Qt::Key> keys = {{"Up", Qt::Key_Up}, {"Down", Qt::Key_Down},
                                                    {"Home", Qt::Key_Home}, {"End", Qt::Key_End}};
        for (const QString &k : typed.split(QLatin1Char(' ')))
            QTest::keyClick(list, keys.value(k));
    }
    QCOMPARE(list->rowText(list->currentRow()), selected);
    // Moving about only selects.
    QCOMPARE(list->path(), games());
    QCOMPARE(changes.count(), 0);
}

void tst_FolderList::enterAndDoubleClickOpen()
{
    QSignalSpy changes(list, &forms::FolderList::change);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(list->path(), games() + "/alpha");
    QCOMPARE(changes.count(), 1);

    // A double-click below the last row, or Enter on the folder already shown, changes nothing.
    QVERIFY(list->rowRect(list->count() - 1).bottom() < list->viewport()->height() - 4);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 2));
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(list->path(), games() + "/alpha");
    QCOMPARE(changes.count(), 1);

    // A single click selects, the second click of a double-click opens.
    const QPoint up = list->rowRect(rowOf("games")).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, up);
    QCOMPARE(list->path(), games() + "/alpha");
    QCOMPARE(list->rowText(list->currentRow()), QStringLiteral("games"));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, up);
    QCOMPARE(list->path(), games());
    QCOMPARE(changes.count(), 2);
}

void tst_FolderList::folderGoneSinceShownBeeps()
{
    // The list was read before the folder was removed: opening it beeps and keeps the path.
    QVERIFY(QDir(games() + "/bravo").removeRecursively());
    QSignalSpy changes(list, &forms::FolderList::change);
    const int beeps = forms::beepCount();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(rowOf("bravo")).center());
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(list->path(), games());
    QCOMPARE(changes.count(), 0);
}

void tst_FolderList::currentRowStaysInView()
{
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(games() + QStringLiteral("/many/sub%1").arg(i, 2, 10, QLatin1Char('0')));
    list->setPath(games() + "/many");
    const QRect view = list->viewport()->rect();
    QVERIFY(list->verticalScrollBar()->isVisible());

    QTest::keyClick(list, Qt::Key_End);
    QVERIFY(view.contains(list->rowRect(list->count() - 1)));
    // What is drawn under the pointer is what a click there selects.
    const int above = list->count() - 3;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(above).center());
    QCOMPARE(list->currentRow(), above);

    QTest::keyClick(list, Qt::Key_PageUp);
    QVERIFY(list->currentRow() < above);
    QVERIFY(view.contains(list->rowRect(list->currentRow())));
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QTest::keyClick(list, Qt::Key_PageDown);
    QVERIFY(list->currentRow() > 0);
    QVERIFY(view.contains(list->rowRect(list->currentRow())));

    // The wheel scrolls without selecting.
    const int selected = list->currentRow();
    QWheelEvent wheel(QPointF(20, 20), list->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
    QVERIFY(list->verticalScrollBar()->value() > 0);
    QCOMPARE(list->currentRow(), selected);
}

void tst_FolderList::madeBeforeItsSizeShowsFromTheTop()
{
    // A form makes the list, which reads the working folder at once, and only then gives it its
    // size: the rows above the folder shown stay in view when there is room for them.
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(games() + QStringLiteral("/many/sub%1").arg(i, 2, 10, QLatin1Char('0')));
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(games() + "/many"));
    QWidget form;
    auto *made = new forms::FolderList(&form);
    QDir::setCurrent(oldCwd);
    made->setGeometry(10, 10, 105, 200);
    form.resize(200, 250);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(made->rowText(made->currentRow()), QStringLiteral("many"));
    QVERIFY(made->rowRect(made->currentRow()).bottom() < made->viewport()->height());
    QCOMPARE(made->verticalScrollBar()->value(), 0);
}

void tst_FolderList::deepPathKeepsItsNameVisible()
{
    // Two hundred levels: the indent stops where the name would have no room, so the folder
    // shown is still drawn inside the list, marked.
    QString deep = games();
    for (int i = 0; i < 200; ++i)
        deep += QStringLiteral("/d");
    QVERIFY(QDir().mkpath(deep));
    list->setPath(deep);
    QCOMPARE(list->count(), chainOf(deep).size());
    const QRect row = list->rowRect(list->currentRow());
    QVERIFY(list->viewport()->rect().contains(row));
    const QImage shot = list->viewport()->grab().toImage();
    const QColor highlight = list->palette().color(QPalette::Highlight);
    QCOMPARE(shot.pixelColor(row.right() - 4, row.center().y()), highlight);
}

void tst_FolderList::selectedRowIsDrawnMarked()
{
    // The selected row is filled with the highlight; the others are not.
    QTest::keyClick(list, Qt::Key_End);
    QTest::qWait(0);
    const QImage shot = list->viewport()->grab().toImage();
    const QColor highlight = list->palette().color(QPalette::Highlight);
    for (int i = 0; i < list->count(); ++i) {
        const QRect r = list->rowRect(i);
        if (!list->viewport()->rect().contains(r))
            continue;
        QCOMPARE(shot.pixelColor(r.right() - 4, r.center().y()) == highlight, i == list->currentRow());
    }
}

void tst_FolderList::screenReaderSeesTheRows()
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(list);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::List);
    QCOMPARE(iface->childCount(), list->count());
    for (int i = 0; i < list->count(); ++i) {
        QAccessibleInterface *row = iface->child(i);
        QVERIFY(row);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(row->text(QAccessible::Name), list->rowText(i));
        QCOMPARE(row->state().selected, i == list->currentRow());
        QCOMPARE(row->parent(), iface);
        QCOMPARE(iface->indexOfChild(row), i);
    }
    QVERIFY(iface->child(list->count()) == nullptr);
    QAccessibleInterface *focused = iface->child(list->currentRow());
    QVERIFY(focused->state().focused);
    QCOMPARE(iface->childAt(focused->rect().center().x(), focused->rect().center().y()), focused);

    // After opening a folder with fewer rows, the rows past the end are no longer valid.
    QAccessibleInterface *last = iface->child(list->count() - 1);
    QDir().mkpath(games() + "/alpha/only");
    list->setPath(games() + "/alpha");
    QCOMPARE(iface->childCount(), list->count());
    QCOMPARE(iface->child(list->count() - 1)->text(QAccessible::Name), QStringLiteral("only"));
    QVERIFY(!last->isValid());
    QCOMPARE(last->text(QAccessible::Name), QString());
}

QTEST_MAIN(tst_FolderList)
#include "tst_folderlist.moc"
