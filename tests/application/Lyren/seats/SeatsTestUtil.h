#pragma once

// A practice that two seats share: its folder, rows written straight through
// a data source of the test's own, and hubs opened on it as seats.

#include "core/CLogicFolders.h"
#include "shell/CLogicMain.h"

#include "Korbel/DataSource.h"
#include "support/TestDatabases.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace SeatsTest {

// The practice's folder is shared by the seats; its database is the file in
// the folder or a scratch database on the PostgreSQL test cluster.
class SharedPractice
{
public:
    explicit SharedPractice(Korbel::Engine engine)
    {
        if (engine == Korbel::Engine::PostgreSQL) {
            m_server = std::make_unique<TestSupport::ScratchServerDatabase>();
            EXPECT_TRUE(m_server->IsValid()) << m_server->Error().toStdString();
            m_address = m_server->Address();
        }
        // The first open makes the database with its schema and seed rows.
        OpenSeat()->Close();
        m_source.reset(DataSourceFactory());
        EXPECT_TRUE(m_source->Open(Location())) << m_source->GetErrorDescription().toStdString();
    }

    QString Root() const { return m_dir.rootWithSeparator(); }
    // The database file, or the server address.
    QString Location() const { return m_address.isEmpty() ? Root() + QStringLiteral("data.mdb") : m_address; }
    // What a seat program is given for the database: "-" for the file.
    QString SeatDatabaseArgument() const { return m_address.isEmpty() ? QStringLiteral("-") : m_address; }
    Korbel::IDataSource *Source() const { return m_source.get(); }

    // A seat: the program's hub on the practice.
    std::unique_ptr<CLogicMain> OpenSeat() const
    {
        auto hub = std::make_unique<CLogicMain>(Root(), Root() + QStringLiteral("windows"));
        hub->GetLogicFolders()->SetDatabaseAddress(m_address);
        QString error;
        EXPECT_TRUE(hub->Open(&error)) << error.toStdString();
        return hub;
    }

    qint64 Add(const QString &table, const std::vector<std::pair<QString, QVariant>> &values) const
    {
        Korbel::ReleasePtr<Korbel::ITable> rows(m_source->OpenTable(table));
        if (!rows || rows->AddNew() != 1)
            return 0;
        for (const auto &[name, value] : values) {
            Korbel::IField *field = nullptr;
            if (rows->GetField(name, &field) != 1)
                return 0;
            Korbel::ReleasePtr<Korbel::IField> guard(field);
            if (!field->SetValue(value))
                return 0;
        }
        if (!rows->Update())
            return 0;
        Korbel::IField *id = nullptr;
        rows->GetField(QStringLiteral("ID"), &id);
        Korbel::ReleasePtr<Korbel::IField> guard(id);
        return id ? id->GetValue().toLongLong() : 0;
    }

    // A stored value read afresh.
    QVariant Value(const QString &table, qint64 id, const QString &field) const
    {
        Korbel::ReleasePtr<Korbel::ITable> rows(m_source->OpenTable(table));
        if (!rows || rows->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(id)) != 1)
            return QStringLiteral("<no row>");
        Korbel::IField *f = nullptr;
        if (rows->GetField(field, &f) != 1)
            return QStringLiteral("<no field>");
        Korbel::ReleasePtr<Korbel::IField> guard(f);
        return f->GetValue();
    }

    int Count(const QString &table, const QString &field, const QString &value) const
    {
        Korbel::ReleasePtr<Korbel::IQuery> query(m_source->CreateQuery());
        query->SetTable(table);
        query->Where(field, Korbel::Compare::Equal, value);
        Korbel::ReleasePtr<Korbel::ITable> rows(query->Open());
        return rows ? rows->RecordCount() : -1;
    }

private:
    TestSupport::TemporaryFolder m_dir;
    std::unique_ptr<TestSupport::ScratchServerDatabase> m_server;
    QString m_address;
    Korbel::ReleasePtr<Korbel::IDataSource> m_source;
};

} // namespace SeatsTest
