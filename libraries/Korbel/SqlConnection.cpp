#include "Korbel/SqlConnection.h"

#include "Korbel/ValueText.h"

#include <QtSql/QSqlError>
#include <QtSql/QSqlRecord>

Q_LOGGING_CATEGORY(lcKorbel, "verdanta.korbel")

namespace Korbel {

int TableLayout::columnIndex(const QString &columnName) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(columnName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString SqlDialect::quote(const QString &identifier)
{
    QString escaped = identifier;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString SqlDialect::columnType(ColumnKind kind, bool caseInsensitive)
{
    switch (kind) {
    case ColumnKind::Key:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::Id:
    case ColumnKind::Integer:
    case ColumnKind::Bool:
    case ColumnKind::Money:
        return QStringLiteral("INTEGER");
    case ColumnKind::Real:
        return QStringLiteral("REAL");
    case ColumnKind::Date:
    case ColumnKind::DateTime:
    case ColumnKind::Text:
        return caseInsensitive ? QStringLiteral("TEXT COLLATE NOCASE") : QStringLiteral("TEXT");
    case ColumnKind::Binary:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

QString SqlDialect::prefixCondition(const QString &quotedColumn)
{
    // A range on the case-insensitive collation: it uses the column's index and
    // has no wildcard characters, so everything typed matches itself.
    return QStringLiteral("(%1 COLLATE NOCASE >= ? AND %1 COLLATE NOCASE < ?)").arg(quotedColumn);
}

QString SqlDialect::prefixUpperBound(const QString &prefix)
{
    // The greatest code point sorts after every character that can follow the prefix.
    return prefix + QString::fromUcs4(U"\U0010FFFF", 1);
}

bool SqlDialect::isInternalTable(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

QString SqlDialect::tableColumnsQuery()
{
    return QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)");
}

qint64 SqlDialect::lastKey(QSqlDatabase database, const QString &table)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    // The sequence table exists only once a table with AUTOINCREMENT does.
    if (!query.prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?")))
        return -1;
    query.addBindValue(table);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

bool SqlDialect::setLastKey(QSqlDatabase database, const QString &table, qint64 key, QString *error)
{
    QSqlQuery query(database);
    return RunStatement(query, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"), { table }, error)
        && RunStatement(query, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"),
            { table, key }, error);
}

Connection::Connection(QString name)
    : m_name(std::move(name))
{ }

Connection::~Connection()
{
    {
        QSqlDatabase database = QSqlDatabase::database(m_name, false);
        if (database.isOpen())
            database.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::canWrite(QString *error) const
{
    if (transactionDepth == 0 || SqlDialect::inTransaction(db()))
        return true;
    if (error)
        *error = QStringLiteral("The database ended the transaction after a failure; nothing is written "
                                "until it is rolled back.");
    return false;
}

const TableLayout *Connection::layout(const QString &table)
{
    const QString key = table.toUpper();
    auto it = m_layouts.constFind(key);
    if (it != m_layouts.constEnd())
        return it->get();

    QSqlQuery query(db());
    query.setForwardOnly(true);
    QString error;
    if (!RunStatement(query,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
            { table }, &error)
        || !query.next())
        return nullptr;
    auto layout = std::make_shared<TableLayout>();
    layout->name = query.value(0).toString();
    query.finish();

    if (!RunStatement(query, SqlDialect::tableColumnsQuery(), { layout->name }, &error))
        return nullptr;
    const TableDef *def = Schema::instance().table(layout->name);
    while (query.next()) {
        ColumnInfo info;
        info.name = query.value(0).toString();
        const QString declared = query.value(1).toString();
        const bool primaryKey = query.value(2).toInt() != 0;
        const ColumnDef *known = def ? def->column(info.name) : nullptr;
        if (known) {
            info.kind = known->kind;
            info.caseInsensitive = known->caseInsensitive;
            if (known->defaultValue.isValid())
                StorageFromValue(known->kind, known->defaultValue, &info.defaultValue);
        } else {
            info.kind = primaryKey ? ColumnKind::Key : KindFromDeclaredType(declared);
        }
        if (primaryKey && layout->keyColumn < 0) {
            info.kind = ColumnKind::Key;
            layout->keyColumn = static_cast<int>(layout->columns.size());
        }
        layout->columns.push_back(std::move(info));
    }
    if (layout->keyColumn < 0) {
        // Tables without a declared key are addressed by their ID column.
        layout->keyColumn = layout->columnIndex(QStringLiteral("ID"));
        if (layout->keyColumn < 0)
            return nullptr;
    }
    m_layouts.insert(key, layout);
    return layout.get();
}

bool RunStatement(QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error)
{
    if (!query.prepare(sql)) {
        if (error)
            *error = query.lastError().text();
        qCWarning(lcKorbel).noquote() << "prepare failed:" << query.lastError().text() << "in" << sql;
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec()) {
        NoteStorageFailure(query.driver(), query.lastError());
        if (error)
            *error = query.lastError().text();
        qCInfo(lcKorbel).noquote() << "statement failed:" << query.lastError().text() << "in" << sql;
        return false;
    }
    return true;
}

} // namespace Korbel
