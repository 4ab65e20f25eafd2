#pragma once

#include "component/Server.h"

namespace TimeGrid {

// What tells a grid control's server apart from the other.
struct ControlIdentity
{
    QString name; // "Tessory"
    QUuid libraryId;
    QUuid controlId;
    QUuid interfaceId; // the control's dispatch interface
    QUuid pageId; // its "General" property page
};

// The registration of a grid control's server: the control
// "<NAME>.<Name>Ctrl.1" ("<Name> Control", dispatch interface "_D<Name>")
// and its property page "<NAME>.<Name>PropPage.1" ("<Name> Property Page"),
// both in the apartment of the user-interface thread, version 1.0.
Component::ServerInfo ControlServerRegistration(const ControlIdentity &identity);

} // namespace TimeGrid
