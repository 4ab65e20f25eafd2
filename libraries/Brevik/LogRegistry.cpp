#include "Brevik/LogRegistry.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/rotating_file_sink.h>

namespace Brevik::Detail {

namespace {
const QString LogFolderName = QStringLiteral("Logs");
const QString LogFileName = QStringLiteral("Verdanta.log");
} // namespace

spdlog::level::level_enum ToSpdlogLevel(int level)
{
    if (level <= 1)
        return spdlog::level::critical;
    switch (level) {
    case 2:
        return spdlog::level::err;
    case 3:
        return spdlog::level::warn;
    case 4:
    case 5:
        return spdlog::level::info;
    case 6:
        return spdlog::level::debug;
    default:
        return spdlog::level::trace;
    }
}

int FromSpdlogLevel(spdlog::level::level_enum level)
{
    switch (level) {
    case spdlog::level::critical:
        return 1;
    case spdlog::level::err:
        return 2;
    case spdlog::level::warn:
        return 3;
    case spdlog::level::info:
        return 5;
    case spdlog::level::debug:
        return 6;
    default:
        return 7;
    }
}

LogRegistry &LogRegistry::instance()
{
    static LogRegistry registry;
    return registry;
}

LogRegistry::LogRegistry()
    : m_sink(std::make_shared<spdlog::sinks::dist_sink_mt>())
{
    m_sink->set_level(spdlog::level::trace);
}

bool LogRegistry::openFile()
{
    const std::lock_guard lock(m_mutex);
    return openFileLocked();
}

bool LogRegistry::openFileLocked()
{
    if (m_file)
        return true;
    const QDir root(m_rootFolder.isEmpty() ? QDir::currentPath() : m_rootFolder);
    const QString path = root.filePath(LogFolderName + QLatin1Char('/') + LogFileName);
    try {
        if (!root.mkpath(LogFolderName))
            throw spdlog::spdlog_ex("cannot create the log folder");
        auto file
            = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(QFile::encodeName(path).toStdString(),
                static_cast<std::size_t>(m_maxFileSize), static_cast<std::size_t>(m_maxFiles - 1));
        file->set_pattern(LinePattern);
        m_sink->add_sink(file);
        m_file = std::move(file);
        m_filePath = path;
        return true;
    } catch (const spdlog::spdlog_ex &error) {
        // Logging must never stop the program: without a file the lines still
        // reach the other sinks. Said once, not on every start.
        if (!m_warnedAboutFile)
            qWarning("Brevik: cannot write the log file %s: %s", qPrintable(path), error.what());
        m_warnedAboutFile = true;
        return false;
    }
}

void LogRegistry::closeFile()
{
    const std::lock_guard lock(m_mutex);
    closeFileLocked();
}

void LogRegistry::closeFileLocked()
{
    if (!m_file)
        return;
    m_file->flush();
    m_sink->remove_sink(m_file);
    m_file.reset();
    m_filePath.clear();
}

void LogRegistry::setRootFolder(const QString &folder)
{
    const std::lock_guard lock(m_mutex);
    const bool wasOpen = m_file != nullptr;
    closeFileLocked();
    m_rootFolder = folder;
    m_warnedAboutFile = false;
    if (wasOpen)
        openFileLocked();
}

void LogRegistry::setRotation(qint64 maxFileSize, int maxFiles)
{
    const std::lock_guard lock(m_mutex);
    const bool wasOpen = m_file != nullptr;
    closeFileLocked();
    m_maxFileSize = std::max<qint64>(maxFileSize, 1024);
    m_maxFiles = std::max(maxFiles, 1);
    if (wasOpen)
        openFileLocked();
}

QString LogRegistry::filePath() const
{
    const std::lock_guard lock(m_mutex);
    return m_filePath;
}

void LogRegistry::addSink(const std::shared_ptr<spdlog::sinks::sink> &sink)
{
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>(LinePattern));
    m_sink->add_sink(sink);
}

void LogRegistry::removeSink(const std::shared_ptr<spdlog::sinks::sink> &sink)
{
    m_sink->remove_sink(sink);
}

} // namespace Brevik::Detail
