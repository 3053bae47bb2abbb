// The installation run under faults, each case in a temporary tree: the lines drawn, whether the
// run ends installed or failed (failed puts the window into its blocked state), what the
// destination holds, and a hash of the whole source tree before and after, which must not change.
//
// Permission faults need a user that permissions stop, and the tests run as root: those cases run
// in a child process that has dropped to the user nobody. A full medium comes from a file size
// limit in a child (SIGXFSZ ignored, so writes fail with EFBIG) and, where this machine lets a
// process mount, from a 1 MiB tmpfs in a mount namespace of the child's own; a read-only medium
// from a read-only bind mount the same way. A case whose mechanism is missing is skipped.

#include "installlines.h"
#include "treefixture.h"

#include <installation.h>

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using fixture::writeFile;
using namespace lines;

namespace {

const QString Installed = "installed";
const QString Failed = "failed";

constexpr uid_t Nobody = 65534;
constexpr int Unavailable = 77; // a child's exit code: the mechanism is not available here
constexpr rlim_t SizeLimit = 1 << 20;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A hash of everything under a folder: names as bytes, kinds, permission bits, contents, link
// targets and the modification times of files. Walked with descriptors, so a tree deeper than
// the longest path the system takes is hashed whole. "exclude" is a name in the top folder that
// is left out.
QByteArray treeHash(const QString &root, const QByteArray &exclude = {})
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::function<void(int, const QByteArray &)> walk = [&](int dirFd, const QByteArray &rel) {
        DIR *dir = ::fdopendir(dirFd);
        if (!dir) {
            hash.addData("unreadable:" + rel);
            ::close(dirFd);
            return;
        }
        QList<QByteArray> names;
        while (dirent *e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name != "." && name != ".." && !(rel.isEmpty() && name == exclude))
                names << name;
        }
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names) {
            const QByteArray r = rel + '/' + name;
            struct stat st;
            if (::fstatat(::dirfd(dir), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                hash.addData("gone:" + r);
                continue;
            }
            hash.addData(r + '\0' + QByteArray::number(st.st_mode, 8) + '\0');
            if (S_ISDIR(st.st_mode)) {
                walk(::openat(::dirfd(dir), name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), r);
            } else if (S_ISLNK(st.st_mode)) {
                char target[4096];
                const ssize_t n = ::readlinkat(::dirfd(dir), name.constData(), target, sizeof target);
                hash.addData(QByteArray(target, int(std::max<ssize_t>(n, 0))));
            } else if (S_ISREG(st.st_mode)) {
                hash.addData(QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)));
                const int fd = ::openat(::dirfd(dir), name.constData(), O_RDONLY | O_CLOEXEC);
                QFile f;
                if (fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                    hash.addData(&f);
                else
                    hash.addData("unreadable");
            }
        }
        ::closedir(dir);
    };
    walk(::open(native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), QByteArray());
    return hash.result().toHex();
}

// Makes a chain of folders with descriptors, so it may go deeper than the longest path.
void makeDeepChain(const QString &root, const QByteArray &name, int levels, const QByteArray &bottomFile)
{
    int fd = ::open(native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        ::mkdirat(fd, name.constData(), 0755);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    QVERIFY(fd >= 0);
    const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY(file >= 0);
    QCOMPARE(::write(file, bottomFile.constData(), size_t(bottomFile.size())), ssize_t(bottomFile.size()));
    ::close(file);
    ::close(fd);
}

struct RunResult
{
    QString outcome; // Installed, Failed, or "skip: why"
    QStringList log;
};

RunResult runHere(const QString &source, const QString &dir)
{
    Installation installation;
    RunResult r;
    r.outcome = installation.run(source, dir, [&](const QString &l) { r.log << l; }) == Installation::Outcome::Installed
                    ? Installed : Failed;
    return r;
}

// Runs the installation in a child process: first "prepare" (which may refuse with Unavailable),
// then, when dropping is asked and this process is root, as the user nobody. The outcome and the
// lines come back through a pipe.
RunResult runInChild(const QString &source, const QString &dir, bool drop, const std::function<int()> &prepare)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {"skip: no pipe", {}};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (prepare) {
            const int code = prepare();
            if (code != 0)
                ::_exit(code);
        }
        if (drop && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(Unavailable);
        }
        const RunResult r = runHere(source, dir);
        const QByteArray out = (QStringList{r.outcome} + r.log).join('\n').toUtf8();
        for (qsizetype done = 0; done < out.size();) {
            const ssize_t n = ::write(fds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0)
                ::_exit(3);
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        in.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == Unavailable)
        return {"skip: this machine does not allow it", {}};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {QStringLiteral("child ended with status %1").arg(status), {}};
    QStringList lines = QString::fromUtf8(in).split('\n');
    const QString outcome = lines.takeFirst();
    return {outcome, lines};
}

