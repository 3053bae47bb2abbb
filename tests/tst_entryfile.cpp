// Entry files byte for byte: what the writer puts out, what the reader takes back, and what a
// failing save leaves behind.
#include "fullmedium.h"

#include <entryfile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <unistd.h>

Q_DECLARE_METATYPE(Entry)

char *toString(const Entry &e)
{
    return QTest::toString(QStringList{e.picture, e.description, e.name}.join(u'|'));
}

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

const QByteArray Pingvin("\xcf\xe8\xed\xe3\xe2\xe8\xed");    // "Пингвин" in Windows-1251
const QByteArray Ptica("\xcf\xf2\xe8\xf6\xe0 \xb8\xe6\xe8\xea"); // "Птица ёжик"

} // namespace

class tst_EntryFile : public QObject
{
    Q_OBJECT
private slots:
    void fileName_data();
    void fileName();
    void write_data();
    void write();
    void writeReplacesLongerFile();
    void writeRefusesTextOutsideTheCodePage_data();
    void writeRefusesTextOutsideTheCodePage();
    void writeFailureKeepsOldFile_data();
    void writeFailureKeepsOldFile();
    void read_data();
    void read();
    void readMissingFile();
    void bareFileName_data();
    void bareFileName();
    void sampleEntries_data();
    void sampleEntries();
};

void tst_EntryFile::fileName_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "0.enc";
    QTest::newRow("12") << 12 << "12.enc";
    QTest::newRow("32767") << 32767 << "32767.enc";
}

void tst_EntryFile::fileName()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QCOMPARE(entryFileName(number), name);
}

void tst_EntryFile::write_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ten bytes") << Entry{"", "abc", "x"} << QByteArray("\r\nabc\r\nx\r\n");
    QTest::newRow("all empty") << Entry{} << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("cyrillic") << Entry{"penguin.gif", "Птица ёжик", "Пингвин"}
                              << QByteArray("penguin.gif\r\n" + Ptica + "\r\n" + Pingvin + "\r\n");
    QTest::newRow("capital Ё and №") << Entry{"", "Ё №", ""} << QByteArray("\r\n\xa8 \xb9\r\n\r\n");
    QTest::newRow("CR LF inside a value") << Entry{"", "a\r\nb", "c"} << QByteArray("\r\na b\r\nc\r\n");
    QTest::newRow("lone LF inside a value") << Entry{"", "a\nb\n", "c"} << QByteArray("\r\na b \r\nc\r\n");
    QTest::newRow("lone CR inside a value") << Entry{"", "a", "b\rc"} << QByteArray("\r\na\r\nb c\r\n");
    QTest::newRow("LF CR is two breaks") << Entry{"", "a\n\rb", ""} << QByteArray("\r\na  b\r\n\r\n");
}

void tst_EntryFile::write()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("0.enc");
    writeEntry(path, entry);
    QCOMPARE(bytesOf(path), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"0.enc"});
}

void tst_EntryFile::writeReplacesLongerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("3.enc");
    writeBytes(path, "earth.gif\r\n" + QByteArray(500, 'z') + "\r\nold\r\nfourth line\r\n");
    writeEntry(path, {"", "abc", "x"});
    QCOMPARE(bytesOf(path), QByteArray("\r\nabc\r\nx\r\n"));
}

void tst_EntryFile::writeRefusesTextOutsideTheCodePage_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::newRow("CJK in the name") << Entry{"", "abc", "日本"};
    QTest::newRow("emoji in the description") << Entry{"", "🐧", "x"};
    QTest::newRow("Greek in the picture name") << Entry{"λ.gif", "", ""};
    QTest::newRow("line separator") << Entry{"", QStringLiteral("a\u2028b"), ""};
}

