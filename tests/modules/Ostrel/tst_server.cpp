// The proxy server as the program meets it: classes found by class id and
// ProgID, their registration, interfaces, members and initial state.
#include "OstrelTestSupport.h"

#include "common/OleDate.h"

#include <QtCore/QDateTime>
#include <QtCore/QPluginLoader>

using namespace Component;
using namespace Ostrel;

namespace {

struct ClassCase
{
    QUuid classId;
    QUuid interfaceId;
    const char *name;
    QSize initialPixels;
};

const ClassCase kClasses[] = {
    { kClsidLumiskProxy, kIidILumiskProxy, "LumiskProxy", QSize(32, 32) },
    { kClsidInhProxy, kIidIInhProxy, "InhProxy", QSize(9, 19) },
    { kClsidPrescProxy, kIidIPrescProxy, "PrescProxy", QSize(9, 19) },
    { kClsidAudioManagerProxy, kIidIAudioManagerProxy, "AudioManagerProxy", QSize(32, 32) },
    { kClsidConsultProxy, kIidIConsultProxy, "ConsultProxy", QSize(17, 19) },
    { kClsidCTalmaroProxy, kIidICTalmaroProxy, "CTalmaroProxy", QSize(32, 32) },
};

} // namespace

TEST(OstrelServer, RegistrationNamesEveryClassAndMatchesTheMetadata)
{
    QString path;
    ServerInfo metadata;
    ASSERT_TRUE(Registry::Instance().FindServer(kClsidPrescProxy, &path, &metadata));
    EXPECT_EQ(kLibId, metadata.typeLibrary.id);
    EXPECT_EQ(QStringLiteral("Ostrel 1.0 Type Library"), metadata.typeLibrary.helpString);
    EXPECT_EQ(QStringLiteral("1.0"), metadata.typeLibrary.version);
    ASSERT_EQ(6, metadata.classes.size());
    for (int i = 0; i < 6; ++i) {
        const ClassInfo &info = metadata.classes[i];
        const QString name = QString::fromLatin1(kClasses[i].name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(kClasses[i].classId, info.classId);
        EXPECT_EQ(kClasses[i].interfaceId, info.interfaceId);
        EXPECT_EQ(QStringLiteral("Ostrel.") + name + QStringLiteral(".1"), info.progId);
        EXPECT_EQ(QStringLiteral("Ostrel.") + name, info.versionIndependentProgId);
        EXPECT_EQ(name + QStringLiteral(" Class"), info.helpString);
        EXPECT_EQ(QStringLiteral("I") + name + QStringLiteral(" Interface"), info.interfaceHelpString);
        const bool video = kClasses[i].classId == kClsidCTalmaroProxy;
        EXPECT_EQ(video ? QString() : QStringLiteral("Apartment"), info.threadingModel);
        EXPECT_EQ(!video, info.insertable);
        EXPECT_EQ(131473u, info.miscStatus);
    }

    QPluginLoader loader(path);
    auto *server = qobject_cast<IServer *>(loader.instance());
    ASSERT_NE(nullptr, server);
    ServerInfo registration;
    EXPECT_HR(S_OK, server->RegisterServer(&registration));
    EXPECT_TRUE(registration == metadata);
    QList<QUuid> removed;
    EXPECT_HR(S_OK, server->UnregisterServer(&removed));
    EXPECT_EQ(6, removed.size());
}

TEST(OstrelServer, EveryClassIsMadeByClassIdAndProgIdWithItsInitialExtent)
{
    for (const ClassCase &c : kClasses) {
        SCOPED_TRACE(c.name);
        QUuid byProgId;
        EXPECT_HR(
            S_OK, ClassIdFromProgId(QStringLiteral("Ostrel.%1.1").arg(QLatin1String(c.name)), &byProgId));
        EXPECT_EQ(c.classId, byProgId);
        EXPECT_HR(S_OK, ClassIdFromProgId(QStringLiteral("Ostrel.%1").arg(QLatin1String(c.name)), &byProgId));
        EXPECT_EQ(c.classId, byProgId);

        Proxy proxy(c.classId);
        ASSERT_TRUE(proxy.view);
        EXPECT_EQ(c.initialPixels, proxy.Pixels());
        // The dual interface is the object's IDispatch.
        void *dual = nullptr;
        ASSERT_HR(S_OK, proxy.view->QueryInterface(c.interfaceId, &dual));
        EXPECT_EQ(static_cast<void *>(proxy.dispatch.Dispatch()), dual);
        static_cast<IDispatch *>(dual)->Release();
        // Unknown members are refused, not guessed.
        EXPECT_HR(DISP_E_MEMBERNOTFOUND, proxy.dispatch.Put(8, 1));
        EXPECT_HR(DISP_E_MEMBERNOTFOUND, proxy.dispatch.Call(0));
    }
    // The media proxies have no members at all.
    for (const QUuid &classId : { kClsidLumiskProxy, kClsidAudioManagerProxy, kClsidCTalmaroProxy }) {
        Proxy proxy(classId);
        for (DISPID member = 1; member <= 7; ++member) {
            HRESULT hr = S_OK;
            proxy.dispatch.Get(member, &hr);
            EXPECT_HR(DISP_E_MEMBERNOTFOUND, hr);
        }
    }
}

TEST(OstrelServer, PropertiesStartWithTheirInitialValuesAndGetsNeedAResult)
{
    Proxy presc(kClsidPrescProxy);
    EXPECT_EQ(1u, presc.dispatch.Get(DispIPrescProxy::lQuantity).toUInt());
    EXPECT_EQ(QMetaType::UInt, presc.dispatch.Get(DispIPrescProxy::lQuantity).typeId());
    EXPECT_EQ(QString(), presc.dispatch.Get(DispIPrescProxy::strMedicine).toString());
    EXPECT_EQ(Rgb(75, 250, 150), presc.dispatch.Get(DispIPrescProxy::clrStatus).toUInt());
    EXPECT_EQ(7, presc.dispatch.Get(DispIPrescProxy::MaxFontExtentX).toInt());
    EXPECT_EQ(QMetaType::Short, presc.dispatch.Get(DispIPrescProxy::MaxFontExtentY).typeId());
    EXPECT_EQ(17, presc.dispatch.Get(DispIPrescProxy::MaxFontExtentY).toInt());

    Proxy inh(kClsidInhProxy);
    EXPECT_EQ(Rgb(220, 220, 220), inh.dispatch.Get(DispIInhProxy::BackgroundColor).toUInt());
    EXPECT_EQ(7, inh.dispatch.Get(DispIInhProxy::MaxFontExtentX).toInt());

    const double before = Verdanta::ToOleDate(QDateTime::currentDateTime());
    Proxy consult(kClsidConsultProxy);
    const double after = Verdanta::ToOleDate(QDateTime::currentDateTime());
    const double created = consult.dispatch.Get(DispIConsultProxy::ConsultationDate).toDouble();
    EXPECT_LE(before, created);
    EXPECT_GE(after, created);
    EXPECT_EQ(0.0, consult.dispatch.Get(DispIConsultProxy::NextConsultationDate).toDouble());
    EXPECT_EQ(17, consult.dispatch.Get(DispIConsultProxy::MaxFontExtentY).toInt());

    const std::pair<const Proxy *, std::vector<DISPID>> properties[] = {
        { &presc, { 1, 2, 3, 4, 6, 7 } },
        { &inh, { 1, 2, 4, 6, 7 } },
        { &consult, { 1, 2, 4, 5 } },
    };
    for (const auto &[proxy, members] : properties) {
        for (const DISPID member : members) {
            QVariantList none;
            EXPECT_HR(E_POINTER, proxy->dispatch.Invoke(member, InvokeKind::PropertyGet, none, nullptr))
                << member;
        }
    }
    // Methods are not properties, and take exactly their arguments.
    HRESULT hr = S_OK;
    presc.dispatch.Get(DispIPrescProxy::OnResizeContainer, &hr);
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, hr);
    EXPECT_HR(DISP_E_BADPARAMCOUNT, presc.dispatch.Call(DispIPrescProxy::OnResizeContainer, { 1 }));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, inh.dispatch.Call(DispIInhProxy::SelectTimestamp, { 39875.0 }));
    EXPECT_HR(DISP_E_TYPEMISMATCH,
        consult.dispatch.Call(DispIConsultProxy::SetItemSize, { QStringLiteral("500"), 0 }));
}
