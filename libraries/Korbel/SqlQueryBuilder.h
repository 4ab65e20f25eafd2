#pragma once

#include "Korbel/SqlConnection.h"

namespace Korbel {

class SqlQueryBuilder final : public IQuery
{
public:
    explicit SqlQueryBuilder(std::shared_ptr<Connection> connection);

    void Release() override;
    void SetTable(const QString &table) override;
    void Where(const QString &field, Compare compare, const QString &value) override;
    void OrderBy(const QString &field, bool ascending) override;
    ITable *Open() override;
    QString GetErrorDescription() const override { return m_error; }

private:
    struct Condition
    {
        QString field;
        Compare compare;
        QString value;
    };
    struct Order
    {
        QString field;
        bool ascending;
    };

    std::shared_ptr<Connection> m_conn;
    QString m_table;
    std::vector<Condition> m_conditions;
    std::vector<Order> m_order;
    QString m_error;
};

} // namespace Korbel
