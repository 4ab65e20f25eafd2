#include "profile/KeyValueStore.h"

#include "profile/IniFile.h"

namespace Profile {

IniKeyValueStore::IniKeyValueStore(const QString &filePath, const QString &section)
    : m_filePath(filePath)
    , m_section(section)
{ }

bool IniKeyValueStore::Read(const QString &name, QString *value)
{
    IniFile ini;
    if (!ini.Load(m_filePath) || !ini.Contains(m_section, name))
        return false;
    if (value)
        *value = ini.Value(m_section, name);
    return true;
}

bool IniKeyValueStore::Write(const QString &name, const QString &value)
{
    IniFile ini;
    return ini.Load(m_filePath) && ini.SetValue(m_section, name, value) && ini.Save(m_filePath);
}

bool MemoryKeyValueStore::Read(const QString &name, QString *value)
{
    if (!m_readable || !m_values.contains(name))
        return false;
    if (value)
        *value = m_values.value(name);
    return true;
}

bool MemoryKeyValueStore::Write(const QString &name, const QString &value)
{
    if (!m_writable)
        return false;
    ++m_writes;
    m_values.insert(name, value);
    return true;
}

} // namespace Profile
