#include "Korbel/SqlQueryBuilder.h"

#include "Korbel/SqlTable.h"
#include "Korbel/ValueText.h"

namespace Korbel {

SqlQueryBuilder::SqlQueryBuilder(std::shared_ptr<Connection> connection)
    : m_conn(std::move(connection))
{ }

void SqlQueryBuilder::Release()
{
    delete this;
}

void SqlQueryBuilder::SetTable(const QString &table)
{
    m_table = table;
}

void SqlQueryBuilder::Where(const QString &field, Compare compare, const QString &value)
{
    m_conditions.push_back(Condition { field, compare, value });
}

void SqlQueryBuilder::OrderBy(const QString &field, bool ascending)
{
    m_order.push_back(Order { field, ascending });
}

ITable *SqlQueryBuilder::Open()
{
    const TableLayout *layout = m_conn->layout(m_table);
    if (!layout) {
        m_error = QStringLiteral("There is no table %1.").arg(m_table);
        return nullptr;
    }
    SqlTable::Filter filter;
    QStringList where;
    for (const Condition &c : m_conditions) {
        const int index = layout->columnIndex(c.field);
        if (index < 0) {
            m_error = QStringLiteral("Table %1 has no field %2.").arg(m_table, c.field);
            return nullptr;
        }
        const ColumnInfo &column = layout->columns[index];
        const SqlDialect &dialect = m_conn->dialect();
        const QString plain = dialect.quote(column.name);
        const QString quoted = dialect.compared(plain, column.caseInsensitive);
        if (c.compare == Compare::IsNull) {
            where << plain + QStringLiteral(" IS NULL");
            continue;
        }
        if (c.compare == Compare::IsNotNull) {
            where << plain + QStringLiteral(" IS NOT NULL");
            continue;
        }
        if (c.compare == Compare::Prefix) {
            // An empty prefix matches every row, as an empty find field does.
            if (c.value.isEmpty())
                continue;
            where << dialect.prefixCondition(plain);
            filter.values << dialect.prefixValues(c.value);
            continue;
        }
        QVariant stored;
        if (!StorageFromText(column.kind, c.value, &stored)) {
            // A value that cannot be of this field's type matches nothing.
            where << QStringLiteral("0 = 1");
            continue;
        }
        const bool isNull = stored.isNull() || !stored.isValid();
        switch (c.compare) {
        case Compare::Equal:
            where << (isNull ? quoted + QStringLiteral(" IS NULL") : quoted + QStringLiteral(" = ?"));
            break;
        case Compare::NotEqual:
            // Rows without a value differ from every value.
            where << (isNull ? quoted + QStringLiteral(" IS NOT NULL")
                             : QStringLiteral("(%1 <> ? OR %1 IS NULL)").arg(quoted));
            break;
        case Compare::Less:
            where << quoted + QStringLiteral(" < ?");
            break;
        case Compare::LessOrEqual:
            where << quoted + QStringLiteral(" <= ?");
            break;
        case Compare::Greater:
            where << quoted + QStringLiteral(" > ?");
            break;
        case Compare::GreaterOrEqual:
            where << quoted + QStringLiteral(" >= ?");
            break;
        default:
            break;
        }
        if (!isNull)
            filter.values << dialect.comparedValue(stored, column.caseInsensitive);
        else if (c.compare != Compare::Equal && c.compare != Compare::NotEqual)
            where.back() = QStringLiteral("0 = 1");
    }
    filter.where = where.join(QStringLiteral(" AND "));

    QStringList order;
    for (const Order &o : m_order) {
        const int index = layout->columnIndex(o.field);
        if (index < 0) {
            m_error = QStringLiteral("Table %1 has no field %2.").arg(m_table, o.field);
            return nullptr;
        }
        const ColumnInfo &column = layout->columns[index];
        order << m_conn->dialect().compared(m_conn->dialect().quote(column.name), column.caseInsensitive)
                + (o.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    }
    filter.orderBy = order.join(QStringLiteral(", "));

    auto table = std::make_unique<SqlTable>(m_conn, *layout, std::move(filter));
    if (!table->load(&m_error))
        return nullptr;
    return table.release();
}

} // namespace Korbel
