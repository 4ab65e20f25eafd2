#include "ShellTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/CommandTable.h"
#include "core/Views.h"
#include "finance/LogicMedicines.h"
#include "finance/ReferenceDialogs.h"
#include "shell/CLogicConfiguration.h"
#include "shell/CLogicMain.h"

#include "profile/IniFile.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QUrlQuery>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>

#include <map>

using namespace ShellTest;

namespace {

class RecordingLogic final : public ILogicObject
{
public:
    RecordingLogic(QStringList *journal, QString name, int result)
        : m_journal(journal)
        , m_name(std::move(name))
        , m_result(result)
    { }
    int OnCommand(LogicCommand &command) override
    {
        *m_journal << m_name + QLatin1Char(' ') + QString::number(command.code);
        return m_result;
    }

private:
    QStringList *m_journal;
    QString m_name;
    int m_result;
};

LogicCommand Command(int code)
{
    LogicCommand command;
    command.code = code;
    return command;
}

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

namespace {

// Who owns each code, written down apart from the program's table.
struct ExpectedRoute
{
    std::vector<int> codes;
    std::vector<Owner> owners;
    RouteKind kind = RouteKind::Single;
};

const std::vector<ExpectedRoute> &ExpectedRoutes()
{
    using enum Owner;
    static const std::vector<ExpectedRoute> routes = {
        { { 1, 2, 3, 4, 5, 6, 7, 26, 27 }, { CurrentPatient } },
        { { 8, 28, 42 }, { ChiefComplaints } },
        { { 9, 37 }, { PatientPicture } },
        { { 10, 11, 12, 13, 22, 61, 63, 67 }, { Notes } },
        { { 14, 23 }, { DuePayments } },
        { { 15, 51 }, { Payments } },
        { { 16, 18, 19 }, { MedicalHistory } },
        { { 17, 20, 21 }, { Questionnaires } },
        { { 24 }, { MonthlyFee } },
        { { 29, 30, 31, 80 }, { Documents } },
        { { 32, 71, 73, 83 }, { Media } },
        { { 33 }, { Prescriptions, Payments, Notes }, RouteKind::ThenOnSuccess },
        { { 35, 59 }, { Remedies } },
        { { 38 }, { Phones, Notes }, RouteKind::ThenOnSuccess },
        { { 39 }, { Phones } },
        { { 40, 41 }, { Emails } },
        { { 43 }, { Orders }, RouteKind::SavePatientFirst },
        { { 47, 55 }, { Orders } },
        { { 49 }, { Providers } },
        { { 52, 57 }, { Stocks } },
        { { 54 }, { Reports } },
        { { 56 }, { OfficeData } },
        { { 60 }, { Prescriptions } },
        { { 62 }, { Configuration } },
        { { 64 }, { RadarLink } },
        { { 65, 66 }, { Rubrics } },
        { { 68, 69, 70 }, { Wellness } },
        { { 72 }, { Appointments } },
        { { 74 }, { DynamicQuestionnaire } },
        { { 75, 76, 77, 78, 79, 84 }, { Invoices } },
        { { 81 }, { CustomFields } },
        { { 82 }, { ImageInsertion } },
        { { 100, 101, 103 }, { PracticeData } },
        { { 102, 110 }, { PracticeData }, RouteKind::SavePatientFirst },
    };
    return routes;
}

} // namespace

TEST(Routing, TheCommandTableRoutesEveryCodeToItsOwnersAndNothingElse)
{
    std::map<int, const ExpectedRoute *> expected;
    for (const ExpectedRoute &route : ExpectedRoutes()) {
        for (int code : route.codes)
            expected[code] = &route;
    }
    EXPECT_EQ(expected.size(), 79u);
    EXPECT_EQ(CommandRoutes().size(), expected.size());
    for (int code = -1; code <= 120; ++code) {
        const CommandRoute *route = FindRoute(code);
        const auto wanted = expected.find(code);
        if (wanted == expected.end()) {
            EXPECT_EQ(route, nullptr) << code;
            continue;
        }
        ASSERT_NE(route, nullptr) << code;
        EXPECT_EQ(route->owners, wanted->second->owners) << code;
        EXPECT_EQ(route->kind, wanted->second->kind) << code;
    }
}

namespace {

class HubTest : public ::testing::Test
{
protected:
    QString Root() const { return dir.rootWithSeparator(); }
    std::unique_ptr<CLogicMain> MakeHub()
    {
        return std::make_unique<CLogicMain>(Root(), dir.filePath(QStringLiteral("windows")));
    }
    QString StoredStamp() const
    {
        Profile::IniFile ini;
        ini.Load(Root() + QStringLiteral("Registry.ini"));
        return ini.Value(QStringLiteral("SOFTWARE\\LyrenKey\\Lyren"), QStringLiteral("LastBackupTS"),
            QStringLiteral("<missing>"));
    }

    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
};

} // namespace

TEST_F(HubTest, FirstStartCreatesTheDatabaseAndRoutesOnlyToLogicThatExists)
{
    auto hub = MakeHub();
    QString error;
    ASSERT_TRUE(hub->Open(&error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Root() + QStringLiteral("data.mdb")));
    EXPECT_EQ(StoredStamp(), QString());
    EXPECT_EQ(hub->GetMediaTableName(), QStringLiteral("MEDIA"));
    EXPECT_NE(hub->GetMainTable(), nullptr);
    EXPECT_NE(hub->GetAddressTable(), nullptr);
    EXPECT_NE(hub->GetApelativTable(), nullptr);
    EXPECT_NE(hub->GetMaritalStatusTable(), nullptr);
    EXPECT_EQ(prompts.Count(), 0);

    // Every owner of a routed code is stood for by exactly one logic object,
    // unless its area is listed as still to come; then nothing stands for it
    // and its codes reach nothing.
    const LogicRoutes &routes = hub->Context().Routes();
    for (const CommandRoute &route : CommandRoutes()) {
        for (Owner owner : route.owners) {
            if (owner == Owner::CurrentPatient)
                continue;
            if (IsPending(owner))
                EXPECT_EQ(routes.Claims(owner), 0) << OwnerName(owner).toStdString();
            else
                EXPECT_EQ(routes.Claims(owner), 1) << OwnerName(owner).toStdString();
        }
        const bool reaches = !IsPendingCode(route.code)
            && (route.owners.front() == Owner::CurrentPatient || !IsPending(route.owners.front()));
        EXPECT_EQ(hub->Reaches(route.code), reaches) << route.code;
        if (!reaches) {
            LogicCommand command = Command(route.code);
            EXPECT_EQ(hub->OnCommand(command), 0) << route.code;
            EXPECT_EQ(command.context, &hub->Context());
        }
    }
    for (int code : { 0, 25, 999, -1 }) {
        LogicCommand command = Command(code);
        EXPECT_FALSE(hub->Reaches(code)) << code;
        EXPECT_EQ(hub->OnCommand(command), 0) << code;
    }
    // Code 62 reaches the configuration: with a media control attached, the
    // media quality is asked for and stored.
    auto *control = new FakeMediaControl;
    hub->AttachMediaControl(Component::DispatchDriver(static_cast<Component::IUnknown *>(control)));
    EXPECT_EQ(control->level, 4);
    control->level = 1;
    LogicCommand options = Command(CommandCode::Options);
    options.subCommand = FrameCommand::MediaQuality;
    EXPECT_EQ(hub->OnCommand(options), 1);

    hub->Close();
    EXPECT_FALSE(hub->IsOpen());
    auto source = OpenSource(Root() + QStringLiteral("data.mdb"));
    auto configuration = OpenTable(source.get(), QStringLiteral("APP_CONFIGURATION"));
    ASSERT_EQ(configuration->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
    EXPECT_EQ(Get(configuration.get(), QStringLiteral("VALUE")), QStringLiteral("1"));
}

namespace {

// Answers the reference data's dialogs: management dialogs are recorded and
// closed at once, details dialogs cancelled.
class RecordingReferenceDialogs final : public IReferenceDialogs
{
public:
    void ShowManagement(Management kind, QWidget *, const ManagementHooks &hooks) override
    {
        shown.push_back(kind);
        if (hooks.attach)
            hooks.attach(nullptr);
    }
    bool EditRemedy(QWidget *, const QStringList &, MedicineDetails *) override { return false; }
    bool EditProvider(QWidget *, ProviderDetails *) override { return false; }
    bool EditStock(QWidget *, CLogicMedicines *, CLogicDilutions *, StockDetails *) override { return false; }
    bool EditOfficeData(QWidget *, OfficeRecord *record) override
    {
        ++officeData;
        seenName = record->name;
        return false;
    }
    std::vector<Management> shown;
    int officeData = 0;
    QString seenName;
};

} // namespace

TEST_F(HubTest, ReferenceDataCommandsShowTheirManagementDialogs)
{
    auto hub = MakeHub();
    RecordingReferenceDialogs dialogs;
    hub->Services().Provide<IReferenceDialogs>(&dialogs);
    ASSERT_TRUE(hub->Open());
    EXPECT_NE(hub->Services().Get<CLogicMedicines>(), nullptr);
    using Management = IReferenceDialogs::Management;
    for (int code : { CommandCode::Remedies, CommandCode::Providers, CommandCode::Stocks,
             CommandCode::StocksFromRemedies }) {
        LogicCommand command = Command(code);
        EXPECT_EQ(hub->OnCommand(command), 1) << code;
    }
    EXPECT_EQ(dialogs.shown,
        (std::vector<Management> {
            Management::Remedies, Management::Providers, Management::Stocks, Management::Stocks }));
    // The office data dialog's Cancel makes its command report 0.
    LogicCommand office = Command(CommandCode::OfficeData);
    EXPECT_EQ(hub->OnCommand(office), 0);
    EXPECT_EQ(dialogs.officeData, 1);
    hub->Close();
    EXPECT_EQ(hub->Services().Get<CLogicMedicines>(), nullptr);
    EXPECT_FALSE(hub->Reaches(CommandCode::Remedies));
}

TEST_F(HubTest, PatientOperationsRunOnTheCurrentPatientLogic)
{
    const QStringList ids = AddPatients(
        Root() + QStringLiteral("data.mdb"), { QStringLiteral("Anna"), QStringLiteral("Bert") });
    auto hub = MakeHub();
    auto owned = std::make_unique<RecordingPatient>();
    RecordingPatient *patient = owned.get();
    hub->SetLogicPatient(std::move(owned));
    ASSERT_TRUE(hub->Open());
    EXPECT_EQ(patient->log, (QStringList { QStringLiteral("Open"), QStringLiteral("First") }));
    for (const QString &id : ids)
        EXPECT_TRUE(
            QFileInfo(Root() + QStringLiteral("UserData/") + id + QStringLiteral("/Invoices")).isDir());

    patient->log.clear();
    LogicCommand next = Command(CommandCode::Next);
    EXPECT_EQ(hub->OnCommand(next), 1);
    // Next on the last patient: the move fails and the operation reports it.
    EXPECT_EQ(hub->OnCommand(next), 0);
    LogicCommand save = Command(CommandCode::SavePatient);
    EXPECT_EQ(hub->OnCommand(save), 1);

    // A new patient gets its folders from the hub.
    LogicCommand add = Command(CommandCode::NewPatient);
    EXPECT_EQ(hub->OnCommand(add), 1);
    const QString newId = Get(hub->GetMainTable(), QStringLiteral("ID"));
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("UserData/") + newId + QStringLiteral("/Media")).isDir());

