#include "core/Loggers.h"

#include "Brevik/Logger.h"

#include <array>

namespace Loggers {

namespace {

constexpr std::array<const char *, 3> Categories = {
    "brevik.logic.openconnectivity",
    "brevik.logic.folders",
    "brevik.logic.notes",
};

// The process-wide logger handles, in the order of Categories.
std::array<Brevik::ILogger *, 3> g_loggers {};

size_t IndexOf(Category category)
{
    return static_cast<size_t>(category);
}

} // namespace

void Create(const QString &rootFolder)
{
    Brevik::SetRootFolder(rootFolder);
    for (size_t i = 0; i < Categories.size(); ++i) {
        if (g_loggers[i])
            continue;
        g_loggers[i] = LoggerFactory(QString::fromLatin1(Categories[i]));
        if (g_loggers[i])
            g_loggers[i]->Start();
    }
}

void Release()
{
    for (Brevik::ILogger *&logger : g_loggers) {
        if (logger)
            logger->Release();
        logger = nullptr;
    }
}

void Log(Category category, int level, const QString &text)
{
    if (Brevik::ILogger *logger = g_loggers[IndexOf(category)])
        logger->Log(level, text);
}

bool Exist()
{
    return g_loggers[0] != nullptr;
}

Brevik::ILogger *Get(Category category)
{
    return g_loggers[IndexOf(category)];
}

} // namespace Loggers
