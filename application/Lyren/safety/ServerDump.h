#pragma once

#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>
#include <QtCore/QStringList>

class QProcessEnvironment;

// The practice's database on a server as one file and back: a consistent
// dump by the server's own pg_dump (custom format) and its restore by
// pg_restore in one transaction. The programs run with the connection in
// their environment (PGHOST, PGPORT, PGUSER, PGDATABASE and, when the keyring
// holds one, PGPASSWORD), never on their command line; without a password
// they read the PostgreSQL password file. Their major version must be the
// server's.
class ServerDump
{
    Q_DECLARE_TR_FUNCTIONS(ServerDump)

public:
    ServerDump(const Korbel::ServerAddress &address, const QString &password);

    // The file name of a dump in a weekly backup's folder.
    static QString DumpFileName() { return QStringLiteral("data.dump"); }

    // Finds pg_dump or pg_restore of the given major version (0: any):
    // $VERDANTA_TEST_POSTGRES_BIN first, then the server packages' folders
    // /usr/lib/postgresql/<version>/bin, then PATH. Empty when none is found.
    static QString FindTool(const QString &name, int majorVersion);
    // The major version a pg_dump or pg_restore prints ("pg_dump (PostgreSQL)
    // 15.4"); 0 when it cannot be run.
    static int ToolMajorVersion(const QString &program);

    // Writes the dump into 'file' (through a temporary file beside it, renamed
    // when complete): false with the reason, and no file, when it failed.
    bool Dump(const QString &file, QString *error) const;
    // Replaces the database's contents by the dump's, in one transaction: a
    // restore that fails leaves the database as it was.
    bool Restore(const QString &file, QString *error) const;
    // Whether the file is a dump pg_restore reads; false with the reason.
    bool CheckDumpFile(const QString &file, QString *error) const;

private:
    // The tool of the server's major version; empty with the reason.
    QString ToolFor(const QString &name, QString *error) const;
    QProcessEnvironment Environment() const;
    bool RunTool(const QString &program, const QStringList &arguments, int timeoutMs, QString *output,
        QString *error) const;

    Korbel::ServerAddress m_address;
    QString m_password;
};
