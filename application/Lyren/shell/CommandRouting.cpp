#include "shell/CommandRouting.h"

int DeliverCommand(RouteKind kind, std::span<ILogicObject *const> targets, LogicCommand &command,
    const std::function<void()> &savePatient)
{
    if (kind == RouteKind::Accept)
        return 1;
    if (targets.empty() || !targets.front())
        return 0;
    ILogicObject *first = targets.front();
    switch (kind) {
    case RouteKind::Single:
        return first->OnCommand(command);
    case RouteKind::SavePatientFirst:
        if (savePatient)
            savePatient();
        return first->OnCommand(command);
    case RouteKind::ThenOnSuccess: {
        const int result = first->OnCommand(command);
        if (result == 1) {
            for (ILogicObject *next : targets.subspan(1)) {
                if (next)
                    next->OnCommand(command);
            }
        }
        return result;
    }
    case RouteKind::Accept:
        break;
    }
    return 1;
}
