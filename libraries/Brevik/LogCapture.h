#pragma once

#include "brevik_export.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

namespace Brevik {

namespace Detail {
class CaptureSink;
}

// One line as a capture received it.
struct LogRecord
{
    int level = 0; // the Brevik level (2 error, 3 warning, 5 information, 6 debug)
    QString category;
    QString text;
    QString line; // the whole line as the file gets it
};

// Collects every line of every logger while it exists, so that tests can
// read what was logged. Safe to read while other threads log.
class BREVIK_EXPORT LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QList<LogRecord> Records() const;
    QStringList Lines() const;
    // Whether a line of the category holds the text (any category when empty).
    bool Contains(const QString &text, const QString &category = QString()) const;
    void Clear();

private:
    std::shared_ptr<Detail::CaptureSink> m_sink;
};

} // namespace Brevik
