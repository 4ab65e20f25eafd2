#pragma once

#include "Korbel/SqlConnection.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>

#include <unordered_map>

namespace Korbel {

class SqlField;

// A record set: the keys of its rows are read when it opens (in the table's or
// the query's order) and rows are fetched in small windows as they are needed,
// so opening and walking large tables is cheap and long binary fields are read
// only on demand. Rows are re-read after any write through the same connection.
class SqlTable final : public ITable
{
public:
    struct Filter
    {
        QString where; // SQL condition with '?' placeholders, empty for all rows
        QVariantList values; // bound values of the condition
        QString orderBy; // SQL ordering, empty for table order
    };

    SqlTable(std::shared_ptr<Connection> connection, const TableLayout &layout, Filter filter);
    ~SqlTable() override;

    bool load(QString *error);
    // After a rollback: the row keys are read again, keeping the current row
    // when it still exists; a pending edit and the bound controls are kept
    // for the caller to retry.
    void reloadAfterRollback();

    // ITable
    void Release() override;
    int Move(int kind, int n) override;
    int Update() override;
    int AddNew() override;
    int Edit() override;
    int Delete() override;
    void CancelUpdate() override;
    int GetField(const QString &name, IField **field) override;
    int Locate(const QString &field, int compare, const QString &value) override;
    int LocateNext(const QString &field, int compare, const QString &value) override;
    bool GetBinary(const QString &field, QByteArray *bytes) override;
    bool SetBinary(const QString &field, const QByteArray &bytes) override;
    QString GetErrorDescription() const override { return m_error; }
    int RecordCount() const override { return static_cast<int>(m_ids.size()); }
    int CurrentPosition() const override { return m_pos; }
    bool IsEditing() const override { return m_state != State::Idle; }
    QString GetName() const override { return m_layout.name; }

    // Used by fields.
    const TableLayout &layout() const { return m_layout; }
    QVariant storedValue(int column) const;
    bool setStoredValue(int column, const QVariant &stored, QString *error);
    bool bindControl(int column, QObject *control, bool writable);
    void setError(const QString &error) { m_error = error; }
    void forgetField(SqlField *field);

    // What a person may have changed in the current row (see TypedValues).
    std::vector<std::pair<QString, QString>> typedValues() const;

    // Following: this table's rows are those whose followColumn equals the
    // master's current ID; a missing row is created on the first edit.
    void follow(SqlTable *master, int followColumn);

private:
    enum class State { Idle, Editing, Adding };
    using Row = std::vector<QVariant>;

    const Row *currentRow() const;
    Row readRow(const QSqlQuery &query) const;
    qint64 currentId() const;
    void fetchWindow(int position) const;
    bool moveTo(int position);
    int locate(const QString &field, const QString &value, int after);
    void rebuildPositions() const;
    void cancelPending();
    void beginAdding();
    void showBoundControls();
    void takeBoundControls();
    void notifyFollowers();
    void refollow();
    void storeRow(qint64 id);
    // Another seat committed since the keys were read: read them again.
    void catchUpWithOtherSeats();
    // Whether the stored keys are still those read (cheaply, for a whole table).
    bool sameKeysAsStored();
    bool idsWhere(const QString &condition, const QVariantList &values, std::vector<qint64> *ids);

    std::shared_ptr<Connection> m_conn;
    TableLayout m_layout;
    Filter m_filter;
    QString m_selectColumns; // scalar columns, key first

    std::vector<qint64> m_ids;
    mutable std::unordered_map<qint64, int> m_positions;
    mutable bool m_positionsValid = false;
    int m_pos = -1;
    int m_lastStep = 1;
    mutable int m_lastFetch = -1;

    mutable std::unordered_map<qint64, Row> m_cache;
    mutable quint64 m_cacheVersion = 0;

    State m_state = State::Idle;
    Row m_buffer;
    std::vector<bool> m_dirty;
    std::unordered_map<int, QByteArray> m_pendingBinary;

    struct Binding
    {
        int column;
        QPointer<QObject> control;
        bool writable;
    };
    std::vector<Binding> m_bindings;
    std::vector<SqlField *> m_fields;

    SqlTable *m_master = nullptr;
    int m_followColumn = -1;
    std::vector<SqlTable *> m_followers;

    quint64 m_outsideGeneration = 0;

    QString m_error;
};

} // namespace Korbel
