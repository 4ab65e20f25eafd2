#include "DatabaseFiles.h"
#include "KorbelTestUtil.h"

#include "Korbel/Maintenance.h"

#include <QtCore/QFileInfo>

using namespace KorbelTest;
using State = Korbel::FileCheck::State;

namespace {

// A practice of some hundred pages: patients with long notes.
void MakePractice(const QString &path, int patients)
{
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    ASSERT_TRUE(source->BeginTransaction());
    for (int i = 0; i < patients; ++i) {
        ASSERT_TRUE(main->AddNew());
        ASSERT_TRUE(SetValue(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Patient %1").arg(i)));
        ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), QByteArray(3000, char('a' + i % 26))));
        ASSERT_TRUE(main->Update());
    }
    ASSERT_EQ(source->CommitTransaction(), 1);
}

void Overwrite(const QString &path, qint64 offset, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

TEST(Maintenance, ASoundFileIsSoundAtBothDepthsAndTheCheckCanBeStopped)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(path, 200);

    for (Korbel::CheckDepth depth : { Korbel::CheckDepth::Quick, Korbel::CheckDepth::Full }) {
        qint64 lastDone = -1;
        qint64 lastTotal = -1;
        const Korbel::FileCheck check
            = Korbel::CheckDatabaseFile(path, depth, [&](qint64 done, qint64 total) {
                  lastDone = done;
                  lastTotal = total;
                  return true;
              });
        EXPECT_EQ(check.state, State::Sound) << check.problems.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(check.schemaVersion, Korbel::CurrentSchemaVersion());
        EXPECT_TRUE(check.problems.isEmpty());
        EXPECT_EQ(lastDone, lastTotal);
    }

    const Korbel::FileCheck stopped
        = Korbel::CheckDatabaseFile(path, Korbel::CheckDepth::Full, [](qint64, qint64) { return false; });
    EXPECT_EQ(stopped.state, State::Cancelled);
}

TEST(Maintenance, DamageIsFoundWithoutChangingTheFileAndToldFromAMissingOrNewerFile)
{
    TestSupport::TemporaryFolder dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mdb"));
    EXPECT_EQ(Korbel::CheckDatabaseFile(missing, Korbel::CheckDepth::Quick).state, State::Missing);

    ASSERT_TRUE(dir.writeFile(QStringLiteral("empty.mdb"), QByteArray()));
    const Korbel::FileCheck empty
        = Korbel::CheckDatabaseFile(dir.filePath(QStringLiteral("empty.mdb")), Korbel::CheckDepth::Quick);
    EXPECT_EQ(empty.state, State::Damaged);
    EXPECT_FALSE(empty.problems.isEmpty());

    ASSERT_TRUE(dir.writeFile(QStringLiteral("text.mdb"), QByteArray("Dear patient,\n").repeated(500)));
    EXPECT_EQ(
        Korbel::CheckDatabaseFile(dir.filePath(QStringLiteral("text.mdb")), Korbel::CheckDepth::Full).state,
        State::Damaged);

    // A run of garbage in the middle of the file, where the patients' pages are.
    const QString damaged = dir.filePath(QStringLiteral("damaged.mdb"));
    MakePractice(damaged, 300);
    const qint64 size = QFileInfo(damaged).size();
    Overwrite(damaged, (size / 2 / 4096) * 4096, QByteArray(64, '\xee'));
    const QByteArray before = FileHash(damaged);
    for (Korbel::CheckDepth depth : { Korbel::CheckDepth::Quick, Korbel::CheckDepth::Full }) {
        const Korbel::FileCheck check = Korbel::CheckDatabaseFile(damaged, depth);
        EXPECT_EQ(check.state, State::Damaged);
        EXPECT_FALSE(check.problems.isEmpty());
        EXPECT_LE(check.problems.size(), 20);
    }
    EXPECT_EQ(FileHash(damaged), before);

    const QString newer = dir.filePath(QStringLiteral("newer.mdb"));
    MakePractice(newer, 1);
    RunSql(
        newer, QStringLiteral("PRAGMA user_version = %1").arg(Korbel::CurrentSchemaVersion() + 1).toUtf8());
    const Korbel::FileCheck check = Korbel::CheckDatabaseFile(newer, Korbel::CheckDepth::Full);
    EXPECT_EQ(check.state, State::Newer);
    EXPECT_EQ(check.schemaVersion, Korbel::CurrentSchemaVersion() + 1);
}

TEST(Maintenance, ASummaryCountsTheRowsOfACopyWithoutChangingIt)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(path, 12);
    const QByteArray before = FileHash(path);
    const Korbel::FileSummary summary = Korbel::SummarizeDatabaseFile(path, QStringLiteral("main"));
    EXPECT_TRUE(summary.readable) << summary.error.toStdString();
    EXPECT_EQ(summary.rows, 12);
    EXPECT_EQ(summary.schemaVersion, Korbel::CurrentSchemaVersion());
    EXPECT_EQ(Korbel::SummarizeDatabaseFile(path, QStringLiteral("NO_SUCH_TABLE")).rows, -1);
    EXPECT_EQ(FileHash(path), before);

    ASSERT_TRUE(dir.writeFile(QStringLiteral("notes.txt"), "not a database"));
    const Korbel::FileSummary text
        = Korbel::SummarizeDatabaseFile(dir.filePath(QStringLiteral("notes.txt")), QStringLiteral("MAIN"));
    EXPECT_FALSE(text.readable);
    EXPECT_FALSE(text.error.isEmpty());
}

