#include "TessoryServer.h"

#include "TessoryCtrl.h"
#include "TessoryIds.h"
#include "TessoryPropPage.h"

#include "TimeGrid/Registration.h"

namespace Tessory {

// Tessory.json holds the same registration, read without loading the server.
TessoryServer::TessoryServer()
    : Server(TimeGrid::ControlServerRegistration(
        { QStringLiteral("Tessory"), kLibidTessory, kClsidTessory, kIidDTessory, kClsidTessoryPropPage }))
{
    AddClass<CTessoryCtrl>(kClsidTessory);
    AddClass<CTessoryPropPage>(kClsidTessoryPropPage);
}

} // namespace Tessory
