#include "practice/SyntheticPractice.h"

#include "Korbel/DataSource.h"

#include <QtCore/QDate>
#include <QtCore/QFile>
#include <QtCore/QUuid>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlError>
#include <QtSql/QSqlQuery>

#include <cstdio>
#include <random>

namespace Bench {

namespace {

const char *const kFirst[] = { "Anna", "Andrew", "Maria", "John", "Elena", "Peter", "Sofia", "Michael",
    "Laura", "David", "Ioana", "Mihai", "Julia", "Thomas", "Clara", "Paul", "Irene", "Stefan", "Nora",
    "Lucas", "Emma", "Oliver", "Mia", "Noah", "Hannah", "Felix", "Lena", "Jonas", "Sara", "Ben", "Alice",
    "Victor", "Rosa", "Adrian", "Carmen", "Daniel", "Eva", "George", "Helena", "Ivan" };
const char *const kLast[] = { "Popescu", "Smith", "Müller", "Ionescu", "García", "Rossi", "Dubois", "Novak",
    "Jensen", "Kowalski", "Andersen", "Moreau", "Schmidt", "Brown", "Costa", "Fischer", "Weber", "Lee",
    "Martin", "Horvat", "Nagy", "Silva", "Bauer", "Wagner", "Lambert", "Young", "King", "Wright" };
const char *const kCities[]
    = { "Lyon", "Graz", "Cluj", "Porto", "Bern", "Gent", "Turku", "Brno", "Split", "Aarhus" };
const char *const kWords[] = { "headache", "worse", "evening", "better", "cold", "warm", "thirst", "anxiety",
    "sleep", "restless", "left", "side", "pain", "after", "eating", "desire", "salt", "fear", "dark" };

template<size_t N> const char *pick(std::mt19937 &rng, const char *const (&list)[N])
{
    return list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

QString isoDate(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString isoDateTime(const QDate &d, int hour)
{
    return isoDate(d) + QStringLiteral("T%1:15:00").arg(hour, 2, 10, QLatin1Char('0'));
}

// A statement prepared once and run many times.
class Insert
{
public:
    Insert(QSqlDatabase db, const QString &table, const QStringList &columns)
        : m_query(db)
    {
        QStringList quoted;
        QStringList marks;
        for (const QString &c : columns) {
            quoted << QLatin1Char('"') + c + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        m_ok = m_query.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(table, quoted.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        if (!m_ok)
            m_error = m_query.lastError().text();
    }
    qint64 run(const QVariantList &values)
    {
        if (!m_ok)
            return 0;
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values.at(i));
        if (!m_query.exec()) {
            m_ok = false;
            m_error = m_query.lastError().text();
            return 0;
        }
        return m_query.lastInsertId().toLongLong();
    }
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

private:
    QSqlQuery m_query;
    bool m_ok = false;
    QString m_error;
};

QByteArray notesText(std::mt19937 &rng, int averageBytes)
{
    const int target = std::uniform_int_distribution<int>(averageBytes / 2, averageBytes * 3 / 2)(rng);
    QByteArray rtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ");
    while (rtf.size() < target) {
        if (std::uniform_int_distribution<int>(0, 30)(rng) == 0)
            rtf += "\\par  \\par ";
        if (std::uniform_int_distribution<int>(0, 12)(rng) == 0)
            rtf += "\\b ";
        rtf += pick(rng, kWords);
        rtf += ' ';
        if (std::uniform_int_distribution<int>(0, 12)(rng) == 0)
            rtf += "\\b0 ";
    }
    rtf += "}";
    return rtf;
}

} // namespace

bool MakePractice(const QString &path, int patients, bool childRows)
{
    PracticeOptions options;
    options.patients = patients;
    options.childRows = childRows;
    QString error;
    if (!CreateSyntheticPractice(path, options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

const char *const *FirstNames(int *count)
{
    *count = static_cast<int>(std::size(kFirst));
    return kFirst;
}

bool CreateSyntheticPractice(const QString &path, const PracticeOptions &options, QString *error)
{
    for (const char *suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(path + QString::fromLatin1(suffix));
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        if (!source->Open(path)) {
            *error = source->GetErrorDescription();
            return false;
        }
    }
    const QString connection = QStringLiteral("practice-") + QUuid::createUuid().toString();
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            *error = db.lastError().text();
            return false;
        }
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = OFF"));
        db.transaction();
        std::mt19937 rng(options.seed);
        const QDate today = QDate::currentDate();

        Insert provider(db, QStringLiteral("PROVIDERS"),
            { QStringLiteral("NAME"), QStringLiteral("ADDRESS"), QStringLiteral("EMAIL") });
        for (int i = 0; i < options.providers; ++i)
            provider.run({ QStringLiteral("Provider %1").arg(i, 4, 10, QLatin1Char('0')),
                QStringLiteral("%1 Main Street").arg(i),
                QStringLiteral("orders%1@provider.example").arg(i) });
        Insert remedy(db, QStringLiteral("MEDICINES"),
            { QStringLiteral("NAME"), QStringLiteral("PRICE"), QStringLiteral("PROVIDER_PRICE"),
                QStringLiteral("PROVIDER_ID"), QStringLiteral("DESCRIPTION") });
        for (int i = 0; i < options.remedies; ++i)
            remedy.run({ QStringLiteral("Remedium %1 %2").arg(pick(rng, kWords)).arg(i),
                qint64(50000 + (i % 300) * 100), qint64(30000 + (i % 200) * 100),
                qint64(options.providers ? 1 + i % options.providers : 0),
                QStringLiteral("Synthetic remedy %1").arg(i) });
        Insert dilution(db, QStringLiteral("DILUTION"), { QStringLiteral("VALUE") });
        for (int i = 0; i < options.dilutions; ++i)
            dilution.run({ QStringLiteral("%1%2").arg(1 + i / 3).arg(QLatin1Char("CDK"[i % 3])) });
        Insert stock(db, QStringLiteral("STOCKS"),
            { QStringLiteral("MEDICINE_ID"), QStringLiteral("DILUTION_ID"), QStringLiteral("STOCK"),
                QStringLiteral("STOCK_THRESHOLD"), QStringLiteral("REPLENISH_QUANTITY"),
                QStringLiteral("PREDICTED") });
        for (int i = 0; i < options.stockRows && options.remedies > 0 && options.dilutions > 0; ++i)
            stock.run(
                { qint64(1 + i % options.remedies), qint64(1 + (i / options.remedies) % options.dilutions),
                    qint64(i % 20 - 3), qint64(5), qint64(10), qint64(0) });

        Insert patient(db, QStringLiteral("MAIN"),
            { QStringLiteral("APELATIV"), QStringLiteral("FIRST_NAME"), QStringLiteral("MIDDLE_NAME"),
                QStringLiteral("LAST_NAME"), QStringLiteral("DATE_OF_BIRTH"), QStringLiteral("SEX"),
                QStringLiteral("MARITAL_STATUS"), QStringLiteral("OCCUPATION"),
                QStringLiteral("MEDICAL_DOCTOR"), QStringLiteral("ACTIVE"), QStringLiteral("VIP"),
                QStringLiteral("HOM_INS"), QStringLiteral("HOM_INS_AMNT"), QStringLiteral("INSURANCE_INFO"),
                QStringLiteral("IMAGE_PATH"), QStringLiteral("MONTHLY_FEE"), QStringLiteral("NOTES") });
        Insert address(db, QStringLiteral("ADDRESS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("STREET_ADDRESS"), QStringLiteral("CITY"),
                QStringLiteral("POSTAL_CODE"), QStringLiteral("COUNTRY") });
        Insert email(db, QStringLiteral("EMAILS"), { QStringLiteral("PATIENT_ID"), QStringLiteral("EMAIL") });
        Insert phone(db, QStringLiteral("PHONES"), { QStringLiteral("PATIENT_ID"), QStringLiteral("PHONE") });
        Insert complaint(
            db, QStringLiteral("COMES_FOR"), { QStringLiteral("PATIENT_ID"), QStringLiteral("DESC") });
        Insert custom(db, QStringLiteral("DYNAMIC_FIELDS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("NAME"), QStringLiteral("VALUE") });
        Insert consultation(db, QStringLiteral("CONSULTATIONS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("CHAR_POS"), QStringLiteral("DATE") });
        Insert image(db, QStringLiteral("IMAGES"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("CHAR_POS"), QStringLiteral("CONSULTATION_ID"),
                QStringLiteral("FILE_PATH") });
        Insert media(db, QStringLiteral("MEDIA"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("CHAR_POS"), QStringLiteral("CONSULTATION_ID"),
                QStringLiteral("FILE_PATH"), QStringLiteral("IS_VIDEO") });
        Insert line(db, QStringLiteral("INHALATIONS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("CHAR_POS"), QStringLiteral("CONSULTATION_ID"),
                QStringLiteral("MEDICINE_ID"), QStringLiteral("DILUTION_ID"), QStringLiteral("SEQUENCE") });
        Insert invoicing(db, QStringLiteral("INVOICING"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("ACTIVE"), QStringLiteral("FEE"),
                QStringLiteral("IS_PRESC"), QStringLiteral("DESCRIPTION"), QStringLiteral("DT_STAMP"),
                QStringLiteral("AMOUNT"), QStringLiteral("AMOUNT_TAX1"), QStringLiteral("AMOUNT_TAX2") });
        Insert prescription(db, QStringLiteral("PRESCRIPTIONS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("CONSULTATION_ID"), QStringLiteral("CHAR_POS"),
                QStringLiteral("MEDICINE_ID"), QStringLiteral("DILUTION_ID"), QStringLiteral("STATUS_ID"),
                QStringLiteral("QUANTITY"), QStringLiteral("INVOICING_ID"), QStringLiteral("CREATION_DT") });
        Insert payment(db, QStringLiteral("PAYMENTS"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("AMOUNT"), QStringLiteral("PAYMENT_DT"),
                QStringLiteral("TYPE_ID"), QStringLiteral("DESCRIPTION") });
        Insert invoice(db, QStringLiteral("INVOICES"),
            { QStringLiteral("PATIENT_ID"), QStringLiteral("AMOUNT"), QStringLiteral("DT_STAMP"),
                QStringLiteral("TYPE") });
        Insert history(db, QStringLiteral("MEDICAL_HISTORY"),
            { QStringLiteral("CUSTOMER_REF"), QStringLiteral("HEAR_ABOUT"), QStringLiteral("ASTHMA"),
                QStringLiteral("WEIGHT_KG") });
        std::vector<std::unique_ptr<Insert>> forms;
        for (const char *form : { "QUESTIONARY_A", "QUESTIONARY_B", "QUESTIONARY_C", "QUESTIONARY_D",
                 "QUESTIONARY_E", "QUESTIONARY_F", "QUESTIONARY_G", "QUESTIONARY_H" })
            forms.push_back(std::make_unique<Insert>(
                db, QString::fromLatin1(form), QStringList { QStringLiteral("CUSTOMER_REF") }));

        for (int p = 0; p < options.patients && ok; ++p) {
            const QDate birth = today.addDays(-std::uniform_int_distribution<int>(365, 36500)(rng));
            const QString first = QString::fromUtf8(pick(rng, kFirst));
            const QString last = QString::fromUtf8(pick(rng, kLast));
            const qint64 id = patient.run({ qint64(1 + p % 5), first, QString(), last, isoDate(birth),
                qint64(p % 2), qint64(1 + p % 5), QStringLiteral("Occupation %1").arg(p % 50),
                QStringLiteral("Dr. %1").arg(pick(rng, kLast)), qint64(1), qint64(p % 17 == 0),
                qint64(p % 3 == 0), qint64(p % 3 == 0 ? 1500000 : 0), QString(), QString(),
                qint64(p % 10 == 0 ? 400000 : 0),
                options.childRows ? QVariant(notesText(rng, options.averageNotesBytes)) : QVariant() });
            ok = patient.ok();
            if (!options.childRows || !ok)
                continue;
            address.run(
                { id, QStringLiteral("%1 Linden Road").arg(p % 300), QString::fromUtf8(pick(rng, kCities)),
                    QStringLiteral("%1").arg(10000 + p % 80000), QStringLiteral("Europe") });
            email.run({ id, QStringLiteral("%1.%2@mail.example").arg(first.toLower()).arg(id) });
            phone.run({ id, QStringLiteral("+40 7%1").arg(id, 8, 10, QLatin1Char('0')) });
            if (p % 2 == 0)
                phone.run({ id, QStringLiteral("+40 2%1").arg(id, 8, 10, QLatin1Char('0')) });
            complaint.run(
                { id, QStringLiteral("%1 %2 since a long time").arg(pick(rng, kWords), pick(rng, kWords)) });
            complaint.run({ id, QStringLiteral("%1 %2").arg(pick(rng, kWords), pick(rng, kWords)) });
            custom.run({ id, QStringLiteral("Blood group"), QStringLiteral("A+") });
            history.run({ id, QStringLiteral("A friend"), qint64(p % 7 == 0),
                QStringLiteral("%1").arg(50 + p % 40) });
            for (auto &form : forms)
                form->run({ id });
            qint64 lastConsultation = 0;
            const int consultations = std::uniform_int_distribution<int>(2, 12)(rng);
            for (int c = 0; c < consultations; ++c) {
                const QDate day = today.addDays(-30 * (consultations - c));
                lastConsultation = consultation.run({ id, qint64(c * 400), isoDate(day) });
                for (int k = 0; k < 2; ++k) {
                    const qint64 inv = invoicing.run({ id, qint64(c % 3 != 0), qint64(0), qint64(1),
                        QStringLiteral("Invoicing item for a prescription"), isoDateTime(day, 10),
                        qint64(150000), qint64(10695), qint64(0) });
                    prescription.run({ id, lastConsultation, qint64(c * 400 + 20 + k),
                        qint64(1 + (p + k) % std::max(1, options.remedies)),
                        qint64(1 + c % std::max(1, options.dilutions)), qint64(1 + (c + k) % 7),
                        qint64(1 + k), inv, isoDateTime(day, 10) });
                }
                payment.run({ id, qint64(300000), isoDateTime(day, 11), qint64(1 + c % 6), QString() });
            }
            image.run({ id, qint64(30), lastConsultation,
                QStringLiteral("/practice/UserData/%1/Images/photo.jpg").arg(id) });
            media.run({ id, qint64(31), lastConsultation,
                QStringLiteral("/practice/UserData/%1/Media/20240101101010.wma").arg(id), qint64(0) });
            line.run({ id, qint64(32), lastConsultation, qint64(1 + p % std::max(1, options.remedies)),
                qint64(1), QStringLiteral("01012024;02012024;03012024;") });
            invoicing.run({ id, qint64(1), qint64(0), qint64(0), QStringLiteral("Consultation"),
                isoDateTime(today, 9), qint64(500000), qint64(35650), qint64(0) });
            invoice.run({ id, qint64(500000), isoDateTime(today, 9), QStringLiteral("GENERATED") });
            ok = prescription.ok() && invoicing.ok() && consultation.ok();
            if (!ok)
                *error = prescription.error() + invoicing.error() + consultation.error();
        }
        if (!ok && error->isEmpty())
            *error = patient.error();
        ok = ok && db.commit();
        if (!ok)
            db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace Bench
