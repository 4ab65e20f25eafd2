#include "Korbel/SqlField.h"

#include "Korbel/SqlTable.h"
#include "Korbel/ValueText.h"

namespace Korbel {

SqlField::SqlField(SqlTable *table, int column)
    : m_table(table)
    , m_column(column)
    , m_name(table->layout().columns[column].name)
{ }

SqlField::~SqlField()
{
    if (m_table)
        m_table->forgetField(this);
}

void SqlField::Release()
{
    delete this;
}

QString SqlField::GetName() const
{
    return m_name;
}

QString SqlField::GetAsString() const
{
    if (!m_table)
        return {};
    return TextFromStorage(m_table->layout().columns[m_column].kind, m_table->storedValue(m_column));
}

bool SqlField::IsNull() const
{
    if (!m_table)
        return true;
    const QVariant v = m_table->storedValue(m_column);
    return v.isNull() || !v.isValid();
}

bool SqlField::SetFromString(const QString &text)
{
    if (!m_table)
        return false;
    QVariant stored;
    const ColumnKind kind = m_table->layout().columns[m_column].kind;
    if (!StorageFromText(kind, text, &stored)) {
        m_table->setError(QStringLiteral("\"%1\" is not a valid value for field %2.").arg(text, m_name));
        return false;
    }
    QString error;
    return m_table->setStoredValue(m_column, stored, &error);
}

bool SqlField::SetNull()
{
    if (!m_table)
        return false;
    QString error;
    return m_table->setStoredValue(m_column, QVariant(), &error);
}

bool SqlField::SetNotNull()
{
    // A field becomes not null by the value written next; nothing to do until then.
    return m_table != nullptr;
}

QVariant SqlField::GetValue() const
{
    if (!m_table)
        return {};
    return ValueFromStorage(m_table->layout().columns[m_column].kind, m_table->storedValue(m_column));
}

bool SqlField::SetValue(const QVariant &value)
{
    if (!m_table)
        return false;
    QVariant stored;
    if (!StorageFromValue(m_table->layout().columns[m_column].kind, value, &stored)) {
        m_table->setError(QStringLiteral("The value is not valid for field %1.").arg(m_name));
        return false;
    }
    QString error;
    return m_table->setStoredValue(m_column, stored, &error);
}

bool SqlField::BindControl(QObject *control, int writable)
{
    if (!m_table)
        return false;
    return m_table->bindControl(m_column, control, writable != 0);
}

} // namespace Korbel
