#pragma once

#include "core/Subsystem.h"

#include <QtCore/QDateTime>

#include <functional>

class CLogicInvoices;
class CLogicInvoicing;
class CLogicPayments;

// Invoicing and payments: the due payments and monthly fees (two
// CLogicInvoicing), the payments with the balances, and the invoices with
// their documents. Owns the codes of the due payments (14, 23), the monthly
// fee (24), the payments (15, 51, and 33 after the prescriptions) and the
// invoices (75 to 79, 84). At every patient load the monthly fee run charges
// the periods due; the patient's save stores the fee typed on the page.
class InvoicingLogic final : public ISubsystem
{
public:
    explicit InvoicingLogic(LogicContext &context);
    ~InvoicingLogic() override;

    CLogicInvoicing &DuePayments() const { return *m_pDuePayments; }
    CLogicInvoicing &MonthlyFees() const { return *m_pMonthlyFees; }
    CLogicPayments &Payments() const { return *m_pPayments; }
    CLogicInvoices &Invoices() const { return *m_pInvoices; }

    // The clock of the fee run and of the fee's time stamp (tests set theirs).
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Load: the fee run, then every list of the current patient.
    int Load();
    int Save();

private:
    // Deletes the patient's rows of a table that meet one more condition.
    int DeleteRows(const QString &table, const QString &field, const QString &value);

    LogicContext &m_context;
    std::unique_ptr<CLogicInvoicing> m_pDuePayments;
    std::unique_ptr<CLogicInvoicing> m_pMonthlyFees;
    std::unique_ptr<CLogicPayments> m_pPayments;
    std::unique_ptr<CLogicInvoices> m_pInvoices;
    std::function<QDateTime()> m_clock;
};

std::unique_ptr<ISubsystem> InstallInvoicing(LogicContext &context);
