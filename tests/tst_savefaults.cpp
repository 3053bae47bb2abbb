// Saving an entry when the entry file cannot or must not be replaced: one beep, the values on
// screen stay, and the old file (or what stands in its place) is left byte for byte. The full
// medium and an entry name taken by a folder are in tst_editorform; here are the permission
// cases (run by a helper process as the user nobody, since the tests run as root), read-only
// files, links and a fifo. Then saves killed at random moments, a few hundred times, must leave
// the entry file whole: the old entry or the new one, never empty or mixed.

#include "treefixture.h"

#include <entryfile.h>
#include <form1.h>

#include <beep.h>
#include <commandbutton.h>
#include <textbox.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>

using fixture::readFile;
using fixture::writeFile;

namespace {

constexpr uid_t Nobody = 65534;
const QByteArray OldBytes("earth.gif\r\nold\r\nentry\r\n");
const QString Name = QStringLiteral("Пингвин");
const QString Description = QStringLiteral("Живёт на юге");

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

struct Child
{
    pid_t pid = -1;
    int out = -1; // the child's standard output
};

// Starts the helper in the folder, as nobody when asked and this process is root.
Child startHelper(const QString &folder, bool asNobody, const QList<QByteArray> &args)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        if (::chdir(native(folder).constData()) != 0)
            ::_exit(3);
        if (asNobody && ::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(4);
        std::vector<char *> argv;
        const QByteArray program(SAVE_HELPER);
        argv.push_back(const_cast<char *>(program.constData()));
        for (const QByteArray &a : args)
            argv.push_back(const_cast<char *>(a.constData()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(5);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

QByteArray readAll(int fd)
{
    QByteArray in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        in.append(buffer, n);
    }
    ::close(fd);
    return in;
}

} // namespace

class tst_SaveFaults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveRefused_data();
    void saveRefused();
    void loadOfAFifoChangesNothing();
    void killedSavesLeaveWholeFiles();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString folder; // the working folder
    QString oldCwd;
};

void tst_SaveFaults::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    ::chmod(native(tmp->path()).constData(), 0755); // the user nobody must reach it
    folder = tmp->filePath("kovilan");
    QVERIFY(QDir().mkpath(folder));
    oldCwd = QDir::currentPath();
}

void tst_SaveFaults::cleanup()
{
    QDir::setCurrent(oldCwd);
    fixture::removeTree(tmp->path());
}

void tst_SaveFaults::saveRefused_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("asNobody");
    QTest::newRow("a working folder that cannot be written") << "unwritable folder" << true;
    QTest::newRow("a read-only entry file") << "read-only file" << false;
    QTest::newRow("a read-only entry file, for an ordinary user") << "read-only file" << true;
    QTest::newRow("an entry file of another user, in a folder open to all") << "other user's file" << true;
    QTest::newRow("a symbolic link to a file outside the folder") << "link outside" << false;
    QTest::newRow("a symbolic link to another entry of the folder") << "link inside" << false;
    QTest::newRow("a symbolic link to nowhere") << "dangling link" << false;
    QTest::newRow("a fifo") << "fifo" << false;
}

