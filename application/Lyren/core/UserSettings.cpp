#include "core/UserSettings.h"

#include "profile/UserSettings.h"

namespace {

const QString Section = QStringLiteral("UserSettings");
const QString ShowWellness = QStringLiteral("ShowWellness");
const QString ShowKeywords = QStringLiteral("ShowKeywords");

} // namespace

int GetShowWellness()
{
    return Profile::UserSettings().GetInt(Section, ShowWellness, 1);
}

void SetShowWellness(int show)
{
    Profile::UserSettings().SetInt(Section, ShowWellness, show);
}

int GetShowKeywords()
{
    return Profile::UserSettings().GetInt(Section, ShowKeywords, 0);
}

void SetShowKeywords(int show)
{
    Profile::UserSettings().SetInt(Section, ShowKeywords, show);
}
