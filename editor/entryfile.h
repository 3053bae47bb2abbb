#pragma once
// Entry files of the encyclopedia, with no widgets: "<number>.enc" in the working folder, three
// lines (picture name, description, name), each ending in CR LF, one byte a character in
// Windows-1251 and nothing else. A save replaces the file atomically, so a failure, even on a
// full disk, leaves the old file as it was.

#include <QByteArray>
#include <QString>
#include <stdexcept>

struct Entry
{
    QString picture;     // bare file name of the picture, empty for none
    QString description;
    QString name;
    friend bool operator==(const Entry &, const Entry &) = default;
};

class EntryFileError : public std::runtime_error
{
public:
    enum class Reason {
        Missing,   // reading: there is no such file
        CannotRead,
        NotAnsi,   // writing: a value holds a character Windows-1251 has no place for
        CannotWrite,
    };
    EntryFileError(Reason reason, const QString &what)
        : std::runtime_error(what.toStdString()), reason_(reason) {}
    Reason reason() const { return reason_; }

private:
    Reason reason_;
};

// "12.enc" for 12.
QString entryFileName(int number);

// The bytes of an entry file. A line break inside a value (CR LF, CR or LF) becomes one space,
// so the file always has exactly three lines. Throws NotAnsi.
QByteArray encodeEntry(const Entry &entry);
// An entry from the bytes of its file: a line ends at CR LF, a lone CR or a lone LF; a last line
// without its end counts; lines missing at the end are empty values; anything after the third is
// ignored.
Entry decodeEntry(const QByteArray &bytes);

// Writes the entry to the file at the path, replacing any file of that name whole or not at all.
// Throws NotAnsi before anything is touched, CannotWrite when the file cannot be written.
void writeEntry(const QString &path, const Entry &entry);
// Reads the entry in the file at the path. Throws Missing or CannotRead.
Entry readEntry(const QString &path);

// True for the bare name of a file in the working folder: no folder part (neither '/' nor '\'),
// not absolute, not "." or "..".
bool isBareFileName(const QString &name);
