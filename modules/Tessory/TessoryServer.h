#pragma once

#include "component/Server.h"

namespace Tessory {

// The server of the button grid control and its property page.
class TessoryServer : public Component::Server
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "Tessory.json")
    Q_INTERFACES(Component::IServer)

public:
    TessoryServer();
};

} // namespace Tessory
