#include "TalmaroLog.h"

#include <atomic>

#ifdef TALMARO_WITH_BREVIK
#include "Brevik/Logger.h"
#else
#include <QtCore/QDebug>
#endif

namespace Talmaro {

namespace {

#ifdef TALMARO_WITH_BREVIK
std::atomic<Brevik::ILogger *> g_logger { nullptr };
#endif

} // namespace

void StartLogger()
{
#ifdef TALMARO_WITH_BREVIK
    if (g_logger.load())
        return;
    Brevik::ILogger *logger = LoggerFactory(QStringLiteral("brevik.logic.modules.talmaro"));
    if (!logger)
        return;
    logger->Start();
    g_logger.store(logger);
#endif
}

void ReleaseLogger()
{
#ifdef TALMARO_WITH_BREVIK
    if (Brevik::ILogger *logger = g_logger.exchange(nullptr))
        logger->Release();
#endif
}

void Log(int level, const QString &text)
{
#ifdef TALMARO_WITH_BREVIK
    if (Brevik::ILogger *logger = g_logger.load())
        logger->Log(level, text);
#else
    qDebug().noquote() << "talmaro" << level << text;
#endif
}

} // namespace Talmaro
