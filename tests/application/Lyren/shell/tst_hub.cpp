#include "ShellTestUtil.h"

#include "shell/CLogicConfiguration.h"
#include "shell/CLogicFolders.h"
#include "shell/CLogicMain.h"
#include "shell/CommandCodes.h"
#include "shell/CommandRouting.h"

#include "desktop/Prompts.h"
#include "desktop/Shell.h"
#include "profile/IniFile.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtCore/QUrlQuery>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

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

TEST(Routing, EachKindOfRouteReachesItsLogicObjectsInOrder)
{
    QStringList journal;
    RecordingLogic prescriptions(&journal, QStringLiteral("prescriptions"), 1);
    RecordingLogic refused(&journal, QStringLiteral("refused"), 0);
    RecordingLogic payments(&journal, QStringLiteral("payments"), 0);
    RecordingLogic notes(&journal, QStringLiteral("notes"), 1);
    int saves = 0;
    const auto save = [&] {
        ++saves;
        journal << QStringLiteral("save");
    };

    LogicCommand command = Command(33);
    ILogicObject *const chain[] = { &prescriptions, &payments, &notes };
    EXPECT_EQ(DeliverCommand(RouteKind::ThenOnSuccess, chain, command, save), 1);
    ILogicObject *const refusedChain[] = { &refused, &payments, &notes };
    EXPECT_EQ(DeliverCommand(RouteKind::ThenOnSuccess, refusedChain, command, save), 0);
    // A follower that does not exist yet is skipped.
    ILogicObject *const gap[] = { &prescriptions, nullptr, &notes };
    EXPECT_EQ(DeliverCommand(RouteKind::ThenOnSuccess, gap, command, save), 1);
    EXPECT_EQ(journal,
        (QStringList { QStringLiteral("prescriptions 33"), QStringLiteral("payments 33"),
            QStringLiteral("notes 33"), QStringLiteral("refused 33"), QStringLiteral("prescriptions 33"),
            QStringLiteral("notes 33") }));

    journal.clear();
    command.code = 43;
    ILogicObject *const orders[] = { &refused };
    EXPECT_EQ(DeliverCommand(RouteKind::SavePatientFirst, orders, command, save), 0);
    EXPECT_EQ(journal, (QStringList { QStringLiteral("save"), QStringLiteral("refused 43") }));

    // A missing logic object: nothing happens at all, not even the save.
    journal.clear();
    ILogicObject *const missing[] = { nullptr, &notes };
    EXPECT_EQ(DeliverCommand(RouteKind::SavePatientFirst, missing, command, save), 0);
    EXPECT_EQ(DeliverCommand(RouteKind::ThenOnSuccess, missing, command, save), 0);
    EXPECT_EQ(DeliverCommand(RouteKind::Single, {}, command, save), 0);
    EXPECT_EQ(DeliverCommand(RouteKind::Accept, {}, command, save), 1);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(saves, 1);
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

    // No current-patient logic yet: its codes reach nothing.
    for (int code : { 1, 2, 3, 4, 5, 6, 7, 26, 27 }) {
        LogicCommand command = Command(code);
        EXPECT_EQ(hub->OnCommand(command), 0) << code;
        EXPECT_EQ(command.hub, hub.get());
    }
    LogicCommand accepted = Command(74);
    EXPECT_EQ(hub->OnCommand(accepted), 1);
    accepted.code = 82;
    EXPECT_EQ(hub->OnCommand(accepted), 1);
    for (int code : { 0, 43, 64, 999, -1 }) {
        LogicCommand command = Command(code);
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

TEST_F(HubTest, ReferenceDataCommandsShowTheirManagementDialogs)
{
    auto hub = MakeHub();
    ASSERT_TRUE(hub->Open());
    EXPECT_TRUE(hub->GetLogicMedicines() && hub->GetLogicProviders() && hub->GetLogicStocks()
        && hub->GetLogicOfficeData() && hub->GetLogicDilutions());
    QWidget parent;
    for (int code : { CommandCode::Remedies, CommandCode::Providers, CommandCode::OfficeData,
             CommandCode::Stocks, CommandCode::StocksFromRemedies }) {
        QStringList titles;
        // Each dialog is closed as soon as it shows; the office data dialog's
        // Cancel makes its command report 0.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&titles] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                titles << dialog->windowTitle();
                dialog->reject();
            }
        });
        closer.start(10);
        LogicCommand command = Command(code);
        command.control = &parent;
        EXPECT_EQ(hub->OnCommand(command), code == CommandCode::OfficeData ? 0 : 1) << code;
        EXPECT_EQ(titles.size(), 1) << code;
    }
    hub->Close();
    EXPECT_EQ(hub->GetLogicMedicines(), nullptr);
    EXPECT_EQ(hub->GetLogicStocks(), nullptr);
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
                    .startsWith(QStringLiteral("We would love to hear from you!\nSend us")));
}
