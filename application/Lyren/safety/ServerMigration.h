#pragma once

#include "Korbel/Maintenance.h"
#include "Korbel/ServerAddress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QString>

class IProgress;

// Moves a practice's database file into an empty PostgreSQL database: every
// table with every row and its keys, the key sequences set after. The copy
// goes through the data library's table export and import (one transaction
// on the server, so a failure or a cancel leaves the database empty) and is
// then checked: the server's database is exported again and compared with
// the file's export table by table, value by value; a copy that differs is
// removed again. The patient folders are files and stay where they are: the
// folder of the practice becomes the folder the seats share.
class ServerMigration
{
    Q_DECLARE_TR_FUNCTIONS(ServerMigration)

public:
    struct Summary
    {
        qint64 tables = 0;
        qint64 rows = 0;
    };

    ServerMigration(
        const QString &databaseFile, const Korbel::ServerAddress &target, const QString &password);

    // The checks before the copy: the file is a sound practice database, the
    // server is reached and its database holds no table. False with the
    // reason.
    bool Check(QString *error) const;
    Korbel::Outcome Run(IProgress &progress, Summary *summary, QString *error) const;

    // Compares two table exports of the data library: the same tables, the
    // same columns and kinds, and the same rows with the same values (in key
    // order, or as a set of rows for a table without a key). False with the
    // first difference.
    static bool SameExports(const QString &expected, const QString &actual, QString *difference);

private:
    QString m_file;
    Korbel::ServerAddress m_target;
    QString m_password;
};
