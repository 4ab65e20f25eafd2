#pragma once

#include "common/Money.h"

#include <functional>

// What the open patient's prescriptions come to: the finance pages show the
// paid and unpaid sums beside the due payments and monthly fees and count
// them in the available funds and the balance. A prescription counts as paid
// in status 6; a patient-provided one (status 7) counts nothing.
struct PrescriptionSums
{
    Verdanta::Money paid;
    Verdanta::Money unpaid;
    Verdanta::Money total;
};

// Offered among the logic services by the prescriptions' subsystem.
class IPrescriptionSums
{
public:
    virtual PrescriptionSums Sums() const = 0;
    // Called after the sums may have changed (a prescription added, removed or
    // given another status, a patient loaded); one handler, replaced by the
    // next call, cleared with an empty function.
    virtual void SetSumsChangedHandler(std::function<void()> handler) = 0;

protected:
    ~IPrescriptionSums() = default;
};
