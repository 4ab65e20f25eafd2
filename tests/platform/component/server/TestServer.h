#pragma once

#include "component/Server.h"

// The component layer's test server: one control, one windowless object, one
// free-threaded object (see TestServerIds.h).
class TestServerPlugin : public Component::Server
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID COMPONENT_SERVER_IID FILE "TestServer.json")
    Q_INTERFACES(Component::IServer)

public:
    TestServerPlugin();
};
