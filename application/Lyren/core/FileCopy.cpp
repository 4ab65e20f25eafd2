#include "core/FileCopy.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>

#include <unistd.h>

namespace Files {

namespace {

constexpr qint64 ChunkSize = qint64(256) * 1024;

CopyResult Fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return CopyResult::Failed;
}

} // namespace

CopyResult CopyToNewFile(const QString &source, const QString &destination,
    const std::function<void(qint64, qint64)> &progress, const std::atomic_bool *cancel, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Fail(error, in.errorString());
    if (QFileInfo::exists(destination))
        return Fail(error, QStringLiteral("%1 exists already.").arg(destination));
    QTemporaryFile out(destination + QStringLiteral(".part-XXXXXX"));
    if (!out.open())
        return Fail(error, out.errorString());
    const qint64 total = in.size();
    qint64 copied = 0;
    QByteArray chunk;
    for (;;) {
        if (cancel && cancel->load())
            return CopyResult::Cancelled; // the temporary file goes with 'out'
        chunk = in.read(ChunkSize);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                return Fail(error, in.errorString());
            break;
        }
        if (out.write(chunk) != chunk.size())
            return Fail(error, out.errorString());
        copied += chunk.size();
        if (progress)
            progress(copied, total);
    }
    if (!out.flush() || ::fsync(out.handle()) != 0)
        return Fail(error, out.errorString());
    out.close();
    // Renaming never replaces an existing file: a destination that appeared
    // meanwhile makes the copy fail instead.
    if (!QFile::rename(out.fileName(), destination))
        return Fail(error, QStringLiteral("%1 exists already or cannot be written.").arg(destination));
    out.setAutoRemove(false);
    return CopyResult::Copied;
}

} // namespace Files