    // Find: the chosen patient is gone to; a cancelled dialog goes nowhere.
    LogicCommand find = Command(CommandCode::FindPatient);
    patient->findResult = ids[0];
    EXPECT_EQ(hub->OnCommand(find), 1);
    EXPECT_TRUE(patient->hubSeen);
    EXPECT_EQ(Get(hub->GetMainTable(), QStringLiteral("FIRST_NAME")), QStringLiteral("Anna"));
    patient->findResult.clear();
    LogicCommand cancelled = Command(CommandCode::FindPatient);
    EXPECT_EQ(hub->OnCommand(cancelled), 0);
    LogicCommand linked = Command(CommandCode::LinkedAccount);
    EXPECT_EQ(hub->OnCommand(linked), 1);

    EXPECT_EQ(patient->log,
        (QStringList { QStringLiteral("Next"), QStringLiteral("Next"), QStringLiteral("SaveAll"),
            QStringLiteral("New"), QStringLiteral("Find"), QStringLiteral("GoTo ") + ids[0],
            QStringLiteral("Find"), QStringLiteral("LinkedAccount") }));
}

TEST_F(HubTest, ClosingTheWindowBacksUpBeforeTheFinalSaveThenClosesEverything)
{
    AddPatients(Root() + QStringLiteral("data.mdb"), { QStringLiteral("Anna") });
    auto hub = MakeHub();
    auto owned = std::make_unique<RecordingPatient>();
    RecordingPatient *patient = owned.get();
    hub->SetLogicPatient(std::move(owned));
    ASSERT_TRUE(hub->Open());
    const QString copy = hub->GetLogicFolders()->GetBackupPath(CLogicFolders::BackupSlot::ThisWeek);
    bool copiedBeforeSave = false;
    patient->onSave = [&] { copiedBeforeSave = QFileInfo::exists(copy); };

    struct Page : IPage
    {
        void Attach(CLogicMain *) override { }
        void Refresh() override { ++refreshes; }
        int refreshes = 0;
    } page;
    hub->RegisterPage(3, &page);
    hub->RefreshPages();
    EXPECT_EQ(page.refreshes, 1);
    EXPECT_EQ(hub->GetPage(3), &page);
    EXPECT_EQ(hub->GetPage(9), nullptr);

    patient->log.clear();
    hub->OnMainWindowClosing(QDateTime(QDate(2026, 5, 4), QTime(17, 0)));
    EXPECT_TRUE(copiedBeforeSave);
    EXPECT_EQ(patient->log, (QStringList { QStringLiteral("SaveAll"), QStringLiteral("Close") }));
    EXPECT_EQ(hub->GetPage(3), nullptr);
    EXPECT_FALSE(hub->IsOpen());
    EXPECT_EQ(StoredStamp(), QStringLiteral("2026/05/04"));
    auto backup = OpenSource(copy);
    EXPECT_EQ(OpenTable(backup.get(), QStringLiteral("MAIN"))->RecordCount(), 1);
}

