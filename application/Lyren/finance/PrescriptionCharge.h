#pragma once

#include "common/Money.h"

#include <QtCore/QString>

#include <optional>

namespace Korbel {
class ITable;
}

// What one prescription costs: the remedy's price times the quantity, and
// the two office taxes on that amount, each rounded once to a ten-thousandth.
struct PrescriptionAmounts
{
    Verdanta::Money amount;
    Verdanta::Money tax1;
    Verdanta::Money tax2;

    Verdanta::Money Total() const { return amount + tax1 + tax2; }
};

namespace PrescriptionCharge {

// The status of a prescription the patient brought: nothing is charged and
// no stock moves.
inline constexpr qint64 ProvidedByPatient = 7;
inline constexpr qint64 Paid = 6;
inline constexpr qint64 ToBeOrdered = 1;
inline constexpr qint64 FromStock = 5;

// The amounts of a prescription; all zero for a patient-provided one. A tax
// whose rate cannot be read (nullopt) is zero.
PrescriptionAmounts Compute(Verdanta::Money price, int quantity, qint64 statusId, std::optional<double> rate1,
    std::optional<double> rate2);

// "0" for the statuses whose prescriptions are not charged (paid, provided
// by the patient), "1" otherwise.
QString ActiveFlag(qint64 statusId);

// Writes the prescription's charge into INVOICING (rows of the patient): a new
// prescription gets a row of its own, whose ID goes to invoicingId; an
// existing one's row only follows the status (ACTIVE). A stored prescription
// whose row is gone needs nothing. False when a write failed.
bool Save(Korbel::ITable *invoicing, bool isNew, const QString &patientId, qint64 statusId,
    const PrescriptionAmounts &amounts, QString *invoicingId);

} // namespace PrescriptionCharge
