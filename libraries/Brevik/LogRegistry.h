#pragma once

// The sinks every logger of the process writes to. Private to the library.

#include <QtCore/QString>

#include <spdlog/common.h>
#include <spdlog/sinks/dist_sink.h>

#include <memory>
#include <mutex>

namespace Brevik::Detail {

// time, level, category, text
inline constexpr const char *LinePattern = "%Y-%m-%d %H:%M:%S.%e [%l] [%n] %v";

spdlog::level::level_enum ToSpdlogLevel(int level);
int FromSpdlogLevel(spdlog::level::level_enum level);

class LogRegistry
{
public:
    static LogRegistry &instance();

    // The sink every logger writes to; it forwards to the file and captures.
    std::shared_ptr<spdlog::sinks::dist_sink_mt> sink() const { return m_sink; }

    bool openFile();
    void closeFile();
    void setRootFolder(const QString &folder);
    void setRotation(qint64 maxFileSize, int maxFiles);
    QString filePath() const;

    void addSink(const std::shared_ptr<spdlog::sinks::sink> &sink);
    void removeSink(const std::shared_ptr<spdlog::sinks::sink> &sink);

private:
    LogRegistry();
    bool openFileLocked();
    void closeFileLocked();

    mutable std::mutex m_mutex;
    std::shared_ptr<spdlog::sinks::dist_sink_mt> m_sink;
    std::shared_ptr<spdlog::sinks::sink> m_file;
    QString m_rootFolder;
    QString m_filePath;
    qint64 m_maxFileSize = qint64(5) * 1024 * 1024;
    int m_maxFiles = 5;
    bool m_warnedAboutFile = false;
};

} // namespace Brevik::Detail
