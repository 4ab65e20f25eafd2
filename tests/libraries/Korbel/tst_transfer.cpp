#include "DatabaseFiles.h"
#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

#include "Korbel/Csv.h"
#include "Korbel/TableTransfer.h"

#include <QtCore/QBuffer>
#include <QtCore/QDate>
#include <QtCore/QFileInfo>

#include <map>

using namespace KorbelTest;
using Korbel::Outcome;

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Patients and office data with values at the edges of every kind, and
// deleted rows, so that the last keys handed out lie beyond the rows.
void MakePractice(const QString &path)
{
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    ASSERT_TRUE(main->AddNew());
    EXPECT_TRUE(
        SetValue(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Ana, \"the\" first\r\nline two")));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("LAST_NAME"), QStringLiteral("")));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("DATE_OF_BIRTH"), QDate(2024, 2, 29)));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("HOM_INS_AMNT"), -12.34));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("NAT_INS_AMNT"), 0.0001));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("VIP"), true));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("SEX"), Q_INT64_C(-9223372036854775807) - 1));
    EXPECT_TRUE(SetValue(
        main.get(), QStringLiteral("MONTHLY_FEE_TS"), QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59))));
    EXPECT_TRUE(main->SetBinary(QStringLiteral("NOTES"), QByteArray("\0\xff,\"\r\n", 6)));
    ASSERT_TRUE(main->Update());
    ASSERT_TRUE(main->AddNew());
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Ștefan 😀 Ünal")));
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("ACTIVE"), false));
    ASSERT_TRUE(main->Update());
    ASSERT_TRUE(main->AddNew());
    EXPECT_TRUE(SetValue(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("Removed")));
    ASSERT_TRUE(main->Update());
    ASSERT_GT(main->Delete(), 0);

    auto office = OpenTable(source.get(), QStringLiteral("OFFICE_DATA"));
    ASSERT_TRUE(office->AddNew());
    EXPECT_TRUE(SetValue(office.get(), QStringLiteral("TAX1"), 0.1));
    EXPECT_TRUE(SetValue(office.get(), QStringLiteral("TAX2"), 1e-300));
    EXPECT_TRUE(SetValue(office.get(), QStringLiteral("EMAIL_FOOTER"), QStringLiteral("  spaces kept  ")));
    ASSERT_TRUE(office->Update());
    // A seed row the practice removed stays removed.
    auto status = OpenTable(source.get(), QStringLiteral("STATUS"));
    ASSERT_EQ(status->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("7")), 1);
    ASSERT_GT(status->Delete(), 0);
}

Outcome RoundTrip(const QString &from, const QString &folder, const QString &to)
{
    QString error;
    const Outcome exported = Korbel::ExportTables(from, folder, {}, &error);
    EXPECT_EQ(exported, Outcome::Done) << error.toStdString();
    if (exported != Outcome::Done)
        return exported;
    const Outcome imported = Korbel::ImportTables(folder, to, {}, &error);
    EXPECT_EQ(imported, Outcome::Done) << error.toStdString();
    return imported;
}

} // namespace

TEST(Transfer, EveryTableComesBackExactlyWithItsKeysSequencesAndIndexes)
{
    TestSupport::TemporaryFolder dir;
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);
    const QString copy = dir.filePath(QStringLiteral("imported.mdb"));
    ASSERT_EQ(RoundTrip(original, dir.filePath(QStringLiteral("export")), copy), Outcome::Done);

    const QStringList before = DatabaseDump(original);
    ASSERT_GT(before.size(), 60);
    EXPECT_EQ(FirstDifference(DatabaseDump(copy), before), QString());
    EXPECT_TRUE(before.contains(QStringLiteral("'MAIN' | 3")));

    // The imported practice works through the data library as the original.
    auto source = OpenSource(copy);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(main->RecordCount(), 2);
    const QString id = AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Next") } });
    EXPECT_EQ(id, QStringLiteral("4"));
}

