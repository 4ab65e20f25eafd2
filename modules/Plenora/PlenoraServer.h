#pragma once

#include "component/Server.h"

namespace Plenora {

// The server of the graph grid control and its property page.
class PlenoraServer : public Component::Server
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "Plenora.json")
    Q_INTERFACES(Component::IServer)

public:
    PlenoraServer();
};

} // namespace Plenora
