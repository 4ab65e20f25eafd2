#include "support/MemorySecretStore.h"

namespace TestSupport {

namespace {

Secrets::SecretResult unavailable()
{
    return { Secrets::SecretStatus::Failed, {}, QStringLiteral("No keyring is available.") };
}

} // namespace

Secrets::SecretResult MemorySecretStore::Read(const QString &service, const QString &key)
{
    if (!m_available)
        return unavailable();
    const auto found = m_secrets.constFind({ service, key });
    if (found == m_secrets.constEnd())
        return { Secrets::SecretStatus::NotFound, {}, {} };
    return { Secrets::SecretStatus::Ok, *found, {} };
}

Secrets::SecretResult MemorySecretStore::Write(
    const QString &service, const QString &key, const QString &secret)
{
    if (!m_available)
        return unavailable();
    m_secrets.insert({ service, key }, secret);
    return { Secrets::SecretStatus::Ok, {}, {} };
}

Secrets::SecretResult MemorySecretStore::Remove(const QString &service, const QString &key)
{
    if (!m_available)
        return unavailable();
    m_secrets.remove({ service, key });
    return { Secrets::SecretStatus::Ok, {}, {} };
}

} // namespace TestSupport
