#pragma once
// The installation run behind "Установить", without widgets: copy the working folder into the
// chosen folder plus "Trivalon", then remove the four files from the copy, reporting every stage
// as a line. The window gives it the lines' destination and the way to wait for the copy.

#include "filesystemobject.h"

#include <QString>
#include <functional>
#include <memory>

class Installation
{
public:
    using Append = std::function<void(const QString &line)>;
    // Runs a job to its end, rethrowing what it throws; the window waits without freezing.
    using Wait = std::function<void(const std::function<void()> &job)>;

    enum class Outcome { Installed, Failed };

    // One click: source is the working folder, dirPath the chosen folder. Failed means the window
    // falls into its blocked state; the lines of the stages reached have been appended.
    Outcome run(const QString &source, const QString &dirPath, const Append &append,
                const Wait &wait = [](const std::function<void()> &job) { job(); });

    // The installed folder for a chosen folder.
    static QString destinationOf(const QString &dirPath);
    // The full path of the file that the latest removal step found.
    QString foundPath() const { return foundPath_; }

private:
    // The four removal steps, in the order the run calls them; none fails outward.
    void delfile();
    void deldata();
    void delkonec();
    void delname();
    void removeStep(const QString &relative, const QString &line);
    FileSystemObject &fso();

    std::unique_ptr<FileSystemObject> fso_; // made on first use, kept for the window's life
    FileSystemObject::Folder sourceFolder_;
    QString foundPath_;
    QString dirPath_;
    Append append_;
};
