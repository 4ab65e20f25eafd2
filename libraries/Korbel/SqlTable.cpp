#include "Korbel/SqlTable.h"

#include "Korbel/SqlField.h"
#include "Korbel/ValueText.h"

#include <QtSql/QSqlError>

#include <algorithm>

namespace Korbel {

namespace {

// Rows fetched per round trip; a walk over the table costs one query per window.
constexpr int kWindow = 64;
constexpr int kJumpWindow = 4;
// The row cache is dropped when it grows beyond this many rows.
constexpr size_t kMaxCachedRows = 4096;

bool sameStored(const QVariant &a, const QVariant &b)
{
    const bool aNull = a.isNull() || !a.isValid();
    const bool bNull = b.isNull() || !b.isValid();
    if (aNull || bNull)
        return aNull == bNull;
    return a == b;
}

} // namespace

SqlTable::SqlTable(std::shared_ptr<Connection> connection, const TableLayout &layout, Filter filter)
    : m_conn(std::move(connection))
    , m_layout(layout)
    , m_filter(std::move(filter))
{
    QStringList columns;
    columns << m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name);
    for (size_t i = 0; i < m_layout.columns.size(); ++i) {
        const ColumnInfo &c = m_layout.columns[i];
        if (static_cast<int>(i) != m_layout.keyColumn && c.kind != ColumnKind::Binary)
            columns << m_conn->dialect().quote(c.name);
    }
    m_selectColumns = columns.join(QStringLiteral(", "));
    m_conn->openTables.push_back(this);
    m_outsideGeneration = m_conn->outsideGeneration();
}

SqlTable::~SqlTable()
{
    for (SqlField *field : m_fields)
        field->detach();
    for (SqlTable *follower : m_followers) {
        follower->m_master = nullptr;
        follower->refollow();
    }
    if (m_master) {
        auto &f = m_master->m_followers;
        f.erase(std::remove(f.begin(), f.end(), this), f.end());
    }
    if (m_conn->primaryMain == this)
        m_conn->primaryMain = nullptr;
    auto &open = m_conn->openTables;
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

void SqlTable::Release()
{
    delete this;
}

bool SqlTable::idsWhere(const QString &condition, const QVariantList &values, std::vector<qint64> *ids)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name),
                          m_conn->dialect().quote(m_layout.name));
    QVariantList bound = m_filter.values;
    QStringList conditions;
    if (!m_filter.where.isEmpty())
        conditions << QLatin1Char('(') + m_filter.where + QLatin1Char(')');
    if (!condition.isEmpty()) {
        conditions << QLatin1Char('(') + condition + QLatin1Char(')');
        bound += values;
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    const QString key = m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name);
    sql += QStringLiteral(" ORDER BY ")
        + (m_filter.orderBy.isEmpty() ? key : m_filter.orderBy + QStringLiteral(", ") + key);

    QSqlQuery *query = m_conn->preparedStatement(sql, &m_error);
    if (!query || !RunPrepared(*query, bound, &m_error))
        return false;
    ids->clear();
    while (query->next())
        ids->push_back(query->value(0).toLongLong());
    query->finish();
    return true;
}

bool SqlTable::load(QString *error)
{
    if (!idsWhere(QString(), {}, &m_ids)) {
        if (error)
            *error = m_error;
        return false;
    }
    m_positionsValid = false;
    m_pos = m_ids.empty() ? -1 : 0;
    return true;
}

void SqlTable::reloadAfterRollback()
{
    // The keys are read again under the same condition (a follower's is its
    // master's key). Bound controls are not touched: after a failed save they
    // keep what was typed, so that the next save can write it.
    const qint64 current = currentId();
    std::vector<qint64> ids;
    if (!idsWhere(QString(), {}, &ids))
        return;
    m_ids = std::move(ids);
    m_positionsValid = false;
    m_cache.clear();
    if (m_ids.empty()) {
        m_pos = -1;
        return;
    }
    rebuildPositions();
    const auto found = m_positions.find(current);
    m_pos = found != m_positions.end() ? found->second
                                       : std::min(std::max(m_pos, 0), static_cast<int>(m_ids.size()) - 1);
}

