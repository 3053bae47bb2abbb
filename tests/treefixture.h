#pragma once
// Small trees on the real file system for the tests: make files, and read a whole tree back as
// a map of relative path to what stands there, so that two trees compare in one line.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace fixture {

inline void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(content);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "f:<content>" for a file, "d" for a folder, "l:<target>" for a link, "s" for anything else.
// Names are the bytes on disk, so names that are not valid UTF-8 compare as they are.
inline QMap<QByteArray, QByteArray> tree(const QString &root)
{
    QMap<QByteArray, QByteArray> out;
    const QByteArray base = QFile::encodeName(root);
    std::function<void(const QByteArray &)> walk = [&](const QByteArray &rel) {
        DIR *dir = ::opendir((base + rel).constData());
        if (!dir)
            return;
        while (dirent *e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray r = rel + '/' + name;
            const QByteArray full = base + r;
            struct stat st;
            if (::lstat(full.constData(), &st) != 0)
                continue;
            if (S_ISLNK(st.st_mode)) {
                char buf[4096];
                const ssize_t n = ::readlink(full.constData(), buf, sizeof buf);
                out[r] = "l:" + QByteArray(buf, int(std::max<ssize_t>(n, 0)));
            } else if (S_ISDIR(st.st_mode)) {
                out[r] = "d";
                walk(r);
            } else if (S_ISREG(st.st_mode)) {
                QByteArray content;
                if (FILE *f = std::fopen(full.constData(), "rb")) {
                    std::vector<char> buf(65536);
                    size_t n;
                    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
                        content.append(buf.data(), qsizetype(n));
                    std::fclose(f);
                }
                out[r] = "f:" + content;
            } else {
                out[r] = "s";
            }
        }
        ::closedir(dir);
    };
    walk(QByteArray());
    return out;
}

// Removes a tree whatever its names and modes.
inline void removeTree(const QString &root)
{
    std::error_code ec;
    const std::filesystem::path p(QFile::encodeName(root).toStdString());
    for (auto it = std::filesystem::recursive_directory_iterator(p, ec); !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(p, ec);
}

} // namespace fixture
