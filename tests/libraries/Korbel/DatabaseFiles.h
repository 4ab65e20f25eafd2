#pragma once

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtCore/QStringList>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtSql/QSqlRecord>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

// Database files as the tests look at them and change them behind the data
// library's back.
namespace KorbelTest {

// Runs SQL on a database file with a connection of its own.
inline void RunSql(const QString &path, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// A hash of a file's bytes; empty when it cannot be read.
inline QByteArray FileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        : QByteArray();
}

// Everything a database file holds, as comparable text: each table's
// declaration and every row with each value's exact type and value (SQLite's
// quote() writes reals so that they read back exactly), in key order, and the
// key sequences. Without declarations, tables are named instead of declared
// and indexes left out. Empty when the file cannot be read.
inline QStringList DatabaseDump(const QString &path, bool declarations = true)
{
    QStringList dump;
    if (!QFile::exists(path))
        return dump;
    const QString name = QStringLiteral("dump-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery tables(db);
            tables.exec(
                QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY name"));
            while (tables.next()) {
                const QString table = tables.value(0).toString();
                dump << QStringLiteral("TABLE ") + tables.value(declarations ? 1 : 0).toString();
                QStringList quoted;
                const QSqlRecord record = db.record(table);
                for (int i = 0; i < record.count(); ++i)
                    quoted << QStringLiteral("quote(\"%1\")").arg(record.fieldName(i));
                QSqlQuery rows(db);
                // The order of the key sequences means nothing.
                const QString order = table == QLatin1String("sqlite_sequence") ? QStringLiteral("name")
                                                                                : QStringLiteral("rowid");
                rows.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                              .arg(quoted.join(QStringLiteral(", ")), table, order));
                while (rows.next()) {
                    QStringList values;
                    for (int i = 0; i < record.count(); ++i)
                        values << rows.value(i).toString();
                    dump << values.join(QStringLiteral(" | "));
                }
            }
            QSqlQuery indexes(db);
            indexes.exec(QStringLiteral(
                "SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name"));
            while (declarations && indexes.next())
                dump << indexes.value(0).toString();
            QSqlQuery version(db);
            version.exec(QStringLiteral("PRAGMA user_version"));
            if (version.next())
                dump << QStringLiteral("VERSION ") + version.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return dump;
}

// Empty when both dumps are equal, else the first line where they part.
inline QString FirstDifference(const QStringList &actual, const QStringList &expected)
{
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString a = i < actual.size() ? actual.at(i) : QStringLiteral("<end>");
        const QString e = i < expected.size() ? expected.at(i) : QStringLiteral("<end>");
        if (a != e)
            return QStringLiteral("line %1:\n  actual:   %2\n  expected: %3").arg(i).arg(a, e);
    }
    return QString();
}

} // namespace KorbelTest
