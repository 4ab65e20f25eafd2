#pragma once

#include "component/Server.h"

namespace Ostrel {

// The server of the six notes-item proxies.
class OstrelServer : public Component::Server
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "Ostrel.json")
    Q_INTERFACES(Component::IServer)

public:
    OstrelServer();
};

} // namespace Ostrel
