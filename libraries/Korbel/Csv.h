#pragma once

// Comma-separated values as the practice export writes and reads them
// (RFC 4180): UTF-8 text, fields separated by commas and records by CR LF. A
// field holding a comma, a quote or a line break is quoted, with its quotes
// doubled; an empty field without quotes is no value (NULL), while "" is an
// empty text.

#include "korbel_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QByteArrayView>
#include <QtCore/QString>

#include <vector>

class QIODevice;

namespace Korbel::Csv {

struct Field
{
    QByteArray text;
    bool quoted = false;

    bool IsNull() const { return !quoted && text.isEmpty(); }
};

class KORBEL_EXPORT Writer
{
public:
    explicit Writer(QIODevice *device);
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void AddNull();
    // UTF-8 text, quoted when it has to be (and when empty).
    void Add(QByteArrayView text);
    void EndRecord();
    // Writes what is buffered; false once the device refused a write.
    bool Flush();

private:
    void Separate();

    QIODevice *m_device;
    QByteArray m_buffer;
    bool m_recordStarted = false;
    bool m_ok = true;
};

// Reads records from data in memory (a mapped file), without copying fields
// that need no unquoting more than once.
class KORBEL_EXPORT Reader
{
public:
    // A leading UTF-8 byte-order mark is skipped.
    Reader(const char *data, qsizetype size);

    // The next record; false at the end of the data, or when the record is
    // malformed (then Error() says where and why).
    bool Next(std::vector<Field> &fields);
    QString Error() const { return m_error; }
    // The line on which the record last read began, from 1.
    qint64 Line() const { return m_recordLine; }

private:
    bool Fail(const QString &reason);

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
    QString m_error;
};

} // namespace Korbel::Csv
