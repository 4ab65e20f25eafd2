#include "profile/UserSettings.h"

#include <QtCore/QSettings>

namespace Profile {

namespace {

IUserSettings *g_installed = nullptr;

QString SettingsKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

IUserSettings &UserSettings()
{
    static QtUserSettings settings;
    return g_installed ? *g_installed : settings;
}

void SetUserSettings(IUserSettings *settings)
{
    g_installed = settings;
}

int QtUserSettings::GetInt(const QString &section, const QString &key, int defaultValue)
{
    QSettings settings;
    bool ok = false;
    const int value = settings.value(SettingsKey(section, key)).toInt(&ok);
    return ok ? value : defaultValue;
}

bool QtUserSettings::SetInt(const QString &section, const QString &key, int value)
{
    QSettings settings;
    settings.setValue(SettingsKey(section, key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString QtUserSettings::GetString(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings settings;
    const QVariant value = settings.value(SettingsKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

bool QtUserSettings::SetString(const QString &section, const QString &key, const QString &value)
{
    QSettings settings;
    settings.setValue(SettingsKey(section, key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

MemoryUserSettings::MemoryUserSettings()
    : m_previous(g_installed)
{
    g_installed = this;
}

MemoryUserSettings::~MemoryUserSettings()
{
    if (g_installed == this)
        g_installed = m_previous;
}

int MemoryUserSettings::GetInt(const QString &section, const QString &key, int defaultValue)
{
    return m_values.value(SettingsKey(section, key), defaultValue);
}

bool MemoryUserSettings::SetInt(const QString &section, const QString &key, int value)
{
    m_values.insert(SettingsKey(section, key), value);
    return true;
}

QString MemoryUserSettings::GetString(const QString &section, const QString &key, const QString &defaultValue)
{
    return m_texts.value(SettingsKey(section, key), defaultValue);
}

bool MemoryUserSettings::SetString(const QString &section, const QString &key, const QString &value)
{
    m_texts.insert(SettingsKey(section, key), value);
    return true;
}

bool MemoryUserSettings::Contains(const QString &section, const QString &key) const
{
    return m_values.contains(SettingsKey(section, key)) || m_texts.contains(SettingsKey(section, key));
}

} // namespace Profile
