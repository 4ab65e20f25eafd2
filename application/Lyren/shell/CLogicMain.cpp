#include "shell/CLogicMain.h"

#include "shell/CLogicBackup.h"
#include "shell/CLogicConfiguration.h"
#include "shell/CLogicFolders.h"
#include "shell/CMainView.h"
#include "shell/CommandCodes.h"
#include "shell/CurrentPatient.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicOfficeData.h"
#include "finance/LogicProviders.h"
#include "finance/LogicStocks.h"
#include "patients/CLogicComesFor.h"
#include "patients/CLogicPatientPicture.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "desktop/Shell.h"
#include "profile/KeyValueStore.h"

#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>
#include <QtWidgets/QComboBox>

namespace {

// The machine-wide values ("LastBackupTS") live in a file beside the database.
const QString KeyValueFile = QStringLiteral("Registry.ini");
const QString KeyValueSection = QStringLiteral("SOFTWARE\\LyrenKey\\Lyren");

template<typename Pointer> ILogicObject *AsLogicObject(const Pointer &pointer)
{
    return pointer.get();
}

} // namespace

CLogicMain::CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
    std::unique_ptr<Profile::IKeyValueStore> store)
    : m_strRoot(rootFolder)
    , m_pKeyValueStore(std::move(store))
{
    if (!m_pKeyValueStore)
        m_pKeyValueStore
            = std::make_unique<Profile::IniKeyValueStore>(rootFolder + KeyValueFile, KeyValueSection);

    m_pLogicConfiguration = std::make_unique<CLogicConfiguration>(m_pKeyValueStore.get());
    m_pLogicBackup = std::make_unique<CLogicBackup>();
    m_pLogicFolders = std::make_unique<CLogicFolders>(rootFolder, windowsDirectory);
}

CLogicMain::~CLogicMain()
{
    Close();
}

// The routing table: every code a window may send and the logic object that
// handles it. Codes not listed reach nothing.
std::span<const CLogicMain::Route> CLogicMain::Routes()
{
    // clang-format off
    static const Route routes[] = {
        { CommandCode::Next, &RunPatientOperation },
        { CommandCode::First, &RunPatientOperation },
        { CommandCode::Previous, &RunPatientOperation },
        { CommandCode::Last, &RunPatientOperation },
        { CommandCode::NewPatient, &RunPatientOperation },
        { CommandCode::DeletePatient, &RunPatientOperation },
        { CommandCode::FindPatient, &RunPatientOperation },
        { CommandCode::LinkedAccount, &RunPatientOperation },
        { CommandCode::SavePatient, &RunPatientOperation },
        { CommandCode::ChiefComplaintsClick, &Send<&CLogicMain::m_pLogicComesFor> },
        { CommandCode::ChiefComplaintsDoubleClick, &Send<&CLogicMain::m_pLogicComesFor> },
        { CommandCode::ChiefComplaintsButton, &Send<&CLogicMain::m_pLogicComesFor> },
        { CommandCode::PatientPicture, &Send<&CLogicMain::m_pLogicPatientPicture> },
        { CommandCode::FileDropped, &Send<&CLogicMain::m_pLogicPatientPicture> },
        { CommandCode::MedicalHistory, &Send<&CLogicMain::m_pLogicMedicalHistory> },
        { CommandCode::MedicalHistoryOk, &Send<&CLogicMain::m_pLogicMedicalHistory> },
        { CommandCode::MedicalHistoryCancel, &Send<&CLogicMain::m_pLogicMedicalHistory> },
        { CommandCode::Questionnaire, &Send<&CLogicMain::m_pLogicQuestionnaire> },
        { CommandCode::QuestionnaireOk, &Send<&CLogicMain::m_pLogicQuestionnaire> },
        { CommandCode::QuestionnaireCancel, &Send<&CLogicMain::m_pLogicQuestionnaire> },
        { CommandCode::Remedies, &Send<&CLogicMain::m_pLogicMedicines> },
        { CommandCode::RemedyProviderChosen, &Send<&CLogicMain::m_pLogicMedicines> },
        { CommandCode::Providers, &Send<&CLogicMain::m_pLogicProviders> },
        { CommandCode::StocksFromRemedies, &Send<&CLogicMain::m_pLogicStocks> },
        { CommandCode::Stocks, &Send<&CLogicMain::m_pLogicStocks> },
        { CommandCode::OfficeData, &Send<&CLogicMain::m_pLogicOfficeData> },
        { CommandCode::Options, &Send<&CLogicMain::m_pLogicConfiguration> },
        { CommandCode::DynamicQuestionnaireButton, &Accept },
        { CommandCode::SettingsObject, &Accept },
    };
    // clang-format on
    return routes;
}

