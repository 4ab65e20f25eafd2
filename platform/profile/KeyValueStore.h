#pragma once

#include "profile_export.h"

#include <QtCore/QHash>
#include <QtCore/QString>

namespace Profile {

// The small machine-wide store of named text values (the platform's registry
// values), such as the date of the last backup.
class PROFILE_EXPORT IKeyValueStore
{
public:
    virtual ~IKeyValueStore() = default;
    // False when the value does not exist or cannot be read; an existing empty
    // value reads as true and "".
    virtual bool Read(const QString &name, QString *value) = 0;
    // Creates or replaces the value; false when it cannot be stored.
    virtual bool Write(const QString &name, const QString &value) = 0;
};

// Values kept as the entries of one section of an INI file (for the program,
// a file beside its database). Every call reads the file afresh; writes
// replace the file atomically.
class PROFILE_EXPORT IniKeyValueStore final : public IKeyValueStore
{
public:
    IniKeyValueStore(const QString &filePath, const QString &section);

    bool Read(const QString &name, QString *value) override;
    bool Write(const QString &name, const QString &value) override;

    QString FilePath() const { return m_filePath; }

private:
    QString m_filePath;
    QString m_section;
};

// Values in memory, for tests; reading or writing can be made to fail.
class PROFILE_EXPORT MemoryKeyValueStore final : public IKeyValueStore
{
public:
    bool Read(const QString &name, QString *value) override;
    bool Write(const QString &name, const QString &value) override;

    void SetReadable(bool readable) { m_readable = readable; }
    void SetWritable(bool writable) { m_writable = writable; }
    bool Contains(const QString &name) const { return m_values.contains(name); }
    void Remove(const QString &name) { m_values.remove(name); }
    int WriteCount() const { return m_writes; }

private:
    QHash<QString, QString> m_values;
    bool m_readable = true;
    bool m_writable = true;
    int m_writes = 0;
};

} // namespace Profile
