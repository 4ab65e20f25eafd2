#pragma once

#include "brevik_export.h"

#include <QtCore/QString>

#include <memory>

namespace Brevik {

// The levels callers pass to ILogger::Log.
enum Level : int {
    Error = 2,
    Warning = 3,
    Information = 5,
    Debug = 6,
};

// The log file is "Logs/Verdanta.log" under the program's root folder. Until
// the program sets the folder, the current directory at the moment the file
// is opened is used. Changing the folder moves the open file there.
BREVIK_EXPORT void SetRootFolder(const QString &folder);

// Size at which the file is rotated and how many files are kept
// (Verdanta.log, Verdanta.1.log, ...). Defaults: 5 MiB, 5 files.
BREVIK_EXPORT void SetRotation(qint64 maxFileSize, int maxFiles);

// Path of the file being written, or empty when none is open.
BREVIK_EXPORT QString LogFilePath();

// Closes the file after writing out what is pending; the next logger that
// starts opens it again.
BREVIK_EXPORT void CloseLogFile();

// A logger of one category. Every call writes one line; loggers may be used
// from any thread.
class BREVIK_EXPORT ILogger
{
public:
    // Opens the log file when it is not open yet. Called once after
    // LoggerFactory. False when the file cannot be written; lines still reach
    // the other sinks (captures).
    virtual bool Start() = 0;

    // One line with the time, the level, the category and the text. Line
    // breaks inside the text are written as "\n" so that the line stays one.
    virtual void Log(int level, const QString &text) = 0;

    // Frees the logger.
    virtual void Release() = 0;

protected:
    virtual ~ILogger() = default;
};

// Calls Release when a logger goes out of scope.
struct Releaser
{
    void operator()(ILogger *logger) const
    {
        if (logger)
            logger->Release();
    }
};
using LoggerPtr = std::unique_ptr<ILogger, Releaser>;

} // namespace Brevik

// A new logger for a category such as "brevik.logic.notes".
BREVIK_EXPORT Brevik::ILogger *LoggerFactory(const QString &category);
