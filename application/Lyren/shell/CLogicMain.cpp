#include "shell/CLogicMain.h"

#include "shell/CLogicBackup.h"
#include "shell/CLogicConfiguration.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CommandTable.h"
#include "core/CurrentPatient.h"
#include "core/MailSender.h"
#include "core/PatientImages.h"
#include "core/PatientSteps.h"
#include "core/Views.h"

#include "appointments/AppointmentsLogic.h"
#include "contacts/ContactsLogic.h"
#include "finance/PrescriptionsLogic.h"
#include "finance/ReferenceDataLogic.h"
#include "invoicing/InvoicingLogic.h"
#include "notes/NotesLogic.h"
#include "orders/OrdersLogic.h"
#include "patients/CLogicPatient.h"
#include "patients/CustomDataLogic.h"
#include "patients/DocumentsLogic.h"
#include "patients/PatientsLogic.h"
#include "reports/ReportsLogic.h"
#include "rubrics/RubricsLogic.h"
#include "safety/CLogicPracticeData.h"
#include "tracking/TrackingLogic.h"

#include "Korbel/DataSource.h"
#include "Korbel/Maintenance.h"
#include "Korbel/SharedAccess.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"
#include "mail/Mailto.h"
#include "profile/KeyValueStore.h"

#include <QtCore/QDir>
#include <QtCore/QSettings>

namespace {

// The machine-wide values ("LastBackupTS") live in a file beside the database.
const QString KeyValueFile = QStringLiteral("Registry.ini");
const QString KeyValueSection = QStringLiteral("SOFTWARE\\LyrenKey\\Lyren");

} // namespace

std::vector<SubsystemInstaller> CLogicMain::DefaultSubsystems()
{
    // The order of installation is the order in which each subsystem's steps
    // join a place they share.
    return {
        &InstallReferenceData,
        &InstallPatients,
        &InstallCustomData,
        &InstallDocuments,
        &InstallAppointments,
        &InstallNotes,
        &InstallPrescriptions,
        &InstallPracticeData,
        &InstallContacts,
        &InstallInvoicing,
        &InstallRubrics,
        &InstallTracking,
        &InstallOrders,
        &InstallReports,
    };
}

CLogicMain::CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
    std::unique_ptr<Profile::IKeyValueStore> store)
    : CLogicMain(rootFolder, windowsDirectory, std::move(store), DefaultSubsystems())
{ }

CLogicMain::CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
    std::unique_ptr<Profile::IKeyValueStore> store, std::vector<SubsystemInstaller> subsystems)
    : m_strRoot(rootFolder)
    , m_pKeyValueStore(std::move(store))
    , m_pLogicFolders(std::make_unique<CLogicFolders>(rootFolder, windowsDirectory))
    , m_context(*m_pLogicFolders)
    , m_installers(std::move(subsystems))
{
    if (!m_pKeyValueStore)
        m_pKeyValueStore
            = std::make_unique<Profile::IniKeyValueStore>(rootFolder + KeyValueFile, KeyValueSection);
    m_pLogicConfiguration = std::make_unique<CLogicConfiguration>(m_pKeyValueStore.get());
    m_pLogicBackup = std::make_unique<CLogicBackup>();
    m_context.SetCommandSink(this);
    m_context.SetPageRefresher([this] { RefreshPages(); });
    m_context.Routes().Own(Owner::Configuration, m_pLogicConfiguration.get());
}

CLogicMain::~CLogicMain()
{
    Close();
}

int CLogicMain::RunPatientOperation(LogicCommand &command)
{
    ICurrentPatient *patient = m_pLogicPatient.get();
    if (!patient || !m_pMain)
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
        m_pLogicFolders->CreatePatientFolders();
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
    ++m_commandDepth;
    const int result = RouteCommand(command);
    --m_commandDepth;
    // A save the disk refused is never silent.
    ReportStorageFailures(command.window);
    if (m_commandDepth == 0 && m_bOutsideChangePending)
        OnOutsideChange(QString(), 0);
    return result;
}

