#pragma once

#include "secrets_export.h"

#include <QtCore/QString>

namespace Secrets {

enum class SecretStatus {
    Ok,
    NotFound, // nothing is stored under the service and key
    Failed, // no keyring, or it refused; the error says which
};

struct SecretResult
{
    SecretStatus status = SecretStatus::Failed;
    QString secret; // the secret read (Read only)
    QString error; // for Failed: a sentence for the user

    bool IsOk() const { return status == SecretStatus::Ok; }
};

// Passwords and other secrets, kept by service (the program part that needs
// it, such as "Verdanta SMTP") and key (such as the account). A store keeps
// secrets where the desktop keeps them and never in plain text files; when it
// cannot, the operation fails and the caller asks the user each time.
class SECRETS_EXPORT ISecretStore
{
public:
    virtual ~ISecretStore() = default;
    virtual SecretResult Read(const QString &service, const QString &key) = 0;
    // Creates or replaces the secret.
    virtual SecretResult Write(const QString &service, const QString &key, const QString &secret) = 0;
    // Ok also when there was nothing to remove.
    virtual SecretResult Remove(const QString &service, const QString &key) = 0;
};

} // namespace Secrets
