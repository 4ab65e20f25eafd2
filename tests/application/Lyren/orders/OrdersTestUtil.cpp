#include "OrdersTestUtil.h"

#include "core/CLogicFolders.h"

#include "core/RecordAccess.h"

#include "common/Identifiers.h"

namespace OrdersTest {

void ScriptedOrderDialogs::ShowOrders(QWidget * /*parent*/, const OrdersHooks & /*hooks*/) { }

bool ScriptedOrderDialogs::EditOrders(QWidget * /*parent*/, COrderDetails &details)
{
    ++detailsShown;
    lastTree = details.Tree();
    return onDetails ? onDetails(details) : true;
}

int RecordingSink::LastStatus(qint64 prescriptionId, qint64 *orderId) const
{
    int status = 0;
    for (const auto &call : calls) {
        for (const PrescriptionStatusChange &change : call) {
            if (change.prescriptionId != prescriptionId)
                continue;
            status = change.statusId;
            if (orderId)
                *orderId = change.orderId;
        }
    }
    return status;
}

Practice::Practice(const QString &root, const QString &address)
    : m_root(root)
    , m_address(address)
{ }

Practice::~Practice()
{
    if (m_pHub) {
        m_pHub->Services().Withdraw<IOrderDialogs>(&dialogs);
        m_pHub->Services().Withdraw<IPrescriptionStatusSink>(&sink);
    }
}

bool Practice::Open(QString *error)
{
    m_pHub = std::make_unique<CLogicMain>(m_root, m_root + QStringLiteral("windows"));
    m_pHub->GetLogicFolders()->SetDatabaseAddress(m_address);
    if (!m_pHub->Open(error))
        return false;
    m_pHub->Services().Provide<IOrderDialogs>(&dialogs);
    m_pHub->Services().Provide<IPrescriptionStatusSink>(&sink);
    return true;
}

CLogicOrders &Practice::Orders() const
{
    return *m_pHub->Services().Get<CLogicOrders>();
}

Korbel::IDataSource *Practice::Source() const
{
    return m_pHub->GetDataSource();
}

qint64 Practice::Add(const QString &table, const std::vector<std::pair<QString, QVariant>> &values) const
{
    Records::TablePtr rows(Source()->OpenTable(table));
    if (!rows || rows->AddNew() != 1)
        return 0;
    for (const auto &[field, value] : values) {
        Records::FieldPtr f = Records::OpenField(rows.get(), field);
        if (!f || !f->SetValue(value)) {
            rows->CancelUpdate();
            return 0;
        }
    }
    return rows->Update() ? Records::CurrentId(rows.get()) : 0;
}

qint64 Practice::AddProvider(const QString &name, const QString &email) const
{
    return Add(QStringLiteral("PROVIDERS"),
        { { QStringLiteral("NAME"), name }, { QStringLiteral("EMAIL"), email } });
}

qint64 Practice::AddRemedy(const QString &name, qint64 providerId, const QString &providerPrice) const
{
    return Add(QStringLiteral("MEDICINES"),
        { { QStringLiteral("NAME"), name }, { QStringLiteral("PRICE"), providerPrice },
            { QStringLiteral("PROVIDER_PRICE"), providerPrice },
            { QStringLiteral("PROVIDER_ID"), providerId } });
}

qint64 Practice::AddDilution(const QString &value) const
{
    return Add(QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), value } });
}

qint64 Practice::AddStock(
    qint64 remedy, qint64 dilution, int stock, int threshold, int replenish, int predicted) const
{
    return Add(QStringLiteral("STOCKS"),
        { { QStringLiteral("MEDICINE_ID"), remedy }, { QStringLiteral("DILUTION_ID"), dilution },
            { QStringLiteral("STOCK"), stock }, { QStringLiteral("STOCK_THRESHOLD"), threshold },
            { QStringLiteral("REPLENISH_QUANTITY"), replenish },
            { QStringLiteral("PREDICTED"), predicted } });
}

qint64 Practice::AddPatient(const QString &first, const QString &last) const
{
    return Add(QStringLiteral("MAIN"),
        { { QStringLiteral("FIRST_NAME"), first }, { QStringLiteral("LAST_NAME"), last } });
}

