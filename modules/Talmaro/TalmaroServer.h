#pragma once

#include "component/Server.h"

namespace Talmaro {

// The module's root object: the server of the Talmaro control and its
// property page. Made when the module is loaded, it starts the module's
// logger; destroyed when the module is unloaded, it releases it.
class CTalmaroApp : public Component::Server
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "Talmaro.json")
    Q_INTERFACES(Component::IServer)

public:
    CTalmaroApp();
    ~CTalmaroApp() override;

    // What the module registers; the same as Talmaro.json.
    static Component::ServerInfo Registration();
};

} // namespace Talmaro