TEST(Transfer, ValuesThatDoNotHaveTheirColumnsKindAndTablesThisProgramDoesNotKnowComeBackToo)
{
    TestSupport::TemporaryFolder dir;
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);
    RunSql(original,
        "UPDATE MAIN SET SEX = 'unknown', NAT_INS_AMNT = 12.5, HOM_INS_AMNT = 'n/a' WHERE ID = 2;"
        "CREATE TABLE \"odd name-1\" (ID INTEGER PRIMARY KEY AUTOINCREMENT, \"A, B\" VARCHAR(20), N INTEGER,"
        " R REAL, X BLOB);"
        "INSERT INTO \"odd name-1\" (\"A, B\", N, R, X) VALUES ('x', 7, 2.5, x'00ff'), (NULL, NULL, -0.5, "
        "NULL),"
        " ('', 9223372036854775807, 1e308, x'');"
        "CREATE TABLE AUDIO (ID INTEGER PRIMARY KEY AUTOINCREMENT, PATIENT_ID INTEGER, CHAR_POS INTEGER,"
        " CONSULTATION_ID INTEGER, FILE_PATH TEXT, IS_VIDEO INTEGER DEFAULT 0);"
        "INSERT INTO AUDIO (PATIENT_ID, FILE_PATH) VALUES (1, 'a.wma');");
    const QString copy = dir.filePath(QStringLiteral("imported.mdb"));
    ASSERT_EQ(RoundTrip(original, dir.filePath(QStringLiteral("export")), copy), Outcome::Done);
    EXPECT_EQ(FirstDifference(DatabaseDump(copy, false), DatabaseDump(original, false)), QString());
    // A table whose name is no plain file name gets a file name of its own.
    EXPECT_TRUE(ReadFile(dir.filePath(QStringLiteral("export/tables.csv"))).contains("\r\nodd name-1,table"));
}

TEST(Transfer, AnExportIsPlainCsvWithTypedValuesInPlainForms)
{
    TestSupport::TemporaryFolder dir;
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);
    QString error;
    const QString folder = dir.filePath(QStringLiteral("export"));
    ASSERT_EQ(Korbel::ExportTables(original, folder, {}, &error), Outcome::Done) << error.toStdString();

    const QByteArray main = ReadFile(folder + QStringLiteral("/tables/MAIN.csv"));
    const QList<QByteArray> lines = main.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("ID,APELATIV,FIRST_NAME,MIDDLE_NAME,LAST_NAME,DATE_OF_BIRTH,"));
    // A text with a comma, quotes and a line break is quoted; an empty text is
    // "" and no value is nothing at all.
    EXPECT_TRUE(lines[1].startsWith("1,,\"Ana, \"\"the\"\" first\r"));
    EXPECT_TRUE(lines[2].startsWith("line two\",,\"\",2024-02-29,-9223372036854775808,"));
    EXPECT_TRUE(main.contains(",1,0,0,-12.3400,0.0001,"));
    EXPECT_TRUE(main.contains(",2023-12-31T23:59:59,AP8sIg0K,0\r\n"));
    EXPECT_TRUE(main.contains("2,,Ștefan 😀 Ünal,,,,,,,,0,"));
    const QByteArray office = ReadFile(folder + QStringLiteral("/tables/OFFICE_DATA.csv"));
    EXPECT_TRUE(office.endsWith(",  spaces kept  ,0.1,1e-300\r\n"));

    EXPECT_TRUE(ReadFile(folder + QStringLiteral("/tables.csv")).contains("MAIN,MAIN.csv,2,3\r\n"));
    EXPECT_TRUE(ReadFile(folder + QStringLiteral("/columns.csv")).contains("MAIN,HOM_INS_AMNT,money\r\n"));
    Korbel::ExportManifest manifest;
    ASSERT_TRUE(Korbel::ReadExport(folder, &manifest, &error)) << error.toStdString();
    EXPECT_EQ(manifest.format, Korbel::ExportFormat());
    EXPECT_EQ(manifest.schemaVersion, Korbel::CurrentSchemaVersion());
    EXPECT_LE(qAbs(manifest.created.secsTo(QDateTime::currentDateTimeUtc())), 60);
}

