#include "OstrelServer.h"

#include "ConsultProxy.h"
#include "IconProxy.h"
#include "InhProxy.h"
#include "OstrelLib.h"
#include "PrescProxy.h"

namespace Ostrel {

using namespace Component;

namespace {

// Every proxy is a windowless control, insertable into documents except the
// video proxy, which also runs on the main thread only (no threading model).
ClassInfo Describe(const QUuid &classId, const QString &name, const QUuid &interfaceId, bool apartment)
{
    ClassInfo info;
    info.classId = classId;
    info.progId = QStringLiteral("Ostrel.%1.1").arg(name);
    info.versionIndependentProgId = QStringLiteral("Ostrel.%1").arg(name);
    info.helpString = name + QStringLiteral(" Class");
    info.threadingModel = apartment ? QStringLiteral("Apartment") : QString();
    info.version = QStringLiteral("1.0");
    info.interfaceId = interfaceId;
    info.interfaceName = QStringLiteral("I") + name;
    info.interfaceHelpString = info.interfaceName + QStringLiteral(" Interface");
    info.control = true;
    info.insertable = apartment;
    info.miscStatus = 131473; // set client site first, activate when visible, inside out, no links inside,
                              // recompose on resize
    return info;
}

ServerInfo Registration()
{
    ServerInfo info;
    info.name = QStringLiteral("Ostrel");
    info.typeLibrary = { kLibId, QStringLiteral("OSTRELLib"), QStringLiteral("1.0"),
        QStringLiteral("Ostrel 1.0 Type Library") };
    info.classes = {
        Describe(kClsidLumiskProxy, QStringLiteral("LumiskProxy"), kIidILumiskProxy, true),
        Describe(kClsidInhProxy, QStringLiteral("InhProxy"), kIidIInhProxy, true),
        Describe(kClsidPrescProxy, QStringLiteral("PrescProxy"), kIidIPrescProxy, true),
        Describe(kClsidAudioManagerProxy, QStringLiteral("AudioManagerProxy"), kIidIAudioManagerProxy, true),
        Describe(kClsidConsultProxy, QStringLiteral("ConsultProxy"), kIidIConsultProxy, true),
        Describe(kClsidCTalmaroProxy, QStringLiteral("CTalmaroProxy"), kIidICTalmaroProxy, false),
    };
    return info;
}

} // namespace

OstrelServer::OstrelServer()
    : Server(Registration())
{
    AddClass<LumiskProxy>(kClsidLumiskProxy);
    AddClass<InhProxy>(kClsidInhProxy);
    AddClass<PrescProxy>(kClsidPrescProxy);
    AddClass<AudioManagerProxy>(kClsidAudioManagerProxy);
    AddClass<ConsultProxy>(kClsidConsultProxy);
    AddClass<CTalmaroProxy>(kClsidCTalmaroProxy);
}

} // namespace Ostrel