template<auto... Members> int CLogicMain::Send(CLogicMain &hub, LogicCommand &command)
{
    ILogicObject *const targets[] = { AsLogicObject(hub.*Members)... };
    return DeliverCommand(RouteKind::Single, targets, command, {});
}

template<auto... Members> int CLogicMain::SendThenOnSuccess(CLogicMain &hub, LogicCommand &command)
{
    ILogicObject *const targets[] = { AsLogicObject(hub.*Members)... };
    return DeliverCommand(RouteKind::ThenOnSuccess, targets, command, {});
}

template<auto Member> int CLogicMain::SavePatientThenSend(CLogicMain &hub, LogicCommand &command)
{
    ILogicObject *const targets[] = { AsLogicObject(hub.*Member) };
    return DeliverCommand(RouteKind::SavePatientFirst, targets, command, [&hub] {
        if (hub.m_pLogicPatient && hub.m_pMain)
            hub.m_pLogicPatient->SaveAll();
    });
}

int CLogicMain::Accept(CLogicMain &, LogicCommand &command)
{
    return DeliverCommand(RouteKind::Accept, {}, command, {});
}

int CLogicMain::RunPatientOperation(CLogicMain &hub, LogicCommand &command)
{
    ICurrentPatient *patient = hub.m_pLogicPatient.get();
    if (!patient || !hub.m_pMain)
        return 0;
    switch (command.code) {
    case CommandCode::Next:
        return patient->Next();
    case CommandCode::First:
        return patient->First();
    case CommandCode::Previous:
        return patient->Previous();
    case CommandCode::Last:
        return patient->Last();
    case CommandCode::NewPatient: {
        const int result = patient->New();
        // The current patient has its folders whatever a later step of New
        // reported (for an existing patient this changes nothing).
        hub.m_pLogicFolders->CreatePatientFolders();
        return result;
    }
    case CommandCode::DeletePatient:
        return patient->Delete();
    case CommandCode::FindPatient:
        if (patient->Find(command) != 1 || command.resultId.isEmpty())
            return 0;
        return patient->GoTo(command.resultId);
    case CommandCode::LinkedAccount:
        return patient->LinkedAccount(command);
    case CommandCode::SavePatient:
        return patient->SaveAll();
    default:
        return 0;
    }
}

int CLogicMain::OnCommand(LogicCommand &command)
{
    // Every logic object of the patient is reachable through the hub.
    command.hub = this;
    for (const Route &route : Routes()) {
        if (route.code == command.code)
            return route.handler(*this, command);
    }
    return 0;
}

bool CLogicMain::Open(QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        Close();
        return false;
    };

    Close();
    m_pDataSource = DataSourceFactory();
    if (!m_pDataSource)
        return fail(tr("The data library could not be loaded."));
    if (!m_pDataSource->Open(m_pLogicFolders->GetDatabasePath())) {
        const QString reason = m_pDataSource->GetErrorDescription();
        m_pDataSource->Release();
        m_pDataSource = nullptr;
        return fail(reason);
    }

    m_pLogicConfiguration->Open(m_pDataSource);

    m_pMain = m_pDataSource->OpenTable(QStringLiteral("MAIN"));
    if (!m_pMain)
        return fail(tr("The patient table cannot be opened: %1").arg(m_pDataSource->GetErrorDescription()));
    m_pLogicFolders->SetTables(m_pDataSource, m_pMain);
    m_pLogicFolders->CreateAllPatientFolders();

    m_pApelativ = m_pDataSource->OpenTable(QStringLiteral("APELATIV"));
    m_pMaritalStatus = m_pDataSource->OpenTable(QStringLiteral("MARITAL_STATUS"));
    m_pAddress = m_pDataSource->OpenTable(QStringLiteral("ADDRESS"));

    // The patient logic is opened last: the other logic objects join its steps.
    CreateDataLogic();
    if (m_pLogicPatient)
        m_pLogicPatient->Open(m_pDataSource, m_pMain, this);

    m_strMediaTable = m_pDataSource->TableExists(QStringLiteral("MEDIA")) ? QStringLiteral("MEDIA")
                                                                          : QStringLiteral("AUDIO");

    if (m_pLogicPatient)
        m_pLogicPatient->First();
    return true;
}

