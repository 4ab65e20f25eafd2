#include "invoicing/InvoicingLogic.h"

#include "invoicing/CLogicInvoices.h"
#include "invoicing/CLogicInvoicing.h"
#include "invoicing/CLogicPayments.h"

#include "core/LogicContext.h"
#include "core/PatientSteps.h"
#include "core/Transaction.h"
#include "finance/PrescriptionSums.h"

#include "common/Identifiers.h"

InvoicingLogic::InvoicingLogic(LogicContext &context)
    : m_context(context)
    , m_pDuePayments(std::make_unique<CLogicInvoicing>(context, ChargeKind::DuePayments))
    , m_pMonthlyFees(std::make_unique<CLogicInvoicing>(context, ChargeKind::MonthlyFees))
    , m_pPayments(std::make_unique<CLogicPayments>(context, *m_pDuePayments, *m_pMonthlyFees))
    , m_pInvoices(std::make_unique<CLogicInvoices>(context))
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    LogicServices &services = context.Services();
    m_pDuePayments->SetServices(&services);
    m_pMonthlyFees->SetServices(&services);
    m_pPayments->SetServices(&services);
    m_pInvoices->SetServices(&services);
    // Every change of a charge list changes the balances.
    m_pDuePayments->SetSumsChangedHandler([this] { m_pPayments->Recompute(); });
    m_pMonthlyFees->SetSumsChangedHandler([this] { m_pPayments->Recompute(); });

    // Reports and tests reach the finance logic through the subsystem.
    services.Provide<InvoicingLogic>(this);

    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::DuePayments, m_pDuePayments.get());
    routes.Own(Owner::MonthlyFee, m_pMonthlyFees.get());
    routes.Own(Owner::Payments, m_pPayments.get());
    routes.Own(Owner::Invoices, m_pInvoices.get());

    if (IPatientSteps *steps = context.Steps()) {
        steps->Join(SaveStep::MonthlyFee, [this] { return Save(); });
        steps->Join(LoadStep::ChildLists, [this] { return Load(); });
        steps->Join(DeleteStep::DuePayments, [this] {
            return DeleteRows(QStringLiteral("INVOICING"), QStringLiteral("FEE"), QStringLiteral("0"));
        });
        steps->Join(DeleteStep::MonthlyFee, [this] {
            return DeleteRows(QStringLiteral("INVOICING"), QStringLiteral("FEE"), QStringLiteral("1"));
        });
        steps->Join(DeleteStep::Payments, [this] { return DeleteRows(QStringLiteral("PAYMENTS"), {}, {}); });
        steps->Join(DeleteStep::Invoices, [this] { return DeleteRows(QStringLiteral("INVOICES"), {}, {}); });
    }
}

InvoicingLogic::~InvoicingLogic()
{
    m_context.Services().Withdraw<InvoicingLogic>(this);
    if (auto *prescriptions = m_context.Services().Get<IPrescriptionSums>())
        prescriptions->SetSumsChangedHandler({});
    for (Owner owner : { Owner::DuePayments, Owner::MonthlyFee, Owner::Payments, Owner::Invoices })
        m_context.Routes().Forget(owner);
    m_pDuePayments->SetSumsChangedHandler({});
    m_pMonthlyFees->SetSumsChangedHandler({});
}

int InvoicingLogic::Load()
{
    const qint64 patient = m_context.CurrentPatientId();
    int result = 1;
    if (patient > 0 && m_pMonthlyFees->RunMonthlyFee(patient, m_clock()) < 0)
        result = 0;
    // The prescriptions tell when their sums change; looked up at each load,
    // since they may come and go with their subsystem.
    if (auto *prescriptions = m_context.Services().Get<IPrescriptionSums>())
        prescriptions->SetSumsChangedHandler([this] { m_pPayments->Recompute(); });
    result &= m_pDuePayments->Open(patient) ? 1 : 0;
    result &= m_pMonthlyFees->Open(patient) ? 1 : 0;
    result &= m_pPayments->Open(patient) ? 1 : 0;
    result &= m_pInvoices->Open(patient) ? 1 : 0;
    m_pMonthlyFees->ShowMonthlyFee();
    m_pDuePayments->Fill();
    m_pMonthlyFees->Fill();
    m_pPayments->Fill();
    m_pInvoices->Fill();
    return result;
}

int InvoicingLogic::Save()
{
    return m_pMonthlyFees->StoreMonthlyFee(m_clock());
}

int InvoicingLogic::DeleteRows(const QString &table, const QString &field, const QString &value)
{
    const qint64 patient = m_context.CurrentPatientId();
    Korbel::IDataSource *source = m_context.DataSource();
    if (patient <= 0 || !source)
        return 1;
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return 0;
    query->SetTable(table);
    query->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, Verdanta::FormatId(patient));
    if (!field.isEmpty()) {
        query->Where(field, Korbel::Compare::Equal, value);
        // Prescription charges go with their prescriptions.
        query->Where(QStringLiteral("IS_PRESC"), Korbel::Compare::Equal, QStringLiteral("0"));
    }
    Records::TablePtr rows(query->Open());
    return rows && Records::DeleteAllRows(rows.get()) ? 1 : 0;
}

std::unique_ptr<ISubsystem> InstallInvoicing(LogicContext &context)
{
    return std::make_unique<InvoicingLogic>(context);
}