void tst_EntryFile::writeRefusesTextOutsideTheCodePage()
{
    QFETCH(Entry, entry);
    QTemporaryDir dir;
    const QString old = dir.filePath("1.enc");
    writeBytes(old, "\r\nold\r\nentry\r\n");
    for (const QString &path : {old, dir.filePath("2.enc")}) {
        try {
            writeEntry(path, entry);
            QFAIL("the entry was written");
        } catch (const EntryFileError &e) {
            QCOMPARE(e.reason(), EntryFileError::Reason::NotAnsi);
        }
    }
    QCOMPARE(bytesOf(old), QByteArray("\r\nold\r\nentry\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"1.enc"});
}

void tst_EntryFile::writeFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("fullAfter"); // bytes the medium takes; -1 for no limit
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("full medium, nothing fits") << "5.enc" << 0 << false;
    QTest::newRow("full medium, part fits") << "5.enc" << 4 << false;
    QTest::newRow("full medium, all but the last byte fits") << "5.enc" << 33 << false;
    QTest::newRow("folder is a file") << "file/5.enc" << -1 << false;
    QTest::newRow("entry name is a folder") << "folder" << -1 << false;
    QTest::newRow("folder without write permission") << "5.enc" << -1 << true;
}

void tst_EntryFile::writeFailureKeepsOldFile()
{
    QFETCH(QString, target);
    QFETCH(int, fullAfter);
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && ::geteuid() == 0)
        QSKIP("root writes into folders whatever their permission bits say");

    QTemporaryDir dir;
    const QByteArray old("\r\nold\r\nentry\r\n");
    writeBytes(dir.filePath("5.enc"), old);
    writeBytes(dir.filePath("file"), "not a folder");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));

    const Entry entry{"penguin.gif", "Птица ёжик", "Пингвин"}; // 34 bytes
    EntryFileError::Reason reason{};
    bool threw = false;
    {
        std::optional<FullMedium> full;
        if (fullAfter >= 0)
            full.emplace(rlim_t(fullAfter));
        try {
            writeEntry(dir.filePath(target), entry);
        } catch (const EntryFileError &e) {
            threw = true;
            reason = e.reason();
        }
    }
    if (readOnlyFolder)
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(threw, "the failed save was reported as done");
    QCOMPARE(reason, EntryFileError::Reason::CannotWrite);
    QCOMPARE(bytesOf(dir.filePath("5.enc")), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

void tst_EntryFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Entry>("entry");
    QTest::newRow("ten bytes") << QByteArray("\r\nabc\r\nx\r\n") << Entry{"", "abc", "x"};
    QTest::newRow("cyrillic") << QByteArray("sun.gif\r\n" + Ptica + "\r\n" + Pingvin + "\r\n")
                              << Entry{"sun.gif", "Птица ёжик", "Пингвин"};
    QTest::newRow("lone LF") << QByteArray("a.gif\nb\nc\n") << Entry{"a.gif", "b", "c"};
    QTest::newRow("lone CR") << QByteArray("a.gif\rb\rc\r") << Entry{"a.gif", "b", "c"};
    QTest::newRow("mixed ends") << QByteArray("a.gif\rb\r\nc\n") << Entry{"a.gif", "b", "c"};
    QTest::newRow("LF CR is two ends") << QByteArray("a.gif\n\rc\r\n") << Entry{"a.gif", "", "c"};
    QTest::newRow("no last line end") << QByteArray("a.gif\r\nb\r\nc") << Entry{"a.gif", "b", "c"};
    QTest::newRow("two lines") << QByteArray("a.gif\r\nb\r\n") << Entry{"a.gif", "b", ""};
    QTest::newRow("one line without end") << QByteArray("a.gif") << Entry{"a.gif", "", ""};
    QTest::newRow("empty file") << QByteArray() << Entry{};
    QTest::newRow("lines after the third") << QByteArray("a\r\nb\r\nc\r\nd\r\n") << Entry{"a", "b", "c"};
    QTest::newRow("spaces kept") << QByteArray(" a \r\n b\r\nc \r\n") << Entry{" a ", " b", "c "};
}

void tst_EntryFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Entry, entry);
    QTemporaryDir dir;
    const QString path = dir.filePath("7.enc");
    writeBytes(path, bytes);
    QCOMPARE(readEntry(path), entry);
    QCOMPARE(bytesOf(path), bytes);
}

void tst_EntryFile::readMissingFile()
{
    QTemporaryDir dir;
    try {
        readEntry(dir.filePath("9.enc"));
        QFAIL("a missing file was read");
    } catch (const EntryFileError &e) {
        QCOMPARE(e.reason(), EntryFileError::Reason::Missing);
    }
    QVERIFY(!QFile::exists(dir.filePath("9.enc")));
}

void tst_EntryFile::bareFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bare");
    QTest::newRow("plain") << "penguin.gif" << true;
    QTest::newRow("cyrillic") << "пингвин.gif" << true;
    QTest::newRow("leading space") << " a.gif" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("parent") << "../penguin.gif" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("folder part") << "pics/penguin.gif" << false;
    QTest::newRow("windows folder part") << "pics\\penguin.gif" << false;
    QTest::newRow("windows drive") << "C:\\penguin.gif" << false;
}

void tst_EntryFile::bareFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, bare);
    QCOMPARE(isBareFileName(name), bare);
}

// The sample folder's entries are whole entry files that name pictures lying beside them.
void tst_EntryFile::sampleEntries_data()
{
    QTest::addColumn<QString>("path");
    const QDir sample(QStringLiteral(SAMPLE_DIR));
    const QStringList entries = sample.entryList({"*.enc"}, QDir::Files);
    QVERIFY(!entries.isEmpty());
    for (const QString &name : entries)
        QTest::newRow(qPrintable(name)) << sample.filePath(name);
}

void tst_EntryFile::sampleEntries()
{
    QFETCH(QString, path);
    const Entry entry = readEntry(path);
    QVERIFY(isBareFileName(entry.picture));
    QVERIFY(QFileInfo(QFileInfo(path).dir().filePath(entry.picture)).isFile());
    QVERIFY(!entry.description.isEmpty());
    QVERIFY(!entry.name.isEmpty());
    QCOMPARE(encodeEntry(entry), bytesOf(path));
}

QTEST_GUILESS_MAIN(tst_EntryFile)
#include "tst_entryfile.moc"
