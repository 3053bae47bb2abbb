#include "treefixture.h"

#include <copyengine.h>

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using fixture::tree;
using fixture::writeFile;

namespace {

std::filesystem::path fsPath(const QString &p)
{
    return std::filesystem::path(QFile::encodeName(p).toStdString());
}

struct stat statOf(const QString &path)
{
    struct stat st{};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

class tst_CopyEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void copiesTreeWithItsFoldersAndFiles();
    void keepsPermissionsAndTimes();
    void replacesSameNamesAndKeepsExtras();
    void linksStayLinksAndSpecialFilesAreSkipped();
    void destinationInsideSourceIsLeftOut();
    void refusals_data();
    void refusals();
    void stopsAtFirstError();
    void byteNamesAreCopiedAsTheyAre();
    void deepTree();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString src, dst;
};

void tst_CopyEngine::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    src = tmp->filePath("src");
    dst = tmp->filePath("out/Trivalon");
    QDir().mkpath(src);
}

void tst_CopyEngine::cleanup()
{
    fixture::removeTree(tmp->path());
}

void tst_CopyEngine::copiesTreeWithItsFoldersAndFiles()
{
    writeFile(src + "/a.txt", "alpha");
    writeFile(src + "/sub/b.bin", QByteArray(200000, 'b'));
    writeFile(src + "/sub/deeper/c", "");
    QDir().mkpath(src + "/empty");
    const auto before = tree(src);
    for (unsigned threads : {1u, 2u, 8u}) {
        QDir(tmp->filePath("out")).removeRecursively();
        CopyEngine(threads).copyTree(fsPath(src), fsPath(dst));
        QCOMPARE(tree(dst), before);
    }
    QCOMPARE(tree(src), before);
}

void tst_CopyEngine::keepsPermissionsAndTimes()
{
    writeFile(src + "/run.sh", "#!/bin/sh\n");
    ::chmod(QFile::encodeName(src + "/run.sh"), 0751);
    writeFile(src + "/ro/data", "x");
    ::chmod(QFile::encodeName(src + "/ro/data"), 0444);
    ::chmod(QFile::encodeName(src + "/ro"), 0555);
    const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(QFile::encodeName(src + "/run.sh"), old);
    ::utimes(QFile::encodeName(src + "/ro"), old);

    CopyEngine().copyTree(fsPath(src), fsPath(dst));

    for (const char *rel : {"/run.sh", "/ro", "/ro/data"}) {
        const struct stat a = statOf(src + rel), b = statOf(dst + rel);
        QCOMPARE(b.st_mode & 07777, a.st_mode & 07777);
        QCOMPARE(b.st_mtim.tv_sec, a.st_mtim.tv_sec);
    }
    ::chmod(QFile::encodeName(src + "/ro"), 0755);
    ::chmod(QFile::encodeName(dst + "/ro"), 0755);
}

void tst_CopyEngine::replacesSameNamesAndKeepsExtras()
{
    writeFile(src + "/game.dat", "new");
    writeFile(src + "/maps/1.map", "new map");
    writeFile(dst + "/game.dat", "an older and much longer content");
    writeFile(dst + "/maps/1.map", "old map");
    writeFile(dst + "/saves/slot1", "the player's save");
    // A link where a file goes is replaced by the file, never written through.
    writeFile(tmp->filePath("outside"), "must stay");
    QFile::link(tmp->filePath("outside"), dst + "/link-then-file");
    writeFile(src + "/link-then-file", "file");

    CopyEngine().copyTree(fsPath(src), fsPath(dst));

    QCOMPARE(fixture::readFile(dst + "/game.dat"), QByteArray("new"));
    QCOMPARE(fixture::readFile(dst + "/maps/1.map"), QByteArray("new map"));
    QCOMPARE(fixture::readFile(dst + "/saves/slot1"), QByteArray("the player's save"));
    QCOMPARE(fixture::readFile(dst + "/link-then-file"), QByteArray("file"));
    QCOMPARE(fixture::readFile(tmp->filePath("outside")), QByteArray("must stay"));
}

