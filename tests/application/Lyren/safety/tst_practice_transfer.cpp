#include "SafetyTestUtil.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "safety/PracticeCommandLine.h"
#include "safety/PracticeLock.h"
#include "safety/PracticeTransfer.h"

#include "support/ScriptedDesktop.h"

#include <QtCore/QTextStream>

#include <sqlite3.h>

using namespace SafetyTest;

namespace {

// Stops long work at its first report.
class StoppingProgress final : public IProgress
{
public:
    void SetStep(const QString &) override { }
    void SetProgress(qint64, qint64) override { ++reports; }
    bool IsCancelled() const override { return reports > 0; }
    int reports = 0;
};

class NullProgress final : public IProgress
{
public:
    void SetStep(const QString &) override { }
    void SetProgress(qint64, qint64) override { }
    bool IsCancelled() const override { return false; }
};

// A practice with rows in many tables and files in its folders.
void MakeRichPractice(const TestSupport::TemporaryFolder &dir)
{
    const QString database = dir.filePath(QStringLiteral("data.mdb"));
    const QStringList ids = MakePractice(database,
        { QStringLiteral("Ana"), QStringLiteral("Ion, \"Jr\""), QStringLiteral("Émile\nsecond line") });
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(database).constData(), &db), SQLITE_OK);
    const char *sql
        = "UPDATE MAIN SET NOTES = x'00010203ff', HOM_INS_AMNT = 1234500, DATE_OF_BIRTH = '1980-02-29';"
          "INSERT INTO PAYMENTS (PATIENT_ID, AMOUNT, PAYMENT_DT) VALUES (1, -50000, '2026-01-05T10:00:00');"
          "INSERT INTO OFFICE_DATA (NAME, TAX1) VALUES ('Practice', 19.5);"
          "INSERT INTO PHONES (PATIENT_ID, PHONE) VALUES (2, '');"
          "DELETE FROM MAIN WHERE ID = 3;";
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/1/Images/face.jpg"), QByteArray(70000, '\x7f')));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/1/Media/20260105101500.wma"), QByteArray(1000, '\0')));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/2/Pdf/letter.pdf"), "%PDF-1.4 letter"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/Consultations.xml"), "<Calendar/>"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("UserData/DynamicFieldsDictionary.xml"), "<Fields/>"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("Templates/Invoices/Standard.rtf"), "{\\rtf1 invoice}"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("UserData/2/Invoices"))));
}

std::unique_ptr<CLogicMain> OpenHub(const TestSupport::TemporaryFolder &dir)
{
    auto hub = std::make_unique<CLogicMain>(dir.rootWithSeparator(), dir.filePath(QStringLiteral("windows")));
    QString error;
    EXPECT_TRUE(hub->Open(&error)) << error.toStdString();
    return hub;
}

int RunCommandLine(const QStringList &arguments, const QString &root, QString *output)
{
    QString text;
    QTextStream out(&text);
    QTextStream err(&text);
    const int status = PracticeCommandLine::Run(
        PracticeCommandLine::Parse(QStringList { QStringLiteral("verdanta") } + arguments), root, out, err);
    out.flush();
    err.flush();
    *output = text;
    return status;
}

} // namespace

