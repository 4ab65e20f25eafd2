#pragma once

#include "core/Subsystem.h"

class CLogicDilutions;
class CLogicMedicines;
class CLogicOfficeData;
class CLogicProviders;
class CLogicStocks;

// The practice's reference data: remedies, dilutions, providers, stocks and
// the office data, with their management dialogs (codes 35, 49, 52, 56, 57
// and 59). Other subsystems find each logic object among the services.
class ReferenceDataLogic final : public ISubsystem
{
public:
    explicit ReferenceDataLogic(LogicContext &context);
    ~ReferenceDataLogic() override;

    CLogicMedicines &Medicines() const { return *m_pMedicines; }
    CLogicDilutions &Dilutions() const { return *m_pDilutions; }
    CLogicProviders &Providers() const { return *m_pProviders; }
    CLogicStocks &Stocks() const { return *m_pStocks; }
    CLogicOfficeData &OfficeData() const { return *m_pOfficeData; }

private:
    LogicContext &m_context;
    std::unique_ptr<CLogicMedicines> m_pMedicines;
    std::unique_ptr<CLogicDilutions> m_pDilutions;
    std::unique_ptr<CLogicProviders> m_pProviders;
    // Refers to the remedies and dilutions: released before them.
    std::unique_ptr<CLogicStocks> m_pStocks;
    std::unique_ptr<CLogicOfficeData> m_pOfficeData;
};

std::unique_ptr<ISubsystem> InstallReferenceData(LogicContext &context);
