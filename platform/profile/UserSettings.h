#pragma once

#include "profile_export.h"

#include <QtCore/QHash>
#include <QtCore/QString>

namespace Profile {

// The per-user settings of the program, by section and key.
class PROFILE_EXPORT IUserSettings
{
public:
    virtual ~IUserSettings() = default;
    // The stored integer, or the default when there is none or it is not a number.
    virtual int GetInt(const QString &section, const QString &key, int defaultValue) = 0;
    virtual bool SetInt(const QString &section, const QString &key, int value) = 0;
    // The stored text, or the default when there is none.
    virtual QString GetString(const QString &section, const QString &key, const QString &defaultValue) = 0;
    virtual bool SetString(const QString &section, const QString &key, const QString &value) = 0;
};

// The settings of the process: the user's settings store unless a test
// installed others.
PROFILE_EXPORT IUserSettings &UserSettings();
// Installs settings (not owned); nullptr restores the user's store.
PROFILE_EXPORT void SetUserSettings(IUserSettings *settings);

// The user's settings store of the platform (QSettings, user scope, named
// after the application).
class PROFILE_EXPORT QtUserSettings final : public IUserSettings
{
public:
    int GetInt(const QString &section, const QString &key, int defaultValue) override;
    bool SetInt(const QString &section, const QString &key, int value) override;
    QString GetString(const QString &section, const QString &key, const QString &defaultValue) override;
    bool SetString(const QString &section, const QString &key, const QString &value) override;
};

// Settings in memory for tests. Installs itself for its lifetime.
class PROFILE_EXPORT MemoryUserSettings final : public IUserSettings
{
public:
    MemoryUserSettings();
    ~MemoryUserSettings() override;
    MemoryUserSettings(const MemoryUserSettings &) = delete;
    MemoryUserSettings &operator=(const MemoryUserSettings &) = delete;

    int GetInt(const QString &section, const QString &key, int defaultValue) override;
    bool SetInt(const QString &section, const QString &key, int value) override;
    QString GetString(const QString &section, const QString &key, const QString &defaultValue) override;
    bool SetString(const QString &section, const QString &key, const QString &value) override;
    bool Contains(const QString &section, const QString &key) const;

private:
    QHash<QString, int> m_values;
    QHash<QString, QString> m_texts;
    IUserSettings *m_previous = nullptr;
};

} // namespace Profile
