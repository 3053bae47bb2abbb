#pragma once
// The process's working folder and deleting a file, as the programs ask of the platform.

#include <QString>

namespace forms {

// The working folder, in native form, as it is at the moment of the call.
QString workingFolder();
// Deletes the file at the path; throws when it cannot.
void deleteFile(const QString &path);

} // namespace forms
