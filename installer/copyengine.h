#pragma once
// Copies a folder tree into another folder, the way the installer needs it, with no widgets:
// recursive; files of the same name replaced; files only in the destination kept; missing folders
// created; permission bits and modification times kept; symbolic links copied as links, never
// followed; sockets, fifos and device files skipped; the first error stops the copy. The source is
// read as it stands when the copy starts, and a destination that lies inside it is left out, so
// nothing is ever copied into itself. File data moves in the kernel (copy_file_range, then
// sendfile, then read and write where a file system refuses), on several threads, a folder's
// files at a time; a file that is already there is written over in place.

#include <filesystem>
#include <stdexcept>
#include <string>

class CopyError : public std::runtime_error
{
public:
    CopyError(const std::string &what, std::filesystem::path path, int error)
        : std::runtime_error(what), path_(std::move(path)), errno_(error) {}
    const std::filesystem::path &path() const { return path_; }
    int errorNumber() const { return errno_; }

private:
    std::filesystem::path path_;
    int errno_;
};

class CopyEngine
{
public:
    // threads = 0 takes the number of cores, and at least four: file creation waits in the file
    // system often enough that more threads than cores keep the cores busy.
    explicit CopyEngine(unsigned threads = 0);

    // Throws CopyError at the first failure; what was copied until then stays.
    void copyTree(const std::filesystem::path &source, const std::filesystem::path &destination) const;

private:
    unsigned threads_;
};
