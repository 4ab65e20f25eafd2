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
        const QString quoted = SqlDialect::quote(column.name);
        if (c.compare == Compare::IsNull) {
            where << quoted + QStringLiteral(" IS NULL");
            continue;
        }
        if (c.compare == Compare::IsNotNull) {
            where << quoted + QStringLiteral(" IS NOT NULL");
            continue;
        }
        if (c.compare == Compare::Prefix) {
            // An empty prefix matches every row, as an empty find field does.
            if (c.value.isEmpty())
                continue;
            where << SqlDialect::prefixCondition(quoted);
            filter.values << c.value << SqlDialect::prefixUpperBound(c.value);
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
            filter.values << stored;
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
        order << SqlDialect::quote(layout->columns[index].name)
                + (o.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    }
    filter.orderBy = order.join(QStringLiteral(", "));

    auto table = std::make_unique<SqlTable>(m_conn, *layout, std::move(filter));
    if (!table->load(&m_error))
        return nullptr;
    return table.release();
}

} // namespace Korbel
