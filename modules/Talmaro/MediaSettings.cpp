#include "MediaSettings.h"

#include <QtCore/QSettings>

namespace Talmaro {

namespace {

int ReadInt(const QSettings &settings, const QString &key)
{
    bool ok = false;
    const int value = settings.value(key, 0).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

MediaChoices ReadMediaChoices()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Media"));
    MediaChoices choices;
    choices.audioOnly = ReadInt(settings, QStringLiteral("Audio Only"));
    choices.videoOnly = ReadInt(settings, QStringLiteral("Video Only"));
    choices.audioInput = ReadInt(settings, QStringLiteral("Audio Input"));
    choices.videoInput = ReadInt(settings, QStringLiteral("Video Input"));
    return choices;
}

void WriteMediaChoices(const MediaChoices &choices)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Media"));
    settings.setValue(QStringLiteral("Audio Only"), choices.audioOnly);
    settings.setValue(QStringLiteral("Video Only"), choices.videoOnly);
    settings.setValue(QStringLiteral("Audio Input"), choices.audioInput);
    settings.setValue(QStringLiteral("Video Input"), choices.videoInput);
}

} // namespace Talmaro