TEST(Transfer, AnExportGoesOnlyIntoAnEmptyFolderAndAStoppedOneLeavesNothing)
{
    TestSupport::TemporaryFolder dir;
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);
    ASSERT_TRUE(dir.writeFile(QStringLiteral("full/letter.txt"), "kept"));
    QString error;
    EXPECT_EQ(
        Korbel::ExportTables(original, dir.filePath(QStringLiteral("full")), {}, &error), Outcome::Failed);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("full"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { QStringLiteral("letter.txt") });
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("full/letter.txt"))), QByteArray("kept"));

    const QString stopped = dir.filePath(QStringLiteral("stopped"));
    EXPECT_EQ(Korbel::ExportTables(
                  original, stopped, [](qint64 done, qint64) { return done == 0; }, &error),
        Outcome::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(stopped));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("empty"))));
    EXPECT_EQ(
        Korbel::ExportTables(original, dir.filePath(QStringLiteral("empty")), {}, &error), Outcome::Done);
}

TEST(Transfer, AnImportRefusesAnExportItCannotTrustAndLeavesNoDatabase)
{
    TestSupport::TemporaryFolder dir;
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);
    const QString good = dir.filePath(QStringLiteral("good"));
    QString error;
    ASSERT_EQ(Korbel::ExportTables(original, good, {}, &error), Outcome::Done);

    struct Case
    {
        const char *what;
        std::function<void(const QString &folder)> spoil;
    };
    const Case cases[] = {
        { "no manifest", [](const QString &f) { QFile::remove(f + QStringLiteral("/manifest.csv")); } },
        { "a row missing",
            [](const QString &f) {
                const QString path = f + QStringLiteral("/tables/STATUS.csv");
                QByteArray data = ReadFile(path);
                data.truncate(data.lastIndexOf("\r\n", data.size() - 3) + 2);
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write(data);
            } },
        { "a torn quote",
            [](const QString &f) {
                QFile file(f + QStringLiteral("/tables/APELATIV.csv"));
                file.open(QIODevice::Append);
                file.write("9,\"Prof.\r\n");
            } },
        { "a file outside the folder",
            [](const QString &f) {
                const QString path = f + QStringLiteral("/tables.csv");
                QByteArray data = ReadFile(path).replace("STATUS,STATUS.csv", "STATUS,../data.mdb");
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write(data);
            } },
        { "a newer program",
            [](const QString &f) {
                QFile file(f + QStringLiteral("/manifest.csv"));
                file.open(QIODevice::WriteOnly);
                file.write("KEY,VALUE\r\nFORMAT,1\r\nSCHEMA_VERSION,999\r\n");
            } },
        { "columns renamed",
            [](const QString &f) {
                const QString path = f + QStringLiteral("/tables/DILUTION.csv");
                QByteArray data = ReadFile(path).replace("ID,VALUE", "ID,AMOUNT");
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write(data);
            } },
    };
    int index = 0;
    for (const Case &c : cases) {
        const QString folder = dir.filePath(QStringLiteral("spoilt%1").arg(index++));
        ASSERT_EQ(Korbel::ExportTables(original, folder, {}, &error), Outcome::Done);
        c.spoil(folder);
        const QString target = dir.filePath(QStringLiteral("target.mdb"));
        error.clear();
        EXPECT_EQ(Korbel::ImportTables(folder, target, {}, &error), Outcome::Failed) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_FALSE(QFileInfo::exists(target)) << c.what;
    }

    // The target is never overwritten.
    ASSERT_TRUE(dir.writeFile(QStringLiteral("taken.mdb"), "mine"));
    EXPECT_EQ(
        Korbel::ImportTables(good, dir.filePath(QStringLiteral("taken.mdb")), {}, &error), Outcome::Failed);
    EXPECT_EQ(ReadFile(dir.filePath(QStringLiteral("taken.mdb"))), QByteArray("mine"));
}