TEST(Maintenance, ACopyHoldsWhatTheOpenDatabaseCommittedAndStandsAlone)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(path, 50);
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    // Committed, but still only in the open database's log.
    AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Late") } });
    ASSERT_TRUE(QFileInfo(path + QStringLiteral("-wal")).size() > 0);

    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    QString error;
    EXPECT_EQ(Korbel::CopyDatabaseFile(path, copy, {}, &error), Korbel::Outcome::Done) << error.toStdString();
    EXPECT_EQ(DatabaseDump(copy), DatabaseDump(path));
    EXPECT_EQ(Korbel::SummarizeDatabaseFile(copy, QStringLiteral("MAIN")).rows, 51);
    EXPECT_FALSE(QFileInfo::exists(copy + QStringLiteral("-wal")));

    // An existing file is never overwritten; a stopped copy leaves nothing.
    const QByteArray existing = FileHash(copy);
    EXPECT_EQ(Korbel::CopyDatabaseFile(path, copy, {}, &error), Korbel::Outcome::Failed);
    EXPECT_EQ(FileHash(copy), existing);
    const QString stopped = dir.filePath(QStringLiteral("stopped.mdb"));
    EXPECT_EQ(Korbel::CopyDatabaseFile(
                  path, stopped, [](qint64, qint64) { return false; }, &error),
        Korbel::Outcome::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(stopped));
}

TEST(Maintenance, AReplacedDatabaseIsKeptWholeWithItsLogAndNothingChangesWhenAStepIsRefused)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    const QString replacement = dir.filePath(QStringLiteral("restored.tmp"));
    MakePractice(path, 5);
    MakePractice(replacement, 9);
    // A log left by a program that did not close the database.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("data.mdb-wal"), "log of the previous database"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("data.mdb-shm"), "index"));
    const QByteArray previous = FileHash(path);
    const QStringList restored = DatabaseDump(replacement);
    const QString kept = dir.filePath(QStringLiteral("data-before.mdb"));

    QString error;
    // Refused: a replacement from another folder, a name to keep that is taken.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("elsewhere"))));
    ASSERT_TRUE(QFile::copy(replacement, dir.filePath(QStringLiteral("elsewhere/x.mdb"))));
    EXPECT_FALSE(
        Korbel::ReplaceDatabaseFile(path, dir.filePath(QStringLiteral("elsewhere/x.mdb")), kept, &error));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("data-before.mdb-wal"), "taken"));
    EXPECT_FALSE(Korbel::ReplaceDatabaseFile(path, replacement, kept, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(FileHash(path), previous);
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("-wal")));
    EXPECT_FALSE(QFileInfo::exists(kept));
    ASSERT_TRUE(QFile::remove(kept + QStringLiteral("-wal")));

    ASSERT_TRUE(Korbel::ReplaceDatabaseFile(path, replacement, kept, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(replacement));
    // The old log must never meet the new file.
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-shm")));
    EXPECT_EQ(DatabaseDump(path), restored);
    EXPECT_EQ(FileHash(kept), previous);
    QFile keptLog(kept + QStringLiteral("-wal"));
    ASSERT_TRUE(keptLog.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptLog.readAll(), QByteArray("log of the previous database"));
}

TEST(Maintenance, AWriteBeyondTheSizeLimitFailsAsOnAFullDiskAndTheDataStayAsTheyWere)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(path, 20);
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    const QStringList before = DatabaseDump(path);
    ASSERT_TRUE(Korbel::LimitDatabaseSize(source.get(), QFileInfo(path).size()));

    ASSERT_TRUE(source->BeginTransaction());
    ASSERT_TRUE(main->AddNew());
    ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), QByteArray(200000, 'n')));
    EXPECT_FALSE(main->Update());
    main->CancelUpdate();
    // The engine may end the transaction by itself on a full disk: what the
    // program writes next must not go to the database outside it.
    EXPECT_TRUE(AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Stray") } }).isEmpty());
    main->CancelUpdate();
    EXPECT_TRUE(source->RollbackTransaction());
    QString reason;
    EXPECT_EQ(Korbel::TakeStorageFailure(source.get(), &reason), Korbel::StorageFailure::DiskFull);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(Korbel::TakeStorageFailure(source.get()), Korbel::StorageFailure::None);
    EXPECT_EQ(DatabaseDump(path), before);
    EXPECT_EQ(main->RecordCount(), 20);

    ASSERT_TRUE(Korbel::LimitDatabaseSize(source.get(), 0));
    ASSERT_TRUE(main->AddNew());
    ASSERT_TRUE(main->SetBinary(QStringLiteral("NOTES"), QByteArray(200000, 'n')));
    EXPECT_TRUE(main->Update());
    EXPECT_EQ(Korbel::TakeStorageFailure(source.get()), Korbel::StorageFailure::None);
    EXPECT_EQ(main->RecordCount(), 21);
}