void SqlTable::rebuildPositions() const
{
    if (m_positionsValid)
        return;
    m_positions.clear();
    m_positions.reserve(m_ids.size());
    for (size_t i = 0; i < m_ids.size(); ++i)
        m_positions.emplace(m_ids[i], static_cast<int>(i));
    m_positionsValid = true;
}

qint64 SqlTable::currentId() const
{
    return m_pos >= 0 && m_pos < static_cast<int>(m_ids.size()) ? m_ids[m_pos] : 0;
}

void SqlTable::fetchWindow(int position) const
{
    const int count = static_cast<int>(m_ids.size());
    // Walking reads a whole window ahead (or behind); a jump to a far row
    // (locate, go to) reads just a few rows around it.
    const bool walking = m_lastFetch >= 0 && std::abs(position - m_lastFetch) <= kWindow;
    m_lastFetch = position;
    const int size = walking ? kWindow : kJumpWindow;
    int first = m_lastStep < 0 ? position - size + 1 : position;
    first = std::clamp(first, 0, std::max(0, count - size));
    const int last = std::min(count, first + size);

    QStringList marks;
    for (int i = 0; i < kWindow; ++i)
        marks << QStringLiteral("?");
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (%4)")
                            .arg(m_selectColumns, m_conn->dialect().quote(m_layout.name),
                                m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name),
                                marks.join(QLatin1Char(',')));
    QString error;
    QSqlQuery *fetch = m_conn->preparedStatement(sql, &error);
    QVariantList keys;
    keys.reserve(kWindow);
    for (int i = 0; i < kWindow; ++i)
        keys << m_ids[std::min(first + i, last - 1)];
    if (!fetch || !RunPrepared(*fetch, keys, &error)) {
        qCWarning(lcKorbel) << "row fetch failed:" << error;
        return;
    }
    if (m_cache.size() > kMaxCachedRows)
        m_cache.clear();
    while (fetch->next()) {
        Row row = readRow(*fetch);
        m_cache[row[m_layout.keyColumn].toLongLong()] = std::move(row);
    }
    fetch->finish();
}

SqlTable::Row SqlTable::readRow(const QSqlQuery &query) const
{
    // The select lists the key first, then the other non-binary columns in order.
    const int columnCount = static_cast<int>(m_layout.columns.size());
    Row row(columnCount);
    int q = 0;
    row[m_layout.keyColumn] = ReadStored(query, q++);
    for (int c = 0; c < columnCount; ++c) {
        if (c == m_layout.keyColumn || m_layout.columns[c].kind == ColumnKind::Binary)
            continue;
        row[c] = ReadStored(query, q++);
    }
    return row;
}

const SqlTable::Row *SqlTable::currentRow() const
{
    if (m_pos < 0 || m_pos >= static_cast<int>(m_ids.size()))
        return nullptr;
    if (m_cacheVersion != m_conn->version()) {
        m_cache.clear();
        m_cacheVersion = m_conn->version();
    }
    const qint64 id = m_ids[m_pos];
    auto it = m_cache.find(id);
    if (it == m_cache.end()) {
        fetchWindow(m_pos);
        it = m_cache.find(id);
    }
    // A row deleted through another table reads as no row.
    return it == m_cache.end() ? nullptr : &it->second;
}

void SqlTable::storeRow(qint64 id)
{
    // Re-reads one row after our own write and keeps the rest of the cache,
    // which the write did not change.
    const bool cacheWasCurrent = m_cacheVersion == m_conn->version();
    m_conn->bumpVersion();
    if (!cacheWasCurrent) {
        m_cache.clear();
    }
    m_cacheVersion = m_conn->version();
    m_cache.erase(id);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                            .arg(m_selectColumns, m_conn->dialect().quote(m_layout.name),
                                m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name));
    QString error;
    QSqlQuery *query = m_conn->preparedStatement(sql, &error);
    if (!query || !RunPrepared(*query, { id }, &error))
        return;
    if (query->next())
        m_cache[id] = readRow(*query);
    query->finish();
}

QVariant SqlTable::storedValue(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_layout.columns.size()))
        return {};
    if (m_state != State::Idle)
        return m_buffer[column];
    const Row *row = currentRow();
    return row ? (*row)[column] : QVariant();
}