qint64 Practice::AddPrescription(
    qint64 patient, qint64 remedy, qint64 dilution, int status, int quantity, qint64 order) const
{
    return Add(QStringLiteral("PRESCRIPTIONS"),
        { { QStringLiteral("PATIENT_ID"), patient }, { QStringLiteral("MEDICINE_ID"), remedy },
            { QStringLiteral("DILUTION_ID"), dilution }, { QStringLiteral("STATUS_ID"), status },
            { QStringLiteral("QUANTITY"), quantity },
            { QStringLiteral("CREATION_DT"), QDateTime(QDate(2026, 11, 3), QTime(10, 0)) },
            { QStringLiteral("ORDER_ID"), order } });
}

QVariant Practice::Value(const QString &table, qint64 id, const QString &field) const
{
    Records::TablePtr rows(Source()->OpenTable(table));
    if (!Records::LocateId(rows.get(), id))
        return QStringLiteral("<no row>");
    Records::FieldPtr f = Records::OpenField(rows.get(), field);
    return f ? f->GetValue() : QVariant(QStringLiteral("<no field>"));
}

Stock Practice::StockOf(qint64 remedy, qint64 dilution) const
{
    Records::TablePtr rows(Source()->OpenTable(QStringLiteral("STOCKS")));
    for (int ok = rows->Move(Korbel::MoveFirst); ok == 1; ok = rows->Move(Korbel::MoveNext)) {
        if (Records::ReadText(rows.get(), QStringLiteral("MEDICINE_ID")).toLongLong() == remedy
            && Records::ReadText(rows.get(), QStringLiteral("DILUTION_ID")).toLongLong() == dilution)
            return { Records::ReadText(rows.get(), QStringLiteral("STOCK")).toInt(),
                Records::ReadText(rows.get(), QStringLiteral("PREDICTED")).toInt() };
    }
    return { -9999, -9999 };
}

int Practice::Count(const QString &table) const
{
    Records::TablePtr rows(Source()->OpenTable(table));
    return rows ? rows->RecordCount() : -1;
}

std::vector<qint64> Practice::IdsWhere(const QString &table, const QString &field, qint64 value) const
{
    Korbel::ReleasePtr<Korbel::IQuery> query(Source()->CreateQuery());
    query->SetTable(table);
    query->Where(field, Korbel::Compare::Equal, Verdanta::FormatId(value));
    Records::TablePtr rows(query->Open());
    std::vector<qint64> ids;
    for (int ok = rows ? rows->Move(Korbel::MoveFirst) : 0; ok == 1; ok = rows->Move(Korbel::MoveNext))
        ids.push_back(Records::CurrentId(rows.get()));
    return ids;
}

std::vector<qint64> Practice::AllIds(const QString &table) const
{
    Records::TablePtr rows(Source()->OpenTable(table));
    std::vector<qint64> ids;
    for (int ok = rows ? rows->Move(Korbel::MoveFirst) : 0; ok == 1; ok = rows->Move(Korbel::MoveNext))
        ids.push_back(Records::CurrentId(rows.get()));
    return ids;
}

Seeded SeedBusyPractice(const Practice &practice)
{
    Seeded seeded;
    const qint64 d30 = practice.AddDilution(QStringLiteral("30C"));
    const qint64 d200 = practice.AddDilution(QStringLiteral("200C"));
    std::vector<qint64> patients;
    for (int p = 0; p < 10; ++p)
        patients.push_back(
            practice.AddPatient(QStringLiteral("First%1").arg(p), QStringLiteral("Last%1").arg(p)));
    for (int v = 0; v < 3; ++v) {
        const qint64 provider = practice.AddProvider(
            QStringLiteral("Provider %1").arg(v), QStringLiteral("orders%1@provider.example").arg(v));
        for (int r = 0; r < 20; ++r) {
            const qint64 remedy = practice.AddRemedy(
                QStringLiteral("Remedy %1-%2").arg(v).arg(r), provider, QStringLiteral("2.5"));
            for (qint64 dilution : { d30, d200 }) {
                const int stock = r % 3 - 1;
                practice.AddStock(remedy, dilution, stock, 4, 6, 0);
                seeded.lines.push_back({ remedy, dilution, stock });
            }
            practice.AddPrescription(patients[size_t(r % 10)], remedy, d30, 1, 1 + r % 2);
            practice.AddPrescription(patients[size_t((r + 3) % 10)], remedy, d200, 1, 2);
        }
    }
    return seeded;
}

} // namespace OrdersTest
