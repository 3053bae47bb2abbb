// The copy engine's own ways of writing: new files created with their final permission bits,
// existing files written over in place and cut to length, whatever else stands in a file's place
// replaced, and files spread over threads in batches of one folder.

#include <copyengine.h>

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// An old modification time with nanoseconds, so that a time that is not kept shows.
void setOldTime(const fs::path &path, long seconds)
{
    const timespec times[2] = {{seconds, 123456789}, {seconds, 987654321}};
    QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

struct stat lstatOf(const fs::path &path)
{
    struct stat st{};
    ::lstat(path.c_str(), &st);
    return st;
}

class UmaskGuard
{
public:
    explicit UmaskGuard(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskGuard() { ::umask(old_); }

private:
    mode_t old_;
};

enum class Before { Nothing, LongerFile, ShorterFile, SameSizeFile, Link, Fifo };

} // namespace

Q_DECLARE_METATYPE(Before)

class TestCopyRewrite : public QObject
{
    Q_OBJECT

private slots:
    void replacesWhatStandsThere_data();
    void replacesWhatStandsThere();
    void keepsPermissionBits_data();
    void keepsPermissionBits();
    void refusesAFolderWhereAFileGoes();
    void neverCopiesAFileOntoItself();
    void copiesManyFoldersOnThreads_data();
    void copiesManyFoldersOnThreads();
    void leavesOutTheDestinationInsideTheSource_data();
    void leavesOutTheDestinationInsideTheSource();
};

void TestCopyRewrite::replacesWhatStandsThere_data()
{
    QTest::addColumn<Before>("before");
    QTest::addColumn<QByteArray>("content");
    const QByteArray text("new content of the file");
    QTest::newRow("fresh") << Before::Nothing << text;
    QTest::newRow("longer file is cut") << Before::LongerFile << text;
    QTest::newRow("shorter file grows") << Before::ShorterFile << text;
    QTest::newRow("same size") << Before::SameSizeFile << text;
    QTest::newRow("empty source over a file") << Before::LongerFile << QByteArray();
    QTest::newRow("link replaced, target kept") << Before::Link << text;
    QTest::newRow("fifo replaced") << Before::Fifo << text;
}

void TestCopyRewrite::replacesWhatStandsThere()
{
    QFETCH(Before, before);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path src = root / "src", dst = root / "dst", outside = root / "outside.txt";
    fs::create_directories(src);
    fs::create_directories(dst);
    writeBytes(src / "a.dat", content.toStdString());
    setOldTime(src / "a.dat", 1000000000);
    writeBytes(outside, "left alone");

    const std::string same(std::size_t(content.size()), 'x');
    switch (before) {
    case Before::Nothing: break;
    case Before::LongerFile: writeBytes(dst / "a.dat", std::string(100000, 'o')); break;
    case Before::ShorterFile: writeBytes(dst / "a.dat", "ab"); break;
    case Before::SameSizeFile: writeBytes(dst / "a.dat", same); break;
    case Before::Link: fs::create_symlink(outside, dst / "a.dat"); break;
    case Before::Fifo: QCOMPARE(::mkfifo((dst / "a.dat").c_str(), 0644), 0); break;
    }

    CopyEngine(1).copyTree(src, dst);

    const struct stat st = lstatOf(dst / "a.dat");
    QVERIFY(S_ISREG(st.st_mode));
    QCOMPARE(QByteArray::fromStdString(readBytes(dst / "a.dat")), content);
    QCOMPARE(st.st_size, off_t(content.size()));
    QCOMPARE(st.st_mtim.tv_sec, 1000000000L);
    QCOMPARE(st.st_mtim.tv_nsec, 987654321L);
    QCOMPARE(readBytes(outside), std::string("left alone"));
}

void TestCopyRewrite::keepsPermissionBits_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("over");
    for (const bool over : {false, true}) {
        const char *where = over ? "over a copy" : "fresh";
        QTest::addRow("0644, umask 022, %s", where) << 0644 << 022 << over;
        QTest::addRow("0666 beyond umask 022, %s", where) << 0666 << 022 << over;
        QTest::addRow("0666 beyond umask 077, %s", where) << 0666 << 077 << over;
        QTest::addRow("read-only 0444, %s", where) << 0444 << 022 << over;
        QTest::addRow("0751, %s", where) << 0751 << 022 << over;
        QTest::addRow("0600 under umask 0, %s", where) << 0600 << 0 << over;
    }
}

void TestCopyRewrite::keepsPermissionBits()
{
    QFETCH(int, mode);
    QFETCH(int, mask);
    QFETCH(bool, over);
    if (over && (mode & 0200) == 0 && ::geteuid() != 0)
        QSKIP("writing over a read-only copy needs root");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path src = root / "src", dst = root / "dst";
    fs::create_directories(src);
    writeBytes(src / "f", "bits");
    QCOMPARE(::chmod((src / "f").c_str(), mode_t(mode)), 0);

    const UmaskGuard guard{mode_t(mask)};
    if (over) {
        fs::create_directories(dst);
        writeBytes(dst / "f", "older and longer");
        QCOMPARE(::chmod((dst / "f").c_str(), 0600), 0);
    }
    CopyEngine(1).copyTree(src, dst);
    QCOMPARE(int(lstatOf(dst / "f").st_mode & 07777), mode);
    QCOMPARE(readBytes(dst / "f"), std::string("bits"));
}

