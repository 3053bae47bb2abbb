#include "copyengine.h"

#include <atomic>
#include <cerrno>
#include <cstring>
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

// Lists the source tree before anything is written: folders before what they hold.
std::vector<Entry> listTree(const std::string &source, const struct stat *skipFolder)
{
    std::vector<Entry> entries;
    struct stat rootSt;
    if (::stat(source.c_str(), &rootSt) != 0)
        fail("Cannot read the folder", source);
    if (!S_ISDIR(rootSt.st_mode))
        fail("Not a folder:", source, ENOTDIR);
    entries.push_back({std::string(), Kind::Folder, rootSt.st_mode, {rootSt.st_atim, rootSt.st_mtim}, 0});

    for (std::size_t next = 0; next < entries.size(); ++next) {
        if (entries[next].kind != Kind::Folder)
            continue;
        const std::string folderRel = entries[next].relative;
        const std::string folderPath = join(source, folderRel);
        DIR *dir = ::opendir(folderPath.c_str());
        if (!dir)
            fail("Cannot read the folder", folderPath);
        const int dfd = ::dirfd(dir);
        std::vector<Entry> found;
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
                if (skipFolder && st.st_dev == skipFolder->st_dev && st.st_ino == skipFolder->st_ino)
                    continue; // the destination inside the source
                kind = Kind::Folder;
            } else if (S_ISREG(st.st_mode)) {
                kind = Kind::File;
            } else if (S_ISLNK(st.st_mode)) {
                kind = Kind::Link;
            } else {
                continue; // sockets, fifos and devices are not copied
            }
            found.push_back({join(folderRel, name), kind, st.st_mode, {st.st_atim, st.st_mtim}, st.st_size});
            errno = 0;
        }
        const int readError = errno;
        ::closedir(dir);
        if (readError != 0)
            fail("Cannot read the folder", folderPath, readError);
        // Folders go to the end of the list, so that they are walked in turn.
        for (auto &e : found)
            entries.push_back(std::move(e));
    }
    return entries;
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

// Moves all bytes between two descriptors, to the source's end, in the kernel where it can.
void copyData(int in, int out, const std::string &path)
{
    enum { Range, Sendfile, ReadWrite } way = Range;
    constexpr std::size_t Chunk = std::size_t(1) << 30;
    for (;;) {
        ssize_t n;
        if (way == Range) {
            n = ::copy_file_range(in, nullptr, out, nullptr, Chunk, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF)) {
                way = Sendfile;
                continue;
            }
        } else if (way == Sendfile) {
            n = ::sendfile(out, in, nullptr, Chunk);
            if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
                way = ReadWrite;
                continue;
            }
        } else {
            char buffer[1 << 16];
            n = ::read(in, buffer, sizeof buffer);
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
            return;
    }
}

void copyFile(const std::string &from, const std::string &to, const Entry &e)
{
    FileDescriptor in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0)
        fail("Cannot open", from);
    struct stat inSt;
    if (::fstat(in.get(), &inSt) != 0)
        fail("Cannot read", from);

    struct stat outSt;
    if (::lstat(to.c_str(), &outSt) == 0) {
        if (S_ISDIR(outSt.st_mode))
            fail("A folder stands where the file goes:", to, EISDIR);
        if (outSt.st_dev == inSt.st_dev && outSt.st_ino == inSt.st_ino)
            fail("A file cannot be copied onto itself:", to, EINVAL);
        if (!S_ISREG(outSt.st_mode) && ::unlink(to.c_str()) != 0)
            fail("Cannot replace", to);
    }
    FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.get() < 0)
        fail("Cannot create", to);
    copyData(in.get(), out.get(), to);
    if (::fchmod(out.get(), e.mode & 07777) != 0)
        fail("Cannot set the permissions of", to);
    const timespec times[2] = {inSt.st_atim, inSt.st_mtim};
    if (::futimens(out.get(), times) != 0)
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
    : threads_(threads ? threads : std::max(1u, std::thread::hardware_concurrency()))
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

    const std::vector<Entry> entries = listTree(source, destExists ? &destSt : nullptr);

    // The destination's own parent folders are made where missing, like the copy's folders.
    std::error_code ec;
    if (destinationPath.has_parent_path() && !fs::is_directory(destinationPath.parent_path(), ec)) {
        fs::create_directories(destinationPath.parent_path(), ec);
        if (ec)
            fail("Cannot create the folder", destinationPath.parent_path(), ec.value());
    }
    for (const Entry &e : entries)
        if (e.kind == Kind::Folder)
            makeFolder(join(destination, e.relative));

    std::vector<const Entry *> files;
    for (const Entry &e : entries) {
        if (e.kind == Kind::Link)
            copyLink(join(source, e.relative), join(destination, e.relative), e);
        else if (e.kind == Kind::File)
            files.push_back(&e);
    }

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::exception_ptr firstError;
    std::mutex errorLock;
    auto work = [&] {
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t i = next.fetch_add(1);
            if (i >= files.size())
                return;
            try {
                copyFile(join(source, files[i]->relative), join(destination, files[i]->relative), *files[i]);
            } catch (...) {
                std::lock_guard lock(errorLock);
                if (!firstError)
                    firstError = std::current_exception();
                stop = true;
            }
        }
    };
    const std::size_t helpers = std::min<std::size_t>(threads_, files.size()) > 1
                                    ? std::min<std::size_t>(threads_, files.size()) - 1 : 0;
    std::vector<std::thread> pool;
    pool.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i)
        pool.emplace_back(work);
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
