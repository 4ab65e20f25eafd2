#pragma once

#include <QtCore/QString>

// The module's logger, category "brevik.logic.modules.talmaro": made and
// started when the module is loaded, released when it is unloaded. Lines may
// be logged from any thread.
namespace Talmaro {

enum LogLevel : int {
    kLogError = 2,
    kLogWarning = 3,
    kLogInformation = 5,
    kLogDebug = 6,
};

void StartLogger();
void ReleaseLogger();
void Log(int level, const QString &text);

} // namespace Talmaro
