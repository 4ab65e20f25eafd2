#include "TimeGrid/Registration.h"

namespace TimeGrid {

namespace {

// Status bits of a control that is activated when visible and laid out inside
// its container.
constexpr quint32 kControlMiscStatus = 131473;

Component::ClassInfo Describe(const QUuid &classId, const QString &progIdStem, const QString &helpString)
{
    Component::ClassInfo info;
    info.classId = classId;
    info.progId = progIdStem + QStringLiteral(".1");
    info.versionIndependentProgId = progIdStem;
    info.helpString = helpString;
    info.threadingModel = QStringLiteral("Apartment");
    info.version = QStringLiteral("1.0");
    return info;
}

} // namespace

Component::ServerInfo ControlServerRegistration(const ControlIdentity &identity)
{
    const QString &name = identity.name;
    const QString prefix = name.toUpper() + QLatin1Char('.') + name;
    Component::ServerInfo info;
    info.name = name;
    info.typeLibrary = { identity.libraryId, name + QStringLiteral("Lib"), QStringLiteral("1.0"),
        name + QStringLiteral(" ActiveX Control module") };

    Component::ClassInfo control
        = Describe(identity.controlId, prefix + QStringLiteral("Ctrl"), name + QStringLiteral(" Control"));
    control.interfaceId = identity.interfaceId;
    control.interfaceName = QStringLiteral("_D") + name;
    control.interfaceHelpString = QStringLiteral("Dispatch interface for %1 Control").arg(name);
    control.control = true;
    control.miscStatus = kControlMiscStatus;

    info.classes = { control,
        Describe(
            identity.pageId, prefix + QStringLiteral("PropPage"), name + QStringLiteral(" Property Page")) };
    return info;
}

} // namespace TimeGrid
