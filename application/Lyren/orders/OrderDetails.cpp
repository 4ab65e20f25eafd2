#include "orders/OrderDetails.h"

#include "desktop/Prompts.h"

#include <algorithm>

bool Order::IsEmpty() const
{
    return std::all_of(lines.begin(), lines.end(), [](const OrderLine &line) { return line.IsDeleted(); });
}

Verdanta::Money Order::EstimatedCost() const
{
    Verdanta::Money cost;
    for (const OrderLine &line : lines) {
        if (!line.IsDeleted())
            cost += line.unitPrice.Times(line.quantity);
    }
    return cost;
}

COrderDetails::COrderDetails(
    OrderSet &orders, Lookups lookups, QStringList providerNames, std::vector<qint64> providerIds)
    : m_orders(orders)
    , m_lookups(std::move(lookups))
    , m_providerNames(std::move(providerNames))
    , m_providerIds(std::move(providerIds))
{ }

QDateTime COrderDetails::CreationDate() const
{
    return m_orders.empty() ? QDateTime() : m_orders.front().creationDate;
}

QDateTime COrderDetails::SentDate() const
{
    return m_orders.empty() ? QDateTime() : m_orders.front().sentDate;
}

QString COrderDetails::Description() const
{
    return m_orders.empty() ? QString() : m_orders.front().description;
}

QString COrderDetails::StatusName() const
{
    if (m_orders.empty() || !m_lookups.statusName)
        return {};
    return m_lookups.statusName(m_orders.front().statusId);
}

QString COrderDetails::EstimatedCost() const
{
    Verdanta::Money cost;
    for (const Order &order : m_orders)
        cost += order.EstimatedCost();
    return Verdanta::FormatMoneyForDisplay(cost);
}

QString COrderDetails::lineText(const OrderLine &line) const
{
    const QString name = m_lookups.remedyName ? m_lookups.remedyName(line.remedyId) : QString();
    const QString dilution = m_lookups.dilutionValue ? m_lookups.dilutionValue(line.dilutionId) : QString();
    const Verdanta::Money price
        = m_lookups.providerPrice ? m_lookups.providerPrice(line.remedyId) : Verdanta::Money();
    return tr("%1  %2    Total Quantity: %3    Estimated Cost: %4 ")
        .arg(name, dilution, QString::number(line.quantity),
            Verdanta::FormatMoneyForDisplay(price.Times(line.quantity)));
}

std::vector<COrderDetails::TreeOrder> COrderDetails::Tree() const
{
    std::vector<TreeOrder> tree;
    tree.reserve(m_orders.size());
    for (int o = 0; o < static_cast<int>(m_orders.size()); ++o) {
        const Order &order = m_orders[static_cast<size_t>(o)];
        TreeOrder shown;
        if (m_orders.size() > 1)
            shown.heading
                = tr("Provider: %1    Estimated Cost: %2")
                      .arg(order.providerName.isEmpty() ? m_providerNames.value(0) : order.providerName,
                          Verdanta::FormatMoneyForDisplay(order.EstimatedCost()));
        for (int l = 0; l < static_cast<int>(order.lines.size()); ++l) {
            const OrderLine &line = order.lines[static_cast<size_t>(l)];
            if (line.IsDeleted())
                continue;
            TreeLine item { o, l, lineText(line), {} };
            item.prescriptions.reserve(static_cast<qsizetype>(line.prescriptions.size()));
            for (const AttachedPrescription &p : line.prescriptions)
                item.prescriptions << tr("%1  %2    Quantity: %3   Creation Date: %4")
                                          .arg(p.firstName, p.lastName, QString::number(p.quantity),
                                              p.creationDate);
            shown.lines.push_back(std::move(item));
        }
        tree.push_back(std::move(shown));
    }
    return tree;
}

bool COrderDetails::DeleteLine(QWidget *parent, int order, int line)
{
    if (order < 0 || order >= static_cast<int>(m_orders.size()))
        return false;
    Order &owner = m_orders[static_cast<size_t>(order)];
    if (line < 0 || line >= static_cast<int>(owner.lines.size())
        || owner.lines[static_cast<size_t>(line)].IsDeleted())
        return false;
    if (owner.statusId == OrderStatus::Received) {
        Desktop::Inform(parent, tr("The order has already been received, its content cannot be modified."),
            Desktop::Icon::Warning);
        return false;
    }
    if (!Desktop::AskYesNo(parent, tr("Are you sure you want to delete this order item?")))
        return false;
    owner.lines[static_cast<size_t>(line)].state = OrderLine::State::Deleted;
    return true;
}

int COrderDetails::ProviderIndex(int order) const
{
    if (order < 0 || order >= static_cast<int>(m_orders.size()))
        return -1;
    const qint64 id = m_orders[static_cast<size_t>(order)].providerId;
    const auto found = std::find(m_providerIds.begin(), m_providerIds.end(), id);
    return found == m_providerIds.end() ? 0 : static_cast<int>(found - m_providerIds.begin());
}

void COrderDetails::SetProvider(int order, int providerIndex)
{
    if (order < 0 || order >= static_cast<int>(m_orders.size()) || providerIndex < 0
        || providerIndex >= static_cast<int>(m_providerIds.size()) || providerIndex >= m_providerNames.size())
        return;
    Order &target = m_orders[static_cast<size_t>(order)];
    target.providerId = m_providerIds[static_cast<size_t>(providerIndex)];
    target.providerName = target.providerId == 0 ? QString() : m_providerNames.at(providerIndex);
}

void COrderDetails::Accept(const QDateTime &creation, const QDateTime &sent, const QString &description)
{
    for (Order &order : m_orders) {
        order.creationDate = creation;
        order.sentDate = sent;
        order.description = description;
    }
}
