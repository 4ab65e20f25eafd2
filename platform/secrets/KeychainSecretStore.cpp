#include "secrets/KeychainSecretStore.h"

#include <qt6keychain/keychain.h>

#include <QtCore/QEventLoop>

namespace Secrets {

namespace {

// Runs the job to its end. QtKeychain's jobs report through the event loop.
void run(QKeychain::Job &job, const QString &key)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(key);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QString KeychainSecretStore::Failure(const QKeychain::Job &job, const QString &what)
{
    const QString why = job.error() == QKeychain::AccessDenied || job.error() == QKeychain::AccessDeniedByUser
        ? tr("the keyring refused access")
        : tr("no keyring is available on this computer");
    return what.arg(why) + QStringLiteral(" (") + job.errorString() + QLatin1Char(')');
}

SecretResult KeychainSecretStore::Read(const QString &service, const QString &key)
{
    QKeychain::ReadPasswordJob job(service);
    run(job, key);
    switch (job.error()) {
    case QKeychain::NoError:
        return { SecretStatus::Ok, job.textData(), {} };
    case QKeychain::EntryNotFound:
        return { SecretStatus::NotFound, {}, {} };
    default:
        return { SecretStatus::Failed, {}, Failure(job, tr("The password could not be read: %1.")) };
    }
}

SecretResult KeychainSecretStore::Write(const QString &service, const QString &key, const QString &secret)
{
    QKeychain::WritePasswordJob job(service);
    job.setTextData(secret);
    run(job, key);
    if (job.error() == QKeychain::NoError)
        return { SecretStatus::Ok, {}, {} };
    return { SecretStatus::Failed, {}, Failure(job, tr("The password could not be stored: %1.")) };
}

SecretResult KeychainSecretStore::Remove(const QString &service, const QString &key)
{
    QKeychain::DeletePasswordJob job(service);
    run(job, key);
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return { SecretStatus::Ok, {}, {} };
    return { SecretStatus::Failed, {}, Failure(job, tr("The password could not be removed: %1.")) };
}

} // namespace Secrets
