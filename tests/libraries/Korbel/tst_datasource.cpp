#include "KorbelTestUtil.h"
#include "support/TestDatabases.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>

using namespace KorbelTest;
using Korbel::IDataSource;
using Korbel::ITable;

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every table of a new database with every field, as the program reads and
// writes them (names with their misspellings; "MENTAL DIS" holds a blank).
// Each table has its own key ID.
struct Table
{
    const char *name;
    const char *fields;
};
const std::vector<Table> kTables = {
    { "MAIN",
        "ID,APELATIV,FIRST_NAME,MIDDLE_NAME,LAST_NAME,DATE_OF_BIRTH,SEX,MARITAL_STATUS,OCCUPATION,"
        "MEDICAL_DOCTOR,ACTIVE,VIP,HOM_INS,NAT_INS,HOM_INS_AMNT,NAT_INS_AMNT,INSURANCE_INFO,PARENT_ID,"
        "PARENT_NAME,IMAGE_PATH,EMAIL,PHONE,MONTHLY_FEE,MONTHLY_FEE_TS,NOTES,ROW_VERSION" },
    // PATIENT_ID keeps the address row with its patient.
    { "ADDRESS", "ID,PATIENT_ID,STREET_ADDRESS,CITY,POSTAL_CODE,STATE,COUNTRY" },
    { "APELATIV", "ID,APELATIV" },
    { "MARITAL_STATUS", "ID,MARITAL_STATUS" },
    { "COMES_FOR", "ID,PATIENT_ID,DESC,IMAGE_PATH,AUDIO_PATH" },
    { "EMAILS", "ID,PATIENT_ID,EMAIL" },
    { "PHONES", "ID,PATIENT_ID,PHONE" },
    { "MEDICAL_HISTORY",
        "ID,CUSTOMER_REF,HEAR_ABOUT,BLD_PRES,HEART_TRBL,HART_DIS,MENTAL DIS,DIABETES,ASTHMA,ULCERS,CANCER,"
        "CHEST_PAIN,LIVER_DIS,KIDNEY_DIS,EPILEPSY,AIDS,TYROID_DIS,LUNG_DIS,ANAEMIA,SKIN_DIS,MIGRAIN_HD,"
        "ASPIRIN,DIAB_MED,BLOOD_PIILS,TRANQ_DEPR,SKIN_OINTM,STEROIDS,BIRTH_CTRL,HEART_PILLS,ASTHMA_MED,"
        "OPERATION1,OPERATION2,OPERATION3,OPER1_DATE,OPER2_DATE,OPER3_DATE,ALERGY_TYPE,IS_SMOKING,"
        "SMOKE_YEAR,ALCHOOL_DR,WEIGHT_KG,WEIGHT_POUNDS,HEIGHT_M,HEIGHT_FEET,FATHER_D,MOTHER_D,BROTHER_D,"
        "SISTER_D,SONS_D,DAUGHTER_D,GRAND_F,GRAND_M,OTHER_D,HOMEO_BEF" },
    { "QUESTIONARY_A",
        "ID,CUSTOMER_REF,PREF_WARM,PREF_COLD,PREF_EXTREME,HEAT_D_LIKE,PREFERES_HEAT2,HEAT_RESP,HEAT_HEAD,"
        "HEAT_FAINTH,COLD_OK,COLD_D_LIKE,COLD_BAD,COLD_HEAD,COLD_SINUS,COLD_ART,HUMID_OK,HUMID_D_LIKE,"
        "HUMID_W_BAD,HUMID_C_BAD,WEATHER_OK,WEATHER_HEAD,WEATHER_ART,WEATHER_W_C,WEATHER_C_W,"
        "WEATHER_RAIN,WEATHER_SNOW,RAIN_LIKE,RAIN_D_LIKE,RAIN_T,RAIN_L,AIR_OK,AIR_WIND,AIR_CUR,"
        "QUESTIONARY_A,NEW_EXTREME_OK,MOON_OK,MOON_O,EXTR_H_W,EXTR_H_N,EXTR_H_C,EXTR_H_D,EXTR_F_W,"
        "EXTR_F_C,EXTR_F_N,EXTR_F_D,EXTR_H_E,EXTR_H_H,EXTR_F_H,EXTR_F_E,TRANS_INC,TRANS_DEC,TRANS_NORM,"
        "TRANS_AX,TRANS_FACE,TRANS_HEAD,TRANS_TOR,TRANS_BACK,TRANS_UNDER,TRANS_BREAST,TRANS_SMELL,"
        "TRANS_SPOT,SKIN_FAT,SKIN_DRY,SKIN_NORM,SKIN_AFT,SKIN_COS,SKIN_COS_TEX,SKIN_HERP,VAR_Y" },
    { "QUESTIONARY_B",
        "ID,CUSTOMER_REF,QUESTIONARY_B,HAIR_FAT,HAIR_DRY,HAIR_NORM,HAIR_FAIR,HAIR_LIGHT,HAIR_BRUN,"
        "HAIR_DARK,HAIR_SPIC,HAIR_WHITE,HAIR_MATR,HAIR_FALL,HAIR_TIP,HAIR_BOLD,NAIL_STRONG,NAIL_WEAK,"
        "NAIL_DOTS,NAIL_HOLES,NAIL_LONG,NAIL_TRANS,NAIL_BITES,TEETH_GOOD,TEETH_REG,TEETH_CAR,TEETH_S_W,"
        "TEETH_S_C,TEETH_S_S,TEETH_S_B,NOSE_B,NOSE_OFTEN,NOSE_W,NOSE_C,APET_UP,APET_DOWN,APET_NORM,"
        "APET_POFT,APET_LAC,APET_TOATE,APET_MOFT,APET_LIKE_NOTES,APET_D_LIKE_NOTES,APET_SO_SO_NOTES,"
        "GRIDING_TEETH,TASTE_SALT,TASTE_SWEET,TASTE_SOUR,TASTE_AM,TASTE_SPICE,WC_NORM,WC_DAY,WC_DIAR,"
        "WC_CONST,WC_ELIM,WC_OITA,WC_FORMAT,WC_COLOR_NOTES,WC_SMELL_NOTES,HEM_Y" },
    { "QUESTIONARY_C",
        "ID,CUSTOMER_REF,QUESTIONARY_C,DIG_GOOD,DIG_A_D,DIG_A_N,BAL_SUP,BAL_INF,BAL_MED,BAL_TOT,BAL_AFTER,"
        "BAL_BEFORE,BAL_FLAT,BAL_AMEL,TH_UP,TH_DOWN,TH_NORM,TH_W,TH_C,TH_ICE,TH_ACID,TH_WATER,TH_JUICE,"
        "TH_BEER" },
    { "QUESTIONARY_D",
        "ID,CUSTOMER_REF,QUESTIONARY_D,SLEEP_GOOD,SLEEP_WEAK,SLEEP_WEAK_NOTES,SLEEP_PROF,SLEEP_HEAR,"
        "SLEEP_QUIET,SLEEP_LEFT,SLEEP_RIGHT,SLEEP_BACK,SLEEP_FACE,SLEEP_INV,SLEEP_DEZV,SLEEP_DOESNT,"
        "SLEEP_FEET,SLEEP_PIL,SLEEP_DREAM,SLEEP_DREAM_NOTES,SLEEP_NIGHT,SLEEP_NIGHT_NOTES,SLEEP_PREM,"
        "SLEEP_PREM_NOTES,SLEEP_SCR" },
    { "QUESTIONARY_E",
        "ID,CUSTOMER_REF,QUESTIONARY_E,PERIOD_N_REG,PERIOD_DAY_NOTES,PERIOD_AB_NOTES,PERIOD_INTR_NOTES,"
        "PERIOD_OVUL_NOTES,PERIOD_COL_NOTES,PERIOD_PMS_BEFORE_NOTES,PERIOD_PMS_AFTER_NOTES,"
        "PERIOD_PMS_DUR_NOTES,PERIOD_BREAST,PERIOD_BACK,PERIOD_REG,PERIOD_THIRST,PERIOD_NERV,PERIOD_HEAD,"
        "PERIOD_PAIN" },
    { "QUESTIONARY_F",
        "ID,CUSTOMER_REF,FEAR_HEIGHT,FEAR_DARK,FEAR_SPACE,FEAR_EXAM,FEAR_INTERV,FEAR_CROWD,FEAR_DOES,"
        "FEAR_DOGS,FEAR_INSECTS,FEAR_SNAKE,FEAR_MICE,FEAR_AIR,FEAR_THIEF,FEAR_POUR,FEAR_CALM,FEAR_AP_CALM,"
        "FEAR_NERV,FEAR_DOESNT_SAY,FEAR_SAY,FEAR_SCREAM,FEAR_KILL" },
    { "QUESTIONARY_G",
        "ID,CUSTOMER_REF,CONS_LIKES,CONS_D_LIKE,CONS_AGRAV,CONS_PERF,CONS_GUILT,CONS_NERV,CONS_TIDY,"
        "CONS_ORD,CONS_PUNCT,CONS_INDEP,QUESTIONARY_G,CONS_FOREIGN,CONS_AUT,CONS_MEN,CONS_WOMEN,CONS_BOSS,"
        "CONS__D_BOSS,CONS_COR,CONS_NEW,CONS_CHANGE,CONS_FOND,CONS_FOND_NOTES,CONS_NOISE,CONS_NOISE_NOTES" },
    { "QUESTIONARY_H",
        "ID,CUSTOMER_REF,SMELL_OK,SMELL_OK_NOTES,SMELL_GIVE,SMELL_REC,SMELL_BOTH,SMELL_TIGHT_NECK,"
        "SMELL_TIGHT_BODY,SMELL_CRY,SMELL_N_CRY,SMELL_MOV,SMELL_CRY_MISS,SMELL_BEST_NOTES,"
        "SMELL_WORST_NOTES,SMELL_FAM,SMELL_CAR,SMELL_EMOT,SMELL_MATER,PREFERE_ALONE,QUESTIONARY_7,"
        "PREFERE_COMPANY,OPTIMIST,PESIMIST,BUSY_HOME,BUSY_WORK,INCONSISTENT,JALOUSE,SUSPICIOUS,CRITICAL,"
        "AMBITIOUS,THEORYZING,NOT_CONFIDENT,TALKATIVE,ANXIETY_COMPANY,ANXIETY_ANYTHING,ANXIETY_FEELING,"
        "ANXIETY_CAUTIOUS,ANXIETY_INDECISSIVE,ANXIETY_HEALTH,PASSION,SEDENTARY,CHANGEABLE,SELF_CONFIDENT,"
        "ANXIETY_LATE,PREFERE_ALONE_BUT,ACTIVE" },
    { "DYNAMIC_FIELDS", "ID,PATIENT_ID,NAME,VALUE" },
    { "CONSULTATIONS", "ID,PATIENT_ID,CHAR_POS,DATE,NEXT_DATE" },
    { "IMAGES", "ID,PATIENT_ID,CHAR_POS,CONSULTATION_ID,FILE_PATH" },
    { "MEDIA", "ID,PATIENT_ID,CHAR_POS,CONSULTATION_ID,FILE_PATH,IS_VIDEO" },
    { "MARKERS", "ID,PARENT_FILE,MARKER,MARKER_DESC" },
    { "INHALATIONS", "ID,PATIENT_ID,CHAR_POS,CONSULTATION_ID,MEDICINE_ID,DILUTION_ID,SEQUENCE" },
    { "PRESCRIPTIONS",
        "ID,PATIENT_ID,CONSULTATION_ID,CHAR_POS,MEDICINE_ID,DILUTION_ID,STATUS_ID,QUANTITY,INVOICING_ID,"
        "CREATION_DT,ORDER_ID" },
    { "STATUS", "ID,NAME,COLOR" },
    { "MEDICINES", "ID,NAME,PRICE,PROVIDER_PRICE,PROVIDER_ID,DESCRIPTION" },
    { "DILUTION", "ID,VALUE" },
    { "PROVIDERS", "ID,NAME,ADDRESS,EMAIL,DESCRIPTION" },
    { "ORDERS", "ID,CREATION_DT,SENT_DT,DESC,STATUS_ID,PROVIDER_ID,ESTIMATED_PRICE" },
    { "ORDER_ITEMS", "ID,ORDER_ID,MEDICINE_ID,DILUTION_ID,QUANTITY,ESTIMATED_PRICE" },
    { "STOCKS", "ID,MEDICINE_ID,DILUTION_ID,STOCK,STOCK_THRESHOLD,REPLENISH_QUANTITY,PREDICTED" },
    { "INVOICING", "ID,PATIENT_ID,ACTIVE,FEE,IS_PRESC,DESCRIPTION,DT_STAMP,AMOUNT,AMOUNT_TAX1,AMOUNT_TAX2" },
    { "INVOICES", "ID,PATIENT_ID,AMOUNT,DT_STAMP,INFO,TYPE" },
    { "PAYMENTS", "ID,PATIENT_ID,AMOUNT,PAYMENT_DT,TYPE_ID,DESCRIPTION" },
    { "TYPE_PAYMENTS", "ID,NAME" },
    { "REPORTS",
        "ID,NAME,DESCRIPTION,DATE_PARAM1,BOOL_PARAM1,INT_PARAM1,INT_PARAM2,CURR_PARAM1,LONG_INT_PARAM1,"
        "LONG_INT_PARAM2,STR_PARAM1,STR_PARAM2" },
    { "OFFICE_DATA",
        "ID,NAME,ADDRESS,POSTAL_CODE,STATE,COUNTRY,OFFICE_PHONE,HOME_PHONE,FAX,EMAIL,EMAIL_FOOTER,TAX1,"
        "TAX2" },
    { "APP_CONFIGURATION", "ID,VALUE" },
};

