#pragma once

#include "Korbel/SqlConnection.h"

namespace Korbel {

class SqlDataSource final : public IDataSource
{
public:
    SqlDataSource() = default;
    ~SqlDataSource() override;

    void Release() override;
    bool Open(const QString &path) override;
    ITable *OpenTable(const QString &name) override;
    bool TableExists(const QString &name) override;
    bool UpgradeSchema() override;
    bool BeginTransaction() override;
    int CommitTransaction() override;
    bool RollbackTransaction() override;
    bool RunStoredQuery(const QString &name, const QString &parameter) override;
    IQuery *CreateQuery() override;
    bool BackupTo(const QString &path) override;
    QString GetErrorDescription() const override { return m_error; }
    QString GetPath() const override { return m_path; }
    int SchemaVersion() const override;

    // The connection of the open database (invalid when none is open).
    QSqlDatabase database() const { return m_conn ? m_conn->db() : QSqlDatabase(); }
    std::shared_ptr<Connection> connection() const { return m_conn; }
    void setStoredQueryHandler(StoredQueryHandler handler);
    void setControlBinder(const IControlBinder *binder);
    Engine engine() const { return m_engine; }
    void setServerPassword(const QString &password) { m_serverPassword = password; }

private:
    bool fail(const QString &error);
    // Runs one statement without values; false and the error on failure.
    bool execute(const QString &sql);
    bool connect(const QString &path);
    bool createNew(const QString &path);
    bool checkExisting(const QString &path);
    bool openServer(const QString &address);
    // Creates the current schema and its seed rows in the empty database.
    bool createSchema(QString *error);
    void close();

    std::shared_ptr<Connection> m_conn;
    QString m_path;
    QString m_error;
    Engine m_engine = Engine::SQLite;
    QString m_serverPassword;
};

} // namespace Korbel
