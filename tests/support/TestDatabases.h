#pragma once

// Databases for tests that run on both engines: a file of the embedded engine
// in a throw-away folder, or a fresh database on the PostgreSQL cluster named
// by VERDANTA_TEST_POSTGRES (scripts/with-postgres.sh starts one for a test
// run). Without that variable the PostgreSQL cases skip with a message.

#include "Korbel/ServerAddress.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

// A new empty database on the test cluster, dropped (with every connection
// to it closed) when the object goes.
class ScratchServerDatabase
{
public:
    ScratchServerDatabase();
    ~ScratchServerDatabase();
    ScratchServerDatabase(const ScratchServerDatabase &) = delete;
    ScratchServerDatabase &operator=(const ScratchServerDatabase &) = delete;

    // Whether a test cluster is named by VERDANTA_TEST_POSTGRES.
    static bool Available();
    // The address of the cluster's maintenance database ("postgres").
    static QString ClusterAddress();

    bool IsValid() const { return !m_name.isEmpty(); }
    QString Error() const { return m_error; }
    // "postgresql://user@host:port/name" of the new database.
    QString Address() const;
    QString Name() const { return m_name; }

private:
    QString m_name;
    QString m_error;
};

// Runs one statement on the test cluster's maintenance database (creating
// and dropping databases, counting connections); false with the error.
bool RunOnCluster(const QString &sql, QString *error = nullptr);

// Runs statements (without values) on a side connection of its own to the
// database at a location (a file path or a server address), as another
// program would; false with the error of the first that fails.
bool ExecuteOn(const QString &location, const QStringList &statements, QString *error = nullptr);
// The rows of one SELECT read the same way; none (and the error) on failure.
std::vector<QVariantList> SelectOn(const QString &location, const QString &sql, QString *error = nullptr);

// Makes the database at a location refuse a write, as a constraint would: a
// trigger named 'name' fails every 'event' ("INSERT", "UPDATE" or "DELETE")
// of a row of 'table' for which 'condition' (SQL over NEW or OLD) holds,
// with the message. Written for the engine of the location.
bool AddRefusingTrigger(const QString &location, const QString &name, const QString &table,
    const QString &event, const QString &condition, const QString &message, QString *error = nullptr);

// Removes a trigger made by AddRefusingTrigger.
bool DropRefusingTrigger(const QString &location, const QString &name, const QString &table);

// Places for databases of one engine: each call of NewLocation() yields a new
// database that does not exist yet (a file path in a throw-away folder) or
// exists empty (a scratch server database), both opened with
// IDataSource::Open.
class EngineDatabases
{
public:
    explicit EngineDatabases(Korbel::Engine engine);
    ~EngineDatabases();
    EngineDatabases(const EngineDatabases &) = delete;
    EngineDatabases &operator=(const EngineDatabases &) = delete;

    Korbel::Engine engine() const { return m_engine; }
    // An empty string (and a test failure) when the database cannot be made.
    QString NewLocation(const QString &fileName = QStringLiteral("practice.db"));
    // The throw-away folder (side files, exports) of the test.
    const TemporaryFolder &folder() const { return m_folder; }

private:
    Korbel::Engine m_engine;
    TemporaryFolder m_folder;
    std::vector<std::unique_ptr<ScratchServerDatabase>> m_servers;
};

// Name of a test case per engine: ".../SQLite", ".../PostgreSQL".
std::string EngineName(const testing::TestParamInfo<Korbel::Engine> &info);

// Both engines, for INSTANTIATE_TEST_SUITE_P(Engines, Suite, BothEngines(), EngineName).
inline auto BothEngines()
{
    return testing::Values(Korbel::Engine::SQLite, Korbel::Engine::PostgreSQL);
}

// A fixture base for tests on both engines: skips the PostgreSQL case when no
// cluster is named, and gives new database locations of the engine.
class EngineTest : public testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override;
    bool OnServer() const { return GetParam() == Korbel::Engine::PostgreSQL; }
    QString NewLocation(const QString &fileName = QStringLiteral("practice.db"))
    {
        return m_databases->NewLocation(fileName);
    }
    const TemporaryFolder &Folder() const { return m_databases->folder(); }

private:
    std::unique_ptr<EngineDatabases> m_databases;
};

} // namespace TestSupport

// Skips the current test when it needs the PostgreSQL test cluster and none is named.
#define VERDANTA_SKIP_WITHOUT_SERVER(engine)                                                                 \
    do {                                                                                                     \
        if ((engine) == Korbel::Engine::PostgreSQL && !TestSupport::ScratchServerDatabase::Available())      \
            GTEST_SKIP() << "no PostgreSQL test cluster (run the test through scripts/with-postgres.sh)";    \
    } while (false)