void CLogicMain::OnOutsideChange(const QString &table, qint64 id)
{
    if (!m_pLogicPatient || !m_pDataSource)
        return;
    if (m_commandDepth > 0 || m_context.IsSaving()) {
        m_bOutsideChangePending = true;
        return;
    }
    // Every save of a patient changes its MAIN row: other rows alone say
    // nothing about the current patient.
    const bool unknown = table.isEmpty();
    if (!unknown && (table != QLatin1String("MAIN") || id != m_pLogicPatient->CurrentId()))
        return;
    m_bOutsideChangePending = false;
    ++m_commandDepth;
    m_pLogicPatient->ShowOutsideChanges();
    --m_commandDepth;
    ReportStorageFailures(nullptr);
}

QString CLogicMain::StorageFailureMessage(Korbel::StorageFailure failure, const QString &reason)
{
    QString cause;
    switch (failure) {
    case Korbel::StorageFailure::None:
        return QString();
    case Korbel::StorageFailure::DiskFull:
        cause = tr("the disk is full");
        break;
    case Korbel::StorageFailure::ReadOnly:
        cause = tr("the database or its folder cannot be written (it is read-only)");
        break;
    case Korbel::StorageFailure::InputOutput:
        cause = tr("the disk reported an error");
        break;
    case Korbel::StorageFailure::Damaged:
        cause = tr("the database is damaged (Patient > Check database... tells more)");
        break;
    }
    return tr("Verdanta could not save: %1.\n\n"
              "Nothing saved before is lost, and what you entered is still on the screen. Free some space "
              "on the disk (or make the folder writable), then save again.\n\n(%2)")
        .arg(cause, reason);
}

QString CLogicMain::FileFailureMessage(const QString &path, const QString &reason)
{
    return tr("Verdanta could not write %1: %2.\n\n"
              "The disk may be full or the folder read-only. The file as it was before is intact. Free some "
              "space on the disk (or make the folder writable), then save again.")
        .arg(QDir::toNativeSeparators(path), reason);
}

void CLogicMain::ReportStorageFailures(QWidget *parent)
{
    QStringList messages;
    QString reason;
    if (m_pDataSource) {
        const Korbel::StorageFailure failure = Korbel::TakeStorageFailure(m_pDataSource, &reason);
        if (failure != Korbel::StorageFailure::None)
            messages << StorageFailureMessage(failure, reason);
    }
    for (const LogicContext::FileFailure &file : m_context.TakeFileFailures())
        messages << FileFailureMessage(file.path, file.reason);
    if (!messages.isEmpty())
        Desktop::Prompts().Show(
            parent, messages.join(QStringLiteral("\n\n")), Desktop::Buttons::Ok, Desktop::Icon::Error);
}

int CLogicMain::RouteCommand(LogicCommand &command)
{
    // Every logic object of the patient is reachable through the context.
    command.context = &m_context;
    const CommandRoute *route = FindRoute(command.code);
    if (!route || route->owners.empty() || IsPendingCode(command.code))
        return 0;
    const Owner first = route->owners.front();
    if (first == Owner::CurrentPatient)
        return RunPatientOperation(command);
    ILogicObject *target = m_context.Routes().Target(first);
    if (!target)
        return 0;
    switch (route->kind) {
    case RouteKind::Single:
        return target->OnCommand(command);
    case RouteKind::SavePatientFirst:
        if (m_pLogicPatient && m_pMain)
            m_pLogicPatient->SaveAll();
        return target->OnCommand(command);
    case RouteKind::ThenOnSuccess: {
        const int result = target->OnCommand(command);
        if (result != 1)
            return result;
        for (size_t i = 1; i < route->owners.size(); ++i) {
            if (ILogicObject *next = m_context.Routes().Target(route->owners[i]))
                next->OnCommand(command);
        }
        return result;
    }
    }
    return 0;
}

bool CLogicMain::Reaches(int code) const
{
    const CommandRoute *route = FindRoute(code);
    if (!route || route->owners.empty() || IsPendingCode(code))
        return false;
    if (route->owners.front() == Owner::CurrentPatient)
        return m_pLogicPatient != nullptr;
    return m_context.Routes().Target(route->owners.front()) != nullptr;
}

