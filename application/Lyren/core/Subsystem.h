#pragma once

#include <functional>
#include <memory>

class LogicContext;

// What one subsystem of the program leaves installed: its logic objects,
// owned here and released when the hub closes (subsystems go in the reverse
// order of their installation). Installing a subsystem makes its logic
// objects over the context, names them as owners of their command codes
// (LogicContext::Routes), offers what other subsystems use
// (LogicContext::Services) and joins them to the patient's steps
// (LogicContext::Steps).
class ISubsystem
{
public:
    virtual ~ISubsystem() = default;
};

using SubsystemInstaller = std::function<std::unique_ptr<ISubsystem>(LogicContext &context)>;
