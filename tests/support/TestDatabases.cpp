#include "support/TestDatabases.h"

#include <QtCore/QFileInfo>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>

namespace TestSupport {

namespace {

QString clusterText()
{
    return QString::fromLocal8Bit(qgetenv("VERDANTA_TEST_POSTGRES")).trimmed();
}

// Runs the statement on a connection of its own, closed at once, so that
// dropping a database never waits for a connection of ours.
bool runOnDatabase(const Korbel::ServerAddress &address, const QString &sql, QString *error)
{
    const QString connection
        = QStringLiteral("test-cluster-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setUserName(address.user);
        db.setDatabaseName(address.database);
        if (!db.open()) {
            if (error)
                *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            ok = query.exec(sql);
            if (!ok && error)
                *error = query.lastError().text();
            query.finish();
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
    Korbel::ServerAddress address;
    QString parseError;
    if (!Korbel::ServerAddress::Parse(clusterText(), &address, &parseError)) {
        if (error)
            *error = parseError;
        return false;
    }
    return runOnDatabase(address, sql, error);
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
