#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace Files {

// Writes the whole file or nothing: the bytes go to a temporary file beside
// it, which replaces the file only once it is complete and flushed to disk.
// A failure (full disk, read-only folder) leaves the previous file as it was
// and gives the reason.
bool WriteAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace Files
