#include "copyengine.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Kind { Folder, File, Link };

struct Entry
{
    std::string relative; // bytes as the disk has them, "" for the root
    Kind kind;
    mode_t mode;
    timespec times[2]; // access, modification
    off_t size;
    std::size_t nameOffset; // where the bare name starts in relative
};

[[noreturn]] void fail(const std::string &what, const fs::path &path, int error = errno)
{
    throw CopyError(what + " " + path.string() + ": " + std::strerror(error), path, error);
}

std::string join(const std::string &base, const std::string &relative)
{
    if (relative.empty())
        return base;
    if (!base.empty() && base.back() == '/')
        return base + relative;
    return base + '/' + relative;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
        return *this;
    }
    int get() const { return fd_; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

struct FolderId
{
    dev_t dev;
    ino_t ino;
};

// Lists one folder of the source, whose entry is entries[index], appending what it holds (files,
// links and folders; sockets, fifos and devices are left out) to entries. Folders in skip are
// left out too: the destination and the folders made for it inside the source.
void listFolder(const std::string &source, std::deque<Entry> &entries, std::size_t index,
                const std::vector<FolderId> &skip)
{
    const std::string folderRel = entries[index].relative;
    const std::string folderPath = join(source, folderRel);
    DIR *dir = ::opendir(folderPath.c_str());
    if (!dir)
        fail("Cannot read the folder", folderPath);
    const int dfd = ::dirfd(dir);
    errno = 0;
    while (dirent *e = ::readdir(dir)) {
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        struct stat st;
        if (::fstatat(dfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            ::closedir(dir);
            fail("Cannot read", join(folderPath, name), error);
        }
        Kind kind;
        if (S_ISDIR(st.st_mode)) {
            if (std::any_of(skip.begin(), skip.end(),
                            [&](const FolderId &f) { return f.dev == st.st_dev && f.ino == st.st_ino; }))
                continue;
            kind = Kind::Folder;
        } else if (S_ISREG(st.st_mode)) {
            kind = Kind::File;
        } else if (S_ISLNK(st.st_mode)) {
            kind = Kind::Link;
        } else {
            continue;
        }
        std::string relative = join(folderRel, name);
        const std::size_t nameOffset = relative.size() - std::strlen(name);
        entries.push_back({std::move(relative), kind, st.st_mode, {st.st_atim, st.st_mtim}, st.st_size, nameOffset});
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        fail("Cannot read the folder", folderPath, readError);
}

// Makes the missing folders of a path, outermost first, and tells which it made.
void makeFolders(const fs::path &path, std::vector<FolderId> &made)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) == 0)
        return;
    if (path.has_parent_path() && path.parent_path() != path)
        makeFolders(path.parent_path(), made);
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        fail("Cannot create the folder", path);
    if (::stat(path.c_str(), &st) != 0)
        fail("Cannot create the folder", path);
    if (!S_ISDIR(st.st_mode))
        fail("Cannot create the folder", path, ENOTDIR);
    made.push_back({st.st_dev, st.st_ino});
}

void makeFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0700) == 0)
        return;
    const int error = errno;
    struct stat st;
    if (error == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return;
    fail("Cannot create the folder", path, error == EEXIST ? ENOTDIR : error);
}

// Moves the bytes of a file of the given size between two descriptors, in the kernel where it
// can; returns how many were written. The file is read as it stood when the tree was listed: a
// file that has grown since is copied up to its listed size, one that shrank up to its end.
off_t copyData(int in, int out, off_t size, const std::string &path)
{
    enum { Range, Sendfile, ReadWrite } way = Range;
    constexpr off_t Chunk = off_t(1) << 30;
    off_t total = 0;
    for (;;) {
        // A file listed as empty may still have bytes (some file systems report none): read on.
        const std::size_t ask = std::size_t(size > total ? std::min(size - total, Chunk) : Chunk);
        ssize_t n;
        if (way == Range) {
            n = ::copy_file_range(in, nullptr, out, nullptr, ask, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF)) {
                way = Sendfile;
                continue;
            }
        } else if (way == Sendfile) {
            n = ::sendfile(out, in, nullptr, ask);
            if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
                way = ReadWrite;
                continue;
            }
        } else {
            char buffer[1 << 16];
            n = ::read(in, buffer, std::min(sizeof buffer, ask));
            for (ssize_t written = 0; n > 0 && written < n;) {
                const ssize_t w = ::write(out, buffer + written, std::size_t(n - written));
                if (w < 0 && errno != EINTR)
                    fail("Cannot write", path);
                written += std::max<ssize_t>(w, 0);
            }
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot copy", path);
        }
        if (n == 0)
            return total;
        total += n;
        if (size > 0 && total >= size)
            return total;
    }
}