// The first column of every row a query on the file gives, read outside the library.
QStringList RawColumn(const QString &path, const QString &sql)
{
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("rawread"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        while (q.next())
            values.append(q.value(0).toString());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("rawread"));
    return values;
}

// The first column of every row of a query on a database at a location
// (a file or a server database).
QStringList SideColumn(const QString &location, const QString &sql)
{
    QString error;
    QStringList values;
    for (const QVariantList &row : TestSupport::SelectOn(location, sql, &error))
        values << row.value(0).toString();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return values;
}

// The tables of the database, the engine's (and the library's) own bookkeeping
// aside; names upper case as the program spells them.
QStringList TableNames(const QString &location)
{
    if (Korbel::IsServerAddress(location))
        return SideColumn(location,
            QStringLiteral("SELECT upper(table_name) FROM information_schema.tables WHERE table_schema = "
                           "current_schema() AND table_name NOT LIKE 'korbel%'"));
    return RawColumn(location,
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
}

QStringList FieldNames(const QString &location, const QString &table)
{
    if (Korbel::IsServerAddress(location))
        return SideColumn(location,
            QStringLiteral("SELECT upper(column_name) FROM information_schema.columns WHERE table_schema = "
                           "current_schema() AND table_name = lower('%1') ORDER BY ordinal_position")
                .arg(table));
    return RawColumn(location, QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
}

class NewDatabase : public TestSupport::EngineTest
{
};

// Runs raw SQL on a database file outside the library (to build old or odd files).
void rawSql(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

} // namespace

TEST_P(NewDatabase, AMissingFileOrAnEmptyServerDatabaseGetsTheSchemaAndSeeds)
{
    const QString path = NewLocation(QStringLiteral("data.mdb"));
    auto source = OpenSource(path);
    EXPECT_EQ(Korbel::EngineOf(source.get()), GetParam());
    EXPECT_TRUE(OnServer() || QFile::exists(path));
    EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());

    // Exactly the tables the program uses, each with exactly its fields,
    // spelled as the program names them.
    const QStringList tables = TableNames(path);
    EXPECT_EQ(tables.size(), qsizetype(kTables.size())) << tables.join(QLatin1Char(' ')).toStdString();
    for (const Table &expected : kTables) {
        const QString name = QString::fromLatin1(expected.name);
        SCOPED_TRACE(expected.name);
        EXPECT_TRUE(tables.contains(name));
        EXPECT_TRUE(source->TableExists(name));
        const QStringList wanted = QString::fromLatin1(expected.fields).split(QLatin1Char(','));
        QStringList stored = FieldNames(path, name);
        EXPECT_EQ(stored.size(), wanted.size()) << stored.join(QLatin1Char(',')).toStdString();
        auto table = OpenTable(source.get(), name);
        ASSERT_TRUE(table);
        for (const QString &field : wanted) {
            EXPECT_TRUE(stored.contains(field)) << field.toStdString();
            Korbel::IField *f = nullptr;
            EXPECT_EQ(table->GetField(field, &f), 1) << field.toStdString();
            if (f)
                f->Release();
        }
    }
    // Older databases keep their media in AUDIO; a new one has MEDIA alone.
    EXPECT_FALSE(source->TableExists(QStringLiteral("AUDIO")));

    auto status = OpenTable(source.get(), QStringLiteral("STATUS"));
    EXPECT_EQ(status->RecordCount(), 7);
    for (int id = 1; id <= 7; ++id) {
        ASSERT_EQ(status->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QString::number(id)), 1);
        EXPECT_FALSE(Get(status.get(), QStringLiteral("NAME")).isEmpty());
        EXPECT_LE(Get(status.get(), QStringLiteral("COLOR")).toLongLong(), 0x00FFFFFF);
    }
    auto config = OpenTable(source.get(), QStringLiteral("APP_CONFIGURATION"));
    EXPECT_EQ(config->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("1")), 1);
    EXPECT_EQ(config->Locate(QStringLiteral("ID"), Korbel::LocateEqual, QStringLiteral("2")), 1);
    auto reports = OpenTable(source.get(), QStringLiteral("REPORTS"));
    EXPECT_EQ(reports->RecordCount(), 17);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("TYPE_PAYMENTS"))->RecordCount(), 0);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("APELATIV"))->RecordCount(), 0);
    EXPECT_GT(OpenTable(source.get(), QStringLiteral("MARITAL_STATUS"))->RecordCount(), 0);
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("MAIN"))->RecordCount(), 0);
}