void CLogicMain::SetServerPassword(const QString &password)
{
    m_strServerPassword = password;
    m_pLogicBackup->SetServerPassword(password);
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
    if (m_pLogicFolders->DatabaseOnServer())
        Korbel::SetServerPassword(m_pDataSource, m_strServerPassword);
    if (!m_pDataSource->Open(m_pLogicFolders->GetDatabasePath())) {
        const QString reason = m_pDataSource->GetErrorDescription();
        m_pDataSource->Release();
        m_pDataSource = nullptr;
        return fail(reason);
    }
    Korbel::SetControlBinder(m_pDataSource, m_pBinder);

    m_pLogicConfiguration->SetImageQuality(m_context.Services().Get<IImageQuality>());
    m_pLogicConfiguration->Open(m_pDataSource);

    m_pMain = m_pDataSource->OpenTable(QStringLiteral("MAIN"));
    if (!m_pMain)
        return fail(tr("The patient table cannot be opened: %1").arg(m_pDataSource->GetErrorDescription()));
    m_pLogicFolders->SetTables(m_pDataSource, m_pMain);
    m_pLogicFolders->CreateAllPatientFolders();

    m_pApelativ = m_pDataSource->OpenTable(QStringLiteral("APELATIV"));
    m_pMaritalStatus = m_pDataSource->OpenTable(QStringLiteral("MARITAL_STATUS"));
    m_pAddress = m_pDataSource->OpenTable(QStringLiteral("ADDRESS"));
    const QString mediaTable = m_pDataSource->TableExists(QStringLiteral("MEDIA")) ? QStringLiteral("MEDIA")
                                                                                   : QStringLiteral("AUDIO");
    m_context.SetData(m_pDataSource, m_pMain, m_pAddress, mediaTable);

    // The current-patient logic first: the subsystems join its steps.
    OpenPatientLogic();
    InstallSubsystems();

    if (m_pLogicPatient)
        m_pLogicPatient->First();
    ReportStorageFailures(nullptr);

    // Other seats on the same database: their saves show here.
    m_pChangeWatcher = std::make_unique<Korbel::ChangeWatcher>(m_pDataSource);
    QObject::connect(m_pChangeWatcher.get(), &Korbel::ChangeWatcher::Changed, m_pChangeWatcher.get(),
        [this](const QString &table, qint64 id) { OnOutsideChange(table, id); });
    return true;
}

void CLogicMain::OpenPatientLogic()
{
    if (!m_pLogicPatient)
        m_pLogicPatient = std::make_unique<CLogicPatient>();
    m_pLogicPatient->Open(m_context);
    m_context.SetPatient(m_pLogicPatient.get(), dynamic_cast<IPatientSteps *>(m_pLogicPatient.get()));
}

void CLogicMain::InstallSubsystems()
{
    for (const SubsystemInstaller &install : m_installers) {
        if (std::unique_ptr<ISubsystem> subsystem = install ? install(m_context) : nullptr)
            m_subsystems.push_back(std::move(subsystem));
    }
}

void CLogicMain::ReleaseSubsystems()
{
    while (!m_subsystems.empty())
        m_subsystems.pop_back();
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
    m_pChangeWatcher.reset();
    m_bOutsideChangePending = false;
    if (m_pLogicPatient && m_pMain)
        m_pLogicPatient->SaveAll();
    ReportStorageFailures(nullptr);
    m_pLogicConfiguration->Close();
    // The steps of the subsystems go with the patient logic's lists, before
    // the subsystems themselves.
    if (m_pLogicPatient)
        m_pLogicPatient->Close();
    m_context.SetPatient(m_pLogicPatient.get(), nullptr);
    ReleaseSubsystems();
    m_pLogicFolders->SetTables(nullptr, nullptr);
    m_context.SetData(nullptr, nullptr, nullptr, QString());
    ReleaseTables();
    if (m_pDataSource) {
        m_pDataSource->Release();
        m_pDataSource = nullptr;
    }
}

