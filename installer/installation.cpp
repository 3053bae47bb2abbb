#include "installation.h"

#include <files.h>
#include <formserror.h>
#include <units.h>

namespace {
const QString InstallFolder = QStringLiteral("Trivalon");
}

QString Installation::destinationOf(const QString &dirPath)
{
    return forms::joinPath(dirPath, InstallFolder);
}

FileSystemObject &Installation::fso()
{
    if (!fso_)
        fso_ = std::make_unique<FileSystemObject>();
    return *fso_;
}

Installation::Outcome Installation::run(const QString &source, const QString &dirPath, const Append &append,
                                        const Wait &wait)
{
    dirPath_ = dirPath;
    append_ = append;
    const QString destination = destinationOf(dirPath);
    try {
        sourceFolder_ = fso().getFolder(source);
        wait([&] { fso().copyFolder(sourceFolder_, destination); });

        append(QStringLiteral(" Копирование файлов завершено."));
        append(QStringLiteral(" Установка выполнена на 20%."));
        delfile();
        deldata();
        delkonec();
        delname();
        append(QStringLiteral(" Установка игры завершена."));
        append(QStringLiteral(" Игра установлена по адресу: ") + destination);
    } catch (const std::exception &) {
        // The forms layer's failures and the copy's alike.
        return Outcome::Failed;
    }
    return Outcome::Installed;
}

void Installation::delfile()
{
    removeStep(QStringLiteral("Trivalon/file.bin"), QStringLiteral(" Установка выполнена на 40%."));
}

void Installation::deldata()
{
    removeStep(QStringLiteral("Trivalon/data.bin"), QStringLiteral(" Установка выполнена на 60%."));
}

void Installation::delkonec()
{
    removeStep(QStringLiteral("Trivalon/konec.bin"), QStringLiteral(" Установка выполнена на 80%."));
}

void Installation::delname()
{
    removeStep(QStringLiteral("Trivalon/name.txt"), QStringLiteral(" Установка выполнена на 100%"));
}

void Installation::removeStep(const QString &relative, const QString &line)
{
    try {
        const FileSystemObject::File file = fso().getFile(forms::joinPath(dirPath_, relative));
        foundPath_ = file.path;
        if (fso().fileExists(foundPath_))
            forms::deleteFile(foundPath_);
        append_(line);
    } catch (const forms::FormsError &) {
        // A missing file, or one that cannot be deleted: no line, and the run goes on.
    }
}
