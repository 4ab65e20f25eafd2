#include "Korbel/Csv.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QIODevice>

#include <cstring>

namespace Korbel::Csv {

namespace {

constexpr qsizetype kFlushAt = 1 << 20;

bool needsQuotes(QByteArrayView text)
{
    if (text.isEmpty())
        return true;
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

} // namespace

Writer::Writer(QIODevice *device)
    : m_device(device)
{
    m_buffer.reserve(kFlushAt + 4096);
}

void Writer::Separate()
{
    if (m_recordStarted)
        m_buffer.append(',');
    m_recordStarted = true;
}

void Writer::AddNull()
{
    Separate();
}

void Writer::Add(QByteArrayView text)
{
    Separate();
    if (!needsQuotes(text)) {
        m_buffer.append(text);
        return;
    }
    m_buffer.append('"');
    for (const char c : text) {
        if (c == '"')
            m_buffer.append('"');
        m_buffer.append(c);
    }
    m_buffer.append('"');
}

void Writer::EndRecord()
{
    m_buffer.append("\r\n", 2);
    m_recordStarted = false;
    if (m_buffer.size() >= kFlushAt)
        Flush();
}

bool Writer::Flush()
{
    if (m_ok && !m_buffer.isEmpty())
        m_ok = m_device->write(m_buffer) == m_buffer.size();
    m_buffer.clear();
    return m_ok;
}

Reader::Reader(const char *data, qsizetype size)
    : m_data(data)
    , m_size(size)
{
    if (m_size >= 3 && m_data[0] == '\xef' && m_data[1] == '\xbb' && m_data[2] == '\xbf')
        m_pos = 3;
}

bool Reader::Fail(const QString &reason)
{
    m_error = QCoreApplication::translate("Korbel", "line %1: %2").arg(m_line).arg(reason);
    return false;
}

bool Reader::Next(std::vector<Field> &fields)
{
    fields.clear();
    m_error.clear();
    if (m_pos >= m_size)
        return false;
    m_recordLine = m_line;
    for (;;) {
        Field field;
        if (m_pos < m_size && m_data[m_pos] == '"') {
            field.quoted = true;
            ++m_pos;
            for (;;) {
                const auto *quote
                    = static_cast<const char *>(std::memchr(m_data + m_pos, '"', m_size - m_pos));
                if (!quote)
                    return Fail(QCoreApplication::translate("Korbel", "a quoted value does not end"));
                const QByteArrayView span(m_data + m_pos, quote - (m_data + m_pos));
                m_line += span.count('\n');
                field.text.append(span);
                m_pos = quote - m_data + 1;
                if (m_pos < m_size && m_data[m_pos] == '"') {
                    field.text.append('"');
                    ++m_pos;
                    continue;
                }
                break;
            }
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_size && m_data[m_pos] != ',' && m_data[m_pos] != '\r' && m_data[m_pos] != '\n') {
                if (m_data[m_pos] == '"')
                    return Fail(
                        QCoreApplication::translate("Korbel", "a quote inside a value without quotes"));
                ++m_pos;
            }
            field.text = QByteArray(m_data + start, m_pos - start);
        }
        fields.push_back(std::move(field));
        if (m_pos >= m_size)
            return true;
        const char c = m_data[m_pos++];
        if (c == ',')
            continue;
        if (c == '\r') {
            if (m_pos < m_size && m_data[m_pos] == '\n')
                ++m_pos;
        } else if (c != '\n') {
            return Fail(QCoreApplication::translate("Korbel", "text after a quoted value"));
        }
        ++m_line;
        return true;
    }
}

} // namespace Korbel::Csv
