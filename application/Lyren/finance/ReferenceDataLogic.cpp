#include "finance/ReferenceDataLogic.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicOfficeData.h"
#include "finance/LogicProviders.h"
#include "finance/LogicStocks.h"

#include "core/LogicContext.h"

ReferenceDataLogic::ReferenceDataLogic(LogicContext &context)
    : m_context(context)
    , m_pMedicines(std::make_unique<CLogicMedicines>(context.DataSource()))
    , m_pDilutions(std::make_unique<CLogicDilutions>(context.DataSource()))
    , m_pProviders(std::make_unique<CLogicProviders>(context.DataSource()))
    , m_pStocks(std::make_unique<CLogicStocks>(context.DataSource(), m_pMedicines.get(), m_pDilutions.get()))
    , m_pOfficeData(std::make_unique<CLogicOfficeData>(context.DataSource()))
{
    LogicServices &services = context.Services();
    m_pMedicines->SetServices(&services);
    m_pProviders->SetServices(&services);
    m_pStocks->SetServices(&services);
    m_pOfficeData->SetServices(&services);
    m_pMedicines->SetLogicStocks(m_pStocks.get());

    LogicRoutes &routes = context.Routes();
    routes.Own(Owner::Remedies, m_pMedicines.get());
    routes.Own(Owner::Providers, m_pProviders.get());
    routes.Own(Owner::Stocks, m_pStocks.get());
    routes.Own(Owner::OfficeData, m_pOfficeData.get());

    services.Provide(m_pMedicines.get());
    services.Provide(m_pDilutions.get());
    services.Provide(m_pProviders.get());
    services.Provide(m_pStocks.get());
    services.Provide(m_pOfficeData.get());

    // The look-ups other logic objects use are open from the start; the
    // management dialogs open their tables again when they are shown.
    m_pMedicines->Open();
    m_pDilutions->Open();
    m_pProviders->Open();
    m_pOfficeData->Open();
}

ReferenceDataLogic::~ReferenceDataLogic()
{
    LogicServices &services = m_context.Services();
    services.Withdraw(m_pMedicines.get());
    services.Withdraw(m_pDilutions.get());
    services.Withdraw(m_pProviders.get());
    services.Withdraw(m_pStocks.get());
    services.Withdraw(m_pOfficeData.get());
    for (Owner owner : { Owner::Remedies, Owner::Providers, Owner::Stocks, Owner::OfficeData })
        m_context.Routes().Forget(owner);
    m_pOfficeData.reset();
    m_pStocks.reset();
    m_pProviders.reset();
    m_pDilutions.reset();
    m_pMedicines.reset();
}

std::unique_ptr<ISubsystem> InstallReferenceData(LogicContext &context)
{
    return std::make_unique<ReferenceDataLogic>(context);
}