// In a child: a mount namespace of its own, so that mounts vanish with it.
int ownMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0)
        return Unavailable;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return Unavailable;
    return 0;
}

} // namespace

class tst_InstallFaults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void faults_data();
    void faults();

private:
    std::unique_ptr<QTemporaryDir> tmp;
};

void tst_InstallFaults::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    // The user nobody must reach the tree.
    ::chmod(native(tmp->path()).constData(), 0755);
}

void tst_InstallFaults::cleanup()
{
    fixture::removeTree(tmp->path());
}

void tst_InstallFaults::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("lines"); // the installed run's last line, naming the folder, is added

    const QStringList clean{Copied, P20, P40, P100, Done};
    QTest::newRow("no fault") << "none" << Installed << clean;
    QTest::newRow("a source file that cannot be read") << "unreadable file" << Failed << QStringList();
    QTest::newRow("a source folder that cannot be read") << "unreadable folder" << Failed << QStringList();
    QTest::newRow("a destination folder that cannot be written") << "unwritable destination" << Failed << QStringList();
    QTest::newRow("a full medium (file size limit) part-way through a large file") << "size limit" << Failed << QStringList();
    QTest::newRow("a full medium (1 MiB tmpfs) part-way through a large file") << "full tmpfs" << Failed << QStringList();
    QTest::newRow("a read-only medium") << "read-only mount" << Failed << QStringList();
    QTest::newRow("the destination is an existing file") << "destination is a file" << Failed << QStringList();
    QTest::newRow("the destination inside the source") << "inside" << Installed << clean;
    QTest::newRow("link loops, a dangling link and a fifo in the source") << "links" << Installed << clean;
    QTest::newRow("a folder tree 200 levels deep") << "deep" << Installed << clean;
    QTest::newRow("a folder tree deeper than the longest path") << "too deep" << Failed << QStringList();
    QTest::newRow("names with spaces, quotes, Cyrillic and Windows-1251 bytes") << "names" << Installed << clean;
    QTest::newRow("removal steps whose files cannot be deleted") << "undeletable" << Installed << QStringList{Copied, P20, Done};
    QTest::newRow("removal steps whose files are links to files outside")
        << "links to remove" << Installed << QStringList{Copied, P20, P40, P60, P100, Done};
    QTest::newRow("a removal step whose file is a folder") << "folder to remove" << Installed << QStringList{Copied, P20, P40, P100, Done};
}

