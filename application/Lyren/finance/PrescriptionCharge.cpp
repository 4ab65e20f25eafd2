#include "finance/PrescriptionCharge.h"

#include "core/RecordAccess.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "common/LocaleDates.h"

#include <QtCore/QDate>

#include <utility>

namespace PrescriptionCharge {

PrescriptionAmounts Compute(Verdanta::Money price, int quantity, qint64 statusId, std::optional<double> rate1,
    std::optional<double> rate2)
{
    PrescriptionAmounts amounts;
    if (statusId == ProvidedByPatient)
        return amounts;
    amounts.amount = price.Times(quantity);
    if (rate1)
        amounts.tax1 = amounts.amount.Percent(*rate1);
    if (rate2)
        amounts.tax2 = amounts.amount.Percent(*rate2);
    return amounts;
}

QString ActiveFlag(qint64 statusId)
{
    return statusId == Paid || statusId == ProvidedByPatient ? QStringLiteral("0") : QStringLiteral("1");
}

bool Save(Korbel::ITable *invoicing, bool isNew, const QString &patientId, qint64 statusId,
    const PrescriptionAmounts &amounts, QString *invoicingId)
{
    if (!invoicing)
        return false;
    const QString active = ActiveFlag(statusId);
    const QString activeField = QStringLiteral("ACTIVE");
    if (!isNew) {
        const qint64 id = invoicingId ? Verdanta::ParseId(*invoicingId) : 0;
        if (id <= 0 || !Records::LocateId(invoicing, id))
            return true;
        if (Records::ReadText(invoicing, activeField) == active)
            return true;
        return invoicing->Edit() == 1
            && Records::FinishWrite(invoicing, Records::WriteText(invoicing, activeField, active));
    }
    if (invoicing->AddNew() != 1)
        return false;
    const std::pair<QString, QString> columns[] = {
        { QStringLiteral("PATIENT_ID"), patientId },
        { activeField, active },
        { QStringLiteral("IS_PRESC"), QStringLiteral("1") },
        { QStringLiteral("FEE"), QStringLiteral("0") },
        { QStringLiteral("DESCRIPTION"), QStringLiteral("Invoicing item for a prescription") },
        { QStringLiteral("DT_STAMP"), Verdanta::FormatLocaleDate(QDate::currentDate()) },
        { QStringLiteral("AMOUNT"), amounts.amount.ToStorageText() },
        { QStringLiteral("AMOUNT_TAX1"), amounts.tax1.ToStorageText() },
        { QStringLiteral("AMOUNT_TAX2"), amounts.tax2.ToStorageText() },
    };
    bool written = true;
    for (const auto &[name, value] : columns)
        written = written && Records::WriteText(invoicing, name, value);
    if (!Records::FinishWrite(invoicing, written))
        return false;
    if (invoicingId)
        *invoicingId = Verdanta::FormatId(Records::CurrentId(invoicing));
    return true;
}

} // namespace PrescriptionCharge
