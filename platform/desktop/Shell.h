#pragma once

#include "desktop_export.h"

#include <QtCore/QString>

namespace Desktop {

// The shell's launching of documents, folders and addresses with their
// registered programs ("open", "explore", mailto: addresses).
class DESKTOP_EXPORT IShell
{
public:
    virtual ~IShell() = default;
    // A file path, a folder or a URL ("mailto:..."); the verb is "open" or
    // "explore". True when the shell accepted it.
    virtual bool Open(const QString &target, const QString &verb = QStringLiteral("open")) = 0;
};

// The shell of the process: the desktop's unless another was installed.
// Installing returns the one installed before (not owned).
DESKTOP_EXPORT IShell &Shell();
DESKTOP_EXPORT IShell *SetShell(IShell *shell);

class DESKTOP_EXPORT DesktopServicesShell final : public IShell
{
public:
    bool Open(const QString &target, const QString &verb) override;
};

} // namespace Desktop
