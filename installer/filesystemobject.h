#pragma once
// The file-system object of the installer: folders and files looked up by path, and a folder
// copied onto another with overwrite. No widgets; every failure throws forms::FormsError.

#include <QString>

class CopyEngine;

class FileSystemObject
{
public:
    struct Folder
    {
        QString path;
    };
    struct File
    {
        QString path; // full native path
    };

    FileSystemObject();
    ~FileSystemObject();

    // The folder object of an existing folder.
    Folder getFolder(const QString &path) const;
    // Copies the folder's files and subfolders into the destination, creating it where missing
    // and replacing files of the same name.
    void copyFolder(const Folder &folder, const QString &destination) const;
    // The file object of an existing file.
    File getFile(const QString &path) const;
    bool fileExists(const QString &path) const;

private:
    CopyEngine *engine_;
};
