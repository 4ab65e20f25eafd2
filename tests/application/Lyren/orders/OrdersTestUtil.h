#pragma once

// A practice for the orders tests: a hub with every subsystem over a real
// database in a throw-away folder, rows written straight through the data
// library, the details dialog answered by a script and the prescription
// status changes recorded. Free of test framework calls, so that the child
// program killed during stores builds the same practice.

#include "orders/CLogicOrders.h"
#include "orders/OrderDetails.h"
#include "orders/OrderDialogs.h"
#include "shell/CLogicMain.h"

#include "Korbel/DataSource.h"
#include "finance/PrescriptionStatusSink.h"

#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

namespace OrdersTest {

// Answers the details dialog: by default it accepts the set as generated.
class ScriptedOrderDialogs final : public IOrderDialogs
{
public:
    void ShowOrders(QWidget *parent, const OrdersHooks &hooks) override;
    bool EditOrders(QWidget *parent, COrderDetails &details) override;

    std::function<bool(COrderDetails &)> onDetails;
    int detailsShown = 0;
    std::vector<COrderDetails::TreeOrder> lastTree;
};

class RecordingSink final : public IPrescriptionStatusSink
{
public:
    void PrescriptionStatusesChanged(const QList<PrescriptionStatusChange> &changes) override
    {
        calls.push_back(changes);
    }
    // The last status told for a prescription, 0 when none was.
    int LastStatus(qint64 prescriptionId, qint64 *orderId = nullptr) const;
    std::vector<QList<PrescriptionStatusChange>> calls;
};

// Rows of one stock line as the tests read them back.
struct Stock
{
    int stock = 0;
    int predicted = 0;
};

class Practice
{
public:
    // root: the practice's folder (with a trailing separator); address: a
    // database on a server to use in place of the file in the root folder.
    explicit Practice(const QString &root, const QString &address = QString());
    ~Practice();

    bool Open(QString *error = nullptr);
    CLogicMain &Hub() const { return *m_pHub; }
    CLogicOrders &Orders() const;
    Korbel::IDataSource *Source() const;

    // Rows written straight into the database; each returns the new ID (0 on failure).
    qint64 Add(const QString &table, const std::vector<std::pair<QString, QVariant>> &values) const;
    qint64 AddProvider(const QString &name, const QString &email = QString()) const;
    qint64 AddRemedy(const QString &name, qint64 providerId, const QString &providerPrice) const;
    qint64 AddDilution(const QString &value) const;
    qint64 AddStock(
        qint64 remedy, qint64 dilution, int stock, int threshold, int replenish, int predicted) const;
    qint64 AddPatient(const QString &first, const QString &last) const;
    qint64 AddPrescription(
        qint64 patient, qint64 remedy, qint64 dilution, int status, int quantity, qint64 order = 0) const;

    // Reads.
    QVariant Value(const QString &table, qint64 id, const QString &field) const;
    Stock StockOf(qint64 remedy, qint64 dilution) const;
    int Count(const QString &table) const;
    // IDs of the rows whose field equals a value.
    std::vector<qint64> IdsWhere(const QString &table, const QString &field, qint64 value) const;
    std::vector<qint64> AllIds(const QString &table) const;

    ScriptedOrderDialogs dialogs;
    RecordingSink sink;

private:
    QString m_root;
    QString m_address;
    std::unique_ptr<CLogicMain> m_pHub;
};

// The practice the store child and the interrupted-store test share: three
// providers, 20 remedies each in two dilutions below their threshold, and 120
// prescriptions waiting for them.
struct Seeded
{
    struct Line
    {
        qint64 remedy;
        qint64 dilution;
        int initialStock;
    };
    std::vector<Line> lines;
};
Seeded SeedBusyPractice(const Practice &practice);

} // namespace OrdersTest