TEST(DataSource, UnreadableFilesAreRefusedAndLeftUntouched)
{
    TestSupport::TemporaryFolder dir;
    struct Case
    {
        const char *name;
        QByteArray content;
    } cases[] = {
        { "empty.mdb", QByteArray() },
        { "text.mdb", QByteArray("this is not a database at all\n") },
        { "access.mdb", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4096, 'x') },
        { "truncated.mdb", QByteArray("SQLite format 3\0", 16) + QByteArray(50, '\x7f') },
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(dir.writeFile(QString::fromLatin1(c.name), c.content));
        const QByteArray before = fileHash(path);
        Korbel::ReleasePtr<IDataSource> source(DataSourceFactory());
        EXPECT_FALSE(source->Open(path)) << c.name;
        EXPECT_FALSE(source->GetErrorDescription().isEmpty()) << c.name;
        EXPECT_EQ(source->OpenTable(QStringLiteral("MAIN")), nullptr);
        EXPECT_EQ(fileHash(path), before) << c.name;
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal"))) << c.name;
    }
    // A folder that does not exist is an error, not a new folder.
    Korbel::ReleasePtr<IDataSource> source(DataSourceFactory());
    EXPECT_FALSE(source->Open(dir.filePath(QStringLiteral("missing/data.mdb"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
}

TEST(DataSource, NewerSchemaIsRefusedAndUpgradeIsIdempotent)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    {
        auto source = OpenSource(path);
    }
    rawSql(path, { QStringLiteral("PRAGMA user_version = %1").arg(Korbel::CurrentSchemaVersion() + 1) });
    const QByteArray before = fileHash(path);
    Korbel::ReleasePtr<IDataSource> newer(DataSourceFactory());
    EXPECT_FALSE(newer->Open(path));
    EXPECT_TRUE(newer->GetErrorDescription().contains(QStringLiteral("newer")));
    EXPECT_EQ(fileHash(path), before);

    rawSql(path, { QStringLiteral("PRAGMA user_version = 0") });
    auto source = OpenSource(path);
    EXPECT_EQ(source->SchemaVersion(), 0);
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_EQ(source->SchemaVersion(), Korbel::CurrentSchemaVersion());
    EXPECT_EQ(OpenTable(source.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
}

TEST(DataSource, OldDatabaseWithAudioTableKeepsIt)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("old.mdb"));
    rawSql(path,
        { QStringLiteral(
              "CREATE TABLE MAIN (ID INTEGER PRIMARY KEY AUTOINCREMENT, FIRST_NAME TEXT, LAST_NAME TEXT)"),
            QStringLiteral("CREATE TABLE AUDIO (ID INTEGER PRIMARY KEY AUTOINCREMENT, PATIENT_ID INTEGER, "
                           "CHAR_POS INTEGER, CONSULTATION_ID INTEGER, FILE_PATH TEXT, IS_VIDEO INTEGER)"),
            QStringLiteral("INSERT INTO MAIN (FIRST_NAME, LAST_NAME) VALUES ('Ada', 'Byron')"),
            QStringLiteral("INSERT INTO AUDIO (PATIENT_ID, CHAR_POS, FILE_PATH, IS_VIDEO) VALUES (1, 7, "
                           "'/m/a.wma', 0)") });
    auto source = OpenSource(path);
    EXPECT_TRUE(source->UpgradeSchema());
    EXPECT_TRUE(source->TableExists(QStringLiteral("AUDIO")));
    EXPECT_FALSE(source->TableExists(QStringLiteral("MEDIA")));
    auto audio = OpenTable(source.get(), QStringLiteral("AUDIO"));
    ASSERT_EQ(audio->RecordCount(), 1);
    EXPECT_EQ(Get(audio.get(), QStringLiteral("FILE_PATH")), QStringLiteral("/m/a.wma"));
    EXPECT_EQ(Get(audio.get(), QStringLiteral("IS_VIDEO")), QStringLiteral("0"));
    // The older MAIN got the fields it lacked, and kept its row.
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("Ada"));
    EXPECT_EQ(Get(main.get(), QStringLiteral("ACTIVE")), QStringLiteral("1"));
    EXPECT_TRUE(main->Edit());
    EXPECT_TRUE(Set(main.get(), QStringLiteral("MONTHLY_FEE"), QStringLiteral("25")));
    EXPECT_TRUE(main->Update());
    EXPECT_TRUE(source->TableExists(QStringLiteral("QUESTIONARY_H")));
}

TEST(DataSource, OnlineBackupWhileOpenIsAConsistentCopy)
{
    TestSupport::TemporaryFolder dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    auto source = OpenSource(path);
    auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
    for (int i = 0; i < 50; ++i)
        AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("P%1").arg(i) } });
    // An edit that is still pending is not part of the copy.
    ASSERT_TRUE(main->Edit());
    Set(main.get(), QStringLiteral("FIRST_NAME"), QStringLiteral("pending"));

    QDir().mkpath(dir.filePath(QStringLiteral("Backup/ThisWeek")));
    const QString copy = dir.filePath(QStringLiteral("Backup/ThisWeek/data.mdb"));
    ASSERT_TRUE(dir.writeFile(QStringLiteral("Backup/ThisWeek/data.mdb"), "old copy"));
    ASSERT_TRUE(source->BackupTo(copy)) << source->GetErrorDescription().toStdString();
    main->CancelUpdate();
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral("-wal")));

    auto backup = OpenSource(copy);
    auto copied = OpenTable(backup.get(), QStringLiteral("MAIN"));
    EXPECT_EQ(copied->RecordCount(), 50);
    ASSERT_EQ(copied->Move(Korbel::MoveLast), 1);
    EXPECT_EQ(Get(copied.get(), QStringLiteral("FIRST_NAME")), QStringLiteral("P49"));
    EXPECT_EQ(OpenTable(backup.get(), QStringLiteral("STATUS"))->RecordCount(), 7);
    // The original keeps working after the backup.
    EXPECT_EQ(AddRow(main.get(), { { QStringLiteral("FIRST_NAME"), QStringLiteral("after") } }),
        QStringLiteral("51"));

    EXPECT_FALSE(source->BackupTo(dir.filePath(QStringLiteral("no/such/folder/data.mdb"))));
}

