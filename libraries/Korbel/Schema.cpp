#include "Korbel/Schema.h"

#include <QtCore/QDate>

namespace Korbel {

namespace {

using K = ColumnKind;

ColumnDef col(const char *name, ColumnKind kind, QVariant defaultValue = {})
{
    return ColumnDef { QString::fromLatin1(name), kind, false, std::move(defaultValue) };
}

ColumnDef nocase(const char *name)
{
    return ColumnDef { QString::fromLatin1(name), ColumnKind::Text, true, {} };
}

// Appends one column per comma-separated name (names may contain blanks).
void addColumns(std::vector<ColumnDef> &columns, ColumnKind kind, const char *names)
{
    const QStringList list = QString::fromLatin1(names).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &name : list)
        columns.push_back(ColumnDef { name.trimmed(), kind, false, {} });
}

TableDef makeTable(const char *name, std::vector<ColumnDef> columns)
{
    std::vector<ColumnDef> all { col("ID", K::Key) };
    all.insert(all.end(), columns.begin(), columns.end());
    return TableDef { QString::fromLatin1(name), std::move(all), {}, false };
}

// A questionnaire table: one row per patient keyed by CUSTOMER_REF. Check boxes
// hold yes/no; free-text answers, notes and measurements are text.
TableDef formTable(const char *name, const char *boolNames, const char *textNames)
{
    std::vector<ColumnDef> columns { col("CUSTOMER_REF", K::Id) };
    addColumns(columns, K::Bool, boolNames);
    addColumns(columns, K::Text, textNames);
    return makeTable(name, std::move(columns));
}

TableDef mediaTable(const char *name)
{
    return makeTable(name,
        { col("PATIENT_ID", K::Id), col("CHAR_POS", K::Integer), col("CONSULTATION_ID", K::Id),
            col("FILE_PATH", K::Text), col("IS_VIDEO", K::Bool, 0) });
}

} // namespace

