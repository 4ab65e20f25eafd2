#pragma once

#include "Korbel/DataSource.h"

namespace Korbel {

class SqlTable;

// A named field of a table's current row. It reads the pending edit or new row
// while one exists, otherwise the current row; a field whose table was
// released reads empty and refuses writes.
class SqlField final : public IField
{
public:
    SqlField(SqlTable *table, int column);
    ~SqlField() override;

    void detach() { m_table = nullptr; }

    void Refresh() override { }
    void Release() override;
    QString GetName() const override;
    QString GetAsString() const override;
    bool IsNull() const override;
    bool SetFromString(const QString &text) override;
    bool SetNull() override;
    bool SetNotNull() override;
    QVariant GetValue() const override;
    bool SetValue(const QVariant &value) override;
    bool BindControl(QObject *control, int writable) override;

private:
    SqlTable *m_table;
    int m_column;
    QString m_name;
};

} // namespace Korbel