TEST(PracticeTransfer, AnExportImportedIntoAnEmptyPracticeGivesEqualTablesAndFiles)
{
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedFileDialogs dialogs;
    TestSupport::TemporaryFolder practice;
    MakeRichPractice(practice);
    TestSupport::TemporaryFolder media;

    // Exported from the menu into a new folder inside the one chosen.
    {
        auto hub = OpenHub(practice);
        dialogs.QueueFileName(media.path());
        ASSERT_EQ(SendCommand(*hub, CommandCode::ExportPractice), 1) << prompts.LastText().toStdString();
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("2 patients")));
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("6 files")));
    }
    const QStringList made = QDir(media.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made.first().startsWith(QStringLiteral("Verdanta practice ")));
    const QString folder = QDir(media.path()).filePath(made.first());
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/README.txt")));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/tables/MAIN.csv")));

    // Imported from the menu into a new, empty practice.
    TestSupport::TemporaryFolder other;
    {
        auto hub = OpenHub(other);
        HubSession session(*hub);
        dialogs.QueueFileName(folder);
        prompts.Clear();
        prompts.QueueAnswer(Desktop::Answer::Yes);
        ASSERT_EQ(SendCommand(*hub, CommandCode::ImportPractice), 1) << prompts.LastText().toStdString();
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("2 patients")));
        ASSERT_TRUE(session.RunQueued()) << session.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(hub->GetMainTable()->RecordCount(), 2);
    }
    EXPECT_EQ(FirstDifference(DatabaseDump(other.filePath(QStringLiteral("data.mdb"))),
                  DatabaseDump(practice.filePath(QStringLiteral("data.mdb")))),
        QString());
    for (const QString &name : PracticeTransfer::FileFolders()) {
        const auto files = TreeDump(practice.filePath(name));
        EXPECT_FALSE(files.isEmpty());
        EXPECT_EQ(TreeDump(other.filePath(name)), files) << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(other.filePath(QStringLiteral("UserData/1/Images/face.jpg"))).lastModified(),
        QFileInfo(practice.filePath(QStringLiteral("UserData/1/Images/face.jpg"))).lastModified());
    // The empty database it replaced is kept.
    EXPECT_EQ(QDir(other.path()).entryList({ QStringLiteral("data-before-import-*.mdb") }).size(), 1);
}