void tst_SaveFaults::saveRefused()
{
    QFETCH(QString, fault);
    QFETCH(bool, asNobody);

    if (fault == "other user's file" && ::geteuid() != 0)
        QSKIP("needs root to make a file of another user");
    const QString entry = folder + "/0.enc";
    const QString outside = tmp->filePath("outside.enc");
    writeFile(outside, OldBytes);
    if (fault == "unwritable folder" || fault == "read-only file" || fault == "other user's file")
        writeFile(entry, OldBytes);
    if (fault == "link outside")
        QVERIFY(QFile::link("../outside.enc", entry));
    if (fault == "link inside") {
        writeFile(folder + "/5.enc", OldBytes);
        QVERIFY(QFile::link("5.enc", entry));
    }
    if (fault == "dangling link")
        QVERIFY(QFile::link("../nowhere.enc", entry));
    if (fault == "fifo")
        QVERIFY(::mkfifo(native(entry).constData(), 0666) == 0);

    if (fault == "read-only file")
        ::chmod(native(entry).constData(), 0444);
    if (fault == "other user's file") {
        ::chmod(native(folder).constData(), 0777);
        ::chmod(native(entry).constData(), 0644);
    }
    if (fault == "unwritable folder") {
        ::chmod(native(folder).constData(), 0555);
        ::chmod(native(entry).constData(), 0666); // the file itself is open to all
    }
    if (asNobody && fault == "read-only file")
        ::chmod(native(folder).constData(), 0777);
    const auto before = fixture::tree(tmp->path());

    int beeps = 0;
    QString nameShown, descriptionShown;
    if (asNobody) {
        const Child child = startHelper(folder, true, {"window", Name.toUtf8(), Description.toUtf8()});
        QVERIFY(child.pid > 0);
        const QStringList out = QString::fromUtf8(readAll(child.out)).split('\n');
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
        QVERIFY(out.size() >= 3);
        beeps = out[0].toInt();
        nameShown = out[1];
        descriptionShown = out[2];
    } else {
        QVERIFY(QDir::setCurrent(folder));
        EditorForm form;
        form.showForm();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *name = form.control<forms::TextBox>(QStringLiteral("Text2"));
        auto *description = form.control<forms::TextBox>(QStringLiteral("Text1"));
        name->setText(Name);
        description->setText(Description);
        const int beepsBefore = forms::beepCount();
        QTest::mouseClick(form.control<forms::CommandButton>(QStringLiteral("Command3")), Qt::LeftButton);
        beeps = forms::beepCount() - beepsBefore;
        nameShown = name->text();
        descriptionShown = description->text();
    }
    ::chmod(native(folder).constData(), 0755);

    QCOMPARE(beeps, 1);
    QCOMPARE(nameShown, Name);
    QCOMPARE(descriptionShown, Description);
    // Nothing changed anywhere: the entry, what a link points to, the rest of the folder.
    QCOMPARE(fixture::tree(tmp->path()), before);
    QCOMPARE(readFile(outside), OldBytes);
    QVERIFY(!QFileInfo::exists(tmp->filePath("nowhere.enc")));
}

void tst_SaveFaults::loadOfAFifoChangesNothing()
{
    QVERIFY(::mkfifo(native(folder + "/0.enc").constData(), 0600) == 0);
    QVERIFY(QDir::setCurrent(folder));
    EditorForm form;
    form.showForm();
    auto *name = form.control<forms::TextBox>(QStringLiteral("Text2"));
    name->setText(Name);
    const int beeps = forms::beepCount();
    QTest::mouseClick(form.control<forms::CommandButton>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(name->text(), Name);
}

void tst_SaveFaults::killedSavesLeaveWholeFiles()
{
    // The helper alternates these two entries; they differ in length, so a mix shows.
    const QByteArray oldEntry = encodeEntry({"earth.gif", "Старое описание", "Старое"});
    const QByteArray newEntry = encodeEntry(
        {"penguin.gif", "Новое описание, гораздо длиннее старого, чтобы файлы различались длиной", "Новое"});
    writeFile(folder + "/0.enc", oldEntry);
    const int kills = 300;
    int old = 0, renewed = 0;
    for (int i = 0; i < kills; ++i) {
        const Child child = startHelper(folder, false, {"loop"});
        QVERIFY(child.pid > 0);
        char ready;
        QCOMPARE(::read(child.out, &ready, 1), ssize_t(1));
        // A random moment inside the saves that follow the first.
        ::usleep(QRandomGenerator::global()->bounded(3000u));
        ::kill(child.pid, SIGKILL);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        ::close(child.out);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the helper ended by itself");
        const QByteArray now = readFile(folder + "/0.enc");
        QVERIFY2(now == oldEntry || now == newEntry, now.toHex().constData());
        ++(now == oldEntry ? old : renewed);
    }
    // Saves killed half-way may leave their temporary files beside the entry, never in its place.
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    qInfo("%d kills survived: %d old entries, %d new; %lld temporary files left beside the entry",
          kills, old, renewed, qint64(left.size() - 1));
    QVERIFY(old > 0 && renewed > 0);
    for (const QString &f : left)
        QVERIFY2(f == "0.enc" || f.startsWith("0.enc."), qPrintable(f));
}

QTEST_MAIN(tst_SaveFaults)
#include "tst_savefaults.moc"
