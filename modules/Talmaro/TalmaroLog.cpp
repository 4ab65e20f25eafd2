#include "TalmaroLog.h"

#include "Brevik/Logger.h"

#include <atomic>

namespace Talmaro {

static_assert(int(kLogError) == int(Brevik::Error) && int(kLogWarning) == int(Brevik::Warning)
    && int(kLogInformation) == int(Brevik::Information) && int(kLogDebug) == int(Brevik::Debug));

namespace {

// Set once when the module loads, cleared when it unloads; read from any thread.
std::atomic<Brevik::ILogger *> g_logger { nullptr };

} // namespace

void StartLogger()
{
    if (g_logger.load())
        return;
    Brevik::ILogger *logger = LoggerFactory(QStringLiteral("brevik.logic.modules.talmaro"));
    if (!logger)
        return;
    logger->Start();
    g_logger.store(logger);
}

void ReleaseLogger()
{
    if (Brevik::ILogger *logger = g_logger.exchange(nullptr))
        logger->Release();
}

void Log(int level, const QString &text)
{
    if (Brevik::ILogger *logger = g_logger.load())
        logger->Log(level, text);
}

} // namespace Talmaro