const ColumnDef *TableDef::column(const QString &columnName) const
{
    for (const ColumnDef &c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const Schema &Schema::instance()
{
    static const Schema schema;
    return schema;
}

const TableDef *Schema::table(const QString &name) const
{
    for (const TableDef &t : m_tables) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

Schema::Schema()
    : m_version(2)
{
    auto &t = m_tables;

    // Patients and their contact channels.
    t.push_back(makeTable("MAIN",
        { col("APELATIV", K::Id), nocase("FIRST_NAME"), nocase("MIDDLE_NAME"), nocase("LAST_NAME"),
            col("DATE_OF_BIRTH", K::Date), col("SEX", K::Integer), col("MARITAL_STATUS", K::Id),
            col("OCCUPATION", K::Text), col("MEDICAL_DOCTOR", K::Text), col("ACTIVE", K::Bool, 1),
            col("VIP", K::Bool, 0), col("HOM_INS", K::Bool, 0), col("NAT_INS", K::Bool, 0),
            col("HOM_INS_AMNT", K::Money), col("NAT_INS_AMNT", K::Money), col("INSURANCE_INFO", K::Text),
            col("PARENT_ID", K::Id, 0), col("PARENT_NAME", K::Text), col("IMAGE_PATH", K::Text),
            col("EMAIL", K::Id, 0), col("PHONE", K::Id, 0), col("MONTHLY_FEE", K::Money),
            col("MONTHLY_FEE_TS", K::DateTime), col("NOTES", K::Binary),
            // Counts the saves of the patient, so that a seat saving what it
            // read before another seat's save finds out instead of writing over it.
            col("ROW_VERSION", K::Integer, 0) }));
    t.push_back(makeTable("ADDRESS",
        { col("PATIENT_ID", K::Id), col("STREET_ADDRESS", K::Text), col("CITY", K::Text),
            col("POSTAL_CODE", K::Text), col("STATE", K::Text), col("COUNTRY", K::Text) }));
    t.push_back(makeTable("APELATIV", { col("APELATIV", K::Text) }));
    t.push_back(makeTable("MARITAL_STATUS", { col("MARITAL_STATUS", K::Text) }));
    t.push_back(makeTable("COMES_FOR",
        { col("PATIENT_ID", K::Id), col("DESC", K::Text), col("IMAGE_PATH", K::Text),
            col("AUDIO_PATH", K::Text) }));
    t.push_back(makeTable("EMAILS", { col("PATIENT_ID", K::Id), col("EMAIL", K::Text) }));
    t.push_back(makeTable("PHONES", { col("PATIENT_ID", K::Id), col("PHONE", K::Text) }));

    // Medical history and the questionnaire.
    t.push_back(formTable("MEDICAL_HISTORY",
        "BLD_PRES,HEART_TRBL,HART_DIS,MENTAL "
        "DIS,DIABETES,ASTHMA,ULCERS,CANCER,CHEST_PAIN,LIVER_DIS,KIDNEY_DIS,"
        "EPILEPSY,AIDS,TYROID_DIS,LUNG_DIS,ANAEMIA,SKIN_DIS,MIGRAIN_HD,ASPIRIN,DIAB_MED,BLOOD_PIILS,TRANQ_"
        "DEPR,"
        "SKIN_OINTM,STEROIDS,BIRTH_CTRL,HEART_PILLS,ASTHMA_MED,IS_SMOKING,ALCHOOL_DR",
        "HEAR_ABOUT,OPERATION1,OPERATION2,OPERATION3,OPER1_DATE,OPER2_DATE,OPER3_DATE,ALERGY_TYPE,SMOKE_YEAR,"
        "WEIGHT_KG,WEIGHT_POUNDS,HEIGHT_M,HEIGHT_FEET,FATHER_D,MOTHER_D,BROTHER_D,SISTER_D,SONS_D,DAUGHTER_D,"
        "GRAND_F,GRAND_M,OTHER_D,HOMEO_BEF"));
    t.push_back(formTable("QUESTIONARY_A",
        "PREF_WARM,PREF_COLD,PREF_EXTREME,HEAT_D_LIKE,PREFERES_HEAT2,HEAT_RESP,HEAT_HEAD,HEAT_FAINTH,COLD_OK,"
        "COLD_D_LIKE,COLD_BAD,COLD_HEAD,COLD_SINUS,COLD_ART,HUMID_OK,HUMID_D_LIKE,HUMID_W_BAD,HUMID_C_BAD,"
        "WEATHER_OK,"
        "WEATHER_HEAD,WEATHER_ART,WEATHER_W_C,WEATHER_C_W,WEATHER_RAIN,WEATHER_SNOW,RAIN_LIKE,RAIN_D_LIKE,"
        "RAIN_T,"
        "RAIN_L,AIR_OK,AIR_WIND,AIR_CUR,NEW_EXTREME_OK,MOON_OK,MOON_O,EXTR_H_W,EXTR_H_N,EXTR_H_C,EXTR_H_D,"
        "EXTR_F_W,"
        "EXTR_F_C,EXTR_F_N,EXTR_F_D,EXTR_H_E,EXTR_H_H,EXTR_F_H,EXTR_F_E,TRANS_INC,TRANS_DEC,TRANS_NORM,TRANS_"
        "AX,"
        "TRANS_FACE,TRANS_HEAD,TRANS_TOR,TRANS_BACK,TRANS_UNDER,TRANS_BREAST,TRANS_SMELL,TRANS_SPOT,SKIN_FAT,"
        "SKIN_DRY,SKIN_NORM,SKIN_AFT,SKIN_COS,SKIN_HERP,VAR_Y",
        "QUESTIONARY_A,SKIN_COS_TEX"));
    t.push_back(formTable("QUESTIONARY_B",
        "HAIR_FAT,HAIR_DRY,HAIR_NORM,HAIR_FAIR,HAIR_LIGHT,HAIR_BRUN,HAIR_DARK,HAIR_SPIC,HAIR_WHITE,HAIR_MATR,"
        "HAIR_FALL,HAIR_TIP,HAIR_BOLD,NAIL_STRONG,NAIL_WEAK,NAIL_DOTS,NAIL_HOLES,NAIL_LONG,NAIL_TRANS,NAIL_"
        "BITES,"
        "TEETH_GOOD,TEETH_REG,TEETH_CAR,TEETH_S_W,TEETH_S_C,TEETH_S_S,TEETH_S_B,NOSE_B,NOSE_OFTEN,NOSE_W,"
        "NOSE_C,"
        "APET_UP,APET_DOWN,APET_NORM,APET_POFT,APET_LAC,APET_TOATE,APET_MOFT,GRIDING_TEETH,TASTE_SALT,TASTE_"
        "SWEET,"
        "TASTE_SOUR,TASTE_AM,TASTE_SPICE,WC_NORM,WC_DIAR,WC_CONST,WC_ELIM,WC_OITA,HEM_Y",
        "QUESTIONARY_B,APET_LIKE_NOTES,APET_D_LIKE_NOTES,APET_SO_SO_NOTES,WC_DAY,WC_FORMAT,WC_COLOR_NOTES,"
        "WC_SMELL_NOTES"));
    t.push_back(formTable("QUESTIONARY_C",
        "DIG_GOOD,DIG_A_D,DIG_A_N,BAL_SUP,BAL_INF,BAL_MED,BAL_TOT,BAL_AFTER,BAL_BEFORE,BAL_FLAT,"
        "BAL_AMEL,TH_UP,TH_DOWN,TH_NORM,TH_W,TH_C,TH_ICE,TH_ACID,TH_WATER,TH_JUICE,TH_BEER",
        "QUESTIONARY_C"));
    t.push_back(formTable("QUESTIONARY_D",
        "SLEEP_GOOD,SLEEP_WEAK,SLEEP_PROF,SLEEP_HEAR,SLEEP_QUIET,SLEEP_LEFT,SLEEP_RIGHT,SLEEP_BACK,"
        "SLEEP_FACE,SLEEP_INV,SLEEP_DEZV,SLEEP_DOESNT,SLEEP_FEET,SLEEP_PIL,SLEEP_DREAM,SLEEP_NIGHT,"
        "SLEEP_PREM,SLEEP_SCR",
        "QUESTIONARY_D,SLEEP_WEAK_NOTES,SLEEP_DREAM_NOTES,SLEEP_NIGHT_NOTES,SLEEP_PREM_NOTES"));
    t.push_back(formTable("QUESTIONARY_E",
        "PERIOD_N_REG,PERIOD_BREAST,PERIOD_BACK,PERIOD_REG,PERIOD_THIRST,PERIOD_NERV,PERIOD_HEAD,"
        "PERIOD_PAIN",
        "QUESTIONARY_E,PERIOD_DAY_NOTES,PERIOD_AB_NOTES,PERIOD_INTR_NOTES,PERIOD_OVUL_NOTES,"
        "PERIOD_COL_NOTES,PERIOD_PMS_BEFORE_NOTES,PERIOD_PMS_AFTER_NOTES,PERIOD_PMS_DUR_NOTES"));
    t.push_back(formTable("QUESTIONARY_F",
        "FEAR_HEIGHT,FEAR_DARK,FEAR_SPACE,FEAR_EXAM,FEAR_INTERV,FEAR_CROWD,FEAR_DOES,FEAR_DOGS,"
        "FEAR_INSECTS,FEAR_SNAKE,FEAR_MICE,FEAR_AIR,FEAR_THIEF,FEAR_POUR,FEAR_CALM,FEAR_AP_CALM,"
        "FEAR_NERV,FEAR_DOESNT_SAY,FEAR_SAY,FEAR_SCREAM,FEAR_KILL",
        ""));
    t.push_back(formTable("QUESTIONARY_G",
        "CONS_LIKES,CONS_D_LIKE,CONS_AGRAV,CONS_PERF,CONS_GUILT,CONS_NERV,CONS_TIDY,CONS_ORD,"
        "CONS_PUNCT,CONS_INDEP,CONS_FOREIGN,CONS_AUT,CONS_MEN,CONS_WOMEN,CONS_BOSS,CONS__D_BOSS,"
        "CONS_COR,CONS_NEW,CONS_CHANGE,CONS_FOND,CONS_NOISE",
        "QUESTIONARY_G,CONS_FOND_NOTES,CONS_NOISE_NOTES"));
    t.push_back(formTable("QUESTIONARY_H",
        "SMELL_OK,SMELL_GIVE,SMELL_REC,SMELL_BOTH,SMELL_TIGHT_NECK,SMELL_TIGHT_BODY,SMELL_CRY,SMELL_N_CRY,"
        "SMELL_MOV,"
        "SMELL_CRY_MISS,SMELL_FAM,SMELL_CAR,SMELL_EMOT,SMELL_MATER,PREFERE_ALONE,PREFERE_COMPANY,OPTIMIST,"
        "PESIMIST,"
        "BUSY_HOME,BUSY_WORK,INCONSISTENT,JALOUSE,SUSPICIOUS,CRITICAL,AMBITIOUS,THEORYZING,NOT_CONFIDENT,"
        "TALKATIVE,"
        "ANXIETY_COMPANY,ANXIETY_ANYTHING,ANXIETY_FEELING,ANXIETY_CAUTIOUS,ANXIETY_INDECISSIVE,ANXIETY_"
        "HEALTH,"
        "PASSION,SEDENTARY,CHANGEABLE,SELF_CONFIDENT,ANXIETY_LATE,PREFERE_ALONE_BUT,ACTIVE",
        "QUESTIONARY_7,SMELL_OK_NOTES,SMELL_BEST_NOTES,SMELL_WORST_NOTES"));
    t.push_back(makeTable(
        "DYNAMIC_FIELDS", { col("PATIENT_ID", K::Id), col("NAME", K::Text), col("VALUE", K::Text) }));

    // Consultation notes and their items.
    t.push_back(makeTable("CONSULTATIONS",
        { col("PATIENT_ID", K::Id), col("CHAR_POS", K::Integer), col("DATE", K::Date),
            col("NEXT_DATE", K::Date) }));
    t.push_back(makeTable("IMAGES",
        { col("PATIENT_ID", K::Id), col("CHAR_POS", K::Integer), col("CONSULTATION_ID", K::Id),
            col("FILE_PATH", K::Text) }));
    {
        TableDef media = mediaTable("MEDIA");
        media.absentWhenPresent = { QStringLiteral("AUDIO") };
        t.push_back(std::move(media));
        TableDef audio = mediaTable("AUDIO");
        audio.legacyOnly = true;
        t.push_back(std::move(audio));
    }
    t.push_back(makeTable(
        "MARKERS", { col("PARENT_FILE", K::Text), col("MARKER", K::Integer), col("MARKER_DESC", K::Text) }));
    t.push_back(makeTable("INHALATIONS",
        { col("PATIENT_ID", K::Id), col("CHAR_POS", K::Integer), col("CONSULTATION_ID", K::Id),
            col("MEDICINE_ID", K::Id), col("DILUTION_ID", K::Id), col("SEQUENCE", K::Text) }));

    // Remedies, prescriptions, orders and stock.
    t.push_back(makeTable("PRESCRIPTIONS",
        { col("PATIENT_ID", K::Id), col("CONSULTATION_ID", K::Id), col("CHAR_POS", K::Integer),
            col("MEDICINE_ID", K::Id), col("DILUTION_ID", K::Id), col("STATUS_ID", K::Id, 1),
            col("QUANTITY", K::Integer, 1), col("INVOICING_ID", K::Id), col("CREATION_DT", K::DateTime),
            col("ORDER_ID", K::Id, 0) }));
    t.push_back(makeTable("STATUS", { col("NAME", K::Text), col("COLOR", K::Integer) }));
    t.push_back(makeTable("MEDICINES",
        { nocase("NAME"), col("PRICE", K::Money), col("PROVIDER_PRICE", K::Money),
            col("PROVIDER_ID", K::Id, 0), col("DESCRIPTION", K::Text) }));
    t.push_back(makeTable("DILUTION", { nocase("VALUE") }));
    t.push_back(makeTable("PROVIDERS",
        { nocase("NAME"), col("ADDRESS", K::Text), col("EMAIL", K::Text), col("DESCRIPTION", K::Text) }));
    t.push_back(makeTable("ORDERS",
        { col("CREATION_DT", K::DateTime), col("SENT_DT", K::DateTime), col("DESC", K::Text),
            col("STATUS_ID", K::Id, 1), col("PROVIDER_ID", K::Id, 0), col("ESTIMATED_PRICE", K::Money) }));
    t.push_back(makeTable("ORDER_ITEMS",
        { col("ORDER_ID", K::Id), col("MEDICINE_ID", K::Id), col("DILUTION_ID", K::Id),
            col("QUANTITY", K::Integer), col("ESTIMATED_PRICE", K::Money) }));
    t.push_back(makeTable("STOCKS",
        { col("MEDICINE_ID", K::Id), col("DILUTION_ID", K::Id), col("STOCK", K::Integer),
            col("STOCK_THRESHOLD", K::Integer), col("REPLENISH_QUANTITY", K::Integer),
            col("PREDICTED", K::Integer) }));

    // Finance.
    t.push_back(makeTable("INVOICING",
        { col("PATIENT_ID", K::Id), col("ACTIVE", K::Bool, 1), col("FEE", K::Bool, 0),
            col("IS_PRESC", K::Bool, 0), col("DESCRIPTION", K::Text), col("DT_STAMP", K::DateTime),
            col("AMOUNT", K::Money), col("AMOUNT_TAX1", K::Money), col("AMOUNT_TAX2", K::Money) }));
    t.push_back(makeTable("INVOICES",
        { col("PATIENT_ID", K::Id), col("AMOUNT", K::Money), col("DT_STAMP", K::DateTime),
            col("INFO", K::Text), col("TYPE", K::Text) }));
    t.push_back(makeTable("PAYMENTS",
        { col("PATIENT_ID", K::Id), col("AMOUNT", K::Money), col("PAYMENT_DT", K::DateTime),
            col("TYPE_ID", K::Id), col("DESCRIPTION", K::Text) }));
    t.push_back(makeTable("TYPE_PAYMENTS", { col("NAME", K::Text) }));
    t.push_back(makeTable("REPORTS",
        { col("NAME", K::Text), col("DESCRIPTION", K::Text), col("DATE_PARAM1", K::DateTime),
            col("BOOL_PARAM1", K::Bool, 0), col("INT_PARAM1", K::Integer), col("INT_PARAM2", K::Integer),
            col("CURR_PARAM1", K::Money), col("LONG_INT_PARAM1", K::Id), col("LONG_INT_PARAM2", K::Id),
            col("STR_PARAM1", K::Text), col("STR_PARAM2", K::Text) }));
    t.push_back(makeTable("OFFICE_DATA",
        { col("NAME", K::Text), col("ADDRESS", K::Text), col("POSTAL_CODE", K::Text), col("STATE", K::Text),
            col("COUNTRY", K::Text), col("OFFICE_PHONE", K::Text), col("HOME_PHONE", K::Text),
            col("FAX", K::Text), col("EMAIL", K::Text), col("EMAIL_FOOTER", K::Text), col("TAX1", K::Real),
            col("TAX2", K::Real) }));
    t.push_back(makeTable("APP_CONFIGURATION", { col("VALUE", K::Integer) }));

    // Every patient key, the keys the program filters by, remedy + dilution, and
    // the name fields of MAIN (the find dialog's prefix match).
    auto index = [this](const char *name, const char *tableName, QStringList columns, bool unique = false) {
        m_indexes.push_back(IndexDef {
            QString::fromLatin1(name), QString::fromLatin1(tableName), std::move(columns), unique });
    };
    const QString patient = QStringLiteral("PATIENT_ID");
    for (const char *child : { "COMES_FOR", "EMAILS", "PHONES", "DYNAMIC_FIELDS", "CONSULTATIONS", "IMAGES",
             "MEDIA", "INHALATIONS", "PRESCRIPTIONS", "INVOICING", "INVOICES", "PAYMENTS" }) {
        m_indexes.push_back(IndexDef { QStringLiteral("IX_%1_PATIENT_ID").arg(QLatin1String(child)),
            QString::fromLatin1(child), { patient }, false });
    }
    index("IX_ADDRESS_PATIENT_ID", "ADDRESS", { patient }, true);
    for (const char *form : { "MEDICAL_HISTORY", "QUESTIONARY_A", "QUESTIONARY_B", "QUESTIONARY_C",
             "QUESTIONARY_D", "QUESTIONARY_E", "QUESTIONARY_F", "QUESTIONARY_G", "QUESTIONARY_H" }) {
        m_indexes.push_back(IndexDef { QStringLiteral("IX_%1_CUSTOMER_REF").arg(QLatin1String(form)),
            QString::fromLatin1(form), { QStringLiteral("CUSTOMER_REF") }, false });
    }
    index("IX_ORDER_ITEMS_ORDER_ID", "ORDER_ITEMS", { QStringLiteral("ORDER_ID") });
    index("IX_PRESCRIPTIONS_ORDER_ID", "PRESCRIPTIONS", { QStringLiteral("ORDER_ID") });
    index("IX_MARKERS_PARENT_FILE", "MARKERS", { QStringLiteral("PARENT_FILE") });
    index("IX_STOCKS_REMEDY", "STOCKS", { QStringLiteral("MEDICINE_ID"), QStringLiteral("DILUTION_ID") });
    index("IX_PRESCRIPTIONS_REMEDY", "PRESCRIPTIONS",
        { QStringLiteral("MEDICINE_ID"), QStringLiteral("DILUTION_ID") });
    index("IX_MAIN_FIRST_NAME", "MAIN", { QStringLiteral("FIRST_NAME") });
    index("IX_MAIN_LAST_NAME", "MAIN", { QStringLiteral("LAST_NAME") });
    index("IX_MAIN_PARENT_ID", "MAIN", { QStringLiteral("PARENT_ID") });
    index("IX_MEDICINES_NAME", "MEDICINES", { QStringLiteral("NAME") });
    index("IX_PROVIDERS_NAME", "PROVIDERS", { QStringLiteral("NAME") });
    index("IX_DILUTION_VALUE", "DILUTION", { QStringLiteral("VALUE") });
}

const std::vector<SeedRow> &SeedRows()
{
    static const std::vector<SeedRow> rows = [] {
        std::vector<SeedRow> r;
        auto add = [&r](const char *tableName, std::vector<std::pair<QString, QVariant>> values) {
            r.push_back(SeedRow { QString::fromLatin1(tableName), std::move(values) });
        };
        const QString id = QStringLiteral("ID");
        const QString name = QStringLiteral("NAME");

        // Prescription and order states; colours are 0x00BBGGRR, light enough to
        // serve as row backgrounds.
        const struct
        {
            int id;
            const char *name;
            qint64 colour;
        } states[] = {
            { 1, "To be ordered", 0x00A0C8FF },
            { 2, "Ordered", 0x0096F0FF },
            { 3, "Sent", 0x00FFD7B4 },
            { 4, "Received", 0x00C8F0C8 },
            { 5, "From stock", 0x00FFDCDC },
            { 6, "Paid", 0x0096DC96 },
            { 7, "Provided by patient", 0x00D7D7D7 },
        };
        for (const auto &s : states)
            add("STATUS",
                { { id, s.id }, { name, QString::fromLatin1(s.name) },
                    { QStringLiteral("COLOR"), s.colour } });

        int n = 0;
        for (const char *type :
            { "Cash", "Check", "Credit Card", "Debit Card", "Bank Transfer", "Insurance" })
            add("TYPE_PAYMENTS", { { id, ++n }, { name, QString::fromLatin1(type) } });
        n = 0;
        for (const char *a : { "Mr.", "Mrs.", "Ms.", "Miss", "Dr." })
            add("APELATIV", { { id, ++n }, { QStringLiteral("APELATIV"), QString::fromLatin1(a) } });
        n = 0;
        for (const char *m : { "Single", "Married", "Divorced", "Widowed", "Separated" })
            add("MARITAL_STATUS",
                { { id, ++n }, { QStringLiteral("MARITAL_STATUS"), QString::fromLatin1(m) } });

        // Image quality (0..100) and media compression level (0..6).
        add("APP_CONFIGURATION", { { id, 1 }, { QStringLiteral("VALUE"), 50 } });
        add("APP_CONFIGURATION", { { id, 2 }, { QStringLiteral("VALUE"), 4 } });

        // The ID places a report in its menu group: General 5, 7, 10, 11, 12, 15, 18;
        // Finance 1, 6, 13, 16; Operation 4, 8, 9, 14. The two appointment reports
        // get IDs that no group offers: appointments are kept in the calendar's own
        // file, not in this database, so a database report cannot list them.
        const struct
        {
            int id;
            const char *name;
            const char *description;
        } reports[] = {
            { 1, "OUTSTANDING_BALANCE", "Patients with an outstanding balance" },
            { 2, "NEXT_APPOINTMENTS", "Next appointments" },
            { 3, "MISSED_APPOINTMENTS", "Missed appointments" },
            { 4, "PATIENTS_PRESC_ORDERED", "Patients with ordered prescriptions" },
            { 5, "ACTIVE_PATIENTS", "Active patients" },
            { 6, "MONEY_MADE", "Money received since a date" },
            { 7, "MALE_FEMALE_PATIENTS", "Male or female patients" },
            { 8, "PRESCRIPTIONS_NOT_YET_TAKEN", "Prescriptions not yet taken" },
            { 9, "PATIENTS_REMEDY", "Patients who received a remedy" },
            { 10, "PATIENTS_AGE", "Patients by age" },
            { 11, "NEW_PATIENTS", "New patients since a date" },
            { 12, "OLD_PATIENTS", "Patients not seen since a date" },
            { 13, "PATIENTS_PAID_AMOUNT", "Patients who paid more than an amount" },
            { 14, "PATIENTS_WITHOUT_REMEDIES", "Patients without remedies since a date" },
            { 15, "PATIENTS_LOST", "Patients lost since a date" },
            { 16, "SALES_TAX", "Sales taxes since a date" },
            { 18, "DYNAMIC_FIELDS_QUERY", "Patients by custom field" },
        };
        for (const auto &rep : reports) {
            add("REPORTS",
                { { id, rep.id }, { name, QString::fromLatin1(rep.name) },
                    { QStringLiteral("DESCRIPTION"), QString::fromLatin1(rep.description) } });
        }
        return r;
    }();
    return rows;
}

} // namespace Korbel
