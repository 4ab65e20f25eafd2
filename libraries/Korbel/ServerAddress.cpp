#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QUrl>

namespace Korbel {

namespace {

bool hasServerScheme(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Korbel", text);
}

} // namespace

bool IsServerAddress(const QString &text)
{
    return hasServerScheme(text.trimmed());
}

bool ServerAddress::Parse(const QString &text, ServerAddress *out, QString *error)
{
    auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString trimmed = text.trimmed();
    if (!hasServerScheme(trimmed))
        return refuse(
            tr("%1 is not a database server address (postgresql://user@host/database).").arg(trimmed));
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return refuse(
            tr("The database server address %1 cannot be read: %2").arg(trimmed, url.errorString()));
    // The password is looked up in the keyring or the password file; an
    // address carrying one would leave it in the shell history and the settings.
    const QString authority = trimmed.section(QStringLiteral("://"), 1).section(QLatin1Char('/'), 0, 0);
    const QString userInfo
        = authority.contains(QLatin1Char('@')) ? authority.section(QLatin1Char('@'), 0, -2) : QString();
    if (!url.password(QUrl::FullyDecoded).isEmpty() || userInfo.contains(QLatin1Char(':')))
        return refuse(tr("The database server address must not contain a password; "
                         "the password is taken from the keyring or the PostgreSQL password file."));
    if (url.hasQuery() || url.hasFragment())
        return refuse(tr("The database server address %1 has parts this program does not read "
                         "(after '?' or '#').")
                          .arg(trimmed));
    ServerAddress address;
    address.user = url.userName(QUrl::FullyDecoded);
    address.host = url.host(QUrl::FullyDecoded);
    address.port = url.port(5432);
    QString path = url.path(QUrl::FullyDecoded);
    if (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    address.database = path;
    if (address.user.isEmpty())
        return refuse(tr("The database server address %1 names no user (postgresql://user@host/database).")
                          .arg(trimmed));
    if (address.host.isEmpty())
        return refuse(tr("The database server address %1 names no server.").arg(trimmed));
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/')))
        return refuse(
            tr("The database server address %1 names no database (postgresql://user@host/database).")
                .arg(trimmed));
    if (address.port <= 0 || address.port > 65535)
        return refuse(tr("The database server address %1 has no valid port.").arg(trimmed));
    if (out)
        *out = address;
    return true;
}

QString ServerAddress::ToString() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    if (port != 5432)
        url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    return url.toString(QUrl::FullyEncoded);
}

} // namespace Korbel
