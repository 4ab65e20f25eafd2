#pragma once

#include "shell/LogicCommand.h"

#include <functional>
#include <span>

// How a routed code reaches its logic objects.
enum class RouteKind {
    Single, // the one logic object handles it
    ThenOnSuccess, // the first handles it; when it returns 1, the others get the same command in order
    SavePatientFirst, // the current patient is saved, then the logic object handles it
    Accept, // accepted without action
};

// Delivers a command along a route. The targets are in route order; a missing
// one (null) is skipped, and when the first is missing the command reaches
// nothing (not even the save). Returns the first target's result, 1 for Accept.
int DeliverCommand(RouteKind kind, std::span<ILogicObject *const> targets, LogicCommand &command,
    const std::function<void()> &savePatient);