TEST_P(NewDatabase, TransactionsAndStoredQueries)
{
    auto source = OpenSource(NewLocation(QStringLiteral("data.mdb")));
    auto providers = OpenTable(source.get(), QStringLiteral("PROVIDERS"));
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(providers.get(), { { QStringLiteral("NAME"), QStringLiteral("Kept") } });
    EXPECT_EQ(source->CommitTransaction(), 1);
    ASSERT_TRUE(source->BeginTransaction());
    AddRow(providers.get(), { { QStringLiteral("NAME"), QStringLiteral("Dropped") } });
    EXPECT_TRUE(source->RollbackTransaction());
    auto reopened = OpenTable(source.get(), QStringLiteral("PROVIDERS"));
    EXPECT_EQ(reopened->RecordCount(), 1);
    EXPECT_EQ(Get(reopened.get(), QStringLiteral("NAME")), QStringLiteral("Kept"));

    EXPECT_FALSE(source->RunStoredQuery(QStringLiteral("MONEY_MADE"), QString()));
    QString seen;
    Korbel::SetStoredQueryHandler(source.get(), [&seen](IDataSource *, const QString &name, const QString &) {
        seen = name;
        return true;
    });
    EXPECT_TRUE(source->RunStoredQuery(QStringLiteral("MONEY_MADE"), QString()));
    EXPECT_EQ(seen, QStringLiteral("MONEY_MADE"));
    EXPECT_EQ(source->OpenTable(QStringLiteral("NO_SUCH_TABLE")), nullptr);
    EXPECT_FALSE(source->GetErrorDescription().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, NewDatabase, TestSupport::BothEngines(), TestSupport::EngineName);