bool SqlTable::setStoredValue(int column, const QVariant &stored, QString *error)
{
    if (m_state == State::Idle) {
        *error = QStringLiteral("No edit or new row is pending in table %1.").arg(m_layout.name);
        m_error = *error;
        return false;
    }
    if (column == m_layout.keyColumn) {
        *error = QStringLiteral("The key of table %1 is made by the database.").arg(m_layout.name);
        m_error = *error;
        return false;
    }
    m_buffer[column] = stored;
    m_dirty[column] = true;
    return true;
}

void SqlTable::cancelPending()
{
    if (m_state == State::Idle)
        return;
    m_state = State::Idle;
    m_buffer.clear();
    m_dirty.clear();
    m_pendingBinary.clear();
}

bool SqlTable::moveTo(int position)
{
    if (position < 0 || position >= static_cast<int>(m_ids.size()))
        return false;
    cancelPending();
    m_lastStep = position >= m_pos ? 1 : -1;
    m_pos = position;
    showBoundControls();
    notifyFollowers();
    return true;
}

void SqlTable::catchUpWithOtherSeats()
{
    m_conn->checkOutsideChanges();
    if (m_outsideGeneration == m_conn->outsideGeneration())
        return;
    m_outsideGeneration = m_conn->outsideGeneration();
    if (sameKeysAsStored())
        return;
    // Rows other seats added or deleted: the keys are read again, the current
    // row kept (a pending edit too: the move that follows decides about it).
    reloadAfterRollback();
}

bool SqlTable::sameKeysAsStored()
{
    // A whole table in key order: new keys only grow, so the same count and
    // the same greatest key mean the same rows (reading ten thousand keys
    // costs far more than asking).
    if (!m_filter.where.isEmpty() || !m_filter.orderBy.isEmpty() || m_ids.empty())
        return false;
    const QString key = m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name);
    QSqlQuery query(m_conn->db());
    query.setForwardOnly(true);
    QString error;
    if (!RunStatement(query,
            QStringLiteral("SELECT count(*), max(%1) FROM %2")
                .arg(key, m_conn->dialect().quote(m_layout.name)),
            {}, &error)
        || !query.next())
        return false;
    return query.value(0).toLongLong() == static_cast<qint64>(m_ids.size())
        && query.value(1).toLongLong() == m_ids.back();
}

int SqlTable::Move(int kind, int n)
{
    catchUpWithOtherSeats();
    const int count = static_cast<int>(m_ids.size());
    if (count == 0) {
        m_error = QStringLiteral("Table %1 has no rows.").arg(m_layout.name);
        return 0;
    }
    int target = -1;
    switch (kind) {
    case MoveFirst:
        target = 0;
        break;
    case MoveNext:
        target = m_pos + 1;
        break;
    case MovePrevious:
        target = m_pos < 0 ? -1 : m_pos - 1;
        break;
    case MoveLast:
        target = count - 1;
        break;
    case MoveToPosition:
        target = n;
        break;
    default:
        m_error = QStringLiteral("Unknown move kind %1.").arg(kind);
        return 0;
    }
    if (target < 0 || target >= count) {
        m_error = QStringLiteral("No row to move to in table %1.").arg(m_layout.name);
        return 0;
    }
    if (target == m_pos && m_state == State::Idle) {
        // Still re-show: the row may have changed through another table.
        showBoundControls();
        notifyFollowers();
        return 1;
    }
    return moveTo(target) ? 1 : 0;
}

void SqlTable::beginAdding()
{
    const int columnCount = static_cast<int>(m_layout.columns.size());
    m_state = State::Adding;
    m_buffer.assign(columnCount, QVariant());
    m_dirty.assign(columnCount, false);
    m_pendingBinary.clear();
    for (int c = 0; c < columnCount; ++c) {
        if (m_layout.columns[c].defaultValue.isValid()) {
            m_buffer[c] = m_layout.columns[c].defaultValue;
            m_dirty[c] = true;
        }
    }
    if (m_master && m_followColumn >= 0) {
        m_buffer[m_followColumn] = m_master->currentId();
        m_dirty[m_followColumn] = true;
    }
}

int SqlTable::AddNew()
{
    cancelPending();
    if (m_master && (m_master->currentId() == 0 || m_master->m_state == State::Adding)) {
        m_error = QStringLiteral("Table %1 follows a table without a current row.").arg(m_layout.name);
        return 0;
    }
    beginAdding();
    showBoundControls();
    notifyFollowers();
    return 1;
}