void tst_CopyEngine::linksStayLinksAndSpecialFilesAreSkipped()
{
    writeFile(src + "/real", "r");
    QFile::link("real", src + "/good-link");
    QFile::link("nowhere", src + "/dangling");
    QFile::link(".", src + "/loop");
    QFile::link("/etc", src + "/outside");
    QVERIFY(::mkfifo(QFile::encodeName(src + "/pipe"), 0600) == 0);

    CopyEngine().copyTree(fsPath(src), fsPath(dst));

    auto expected = tree(src);
    expected.remove("/pipe");
    QCOMPARE(tree(dst), expected);
    QCOMPARE(tree(dst).value("/loop"), QByteArray("l:."));
}

void tst_CopyEngine::destinationInsideSourceIsLeftOut()
{
    writeFile(src + "/a", "a");
    writeFile(src + "/sub/b", "b");
    const QString inner = src + "/Trivalon";
    const auto before = tree(src);

    CopyEngine().copyTree(fsPath(src), fsPath(inner));
    QCOMPARE(tree(inner), before);

    // Again, with the earlier copy now inside the source: it is still not copied into itself.
    CopyEngine().copyTree(fsPath(src), fsPath(inner));
    QCOMPARE(tree(inner), before);
    QVERIFY(!QFileInfo::exists(inner + "/Trivalon"));
}

void tst_CopyEngine::refusals_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("destination is a file") << "file";
    QTest::newRow("destination is the source") << "same";
    QTest::newRow("source missing") << "nosource";
    QTest::newRow("source is a file") << "sourcefile";
}

void tst_CopyEngine::refusals()
{
    QFETCH(QString, setup);
    writeFile(src + "/keep", "keep");
    QString from = src, to = dst;
    if (setup == "file")
        writeFile(dst, "a file stands here");
    if (setup == "same")
        to = src;
    if (setup == "nosource")
        from = tmp->filePath("missing");
    if (setup == "sourcefile")
        from = src + "/keep";
    const auto before = tree(tmp->path());
    QVERIFY_THROWS_EXCEPTION(CopyError, CopyEngine().copyTree(fsPath(from), fsPath(to)));
    QCOMPARE(tree(tmp->path()), before);
}

void tst_CopyEngine::stopsAtFirstError()
{
    for (int i = 0; i < 20; ++i)
        writeFile(src + QString("/f%1").arg(i), "x");
    // A folder where a link goes cannot be replaced, and the copy stops there. The files of the
    // same folder go out on other threads meanwhile: those that made it are whole copies.
    QFile::link("f0", src + "/link");
    QDir().mkpath(dst + "/link");
    writeFile(dst + "/link/inside", "kept");
    QVERIFY_THROWS_EXCEPTION(CopyError, CopyEngine().copyTree(fsPath(src), fsPath(dst)));
    QCOMPARE(fixture::readFile(dst + "/link/inside"), QByteArray("kept"));
    for (int i = 0; i < 20; ++i) {
        const QString copied = dst + QString("/f%1").arg(i);
        QVERIFY(!QFileInfo::exists(copied) || fixture::readFile(copied) == "x");
    }
}

void tst_CopyEngine::byteNamesAreCopiedAsTheyAre()
{
    // A Windows-1251 name on disk is not valid UTF-8: its bytes travel unchanged.
    const QByteArray cp1251Name = QByteArray("\xC8\xE3\xF0\xE0.txt");
    const QByteArray srcBytes = QFile::encodeName(src) + '/' + cp1251Name;
    FILE *f = std::fopen(srcBytes.constData(), "w");
    QVERIFY(f);
    std::fputs("bytes", f);
    std::fclose(f);
    writeFile(src + "/with space and \"quotes\" 'и кириллица'", "q");

    CopyEngine().copyTree(fsPath(src), fsPath(dst));
    QCOMPARE(tree(dst), tree(src));
    QVERIFY(tree(dst).contains('/' + cp1251Name));
}

void tst_CopyEngine::deepTree()
{
    QString deep = src;
    for (int i = 0; i < 200; ++i)
        deep += "/d";
    writeFile(deep + "/bottom", "200 levels down");
    CopyEngine().copyTree(fsPath(src), fsPath(dst));
    QCOMPARE(tree(dst), tree(src));
}

QTEST_GUILESS_MAIN(tst_CopyEngine)
#include "tst_copyengine.moc"
