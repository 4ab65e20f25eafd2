#pragma once

#include <QtCore/QString>

#include <atomic>
#include <functional>

namespace Files {

enum class CopyResult { Copied, Cancelled, Failed };

// Copies a file to a new file, in chunks: the copy is written beside the
// destination and takes its name only once it is complete and flushed, and
// never replaces a file that exists there (Failed). progress hears the bytes
// copied so far and the total after every chunk; cancel, when it turns true,
// stops the copy and leaves nothing behind. Safe to run on a worker thread.
CopyResult CopyToNewFile(const QString &source, const QString &destination,
    const std::function<void(qint64 copied, qint64 total)> &progress = {},
    const std::atomic_bool *cancel = nullptr, QString *error = nullptr);

} // namespace Files
