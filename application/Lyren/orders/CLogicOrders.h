#pragma once

#include "core/LogicCommand.h"
#include "core/RecordAccess.h"
#include "finance/PrescriptionStatusSink.h"
#include "orders/OrderSet.h"

#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtCore/QStringList>

#include <map>

class COrderDetails;
class LogicContext;
class QWidget;

// The practice's orders to its providers (ORDERS and ORDER_ITEMS): generated
// from the stock rows below their threshold, one order per provider, with the
// prescriptions waiting for stock attached to their lines; reviewed in the
// details dialog, mailed, received into stock and deleted from the "Orders"
// dialog (codes 43, 47 and 55).
//
// Every store is one transaction: orders, lines, prescriptions and stock are
// written together or not at all. Prescriptions whose status or order
// changed are told to the prescription status sink after the commit.
class CLogicOrders final : public ILogicObject, public Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicOrders)

public:
    explicit CLogicOrders(LogicContext &context);
    ~CLogicOrders() override;
    CLogicOrders(const CLogicOrders &) = delete;
    CLogicOrders &operator=(const CLogicOrders &) = delete;

    // 43: shows "Orders" over command.window. 47: the dialog's buttons
    // (OrdersSubCommand). 55: the details of the order command.id.
    int OnCommand(LogicCommand &command) override;

    // Reads the statuses, providers, remedies and dilutions the dialogs show.
    bool LoadLookups();

    // The orders list of the open dialog (null lets it go): every order in
    // table order, the row's item data its ID.
    void SetList(Korbel::IXListCtrl *list);
    bool FillList();

    // The operations of the dialog; window is where questions belong.
    bool Generate(QWidget *window);
    bool Modify(qint64 orderId, QWidget *window);
    bool Send(QWidget *window);
    bool ChangeStatus(int row, const QString &statusName);
    bool ChangeProvider(int row, const QString &providerName);
    // Asks, then deletes the order of the row with its lines; true when it went.
    bool Delete(int row);

    enum Column { CreationColumn, SentColumn, DescriptionColumn, ProviderColumn, StatusColumn, PriceColumn };

    // Korbel::IXListCtrlCallback
    bool DeleteRow(int row) override;
    void ComboSelection(int row, int column) override;
    void ItemDoubleClicked(int row, int column) override;
    void ListDestroyed() override { m_pList = nullptr; }

private:
    struct StatusInfo
    {
        QString name;
        qint64 color = 0;
    };

    QWidget *dialogParent(QWidget *window) const;
    QString statusName(int statusId) const;
    int statusId(const QString &name) const;
    QString dilutionValue(qint64 id) const;
    bool providerNamed(qint64 providerId, QString *name) const;

    bool openOrders();
    void fillRow(int row);
    int rowOfOrder(qint64 orderId) const;
    qint64 orderOfRow(int row) const;

    // An order with its lines (ORDER_ITEMS) and its prescriptions, each
    // attached to the line of its remedy and dilution.
    bool loadOrder(qint64 orderId, Order *order);
    void attachWaitingPrescriptions();
    bool showDetails(QWidget *window);

    // Writes the set in one transaction; false (and nothing written) on any
    // failure.
    // Generation writes the attached prescriptions; a modification detaches
    // those of deleted lines and deletes the orders left empty.
    bool storeSet(bool withPrescriptions);
    // The order's prescriptions (PRESCRIPTIONS.ORDER_ID) take a status, and
    // an order (0 to detach them).
    bool setPrescriptionsOfOrder(
        qint64 orderId, int statusId, qint64 newOrderId, QList<PrescriptionStatusChange> *changes);
    bool setPrescription(Korbel::ITable *prescriptions, qint64 id, int statusId, qint64 orderId,
        QList<PrescriptionStatusChange> *changes);
    // Adds to a stock row's counts; a remedy and dilution without a row are
    // left alone.
    bool adjustStock(qint64 remedyId, qint64 dilutionId, qint64 stockDelta, qint64 predictedDelta);
    void tellPrescriptions(const QList<PrescriptionStatusChange> &changes) const;
    void storeFailed(QWidget *window) const;

    LogicContext &m_context;
    Korbel::IXListCtrl *m_pList = nullptr; // the dialog owns it
    Records::TablePtr m_pOrders;
    OrderSet m_orders;

    std::map<int, StatusInfo> m_statuses;
    QStringList m_newStatusNames; // statuses 1 and 3
    QStringList m_sentStatusNames; // statuses 1, 3 and 4
    QStringList m_providerNames; // "NoProvider" first
    std::vector<qint64> m_providerIds; // matching m_providerNames
    QHash<qint64, QString> m_dilutions;
};
