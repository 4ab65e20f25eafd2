#pragma once

#include "secrets/SecretStore.h"

#include <QtCore/QHash>
#include <QtCore/QPair>

namespace TestSupport {

// Secrets in memory, for tests of code that keeps passwords. It can be made to
// behave as a machine without a keyring.
class MemorySecretStore final : public Secrets::ISecretStore
{
public:
    Secrets::SecretResult Read(const QString &service, const QString &key) override;
    Secrets::SecretResult Write(const QString &service, const QString &key, const QString &secret) override;
    Secrets::SecretResult Remove(const QString &service, const QString &key) override;

    // Every operation fails with a "no keyring" error while unavailable.
    void SetAvailable(bool available) { m_available = available; }
    int Count() const { return static_cast<int>(m_secrets.size()); }

private:
    QHash<QPair<QString, QString>, QString> m_secrets;
    bool m_available = true;
};

} // namespace TestSupport