void CLogicMain::OnMainWindowClosing(const QDateTime &now)
{
    ForgetWindows();
    QString failure;
    if (!m_pLogicBackup->RunIfDue(*m_pLogicConfiguration, *m_pLogicFolders, m_pDataSource, now, &failure)
        && !failure.isEmpty()) {
        Desktop::Prompts().Show(nullptr,
            tr("The weekly backup could not be made: %1\n\n"
               "The disk may be full or the backup folder read-only. The earlier backups are as they were, "
               "and the backup is tried again when Verdanta closes next time.")
                .arg(failure),
            Desktop::Buttons::Ok, Desktop::Icon::Warning);
    }
    Close();
}

void CLogicMain::SetHeaderBand(IHeaderBand *band)
{
    m_context.SetHeaderBand(band);
}

void CLogicMain::SetControlBinder(const Korbel::IControlBinder *binder)
{
    m_pBinder = binder;
    if (m_pDataSource)
        Korbel::SetControlBinder(m_pDataSource, binder);
}

bool CLogicMain::BindField(const QString &table, const QString &field, QObject *control, int writable)
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

QList<QPair<qint64, QString>> CLogicMain::LookupRows(const QString &table) const
{
    Korbel::ITable *lookup = nullptr;
    if (table.compare(QLatin1String("APELATIV"), Qt::CaseInsensitive) == 0)
        lookup = m_pApelativ;
    else if (table.compare(QLatin1String("MARITAL_STATUS"), Qt::CaseInsensitive) == 0)
        lookup = m_pMaritalStatus;
    QList<QPair<qint64, QString>> rows;
    if (!lookup)
        return rows;
    Korbel::IField *id = nullptr;
    Korbel::IField *text = nullptr;
    lookup->GetField(QStringLiteral("ID"), &id);
    lookup->GetField(table.toUpper(), &text);
    Korbel::ReleasePtr<Korbel::IField> idGuard(id);
    Korbel::ReleasePtr<Korbel::IField> textGuard(text);
    if (!id || !text)
        return rows;
    for (int more = lookup->Move(Korbel::MoveFirst); more == 1; more = lookup->Move(Korbel::MoveNext))
        rows.append({ Verdanta::ParseId(id->GetAsString()), text->GetAsString() });
    return rows;
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
    m_context.SetHeaderBand(nullptr);
    AttachMediaControl({});
}

void CLogicMain::AttachMediaControl(const Component::DispatchDriver &control)
{
    m_mediaControl = control;
    m_pLogicConfiguration->AttachMediaControl(control);
    m_context.SetMediaControl(control);
}

void CLogicMain::SetLogicPatient(std::unique_ptr<ICurrentPatient> patient)
{
    if (m_pLogicPatient)
        m_pLogicPatient->Close();
    m_pLogicPatient = std::move(patient);
    if (m_pLogicPatient && m_pMain) {
        // The subsystems join the new logic's steps again.
        ReleaseSubsystems();
        OpenPatientLogic();
        InstallSubsystems();
    }
}

int CLogicMain::SendFeedback()
{
    // The support address and the team's signature are configuration
    // (group "Feedback" of the user's settings), with the program's own
    // defaults.
    QSettings settings;
    settings.beginGroup(QStringLiteral("Feedback"));
    const QString address
        = settings.value(QStringLiteral("SupportAddress"), QStringLiteral("support@verdanta.example"))
              .toString();
    const QString signature = settings.value(QStringLiteral("Signature"), tr("Verdanta team")).toString();
    settings.endGroup();
    const QString body
        = tr("We would love to hear from you!\nSend us your thoughts and we will get back to you "
             "as soon as possible.\n\n%1")
              .arg(signature);
    if (IMailSender *mail = Services().Get<IMailSender>())
        return mail->SendMail(m_context.DialogParent(), tr("Support"), address, tr("Feedback"), body, {});
    // Without the mail composer, the mail program is reached through a
    // mailto address.
    return Desktop::Shell().Open(Mail::MailtoUrl(address, tr("Feedback"), body), QStringLiteral("open")) ? 1
                                                                                                         : 0;
}
