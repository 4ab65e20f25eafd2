#pragma once

#include "secrets/SecretStore.h"

#include <QtCore/QCoreApplication>

namespace QKeychain {
class Job;
}

namespace Secrets {

// The desktop keyring (the Secret Service: GNOME Keyring, KeePassXC, KDE
// Wallet) through QtKeychain, without its plain-text fallback. Each call waits
// for the keyring, which may first ask the user to unlock it; the caller's
// window keeps painting meanwhile but takes no input.
class SECRETS_EXPORT KeychainSecretStore final : public ISecretStore
{
    Q_DECLARE_TR_FUNCTIONS(Secrets::KeychainSecretStore)

public:
    SecretResult Read(const QString &service, const QString &key) override;
    SecretResult Write(const QString &service, const QString &key, const QString &secret) override;
    SecretResult Remove(const QString &service, const QString &key) override;

private:
    static QString Failure(const QKeychain::Job &job, const QString &what);
};

} // namespace Secrets
