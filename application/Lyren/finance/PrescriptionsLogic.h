#pragma once

#include "core/Subsystem.h"

#include <memory>

class CLogicPrescriptions;

// The open patient's prescriptions (codes 33 and 60): the list of the
// finance page, the prescription dialog of new items, the stock they take and
// the sums the finance pages show. Offers CLogicPrescriptions and, for the
// notes and the finance pages, IPrescriptionList, IPrescriptionEditor and
// IPrescriptionSums.
class PrescriptionsLogic final : public ISubsystem
{
public:
    explicit PrescriptionsLogic(LogicContext &context);
    ~PrescriptionsLogic() override;

    CLogicPrescriptions &Prescriptions() const { return *m_pPrescriptions; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicPrescriptions> m_pPrescriptions;
};

std::unique_ptr<ISubsystem> InstallPrescriptions(LogicContext &context);