int SqlTable::Edit()
{
    if (m_state != State::Idle)
        return 1;
    const Row *row = currentRow();
    if (!row) {
        // A following table creates the missing row of its master's current row.
        if (m_master && m_pos < 0 && m_master->currentId() != 0 && m_master->m_state != State::Adding) {
            beginAdding();
            return 1;
        }
        m_error = QStringLiteral("Table %1 has no current row to edit.").arg(m_layout.name);
        return 0;
    }
    m_buffer = *row;
    m_dirty.assign(m_buffer.size(), false);
    m_pendingBinary.clear();
    m_state = State::Editing;
    return 1;
}

void SqlTable::takeBoundControls()
{
    for (const Binding &b : m_bindings) {
        if (!b.writable || !b.control)
            continue;
        QVariant stored;
        if (!m_conn->binder || !m_conn->binder->Take(b.control, m_layout.columns[b.column].kind, &stored)) {
            m_error = QStringLiteral("The value shown for %1 cannot be stored.")
                          .arg(m_layout.columns[b.column].name);
            continue;
        }
        if (!sameStored(stored, m_buffer[b.column]) || m_state == State::Adding) {
            m_buffer[b.column] = stored;
            m_dirty[b.column] = true;
        }
    }
}

int SqlTable::Update()
{
    if (m_state == State::Idle)
        return 1;
    takeBoundControls();

    QStringList names;
    QVariantList values;
    for (size_t c = 0; c < m_layout.columns.size(); ++c) {
        const ColumnInfo &column = m_layout.columns[c];
        if (static_cast<int>(c) == m_layout.keyColumn)
            continue;
        if (column.kind == ColumnKind::Binary) {
            auto it = m_pendingBinary.find(static_cast<int>(c));
            if (it == m_pendingBinary.end())
                continue;
            names << m_conn->dialect().quote(column.name);
            values << it->second;
        } else if (m_dirty[c]) {
            names << m_conn->dialect().quote(column.name);
            values << m_buffer[c];
        }
    }

    if (!m_conn->canWrite(&m_error))
        return 0;
    const QString table = m_conn->dialect().quote(m_layout.name);
    const QString key = m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name);
    QSqlQuery query(m_conn->db());
    if (m_state == State::Editing) {
        const qint64 id = currentId();
        if (names.isEmpty()) {
            cancelPending();
            return 1;
        }
        QStringList sets;
        for (const QString &name : names)
            sets << name + QStringLiteral(" = ?");
        values << id;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                .arg(table, sets.join(QStringLiteral(", ")), key);
        if (!RunStatement(query, sql, values, &m_error))
            return 0;
        if (query.numRowsAffected() == 0) {
            m_error = QStringLiteral("The row of table %1 no longer exists.").arg(m_layout.name);
            cancelPending();
            m_conn->bumpVersion();
            return 0;
        }
        m_conn->noteWrite(m_layout.name, id);
        cancelPending();
        storeRow(id);
        return 1;
    }

    // A new row.
    QString sql;
    if (names.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
    } else {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }
    const QString returning = m_conn->dialect().returningKey(key);
    if (!RunStatement(query, sql + returning, values, &m_error))
        return 0;
    const qint64 id = returning.isEmpty() ? query.lastInsertId().toLongLong()
                                          : (query.next() ? query.value(0).toLongLong() : 0);
    if (id <= 0) {
        m_error = QStringLiteral("The database gave no key for the new row of table %1.").arg(m_layout.name);
        cancelPending();
        m_conn->bumpVersion();
        return 0;
    }
    m_conn->noteWrite(m_layout.name, id);
    cancelPending();
    m_ids.push_back(id);
    if (m_positionsValid)
        m_positions.emplace(id, static_cast<int>(m_ids.size() - 1));
    m_pos = static_cast<int>(m_ids.size() - 1);
    m_lastStep = 1;
    storeRow(id);
    notifyFollowers();
    return 1;
}

