#include "safety/PracticeConnection.h"

#include "core/UserSettings.h"

#include "secrets/SecretStore.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

bool PracticeConnection::ServerAddressOf(Korbel::ServerAddress *out, QString *error) const
{
    if (!IsServer()) {
        if (error)
            *error = tr("No database server is named.");
        return false;
    }
    QString reason;
    if (!Korbel::ServerAddress::Parse(address.trimmed(), out, &reason)) {
        if (error)
            *error = reason;
        return false;
    }
    return true;
}

QString PracticeConnection::FilesFolder(const QString &rootFolder) const
{
    QString folder = IsServer() && !sharedFolder.trimmed().isEmpty()
        ? QDir::cleanPath(QDir(rootFolder).absoluteFilePath(sharedFolder.trimmed()))
        : rootFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

PracticeConnection PracticeConnection::Load()
{
    return { GetDatabaseAddress(), GetSharedFolder() };
}

void PracticeConnection::Save() const
{
    SetDatabaseAddress(address.trimmed());
    SetSharedFolder(sharedFolder.trimmed());
}

bool PracticeConnection::Check(QString *error) const
{
    Korbel::ServerAddress parsed;
    if (IsServer() && !ServerAddressOf(&parsed, error))
        return false;
    if (!sharedFolder.trimmed().isEmpty() && !QFileInfo(sharedFolder.trimmed()).isDir()) {
        if (error)
            *error = tr("The shared folder %1 does not exist.")
                         .arg(QDir::toNativeSeparators(sharedFolder.trimmed()));
        return false;
    }
    return true;
}

namespace ServerPasswords {

QString Service()
{
    return QStringLiteral("Verdanta Database");
}

QString Key(const Korbel::ServerAddress &address)
{
    return QStringLiteral("%1@%2:%3/%4")
        .arg(address.user, address.host)
        .arg(address.port)
        .arg(address.database);
}

QString Read(Secrets::ISecretStore &keyring, const Korbel::ServerAddress &address, QString *error)
{
    const Secrets::SecretResult read = keyring.Read(Service(), Key(address));
    if (read.status == Secrets::SecretStatus::Failed && error)
        *error = read.error;
    return read.IsOk() ? read.secret : QString();
}

bool Write(Secrets::ISecretStore &keyring, const Korbel::ServerAddress &address, const QString &password,
    QString *error)
{
    const Secrets::SecretResult written = password.isEmpty()
        ? keyring.Remove(Service(), Key(address))
        : keyring.Write(Service(), Key(address), password);
    if (!written.IsOk() && error)
        *error = written.error;
    return written.IsOk();
}

} // namespace ServerPasswords
