#include "PlenoraServer.h"

#include "PlenoraCtrl.h"
#include "PlenoraIds.h"
#include "PlenoraPropPage.h"

#include "TimeGrid/Registration.h"

namespace Plenora {

// Plenora.json holds the same registration, read without loading the server.
PlenoraServer::PlenoraServer()
    : Server(TimeGrid::ControlServerRegistration(
        { QStringLiteral("Plenora"), kLibidPlenora, kClsidPlenora, kIidDPlenora, kClsidPlenoraPropPage }))
{
    AddClass<CPlenoraCtrl>(kClsidPlenora);
    AddClass<CPlenoraPropPage>(kClsidPlenoraPropPage);
}

} // namespace Plenora
