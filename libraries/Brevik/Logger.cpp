#include "Brevik/Logger.h"
#include "Brevik/LogRegistry.h"

#include <spdlog/logger.h>

#include <atomic>

namespace Brevik {

namespace {

// Keeps one call on one line: a line break inside the text would make the
// rest look like a line of its own, without time, level or category.
QString oneLine(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    line.replace(u'\n', QStringLiteral("\\n"));
    line.replace(u'\r', QStringLiteral("\\r"));
    return line;
}

class LoggerImpl final : public ILogger
{
public:
    explicit LoggerImpl(const QString &category)
        : m_logger(
            std::make_shared<spdlog::logger>(category.toStdString(), Detail::LogRegistry::instance().sink()))
    {
        m_logger->set_level(spdlog::level::trace);
        // Every line reaches the disk at once: the lines before a crash are
        // the ones that matter most.
        m_logger->flush_on(spdlog::level::trace);
    }

    bool Start() override
    {
        m_started = true;
        return Detail::LogRegistry::instance().openFile();
    }

    void Log(int level, const QString &text) override
    {
        if (!m_started.exchange(true))
            Detail::LogRegistry::instance().openFile();
        const QByteArray utf8 = oneLine(text).toUtf8();
        m_logger->log(Detail::ToSpdlogLevel(level), spdlog::string_view_t(utf8.constData(), utf8.size()));
    }

    void Release() override { delete this; }

private:
    std::shared_ptr<spdlog::logger> m_logger;
    std::atomic<bool> m_started { false };
};

} // namespace

void SetRootFolder(const QString &folder)
{
    Detail::LogRegistry::instance().setRootFolder(folder);
}

void SetRotation(qint64 maxFileSize, int maxFiles)
{
    Detail::LogRegistry::instance().setRotation(maxFileSize, maxFiles);
}

QString LogFilePath()
{
    return Detail::LogRegistry::instance().filePath();
}

void CloseLogFile()
{
    Detail::LogRegistry::instance().closeFile();
}

} // namespace Brevik

Brevik::ILogger *LoggerFactory(const QString &category)
{
    return new Brevik::LoggerImpl(category);
}