TEST_F(HubTest, AnOlderDatabaseKeepsItsMediaInAudio)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(Root() + QStringLiteral("data.mdb"));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(
            QStringLiteral("CREATE TABLE MAIN (ID INTEGER PRIMARY KEY AUTOINCREMENT, FIRST_NAME TEXT)")));
        ASSERT_TRUE(
            query.exec(QStringLiteral("CREATE TABLE AUDIO (ID INTEGER PRIMARY KEY AUTOINCREMENT, PATIENT_ID "
                                      "INTEGER, CHAR_POS INTEGER, CONSULTATION_ID INTEGER, FILE_PATH TEXT, "
                                      "IS_VIDEO INTEGER)")));
        ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO MAIN (FIRST_NAME) VALUES ('Ada')")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    auto hub = MakeHub();
    ASSERT_TRUE(hub->Open());
    EXPECT_EQ(hub->GetMediaTableName(), QStringLiteral("AUDIO"));
    EXPECT_TRUE(QFileInfo(Root() + QStringLiteral("UserData/1/Images")).isDir());
}

TEST_F(HubTest, ADatabaseThatCannotBeOpenedIsLeftAsItIs)
{
    ASSERT_TRUE(
        dir.writeFile(QStringLiteral("data.mdb"), QByteArray("This is not a database. ").repeated(200)));
    const QByteArray before = FileHash(Root() + QStringLiteral("data.mdb"));
    auto hub = MakeHub();
    QString error;
    EXPECT_FALSE(hub->Open(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(hub->IsOpen());
    EXPECT_EQ(FileHash(Root() + QStringLiteral("data.mdb")), before);
    EXPECT_EQ(QDir(Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("data.mdb") });
    LogicCommand command = Command(CommandCode::Options);
    EXPECT_EQ(hub->OnCommand(command), 0);
    hub->OnMainWindowClosing();
    EXPECT_EQ(FileHash(Root() + QStringLiteral("data.mdb")), before);
}

TEST(Feedback, WithoutTheMailComposerTheMailtoAddressOpens)
{
    Desktop::ScriptedShell shell;
    TestSupport::TemporaryFolder dir;
    CLogicMain hub(dir.rootWithSeparator(), dir.path());
    EXPECT_EQ(hub.SendFeedback(), 1);
    ASSERT_EQ(shell.Launches().size(), 1u);
    const QUrl url(shell.Launches()[0].target);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject")), QStringLiteral("Feedback"));
    EXPECT_TRUE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded)
                    .startsWith(QStringLiteral("We would love to hear from you!\r\nSend us")));
}