int SqlTable::Delete()
{
    cancelPending();
    const qint64 id = currentId();
    if (m_pos < 0) {
        m_error = QStringLiteral("Table %1 has no current row to delete.").arg(m_layout.name);
        return 0;
    }
    if (!m_conn->canWrite(&m_error))
        return 0;
    QSqlQuery query(m_conn->db());
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                            .arg(m_conn->dialect().quote(m_layout.name),
                                m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name));
    if (!RunStatement(query, sql, { id }, &m_error))
        return 0;
    m_conn->noteWrite(m_layout.name, id);
    m_conn->bumpVersion();
    m_ids.erase(m_ids.begin() + m_pos);
    m_positionsValid = false;
    if (m_pos >= static_cast<int>(m_ids.size()))
        m_pos = static_cast<int>(m_ids.size()) - 1;
    showBoundControls();
    notifyFollowers();
    return 1;
}

void SqlTable::CancelUpdate()
{
    const bool wasAdding = m_state == State::Adding;
    cancelPending();
    showBoundControls();
    if (wasAdding)
        notifyFollowers();
}

int SqlTable::GetField(const QString &name, IField **field)
{
    if (!field)
        return 0;
    *field = nullptr;
    const int column = m_layout.columnIndex(name);
    if (column < 0) {
        m_error = QStringLiteral("Table %1 has no field %2.").arg(m_layout.name, name);
        return 0;
    }
    auto *f = new SqlField(this, column);
    m_fields.push_back(f);
    *field = f;
    return 1;
}

void SqlTable::forgetField(SqlField *field)
{
    m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), field), m_fields.end());
}

int SqlTable::locate(const QString &field, const QString &value, int after)
{
    catchUpWithOtherSeats();
    const int column = m_layout.columnIndex(field);
    if (column < 0) {
        m_error = QStringLiteral("Table %1 has no field %2.").arg(m_layout.name, field);
        return 0;
    }
    const ColumnInfo &info = m_layout.columns[column];
    QVariant stored;
    if (!StorageFromText(info.kind, value, &stored)) {
        m_error = QStringLiteral("\"%1\" is not a value of field %2.").arg(value, field);
        return 0;
    }
    int found = -1;
    if (column == m_layout.keyColumn) {
        rebuildPositions();
        auto it = m_positions.find(stored.toLongLong());
        if (it != m_positions.end() && it->second > after)
            found = it->second;
    } else {
        std::vector<qint64> matches;
        const SqlDialect &dialect = m_conn->dialect();
        const QString quoted = dialect.quote(info.name);
        const bool isNull = stored.isNull() || !stored.isValid();
        const QString condition = isNull
            ? quoted + QStringLiteral(" IS NULL")
            : dialect.compared(quoted, info.caseInsensitive) + QStringLiteral(" = ?");
        if (!idsWhere(condition,
                isNull ? QVariantList {}
                       : QVariantList { dialect.comparedValue(stored, info.caseInsensitive) },
                &matches))
            return 0;
        rebuildPositions();
        // The query keeps the record set's order, so the first match after the
        // current row is the first of the list that lies beyond it.
        for (qint64 id : matches) {
            auto it = m_positions.find(id);
            if (it != m_positions.end() && it->second > after) {
                found = it->second;
                break;
            }
        }
    }
    if (found < 0) {
        m_error
            = QStringLiteral("No row of table %1 has %2 equal to \"%3\".").arg(m_layout.name, field, value);
        return 0;
    }
    if (found == m_pos) {
        cancelPending();
        showBoundControls();
        notifyFollowers();
        return 1;
    }
    return moveTo(found) ? 1 : 0;
}

int SqlTable::Locate(const QString &field, int compare, const QString &value)
{
    Q_UNUSED(compare);
    return locate(field, value, -1);
}

int SqlTable::LocateNext(const QString &field, int compare, const QString &value)
{
    Q_UNUSED(compare);
    return locate(field, value, m_pos);
}

bool SqlTable::GetBinary(const QString &field, QByteArray *bytes)
{
    const int column = m_layout.columnIndex(field);
    if (column < 0 || !bytes) {
        m_error = QStringLiteral("Table %1 has no field %2.").arg(m_layout.name, field);
        return false;
    }
    if (m_state != State::Idle) {
        auto it = m_pendingBinary.find(column);
        if (it != m_pendingBinary.end()) {
            *bytes = it->second;
            return true;
        }
        if (m_state == State::Adding) {
            bytes->clear();
            return true;
        }
    }
    const qint64 id = currentId();
    if (m_pos < 0) {
        m_error = QStringLiteral("Table %1 has no current row.").arg(m_layout.name);
        return false;
    }
    QSqlQuery query(m_conn->db());
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                            .arg(m_conn->dialect().quote(m_layout.columns[column].name),
                                m_conn->dialect().quote(m_layout.name),
                                m_conn->dialect().quote(m_layout.columns[m_layout.keyColumn].name));
    if (!RunStatement(query, sql, { id }, &m_error))
        return false;
    if (!query.next()) {
        m_error = QStringLiteral("The row of table %1 no longer exists.").arg(m_layout.name);
        return false;
    }
    *bytes = query.value(0).toByteArray();
    return true;
}

