#include "Brevik/LogCapture.h"
#include "Brevik/LogRegistry.h"

#include <spdlog/sinks/base_sink.h>

#include <mutex>

namespace Brevik {

namespace Detail {

class CaptureSink final : public spdlog::sinks::base_sink<std::mutex>
{
public:
    QList<LogRecord> records() const
    {
        const std::lock_guard lock(m_recordsMutex);
        return m_records;
    }

    void clear()
    {
        const std::lock_guard lock(m_recordsMutex);
        m_records.clear();
    }

protected:
    void sink_it_(const spdlog::details::log_msg &message) override
    {
        spdlog::memory_buf_t formatted;
        formatter_->format(message, formatted);
        LogRecord record;
        record.level = FromSpdlogLevel(message.level);
        record.category
            = QString::fromUtf8(message.logger_name.data(), qsizetype(message.logger_name.size()));
        record.text = QString::fromUtf8(message.payload.data(), qsizetype(message.payload.size()));
        record.line = QString::fromUtf8(formatted.data(), qsizetype(formatted.size())).trimmed();
        const std::lock_guard lock(m_recordsMutex);
        m_records.append(record);
    }

    void flush_() override { }

private:
    // Readers take this one: the sink's own mutex is held only while writing.
    mutable std::mutex m_recordsMutex;
    QList<LogRecord> m_records;
};

} // namespace Detail

LogCapture::LogCapture()
    : m_sink(std::make_shared<Detail::CaptureSink>())
{
    Detail::LogRegistry::instance().addSink(m_sink);
}

LogCapture::~LogCapture()
{
    Detail::LogRegistry::instance().removeSink(m_sink);
}

QList<LogRecord> LogCapture::Records() const
{
    return m_sink->records();
}

QStringList LogCapture::Lines() const
{
    QStringList lines;
    for (const LogRecord &record : m_sink->records())
        lines.append(record.line);
    return lines;
}

bool LogCapture::Contains(const QString &text, const QString &category) const
{
    const QList<LogRecord> records = m_sink->records();
    return std::any_of(records.cbegin(), records.cend(), [&](const LogRecord &record) {
        return (category.isEmpty() || record.category == category) && record.text.contains(text);
    });
}

void LogCapture::Clear()
{
    m_sink->clear();
}

} // namespace Brevik
