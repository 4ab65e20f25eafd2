#include "TalmaroServer.h"

#include "GstSupport.h"
#include "TalmaroCtrl.h"
#include "TalmaroIds.h"
#include "TalmaroLog.h"
#include "TalmaroPropPage.h"

namespace Talmaro {

CTalmaroApp::CTalmaroApp()
    : Server(Registration())
{
    StartLogger();
    Log(kLogInformation, QStringLiteral("CTalmaroApp::InitInstance()"));
    EnsureGStreamer();
    AddClass<CTalmaroCtrl>(kClsidTalmaro);
    AddClass<CTalmaroPropPage>(kClsidTalmaroPropPage);
}

CTalmaroApp::~CTalmaroApp()
{
    ReleaseLogger();
}

Component::ServerInfo CTalmaroApp::Registration()
{
    const auto describe = [](const QUuid &classId, const char *progId, const QString &helpString) {
        Component::ClassInfo info;
        info.classId = classId;
        info.progId = QString::fromLatin1(progId);
        info.versionIndependentProgId = info.progId.section(QLatin1Char('.'), 0, 1);
        info.helpString = helpString;
        info.threadingModel = QStringLiteral("Apartment");
        info.version = QStringLiteral("1.0");
        return info;
    };
    Component::ClassInfo control = describe(kClsidTalmaro, kProgIdTalmaro, QStringLiteral("Talmaro Control"));
    control.interfaceId = kIidDTalmaro;
    control.interfaceName = QStringLiteral("_DTalmaro");
    control.interfaceHelpString = QStringLiteral("Dispatch interface for Talmaro Control");
    control.control = true;
    control.miscStatus = 131473;

    Component::ServerInfo info;
    info.name = QStringLiteral("Talmaro");
    info.typeLibrary = { kLibIdTalmaro, QStringLiteral("TalmaroLib"), QStringLiteral("1.0"),
        QStringLiteral("Talmaro ActiveX Control module") };
    info.classes = { control,
        describe(kClsidTalmaroPropPage, kProgIdTalmaroPropPage, QStringLiteral("Talmaro Property Page")) };
    return info;
}

} // namespace Talmaro
