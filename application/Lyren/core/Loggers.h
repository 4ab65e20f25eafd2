#pragma once

#include <QtCore/QString>

namespace Brevik {
class ILogger;
}

// The program's three loggers, one per category, created at start-up in this
// order and released at exit: "brevik.logic.openconnectivity" (the link to the
// outside repertory program), "brevik.logic.folders" (the folder service) and
// "brevik.logic.notes" (the consultation notes).
namespace Loggers {

enum class Category { OpenConnectivity, Folders, Notes };

// Creates the loggers that do not exist yet and starts each one once; their
// file goes under the root folder.
void Create(const QString &rootFolder);
void Release();
bool Exist();

// The logger of a category, none before Create and after Release.
Brevik::ILogger *Get(Category category);
// Logs a line when the logger exists. Levels: 2 error, 5 information.
void Log(Category category, int level, const QString &text);

constexpr int Error = 2;
constexpr int Information = 5;

} // namespace Loggers