void CLogicMain::CreateDataLogic()
{
    m_pLogicMedicines = std::make_unique<CLogicMedicines>(m_pDataSource);
    m_pLogicDilutions = std::make_unique<CLogicDilutions>(m_pDataSource);
    m_pLogicProviders = std::make_unique<CLogicProviders>(m_pDataSource);
    m_pLogicStocks
        = std::make_unique<CLogicStocks>(m_pDataSource, m_pLogicMedicines.get(), m_pLogicDilutions.get());
    m_pLogicOfficeData = std::make_unique<CLogicOfficeData>(m_pDataSource);
    m_pLogicMedicines->SetLogicStocks(m_pLogicStocks.get());
    m_pLogicComesFor = std::make_unique<CLogicComesFor>(this);
    m_pLogicPatientPicture = std::make_unique<CLogicPatientPicture>(this);
    m_pLogicMedicalHistory = std::make_unique<CLogicMedicalHistory>(m_pDataSource, m_pMain);
    m_pLogicQuestionnaire = std::make_unique<CLogicQuestionnaire>(m_pDataSource, m_pMain);
    for (CLogicIntakeForm *form : std::initializer_list<CLogicIntakeForm *> {
             m_pLogicMedicalHistory.get(), m_pLogicQuestionnaire.get() })
        form->SetCommandSink([this](LogicCommand &command) { return OnCommand(command); });
    SetMainView(m_pMainView);
    // The look-ups other logic objects use are open from the start; the
    // management dialogs open their tables again when they are shown.
    m_pLogicMedicines->Open();
    m_pLogicDilutions->Open();
    m_pLogicProviders->Open();
    m_pLogicOfficeData->Open();
}

void CLogicMain::ReleaseDataLogic()
{
    m_pLogicQuestionnaire.reset();
    m_pLogicMedicalHistory.reset();
    m_pLogicPatientPicture.reset();
    m_pLogicComesFor.reset();
    // The stocks logic refers to the remedies and dilutions: it goes first.
    m_pLogicOfficeData.reset();
    m_pLogicStocks.reset();
    m_pLogicProviders.reset();
    m_pLogicDilutions.reset();
    m_pLogicMedicines.reset();
}

void CLogicMain::ReleaseTables()
{
    for (Korbel::ITable **table : { &m_pMain, &m_pAddress, &m_pApelativ, &m_pMaritalStatus }) {
        if (*table) {
            (*table)->Release();
            *table = nullptr;
        }
    }
}

void CLogicMain::Close()
{
    if (!m_pDataSource)
        return; // nothing is open without the data source
    if (m_pLogicPatient && m_pMain)
        m_pLogicPatient->SaveAll();
    m_pLogicConfiguration->Close();
    if (m_pLogicPatient)
        m_pLogicPatient->Close();
    m_pLogicFolders->SetTables(nullptr, nullptr);
    ReleaseDataLogic();
    ReleaseTables();
    if (m_pDataSource) {
        m_pDataSource->Release();
        m_pDataSource = nullptr;
    }
    m_strMediaTable.clear();
}

void CLogicMain::OnMainWindowClosing(const QDateTime &now)
{
    ForgetWindows();
    m_pLogicBackup->RunIfDue(*m_pLogicConfiguration, *m_pLogicFolders, m_pDataSource, now);
    Close();
}

