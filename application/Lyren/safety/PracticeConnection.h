#pragma once

#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

namespace Secrets {
class ISecretStore;
}

// Where this computer (this seat) finds its practice: the database, either
// the file "data.mdb" in the root folder (the default) or a PostgreSQL
// database on a server ("postgresql://user@host[:port]/dbname"), and the
// folder every seat of a practice on a server shares for the patient
// folders, UserData, the invoice templates and the weekly backups. Kept in
// the user's settings of this computer; the password of a server is kept in
// the desktop keyring only, never in a settings file or on a command line.
struct PracticeConnection
{
    Q_DECLARE_TR_FUNCTIONS(PracticeConnection)

public:
    QString address; // empty: the database file in the root folder
    QString sharedFolder; // empty: the root folder

    bool IsServer() const { return !address.trimmed().isEmpty(); }
    // The parsed server address; false with the reason (also for an address
    // carrying a password, or for none).
    bool ServerAddressOf(Korbel::ServerAddress *out, QString *error) const;
    // The folder the program keeps the practice's files in, ending in "/":
    // the shared folder with a server (the root folder when none is named),
    // the root folder with a database file.
    QString FilesFolder(const QString &rootFolder) const;

    // What "--database" names for one run: a server address, or "file" for
    // the database file in the root folder (the way back to this computer's
    // file when the server named in the setting cannot be reached); empty
    // keeps the setting.
    static QString FileDatabase() { return QStringLiteral("file"); }
    void Override(const QString &database)
    {
        if (database == FileDatabase())
            address.clear();
        else if (!database.isEmpty())
            address = database;
    }

    static PracticeConnection Load();
    void Save() const;
    // Checks what the person typed or gave on the command line: an empty
    // address, or one that parses and names no password; a shared folder
    // that exists. False with the reason.
    bool Check(QString *error) const;
};

// The passwords of database servers in the desktop keyring, one per user,
// server and database.
namespace ServerPasswords {
QString Service(); // "Verdanta Database"
QString Key(const Korbel::ServerAddress &address); // "user@host:port/dbname"
// The password the keyring holds; empty when it holds none (the PostgreSQL
// password file is then read) or cannot be reached ('error' says why).
QString Read(Secrets::ISecretStore &keyring, const Korbel::ServerAddress &address, QString *error = nullptr);
bool Write(Secrets::ISecretStore &keyring, const Korbel::ServerAddress &address, const QString &password,
    QString *error);
} // namespace ServerPasswords
