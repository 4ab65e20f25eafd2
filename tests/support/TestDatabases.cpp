#include "support/TestDatabases.h"

#include <QtCore/QFileInfo>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>
#include <QtSql/QSqlRecord>

namespace TestSupport {

namespace {

QString clusterText()
{
    return QString::fromLocal8Bit(qgetenv("VERDANTA_TEST_POSTGRES")).trimmed();
}

// Runs the statements on a connection of its own, closed at once, so that
// dropping a database never waits for a connection of ours.
bool runOn(const QString &location, const QStringList &statements, QString *error,
    std::vector<QVariantList> *rows = nullptr)
{
    const QString connection
        = QStringLiteral("test-side-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db;
        if (Korbel::IsServerAddress(location)) {
            Korbel::ServerAddress address;
            if (!Korbel::ServerAddress::Parse(location, &address, error))
                return false;
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(address.host);
            db.setPort(address.port);
            db.setUserName(address.user);
            db.setDatabaseName(address.database);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(location);
        }
        if (!db.open()) {
            if (error)
                *error = db.lastError().text();
        } else {
            ok = true;
            for (const QString &sql : statements) {
                QSqlQuery query(db);
                if (!query.exec(sql)) {
                    if (error)
                        *error = query.lastError().text();
                    ok = false;
                    break;
                }
                while (rows && query.isSelect() && query.next()) {
                    QVariantList row;
                    for (int i = 0; i < query.record().count(); ++i)
                        row << query.value(i);
                    rows->push_back(row);
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace

bool ScratchServerDatabase::Available()
{
    return !clusterText().isEmpty();
}

QString ScratchServerDatabase::ClusterAddress()
{
    return clusterText();
}

bool RunOnCluster(const QString &sql, QString *error)
{
    return runOn(clusterText(), { sql }, error);
}

bool ExecuteOn(const QString &location, const QStringList &statements, QString *error)
{
    return runOn(location, statements, error);
}

bool AddRefusingTrigger(const QString &location, const QString &name, const QString &table,
    const QString &event, const QString &condition, const QString &message, QString *error)
{
    if (!Korbel::IsServerAddress(location))
        return runOn(location,
            { QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                    .arg(name, event, table, condition, message) },
            error);
    return runOn(location,
        { QStringLiteral(
              "CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF %2 THEN RAISE "
              "EXCEPTION '%3'; END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$")
                .arg(name, condition, message),
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()")
                .arg(name, event, table) },
        error);
}

bool DropRefusingTrigger(const QString &location, const QString &name, const QString &table)
{
    if (!Korbel::IsServerAddress(location))
        return runOn(location, { QStringLiteral("DROP TRIGGER %1").arg(name) }, nullptr);
    return runOn(location,
        { QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table),
            QStringLiteral("DROP FUNCTION %1()").arg(name) },
        nullptr);
}

std::vector<QVariantList> SelectOn(const QString &location, const QString &sql, QString *error)
{
    std::vector<QVariantList> rows;
    if (!runOn(location, { sql }, error, &rows))
        rows.clear();
    return rows;
}

ScratchServerDatabase::ScratchServerDatabase()
{
    if (!Available()) {
        m_error = QStringLiteral("VERDANTA_TEST_POSTGRES names no test cluster");
        return;
    }
    const QString name
        = QStringLiteral("verdanta_test_") + QUuid::createUuid().toString(QUuid::Id128).left(20);
    if (RunOnCluster(
            QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE template0 ENCODING 'UTF8'").arg(name), &m_error))
        m_name = name;
}

ScratchServerDatabase::~ScratchServerDatabase()
{
    if (!m_name.isEmpty())
        RunOnCluster(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
}

QString ScratchServerDatabase::Address() const
{
    Korbel::ServerAddress address;
    if (!IsValid() || !Korbel::ServerAddress::Parse(clusterText(), &address, nullptr))
        return {};
    address.database = m_name;
    return address.ToString();
}

EngineDatabases::EngineDatabases(Korbel::Engine engine)
    : m_engine(engine)
{ }

EngineDatabases::~EngineDatabases() = default;

QString EngineDatabases::NewLocation(const QString &fileName)
{
    if (m_engine == Korbel::Engine::SQLite) {
        const QString path = m_folder.filePath(fileName);
        QDir().mkpath(QFileInfo(path).absolutePath());
        return path;
    }
    auto server = std::make_unique<ScratchServerDatabase>();
    if (!server->IsValid()) {
        ADD_FAILURE() << "no scratch database on the test cluster: " << server->Error().toStdString();
        return {};
    }
    const QString address = server->Address();
    m_servers.push_back(std::move(server));
    return address;
}

std::string EngineName(const testing::TestParamInfo<Korbel::Engine> &info)
{
    return info.param == Korbel::Engine::PostgreSQL ? "PostgreSQL" : "SQLite";
}

void EngineTest::SetUp()
{
    VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
    m_databases = std::make_unique<EngineDatabases>(GetParam());
}

} // namespace TestSupport
