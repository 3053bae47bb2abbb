#include "installlines.h"
#include "treefixture.h"

#include <installation.h>

#include <QTemporaryDir>
#include <QTest>

using fixture::tree;
using fixture::writeFile;
using namespace lines;

namespace {
const QStringList FourFiles = {"file.bin", "data.bin", "konec.bin", "name.txt"};

} // namespace

class tst_Installation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void run_data();
    void run();
    void destinationInsideSource();
    void failures_data();
    void failures();
    void destinationOf_data();
    void destinationOf();

private:
    std::unique_ptr<QTemporaryDir> tmp;
};

void tst_Installation::init()
{
    tmp = std::make_unique<QTemporaryDir>();
}

void tst_Installation::cleanup()
{
    fixture::removeTree(tmp->path());
}

void tst_Installation::run_data()
{
    QTest::addColumn<QStringList>("sourceFiles");
    QTest::addColumn<QStringList>("earlierFiles"); // already in the destination
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("lines");        // without the last line, which names the folder

    const QStringList game = {"trivalon.dat", "maps/map01.map", "music/theme.mid"};
    QTest::newRow("clean source, fresh destination") << game << QStringList() << 1 << QStringList{Copied, P20, Done};
    QTest::newRow("all four files in the source")
        << game + FourFiles << QStringList() << 1 << QStringList{Copied, P20, P40, P60, P80, P100, Done};
    QTest::newRow("only name.txt") << game + QStringList{"name.txt"} << QStringList() << 1
                                   << QStringList{Copied, P20, P100, Done};
    QTest::newRow("four files left by an earlier installation")
        << game << FourFiles << 1 << QStringList{Copied, P20, P40, P60, P80, P100, Done};
    QTest::newRow("data.bin and konec.bin only") << game + QStringList{"data.bin", "konec.bin"} << QStringList() << 1
                                                 << QStringList{Copied, P20, P60, P80, Done};
    QTest::newRow("second click installs again")
        << game + FourFiles << QStringList() << 2
        << QStringList{Copied, P20, P40, P60, P80, P100, Done, Copied, P20, P40, P60, P80, P100, Done};
}

void tst_Installation::run()
{
    QFETCH(QStringList, sourceFiles);
    QFETCH(QStringList, earlierFiles);
    QFETCH(int, clicks);
    QFETCH(QStringList, lines);

    const QString source = tmp->filePath("distribution");
    const QString dir = tmp->filePath("games");
    for (const QString &f : sourceFiles)
        writeFile(source + '/' + f, f.toUtf8());
    QDir().mkpath(dir);
    for (const QString &f : earlierFiles)
        writeFile(dir + "/Trivalon/" + f, "earlier");
    writeFile(dir + "/Trivalon/saves/slot1", "kept");
    const auto sourceBefore = tree(source);

    Installation installation;
    QStringList log;
    for (int i = 0; i < clicks; ++i)
        QCOMPARE(installation.run(source, dir, [&](const QString &l) { log << l; }), Installation::Outcome::Installed);

    QStringList expected;
    const QString last = InstalledAt + dir + "/Trivalon";
    for (const QString &l : lines) {
        expected << l;
        if (l == Done)
            expected << last;
    }
    QCOMPARE(log, expected);

    // The copy holds the source less the four files, plus what the destination already had.
    auto installed = sourceBefore;
    for (const QString &f : FourFiles)
        installed.remove('/' + f.toUtf8());
    installed.insert("/saves", "d");
    installed.insert("/saves/slot1", "f:kept");
    QCOMPARE(tree(dir + "/Trivalon"), installed);
    QCOMPARE(tree(source), sourceBefore);
}

void tst_Installation::destinationInsideSource()
{
    // Right after start the folder list shows the working folder itself.
    const QString source = tmp->filePath("distribution");
    writeFile(source + "/trivalon.dat", "game");
    writeFile(source + "/name.txt", "name");
    const auto sourceBefore = tree(source);

    Installation installation;
    QStringList log;
    for (int click = 0; click < 2; ++click)
        QCOMPARE(installation.run(source, source, [&](const QString &l) { log << l; }),
                 Installation::Outcome::Installed);

    const QString last = InstalledAt + source + "/Trivalon";
    QCOMPARE(log, (QStringList{Copied, P20, P100, Done, last, Copied, P20, P100, Done, last}));
    auto installed = sourceBefore;
    installed.remove("/name.txt");
    QCOMPARE(tree(source + "/Trivalon"), installed);
    auto sourceAfter = tree(source);
    for (auto it = sourceAfter.begin(); it != sourceAfter.end();)
        it = it.key().startsWith("/Trivalon") ? sourceAfter.erase(it) : std::next(it);
    QCOMPARE(sourceAfter, sourceBefore);
}

void tst_Installation::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("the destination is a file") << "destfile";
    QTest::newRow("the working folder is gone") << "nosource";
    QTest::newRow("the destination is the working folder") << "same";
}

void tst_Installation::failures()
{
    QFETCH(QString, fault);
    QString source = tmp->filePath("games/Trivalon");
    QString dir = tmp->filePath("games");
    writeFile(source + "/trivalon.dat", "game");
    writeFile(source + "/name.txt", "name");
    if (fault == "destfile") {
        dir = tmp->filePath("elsewhere");
        writeFile(dir + "/Trivalon", "a file, not a folder");
    } else if (fault == "nosource") {
        source = tmp->filePath("gone");
    }
    const auto before = tree(tmp->path());

    Installation installation;
    QStringList log;
    QCOMPARE(installation.run(source, dir, [&](const QString &l) { log << l; }), Installation::Outcome::Failed);
    QVERIFY2(log.isEmpty(), qPrintable(log.join('|')));
    QCOMPARE(tree(tmp->path()), before);
}

void tst_Installation::destinationOf_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("destination");
    QTest::newRow("a root") << "/" << "/Trivalon";
    QTest::newRow("a mount root with its separator") << "/media/disk/" << "/media/disk/Trivalon";
    QTest::newRow("a folder") << "/home/user/Игры" << "/home/user/Игры/Trivalon";
}

void tst_Installation::destinationOf()
{
    QFETCH(QString, dir);
    QFETCH(QString, destination);
    QCOMPARE(Installation::destinationOf(dir), destination);
}

QTEST_GUILESS_MAIN(tst_Installation)
#include "tst_installation.moc"