void TestCopyRewrite::refusesAFolderWhereAFileGoes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path src = root / "src", dst = root / "dst";
    fs::create_directories(src);
    writeBytes(src / "a.dat", "file");
    fs::create_directories(dst / "a.dat" / "inner");
    writeBytes(dst / "a.dat" / "inner" / "kept", "kept");

    try {
        CopyEngine(1).copyTree(src, dst);
        QFAIL("the copy went through a folder");
    } catch (const CopyError &e) {
        QCOMPARE(e.errorNumber(), EISDIR);
    }
    QCOMPARE(readBytes(dst / "a.dat" / "inner" / "kept"), std::string("kept"));
}

void TestCopyRewrite::neverCopiesAFileOntoItself()
{
    // The destination holds a hard link to the source's own file: writing over it in place
    // would destroy the source.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path src = root / "src", dst = root / "dst";
    fs::create_directories(src);
    fs::create_directories(dst);
    writeBytes(src / "a.dat", "the only copy");
    fs::create_hard_link(src / "a.dat", dst / "a.dat");

    QVERIFY_THROWS_EXCEPTION(CopyError, CopyEngine(1).copyTree(src, dst));
    QCOMPARE(readBytes(src / "a.dat"), std::string("the only copy"));
}

void TestCopyRewrite::copiesManyFoldersOnThreads_data()
{
    QTest::addColumn<unsigned>("threads");
    QTest::addColumn<bool>("over");
    QTest::newRow("one thread") << 1u << false;
    QTest::newRow("four threads") << 4u << false;
    QTest::newRow("four threads, over a copy") << 4u << true;
}

void TestCopyRewrite::copiesManyFoldersOnThreads()
{
    // Folders of more files than one batch takes, big files that go alone, empty files.
    QFETCH(unsigned, threads);
    QFETCH(bool, over);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path src = root / "src", dst = root / "dst";
    std::vector<fs::path> files;
    for (int a = 0; a < 6; ++a) {
        const fs::path folder = src / ("f" + std::to_string(a)) / "deeper";
        fs::create_directories(folder);
        for (int f = 0; f < 70; ++f) {
            const fs::path file = folder / ("n" + std::to_string(f));
            writeBytes(file, std::string(std::size_t((f * 997) % 5000), char('a' + f % 26)));
            setOldTime(file, 1100000000 + f);
            files.push_back(file);
        }
    }
    writeBytes(src / "big1", std::string(20 << 20, 'B'));
    writeBytes(src / "big2", std::string((17 << 20) + 3, 'C'));
    files.push_back(src / "big1");
    files.push_back(src / "big2");
    if (over) {
        CopyEngine(1).copyTree(src, dst);
        for (const fs::path &file : files)
            writeBytes(dst / fs::relative(file, src), "changed in the copy, and longer than some sources");
    }

    CopyEngine(threads).copyTree(src, dst);

    for (const fs::path &file : files) {
        const fs::path copy = dst / fs::relative(file, src);
        QVERIFY2(readBytes(copy) == readBytes(file), copy.c_str());
        QCOMPARE(lstatOf(copy).st_mtim.tv_sec, lstatOf(file).st_mtim.tv_sec);
        QCOMPARE(lstatOf(copy).st_mtim.tv_nsec, lstatOf(file).st_mtim.tv_nsec);
    }
}

void TestCopyRewrite::leavesOutTheDestinationInsideTheSource_data()
{
    // The source is listed while the copy goes on, so the destination and the folders made for
    // it must never show up in the copy, however deep they lie.
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("twice");
    QTest::addColumn<int>("entries"); // sub, deep, top.txt and 50 files, and more where said
    QTest::newRow("a new child") << "Trivalon" << false << 53;
    QTest::newRow("a child, copied again over it") << "Trivalon" << true << 53;
    QTest::newRow("under new folders") << "new/deeper/Trivalon" << false << 53;
    // At the second copy "new/deeper" is part of the source; only Trivalon is left out.
    QTest::newRow("under new folders, copied again") << "new/deeper/Trivalon" << true << 55;
    QTest::newRow("in an existing subfolder") << "sub/Trivalon" << true << 53;
}

void TestCopyRewrite::leavesOutTheDestinationInsideTheSource()
{
    QFETCH(QString, destination);
    QFETCH(bool, twice);
    QFETCH(int, entries);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const fs::path src = fs::path(dir.path().toStdString()) / "game";
    const fs::path dst = src / destination.toStdString();
    fs::create_directories(src / "sub" / "deep");
    for (int f = 0; f < 50; ++f)
        writeBytes(src / "sub" / "deep" / ("f" + std::to_string(f)), std::string(std::size_t(f), 'x'));
    writeBytes(src / "top.txt", "top");

    CopyEngine(4).copyTree(src, dst);
    if (twice)
        CopyEngine(4).copyTree(src, dst);

    QCOMPARE(readBytes(dst / "top.txt"), std::string("top"));
    QCOMPARE(readBytes(dst / "sub" / "deep" / "f49"), std::string(49, 'x'));
    int copied = 0;
    for (const auto &e : fs::recursive_directory_iterator(dst)) {
        QVERIFY2(e.path().filename() != "Trivalon", e.path().c_str());
        ++copied;
    }
    QCOMPARE(copied, entries);
}

QTEST_GUILESS_MAIN(TestCopyRewrite)
#include "tst_copyrewrite.moc"