void CLogicMain::SetMainView(CMainView *view)
{
    m_pMainView = view;
    // The forms' dialogs belong to the main window when no control sent them.
    QWidget *window = view ? view->window() : nullptr;
    if (m_pLogicMedicalHistory)
        m_pLogicMedicalHistory->SetParentWindow(window);
    if (m_pLogicQuestionnaire)
        m_pLogicQuestionnaire->SetParentWindow(window);
}

bool CLogicMain::BindField(const QString &table, const QString &field, QWidget *control, int writable)
{
    Korbel::ITable *target = nullptr;
    if (table.compare(QLatin1String("MAIN"), Qt::CaseInsensitive) == 0)
        target = m_pMain;
    else if (table.compare(QLatin1String("ADDRESS"), Qt::CaseInsensitive) == 0)
        target = m_pAddress;
    Korbel::IField *bound = nullptr;
    if (!target || !control || !target->GetField(field, &bound) || !bound)
        return false;
    Korbel::ReleasePtr<Korbel::IField> guard(bound);
    return bound->BindControl(control, writable);
}

bool CLogicMain::FillLookupCombo(const QString &table, QComboBox *combo)
{
    Korbel::ITable *lookup = nullptr;
    if (table.compare(QLatin1String("APELATIV"), Qt::CaseInsensitive) == 0)
        lookup = m_pApelativ;
    else if (table.compare(QLatin1String("MARITAL_STATUS"), Qt::CaseInsensitive) == 0)
        lookup = m_pMaritalStatus;
    if (!combo)
        return false;
    combo->clear();
    if (!lookup)
        return false;
    Korbel::IField *id = nullptr;
    Korbel::IField *text = nullptr;
    lookup->GetField(QStringLiteral("ID"), &id);
    lookup->GetField(table.toUpper(), &text);
    Korbel::ReleasePtr<Korbel::IField> idGuard(id);
    Korbel::ReleasePtr<Korbel::IField> textGuard(text);
    if (!id || !text)
        return false;
    for (int more = lookup->Move(Korbel::MoveFirst); more == 1; more = lookup->Move(Korbel::MoveNext))
        combo->addItem(text->GetAsString(), QVariant::fromValue(Verdanta::ParseId(id->GetAsString())));
    return true;
}

void CLogicMain::RegisterPage(int index, IPage *page)
{
    if (index >= 0 && index < PageCount)
        m_pages[static_cast<size_t>(index)] = page;
}

IPage *CLogicMain::GetPage(int index) const
{
    return index >= 0 && index < PageCount ? m_pages[static_cast<size_t>(index)] : nullptr;
}

void CLogicMain::RefreshPages()
{
    for (IPage *page : m_pages) {
        if (page)
            page->Refresh();
    }
}

void CLogicMain::ForgetWindows()
{
    m_pages.fill(nullptr);
    m_pMainView = nullptr;
    AttachMediaControl({});
}

void CLogicMain::AttachMediaControl(const Component::DispatchDriver &control)
{
    m_mediaControl = control;
    m_pLogicConfiguration->AttachMediaControl(control);
}

void CLogicMain::SetLogicPatient(std::unique_ptr<ICurrentPatient> patient)
{
    if (m_pLogicPatient)
        m_pLogicPatient->Close();
    m_pLogicPatient = std::move(patient);
    if (m_pLogicPatient && m_pMain)
        m_pLogicPatient->Open(m_pDataSource, m_pMain, this);
}

int CLogicMain::SendFeedback()
{
    // Without the mail composer of the e-mail logic, the mail program is
    // reached through a mailto address.
    const QString address = tr("support@verdanta.example");
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), tr("Feedback"));
    query.addQueryItem(QStringLiteral("body"),
        tr("We would love to hear from you!\nSend us your thoughts and we will get back to you as "
           "soon as possible.\n\nVerdanta team"));
    QUrl url(QStringLiteral("mailto:") + address);
    url.setQuery(query);
    return Desktop::Shell().Open(url.toString(QUrl::FullyEncoded), QStringLiteral("open")) ? 1 : 0;
}