bool SqlTable::SetBinary(const QString &field, const QByteArray &bytes)
{
    const int column = m_layout.columnIndex(field);
    if (column < 0) {
        m_error = QStringLiteral("Table %1 has no field %2.").arg(m_layout.name, field);
        return false;
    }
    if (m_state == State::Idle) {
        m_error = QStringLiteral("No edit or new row is pending in table %1.").arg(m_layout.name);
        return false;
    }
    if (m_layout.columns[column].kind == ColumnKind::Binary) {
        m_pendingBinary[column] = bytes;
    } else {
        m_buffer[column] = bytes;
        m_dirty[column] = true;
    }
    return true;
}

bool SqlTable::bindControl(int column, QObject *control, bool writable)
{
    if (!control || !m_conn->binder || !m_conn->binder->CanBind(control)) {
        m_error = QStringLiteral("This kind of control cannot be bound.");
        return false;
    }
    for (Binding &b : m_bindings) {
        if (b.control == control) {
            b.column = column;
            b.writable = writable;
            m_conn->binder->Show(control, m_layout.columns[column].kind, storedValue(column));
            return true;
        }
    }
    m_bindings.push_back(Binding { column, control, writable });
    m_conn->binder->Show(control, m_layout.columns[column].kind, storedValue(column));
    return true;
}

std::vector<std::pair<QString, QString>> SqlTable::typedValues() const
{
    std::vector<QVariant> values(m_layout.columns.size());
    std::vector<bool> present(m_layout.columns.size(), false);
    if (m_state != State::Idle) {
        for (size_t c = 0; c < m_layout.columns.size(); ++c) {
            if (m_dirty[c]) {
                values[c] = m_buffer[c];
                present[c] = true;
            }
        }
    }
    for (const Binding &b : m_bindings) {
        QVariant stored;
        if (b.writable && b.control && m_conn->binder
            && m_conn->binder->Take(b.control, m_layout.columns[b.column].kind, &stored)) {
            values[b.column] = stored;
            present[b.column] = true;
        }
    }
    std::vector<std::pair<QString, QString>> typed;
    for (size_t c = 0; c < m_layout.columns.size(); ++c) {
        if (present[c] && m_layout.columns[c].kind != ColumnKind::Binary)
            typed.emplace_back(
                m_layout.columns[c].name, TextFromStorage(m_layout.columns[c].kind, values[c]));
    }
    return typed;
}

void SqlTable::showBoundControls()
{
    m_bindings.erase(
        std::remove_if(m_bindings.begin(), m_bindings.end(), [](const Binding &b) { return !b.control; }),
        m_bindings.end());
    if (!m_conn->binder)
        return;
    for (const Binding &b : m_bindings)
        m_conn->binder->Show(b.control, m_layout.columns[b.column].kind, storedValue(b.column));
}

void SqlTable::follow(SqlTable *master, int followColumn)
{
    m_master = master;
    m_followColumn = followColumn;
    if (master)
        master->m_followers.push_back(this);
    refollow();
}

void SqlTable::notifyFollowers()
{
    for (SqlTable *follower : m_followers)
        follower->refollow();
}

void SqlTable::refollow()
{
    cancelPending();
    const qint64 key = m_master && m_master->m_state != State::Adding ? m_master->currentId() : 0;
    m_filter.where = m_conn->dialect().quote(m_layout.columns[m_followColumn].name) + QStringLiteral(" = ?");
    m_filter.values = { key };
    if (!idsWhere(QString(), {}, &m_ids))
        m_ids.clear();
    m_positionsValid = false;
    m_pos = m_ids.empty() ? -1 : 0;
    showBoundControls();
}

} // namespace Korbel
