#pragma once

#include "desktop_export.h"

#include <QtCore/QString>

#include <vector>

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

DESKTOP_EXPORT IShell &Shell();
DESKTOP_EXPORT void SetShell(IShell *shell);

class DESKTOP_EXPORT DesktopServicesShell final : public IShell
{
public:
    bool Open(const QString &target, const QString &verb) override;
};

// Records every launch and answers with a set result. Installs itself for its
// lifetime.
class DESKTOP_EXPORT ScriptedShell final : public IShell
{
public:
    struct Launch
    {
        QString target;
        QString verb;
    };
    ScriptedShell();
    ~ScriptedShell() override;
    ScriptedShell(const ScriptedShell &) = delete;
    ScriptedShell &operator=(const ScriptedShell &) = delete;

    void SetResult(bool result) { m_result = result; }
    const std::vector<Launch> &Launches() const { return m_launches; }

    bool Open(const QString &target, const QString &verb) override;

private:
    bool m_result = true;
    std::vector<Launch> m_launches;
    IShell *m_previous = nullptr;
};

} // namespace Desktop
