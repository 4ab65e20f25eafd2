#include "core/UserSettings.h"

#include "profile/UserSettings.h"

namespace {

const QString Section = QStringLiteral("UserSettings");

int Read(const QString &key, int defaultValue)
{
    return Profile::UserSettings().GetInt(Section, key, defaultValue);
}

void Write(const QString &key, int value)
{
    Profile::UserSettings().SetInt(Section, key, value);
}

} // namespace

int GetShowWellness()
{
    return Read(QStringLiteral("ShowWellness"), 1);
}

void SetShowWellness(int show)
{
    Write(QStringLiteral("ShowWellness"), show);
}

int GetShowKeywords()
{
    return Read(QStringLiteral("ShowKeywords"), 0);
}

void SetShowKeywords(int show)
{
    Write(QStringLiteral("ShowKeywords"), show);
}

int GetWorkspaceRowPanes()
{
    return Read(QStringLiteral("WorkspaceRowPanes"), 1);
}

void SetWorkspaceRowPanes(int panes)
{
    Write(QStringLiteral("WorkspaceRowPanes"), panes);
}

int GetWorkspaceColumnPanes()
{
    return Read(QStringLiteral("WorkspaceColumnPanes"), 1);
}

void SetWorkspaceColumnPanes(int panes)
{
    Write(QStringLiteral("WorkspaceColumnPanes"), panes);
}

QString GetDatabaseAddress()
{
    return Profile::UserSettings().GetString(Section, QStringLiteral("DatabaseAddress"), QString());
}

void SetDatabaseAddress(const QString &address)
{
    Profile::UserSettings().SetString(Section, QStringLiteral("DatabaseAddress"), address);
}

QString GetSharedFolder()
{
    return Profile::UserSettings().GetString(Section, QStringLiteral("SharedFolder"), QString());
}

void SetSharedFolder(const QString &folder)
{
    Profile::UserSettings().SetString(Section, QStringLiteral("SharedFolder"), folder);
}