TEST(PracticeTransfer, AnImportGoesOnlyIntoAnEmptyPracticeAndNeverReplacesAFile)
{
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedFileDialogs dialogs;
    TestSupport::TemporaryFolder practice;
    MakeRichPractice(practice);
    TestSupport::TemporaryFolder media;
    const QString folder = media.filePath(QStringLiteral("export"));
    NullProgress progress;
    QString error;
    const CLogicFolders source(practice.rootWithSeparator(), QString());
    ASSERT_EQ(PracticeTransfer(source).Export(folder, progress, nullptr, &error), Korbel::Outcome::Done)
        << error.toStdString();

    // A practice with a patient.
    TestSupport::TemporaryFolder busy;
    MakePractice(busy.filePath(QStringLiteral("data.mdb")), { QStringLiteral("Mine") });
    {
        auto hub = OpenHub(busy);
        HubSession session(*hub);
        dialogs.QueueFileName(folder);
        prompts.Clear();
        EXPECT_EQ(SendCommand(*hub, CommandCode::ImportPractice), 0);
        EXPECT_TRUE(prompts.LastText().contains(QStringLiteral("is not empty")))
            << prompts.LastText().toStdString();
        EXPECT_FALSE(session.HasWork());
    }
    EXPECT_EQ(PatientCount(busy.filePath(QStringLiteral("data.mdb"))), 1);

    // An empty practice that has a file of its own where the export has another.
    TestSupport::TemporaryFolder clash;
    ASSERT_TRUE(clash.writeFile(QStringLiteral("Templates/Invoices/Standard.rtf"), "{\\rtf1 mine}"));
    const CLogicFolders clashing(clash.rootWithSeparator(), QString());
    EXPECT_FALSE(PracticeTransfer(clashing).CheckImport(folder, nullptr, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Standard.rtf")));
    EXPECT_EQ(
        PracticeTransfer(clashing).Import(folder, QDateTime::currentDateTime(), progress, nullptr, &error),
        Korbel::Outcome::Failed);
    EXPECT_FALSE(QFileInfo::exists(clash.filePath(QStringLiteral("data.mdb"))));
    EXPECT_EQ(TreeDump(clash.filePath(QStringLiteral("UserData"))).size(), 0);

    // A stopped import changes nothing; a stopped export leaves nothing.
    TestSupport::TemporaryFolder empty;
    const CLogicFolders emptyFolders(empty.rootWithSeparator(), QString());
    StoppingProgress stop;
    EXPECT_EQ(
        PracticeTransfer(emptyFolders).Import(folder, QDateTime::currentDateTime(), stop, nullptr, &error),
        Korbel::Outcome::Cancelled);
    EXPECT_TRUE(QDir(empty.path()).isEmpty());
    StoppingProgress stopExport;
    EXPECT_EQ(PracticeTransfer(source).Export(
                  media.filePath(QStringLiteral("stopped")), stopExport, nullptr, &error),
        Korbel::Outcome::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(media.filePath(QStringLiteral("stopped"))));
    // An export never goes into the practice's own folders.
    EXPECT_EQ(PracticeTransfer(source).Export(
                  practice.filePath(QStringLiteral("UserData/export")), progress, nullptr, &error),
        Korbel::Outcome::Failed);
    EXPECT_FALSE(QFileInfo::exists(practice.filePath(QStringLiteral("UserData/export"))));
}

TEST(PracticeCommandLine, RestoreExportAndImportRunWithoutWindowsAndNeverOnAnOpenPractice)
{
    TestSupport::TemporaryFolder practice;
    MakeRichPractice(practice);
    const CLogicFolders folders(practice.rootWithSeparator(), QString());
    const QString lastWeek = folders.GetBackupPath(CLogicFolders::BackupSlot::LastWeek);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(lastWeek).path()));
    MakePractice(lastWeek, { QStringLiteral("Then1"), QStringLiteral("Then2"), QStringLiteral("Then3") });
    const QStringList before = DatabaseDump(practice.filePath(QStringLiteral("data.mdb")));

    QString output;
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--restore") }, practice.path(), &output), 2);
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--restore"), QStringLiteral("LastWeek"),
                                 QStringLiteral("--export"), QStringLiteral("x") },
                  practice.path(), &output),
        2);
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--help") }, practice.path(), &output), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("--restore <generation or file>")));
    EXPECT_TRUE(
        PracticeCommandLine::AsksForCommand({ QStringLiteral("verdanta"), QStringLiteral("--export=x") }));
    EXPECT_FALSE(
        PracticeCommandLine::AsksForCommand({ QStringLiteral("verdanta"), QStringLiteral("-platform") }));

    // The practice is open in a program: nothing happens.
    {
        PracticeLock open(practice.rootWithSeparator());
        ASSERT_EQ(open.Acquire(), PracticeLock::State::Held);
        EXPECT_EQ(RunCommandLine(
                      { QStringLiteral("--restore"), QStringLiteral("LastWeek") }, practice.path(), &output),
            1);
        EXPECT_TRUE(output.contains(QStringLiteral("close it first")));
    }
    EXPECT_EQ(DatabaseDump(practice.filePath(QStringLiteral("data.mdb"))), before);

    EXPECT_EQ(
        RunCommandLine({ QStringLiteral("--restore"), QStringLiteral("ThisWeek") }, practice.path(), &output),
        1);
    EXPECT_TRUE(output.contains(QStringLiteral("does not exist")));
    TestSupport::TemporaryFolder media;
    const QString exported = media.filePath(QStringLiteral("practice"));
    ASSERT_EQ(RunCommandLine({ QStringLiteral("--export"), exported }, practice.path(), &output), 0)
        << output.toStdString();
    ASSERT_EQ(
        RunCommandLine({ QStringLiteral("--restore"), QStringLiteral("lastweek") }, practice.path(), &output),
        0)
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("3 patients")));
    EXPECT_EQ(PatientCount(practice.filePath(QStringLiteral("data.mdb"))), 3);
    const QStringList kept = QDir(practice.path()).entryList({ QStringLiteral("data-before-restore-*.mdb") });
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(DatabaseDump(practice.filePath(kept.first())), before);

    TestSupport::TemporaryFolder other;
    ASSERT_EQ(RunCommandLine({ QStringLiteral("--import"), exported }, other.path(), &output), 0)
        << output.toStdString();
    EXPECT_EQ(DatabaseDump(other.filePath(QStringLiteral("data.mdb"))), before);
    EXPECT_EQ(TreeDump(other.filePath(QStringLiteral("UserData"))),
        TreeDump(practice.filePath(QStringLiteral("UserData"))));
    // Into a practice that is no longer empty: refused.
    EXPECT_EQ(RunCommandLine({ QStringLiteral("--import"), exported }, other.path(), &output), 1);
    EXPECT_TRUE(output.contains(QStringLiteral("not empty")));
}