TEST(Transfer, CsvReadsBackWhatItWroteAndNamesTheLineOfABrokenRecord)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Korbel::Csv::Writer writer(&buffer);
    const QList<QByteArray> texts { "plain", "a,b", "say \"hi\"", "two\r\nlines", "", " padded " };
    for (const QByteArray &text : texts)
        writer.Add(text);
    writer.AddNull();
    writer.EndRecord();
    writer.Add("last");
    writer.EndRecord();
    ASSERT_TRUE(writer.Flush());

    const QByteArray data = "\xef\xbb\xbf" + buffer.data();
    Korbel::Csv::Reader reader(data.constData(), data.size());
    std::vector<Korbel::Csv::Field> fields;
    ASSERT_TRUE(reader.Next(fields));
    ASSERT_EQ(fields.size(), 7u);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(fields[static_cast<size_t>(i)].text, texts[i]);
        EXPECT_FALSE(fields[static_cast<size_t>(i)].IsNull());
    }
    EXPECT_TRUE(fields[6].IsNull());
    ASSERT_TRUE(reader.Next(fields));
    EXPECT_EQ(reader.Line(), 3);
    EXPECT_EQ(fields[0].text, QByteArray("last"));
    EXPECT_FALSE(reader.Next(fields));
    EXPECT_TRUE(reader.Error().isEmpty());

    // Lines ending in LF only read the same; a stray quote is an error with its line.
    const QByteArray broken = "a,b\nc,d\ne,f\"g\n";
    Korbel::Csv::Reader strict(broken.constData(), broken.size());
    EXPECT_TRUE(strict.Next(fields));
    EXPECT_TRUE(strict.Next(fields));
    EXPECT_EQ(fields[1].text, QByteArray("d"));
    EXPECT_FALSE(strict.Next(fields));
    EXPECT_TRUE(strict.Error().startsWith(QStringLiteral("line 3:")));
}

namespace {

// The files of an export that describe the data (the manifest carries the
// moment of the export).
std::map<QString, QByteArray> ExportFiles(const QString &folder)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : { QStringLiteral("columns.csv"), QStringLiteral("tables.csv") })
        files[name] = ReadFile(QDir(folder).filePath(name));
    const QDir tables(QDir(folder).filePath(QStringLiteral("tables")));
    for (const QString &name : tables.entryList(QDir::Files))
        files[QStringLiteral("tables/") + name] = ReadFile(tables.filePath(name));
    return files;
}

} // namespace

TEST(ServerTransfer, APracticeMovesToAServerAndBackExactly)
{
    VERDANTA_SKIP_WITHOUT_SERVER(Korbel::Engine::PostgreSQL);
    TestSupport::TemporaryFolder dir;
    TestSupport::ScratchServerDatabase server;
    ASSERT_TRUE(server.IsValid()) << server.Error().toStdString();
    const QString original = dir.filePath(QStringLiteral("data.mdb"));
    MakePractice(original);

    // Into the server, out of it again: the two exports are the same bytes.
    ASSERT_EQ(
        RoundTrip(original, dir.filePath(QStringLiteral("from-file")), server.Address()), Outcome::Done);
    const QString copy = dir.filePath(QStringLiteral("back.mdb"));
    ASSERT_EQ(RoundTrip(server.Address(), dir.filePath(QStringLiteral("from-server")), copy), Outcome::Done);
    const auto fromFile = ExportFiles(dir.filePath(QStringLiteral("from-file")));
    const auto fromServer = ExportFiles(dir.filePath(QStringLiteral("from-server")));
    ASSERT_GT(fromFile.size(), 30u);
    for (const auto &[name, bytes] : fromFile) {
        const auto other = fromServer.find(name);
        ASSERT_NE(other, fromServer.end()) << name.toStdString();
        EXPECT_EQ(other->second, bytes) << name.toStdString();
    }
    EXPECT_EQ(fromServer.size(), fromFile.size());
    EXPECT_EQ(FirstDifference(DatabaseDump(copy), DatabaseDump(original)), QString());

    // The practice on the server goes on where the file left off.
    QMap<QString, qint64> rows;
    QString error;
    ASSERT_TRUE(Korbel::CountRows(server.Address(), &rows, &error)) << error.toStdString();
    EXPECT_EQ(rows.value(QStringLiteral("MAIN")), 2);
    auto source = OpenSource(server.Address());
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("Next") } }),
        QStringLiteral("4"));
    auto status = OpenTable(source.get(), QStringLiteral("STATUS"));
    EXPECT_EQ(
        AddRow(status.get(), { { QStringLiteral("NAME"), QStringLiteral("New") } }), QStringLiteral("8"));

    // Only an empty database takes an export.
    EXPECT_EQ(Korbel::ImportTables(dir.filePath(QStringLiteral("from-file")), server.Address(), {}, &error),
        Outcome::Failed);
    EXPECT_TRUE(error.contains(QStringLiteral("not empty"))) << error.toStdString();
    ASSERT_TRUE(Korbel::CountRows(server.Address(), &rows, &error));
    EXPECT_EQ(rows.value(QStringLiteral("MAIN")), 3);
}
