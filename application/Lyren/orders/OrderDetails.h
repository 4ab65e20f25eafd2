#pragma once

#include "orders/OrderSet.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

#include <functional>

class QWidget;

// What the details dialog shows of an order set and the changes it makes to
// it: dates, description and provider, and line deletions. The dialog only
// draws; every rule (which lines may go, what is asked) is here.
class COrderDetails
{
    Q_DECLARE_TR_FUNCTIONS(COrderDetails)

public:
    // Names of remedies and dilutions, and the current purchase price of a
    // remedy (the tree's estimate).
    struct Lookups
    {
        std::function<QString(qint64 remedyId)> remedyName;
        std::function<QString(qint64 dilutionId)> dilutionValue;
        std::function<Verdanta::Money(qint64 remedyId)> providerPrice;
        std::function<QString(int statusId)> statusName;
    };

    // providerNames: "NoProvider" first, then the providers; providerIds the
    // matching IDs (0 for "NoProvider").
    COrderDetails(
        OrderSet &orders, Lookups lookups, QStringList providerNames, std::vector<qint64> providerIds);

    const OrderSet &Orders() const { return m_orders; }

    // The fields of the first order (the only one, when an order is modified).
    QDateTime CreationDate() const;
    QDateTime SentDate() const;
    QString Description() const;
    QString StatusName() const;
    // Quantity times unit price over every line that is not deleted.
    QString EstimatedCost() const;

    // One root of the tree per line that is not deleted, its attached
    // prescriptions under it. Several orders are told apart by a heading
    // naming each one's provider.
    struct TreeLine
    {
        int order = 0;
        int line = 0;
        QString text;
        QStringList prescriptions;
    };
    struct TreeOrder
    {
        QString heading; // empty when the set holds one order
        std::vector<TreeLine> lines;
    };
    std::vector<TreeOrder> Tree() const;

    // Del on a line: refused for a received order; otherwise asked. True
    // when the line was deleted (the tree is drawn again).
    bool DeleteLine(QWidget *parent, int order, int line);

    const QStringList &ProviderNames() const { return m_providerNames; }
    // The entry of the provider list that stands for the order's provider.
    int ProviderIndex(int order) const;
    void SetProvider(int order, int providerIndex);

    // OK: the dates and the description go into every order of the set.
    void Accept(const QDateTime &creation, const QDateTime &sent, const QString &description);

private:
    QString lineText(const OrderLine &line) const;

    OrderSet &m_orders;
    Lookups m_lookups;
    QStringList m_providerNames;
    std::vector<qint64> m_providerIds;
};