void tst_InstallFaults::faults()
{
    QFETCH(QString, fault);
    QFETCH(QString, outcome);
    QFETCH(QStringList, lines);

    const QString source = tmp->filePath("distribution");
    QString dir = tmp->filePath("games");
    QString destination = dir + "/Trivalon";
    writeFile(source + "/trivalon.dat", "game");
    writeFile(source + "/maps/map01.map", "map one");
    writeFile(source + "/file.bin", "file");
    writeFile(source + "/name.txt", "name");
    QDir().mkpath(dir);
    ::chmod(native(dir).constData(), 0777);

    QByteArray big(3 * SizeLimit, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 % 251);
    const QByteArray deepName(40, 'd');
    const QByteArray cp1251Name("\xC8\xE3\xF0\xE0 \xB9 1.txt"); // "Игра № 1.txt" in Windows-1251

    // The source as each case needs it; then its hash; then the fault itself.
    if (fault == "size limit" || fault == "full tmpfs")
        writeFile(source + "/music/big.dat", big);
    if (fault == "links") {
        QFile::link(".", source + "/loop");
        QFile::link("loop-b", source + "/loop-a");
        QFile::link("loop-a", source + "/loop-b");
        QFile::link("nowhere", source + "/dangling");
        QVERIFY(::mkfifo(native(source + "/pipe").constData(), 0644) == 0);
    }
    if (fault == "deep") {
        QString deep = source;
        for (int i = 0; i < 200; ++i)
            deep += QStringLiteral("/%1").arg(i);
        writeFile(deep + "/bottom", "200 levels down");
    }
    if (fault == "too deep")
        makeDeepChain(source, deepName, 200, "deeper than any path");
    if (fault == "names") {
        writeFile(source + "/with space and \"double\" 'single' quotes", "q");
        writeFile(source + "/Карты и Миры/Уровень «1».map", "cyrillic");
        const int fd = ::open((native(source) + '/' + cp1251Name).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "bytes", 5), ssize_t(5));
        ::close(fd);
    }
    if (fault == "destination is a file")
        writeFile(destination, "a file, not a folder");
    if (fault == "inside") {
        dir = source;
        destination = source + "/Trivalon";
    }
    if (fault == "folder to remove")
        QDir().mkpath(destination + "/data.bin/earlier");
    if (fault == "links to remove") {
        // The copy carries the link; removing it must not remove what it points to.
        writeFile(dir + "/keep/important.bin", "the player's");
        QFile::link("../keep/important.bin", source + "/data.bin");
    }

    const QByteArray sourceBefore = treeHash(source);
    const auto destinationBefore = fixture::tree(tmp->filePath("games"));

    RunResult r;
    if (fault == "unreadable file") {
        ::chmod(native(source + "/maps/map01.map").constData(), 0);
        r = runInChild(source, dir, true, {});
        ::chmod(native(source + "/maps/map01.map").constData(), 0644);
    } else if (fault == "unreadable folder") {
        ::chmod(native(source + "/maps").constData(), 0);
        r = runInChild(source, dir, true, {});
        ::chmod(native(source + "/maps").constData(), 0755);
    } else if (fault == "unwritable destination") {
        ::chmod(native(dir).constData(), 0555);
        r = runInChild(source, dir, true, {});
        ::chmod(native(dir).constData(), 0777);
    } else if (fault == "undeletable") {
        // A distribution on a read-only disc: the copy keeps the folder read-only, so the four
        // files cannot be deleted from it by an ordinary user.
        ::chmod(native(source).constData(), 0555);
        r = runInChild(source, dir, true, {});
        ::chmod(native(source).constData(), 0755);
    } else if (fault == "size limit") {
        r = runInChild(source, dir, false, [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{SizeLimit, SizeLimit};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? 0 : Unavailable;
        });
    } else if (fault == "full tmpfs") {
        const QByteArray at = native(dir);
        r = runInChild(source, dir, false, [at] {
            if (const int code = ownMountNamespace())
                return code;
            return ::mount("tmpfs", at.constData(), "tmpfs", 0, "size=1m") == 0 ? 0 : Unavailable;
        });
    } else if (fault == "read-only mount") {
        const QByteArray at = native(dir);
        r = runInChild(source, dir, false, [at] {
            if (const int code = ownMountNamespace())
                return code;
            if (::mount(at.constData(), at.constData(), nullptr, MS_BIND, nullptr) != 0)
                return Unavailable;
            return ::mount(nullptr, at.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0 ? 0 : Unavailable;
        });
    } else {
        r = runHere(source, dir);
    }
    if (r.outcome.startsWith("skip: "))
        QSKIP(qPrintable(r.outcome.mid(6)));

    QStringList expected = lines;
    if (outcome == Installed)
        expected << InstalledAt + destination;
    QCOMPARE(r.outcome, outcome);
    QCOMPARE(r.log, expected);
    QCOMPARE(treeHash(source, fault == "inside" ? "Trivalon" : ""), sourceBefore);

    // What the destination holds.
    const auto installed = fixture::tree(destination);
    if (fault == "unreadable folder" || fault == "unwritable destination" || fault == "read-only mount"
        || fault == "full tmpfs" || fault == "too deep") {
        // What was copied before the failure stays, and is the source's own: nothing else appears.
        const auto sourceTree = fixture::tree(source);
        for (auto it = installed.cbegin(); it != installed.cend(); ++it)
            QVERIFY2(sourceTree.value(it.key()) == it.value(), it.key().constData());
        QVERIFY(!installed.contains("/maps/map01.map") || fault != "unreadable folder");
    } else if (fault == "unreadable file") {
        QVERIFY(!installed.contains("/maps/map01.map"));
    } else if (fault == "size limit") {
        // What was copied stays; the large file stops at the limit.
        QVERIFY(QFileInfo(destination + "/music/big.dat").size() <= qint64(SizeLimit));
        QVERIFY(big.startsWith(installed.value("/music/big.dat").mid(2)));
    } else if (fault == "destination is a file") {
        QCOMPARE(fixture::readFile(destination), QByteArray("a file, not a folder"));
    } else if (outcome == Installed) {
        auto want = fixture::tree(source);
        for (auto it = want.begin(); it != want.end();) {
            if (it.key() == "/file.bin" || it.key() == "/name.txt" || it.key().startsWith("/Trivalon"))
                it = want.erase(it);
            else
                ++it;
        }
        if (fault == "links")
            want.remove("/pipe"); // fifos are not copied
        if (fault == "undeletable") {
            want.insert("/file.bin", "f:file");
            want.insert("/name.txt", "f:name");
        }
        if (fault == "links to remove")
            want.remove("/data.bin");
        if (fault == "folder to remove") {
            want.insert("/data.bin", "d");
            want.insert("/data.bin/earlier", "d");
        }
        QCOMPARE(installed, want);
        if (fault == "names")
            QVERIFY(installed.contains('/' + cp1251Name));
        if (fault == "links to remove")
            QCOMPARE(fixture::readFile(dir + "/keep/important.bin"), QByteArray("the player's"));
        if (fault == "links")
            QCOMPARE(installed.value("/loop"), QByteArray("l:."));
    }
}

QTEST_GUILESS_MAIN(tst_InstallFaults)
#include "tst_installfaults.moc"