// The process's file creation mask, or -1 when it cannot be read without changing it.
int currentUmask()
{
    FileDescriptor fd(::open("/proc/self/status", O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return -1;
    char buffer[4096];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer - 1);
    if (n <= 0)
        return -1;
    buffer[n] = '\0';
    const char *line = std::strstr(buffer, "\nUmask:");
    if (!line)
        return -1;
    return int(std::strtol(line + 7, nullptr, 8));
}

// Copies one file of a folder into the same-named file of the destination folder. Both folders
// are open, so no path is walked again. A new file is created with its final permission bits
// straight away; an existing one is written over in place and cut to length, which spares the
// file system freeing and allocating all its blocks again.
void copyFile(int fromDir, int toDir, const Entry &e, const std::string &from, const std::string &to, int umask)
{
    const char *name = e.relative.c_str() + e.nameOffset;
    // Reading the source leaves its access time alone where the file is ours, sparing a write of
    // each source file's inode.
    FileDescriptor in(::openat(fromDir, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOATIME));
    if (in.get() < 0 && errno == EPERM)
        in = FileDescriptor(::openat(fromDir, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0)
        fail("Cannot open", from);

    const mode_t wanted = e.mode & 07777;
    bool needsChmod = umask < 0 || wanted != ((e.mode & 0777) & ~mode_t(umask));
    off_t oldSize = 0;
    FileDescriptor out(::openat(toDir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, e.mode & 0777));
    if (out.get() < 0) {
        if (errno != EEXIST)
            fail("Cannot create", to);
        struct stat outSt;
        if (::fstatat(toDir, name, &outSt, AT_SYMLINK_NOFOLLOW) != 0)
            fail("Cannot read", to);
        if (S_ISDIR(outSt.st_mode))
            fail("A folder stands where the file goes:", to, EISDIR);
        struct stat inSt;
        if (::fstat(in.get(), &inSt) != 0)
            fail("Cannot read", from);
        if (outSt.st_dev == inSt.st_dev && outSt.st_ino == inSt.st_ino)
            fail("A file cannot be copied onto itself:", to, EINVAL);
        if (S_ISREG(outSt.st_mode)) {
            // Non-blocking, so that a fifo put in the file's place meanwhile fails instead of
            // stopping the copy forever.
            out = FileDescriptor(::openat(toDir, name, O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
            oldSize = outSt.st_size;
            needsChmod = true;
        } else {
            if (::unlinkat(toDir, name, 0) != 0)
                fail("Cannot replace", to);
            out = FileDescriptor(::openat(toDir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, e.mode & 0777));
        }
        if (out.get() < 0)
            fail("Cannot create", to);
    }
    const off_t written = copyData(in.get(), out.get(), e.size, to);
    if (oldSize > written && ::ftruncate(out.get(), written) != 0)
        fail("Cannot write", to);
    if (needsChmod && ::fchmod(out.get(), wanted) != 0)
        fail("Cannot set the permissions of", to);
    if (::futimens(out.get(), e.times) != 0)
        fail("Cannot set the time of", to);
    if (::close(out.release()) != 0)
        fail("Cannot write", to);
}

void copyLink(const std::string &from, const std::string &to, const Entry &e)
{
    std::string target(std::size_t(e.size > 0 ? e.size : 256) + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0)
            fail("Cannot read the link", from);
        if (std::size_t(n) < target.size()) {
            target.resize(std::size_t(n));
            break;
        }
        target.resize(target.size() * 2);
    }
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            fail("A folder stands where the link goes:", to, EISDIR);
        if (::unlink(to.c_str()) != 0)
            fail("Cannot replace", to);
    }
    if (::symlink(target.c_str(), to.c_str()) != 0)
        fail("Cannot create the link", to);
    ::utimensat(AT_FDCWD, to.c_str(), e.times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

CopyEngine::CopyEngine(unsigned threads)
    : threads_(threads ? threads : std::max(4u, std::thread::hardware_concurrency()))
{
}

void CopyEngine::copyTree(const fs::path &sourcePath, const fs::path &destinationPath) const
{
    const std::string source = sourcePath.string();
    const std::string destination = destinationPath.string();

    struct stat sourceSt;
    if (::stat(source.c_str(), &sourceSt) != 0)
        fail("Cannot read the folder", source);
    struct stat destSt;
    const bool destExists = ::stat(destination.c_str(), &destSt) == 0;
    if (destExists) {
        if (!S_ISDIR(destSt.st_mode))
            fail("The destination is not a folder:", destination, ENOTDIR);
        if (destSt.st_dev == sourceSt.st_dev && destSt.st_ino == sourceSt.st_ino)
            fail("The destination is the source itself:", destination, EINVAL);
    }

    // The source is taken as it stands now: the destination, and every folder made for it, is
    // left out wherever it lies inside the source, so nothing is ever copied into itself.
    std::vector<FolderId> skip;
    if (destExists)
        skip.push_back({destSt.st_dev, destSt.st_ino});

    std::deque<Entry> entries;
    if (!S_ISDIR(sourceSt.st_mode))
        fail("Not a folder:", source, ENOTDIR);
    entries.push_back({std::string(), Kind::Folder, sourceSt.st_mode, {sourceSt.st_atim, sourceSt.st_mtim}, 0, 0});
    listFolder(source, entries, 0, skip);
    if (!destExists)
        makeFolders(destinationPath, skip);

    // Files go out in batches of one folder each, a big file alone, so that every thread opens a
    // batch's two folders once and then works by name inside them. The threads copy while this
    // one goes on listing folders, making them and copying their links.
    struct Batch
    {
        const Entry *folder;
        std::vector<const Entry *> files;
    };
    constexpr std::size_t BatchFiles = 32;
    constexpr off_t BatchBytes = off_t(16) << 20;
    std::deque<Batch> queue;
    bool listed = false;
    std::mutex lock;
    std::condition_variable wake;
    std::atomic<bool> stop{false};
    std::exception_ptr firstError;
    auto failed = [&](std::exception_ptr error) {
        std::lock_guard guard(lock);
        if (!firstError)
            firstError = error;
        stop = true;
        wake.notify_all();
    };

    const int umask = currentUmask();
    auto work = [&] {
        const Entry *openFolder = nullptr;
        FileDescriptor fromDir(-1), toDir(-1);
        for (;;) {
            Batch batch;
            {
                std::unique_lock guard(lock);
                wake.wait(guard, [&] { return stop || listed || !queue.empty(); });
                if (stop || queue.empty())
                    return;
                batch = std::move(queue.front());
                queue.pop_front();
            }
            try {
                if (batch.folder != openFolder) {
                    openFolder = nullptr;
                    const std::string from = join(source, batch.folder->relative);
                    const std::string to = join(destination, batch.folder->relative);
                    fromDir = FileDescriptor(::open(from.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                    if (fromDir.get() < 0)
                        fail("Cannot read the folder", from);
                    toDir = FileDescriptor(::open(to.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                    if (toDir.get() < 0)
                        fail("Cannot open the folder", to);
                    openFolder = batch.folder;
                }
                for (const Entry *e : batch.files) {
                    if (stop.load(std::memory_order_relaxed))
                        return;
                    copyFile(fromDir.get(), toDir.get(), *e, join(source, e->relative),
                             join(destination, e->relative), umask);
                }
            } catch (...) {
                failed(std::current_exception());
                return;
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads_ - 1);
    for (unsigned i = 1; i < threads_; ++i)
        pool.emplace_back(work);

    // Folders are walked in the order they were listed, each made before what it holds is
    // queued; entries grows as they are listed (a deque, so what the threads hold stays put).
    try {
        for (std::size_t next = 0; next < entries.size() && !stop; ++next) {
            const Entry &e = entries[next];
            if (e.kind == Kind::Link) {
                copyLink(join(source, e.relative), join(destination, e.relative), e);
                continue;
            }
            if (e.kind != Kind::Folder)
                continue;
            makeFolder(join(destination, e.relative));
            const std::size_t first = entries.size();
            if (next != 0)
                listFolder(source, entries, next, skip);
            // The root was listed before anything was made; its entries start at 1.
            const std::size_t from = next == 0 ? 1 : first;
            const std::size_t to = next == 0 ? first : entries.size();
            std::vector<Batch> batches;
            off_t batchBytes = 0;
            for (std::size_t i = from; i < to; ++i) {
                const Entry &f = entries[i];
                if (f.kind != Kind::File)
                    continue;
                if (batches.empty() || batches.back().files.size() >= BatchFiles || batchBytes + f.size > BatchBytes) {
                    batches.push_back({&e, {}});
                    batchBytes = 0;
                }
                batches.back().files.push_back(&f);
                batchBytes += f.size;
            }
            if (!batches.empty()) {
                std::lock_guard guard(lock);
                for (Batch &b : batches)
                    queue.push_back(std::move(b));
                wake.notify_all();
            }
        }
    } catch (...) {
        failed(std::current_exception());
    }
    {
        std::lock_guard guard(lock);
        listed = true;
        wake.notify_all();
    }
    work();
    for (auto &t : pool)
        t.join();
    if (firstError)
        std::rethrow_exception(firstError);

    // Folder permissions and times last, deepest first: writing into them would change the times,
    // and a read-only folder would refuse its own files.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->kind != Kind::Folder)
            continue;
        const std::string path = join(destination, it->relative);
        if (::chmod(path.c_str(), it->mode & 07777) != 0)
            fail("Cannot set the permissions of", path);
        if (::utimensat(AT_FDCWD, path.c_str(), it->times, 0) != 0)
            fail("Cannot set the time of", path);
    }
}
