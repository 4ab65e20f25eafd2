#include "reports/ReportDefinitions.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Korbel/ReadQuery.h"
#include "common/LocaleDates.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtCore/QSet>

#include <map>

namespace Reports {

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(Reports::Definitions)
};

// How the database keeps the values the queries compare and read; the one
// place that knows it. Dates are kept as ISO text ("yyyy-MM-dd", with
// "Thh:mm:ss" for a date and time): comparing with the bare day text orders
// both forms correctly (a stamp of that day is not less than the day), so
// "on or after D" is ">= D" and "before D" is "< D" for either kind of
// column. Money is kept as whole ten-thousandths; yes/no as a boolean.
namespace Stored {

QVariant Day(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QDate DateOf(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

QVariant Units(const QVariant &value)
{
    return value.isNull() ? qint64(0) : value.toLongLong();
}

QVariant Amount(Verdanta::Money amount)
{
    return amount.Units();
}

QVariant Yes(bool yes)
{
    return yes;
}

} // namespace Stored

// The prescription statuses the reports rely on.
constexpr int kStatusOrdered = 2;
constexpr int kStatusSent = 3;
constexpr int kStatusReceived = 4;
constexpr int kStatusFromStock = 5;

// "Last, First", either part alone when the other is empty.
QString PatientName(const QVariant &last, const QVariant &first)
{
    const QString l = last.toString().trimmed();
    const QString f = first.toString().trimmed();
    if (l.isEmpty() || f.isEmpty())
        return l.isEmpty() ? f : l;
    return l + QStringLiteral(", ") + f;
}

QString ShownDay(const QDate &date)
{
    return Verdanta::FormatLocaleDate(date);
}

QString MonthHeading(int yearMonth)
{
    const QDate first(yearMonth / 100, yearMonth % 100, 1);
    return QLocale().toString(first, QStringLiteral("MMMM yyyy"));
}

Column Col(const QString &title, CellKind kind, bool total = false)
{
    return Column { title, kind, total };
}

// One run of a report: its parameters, its sources and the table it fills.
struct Run
{
    const Parameters &p;
    const Sources &s;
    Table &t;
    QString *error;

    QDate Today() const { return s.now.date(); }

    bool Read(const QString &sql, const QVariantList &values, Korbel::ReadResult *result) const
    {
        if (Korbel::RunReadQuery(s.data, sql, values, result))
            return true;
        *error = result->error;
        return false;
    }

    // The rows of a query whose first two values are LAST_NAME, FIRST_NAME:
    // the patient's name, then the other values converted by the kinds.
    bool PatientRows(const QString &sql, const QVariantList &values, const std::vector<CellKind> &kinds) const
    {
        Korbel::ReadResult result;
        if (!Read(sql, values, &result))
            return false;
        t.rows.reserve(result.rows.size());
        for (const QVariantList &stored : result.rows) {
            QVariantList row { PatientName(stored.value(0), stored.value(1)) };
            for (size_t k = 0; k < kinds.size(); ++k)
                row << Cell(kinds[k], stored.value(static_cast<int>(k) + 2));
            t.rows.push_back(std::move(row));
        }
        return true;
    }

    static QVariant Cell(CellKind kind, const QVariant &stored)
    {
        switch (kind) {
        case CellKind::Date:
            return Stored::DateOf(stored);
        case CellKind::Money:
            return Stored::Units(stored);
        case CellKind::Integer:
        case CellKind::Key:
            return stored.isNull() ? QVariant() : QVariant(stored.toLongLong());
        case CellKind::YesNo:
            return stored.toLongLong() != 0;
        case CellKind::Time:
        case CellKind::Text:
            break;
        }
        return stored.isNull() ? QString() : stored.toString();
    }

    void AfterLine() const { t.parameters << Text::tr("After: %1").arg(ShownDay(p.date)); }
    void BeforeLine() const { t.parameters << Text::tr("Before: %1").arg(ShownDay(p.date)); }
};

// Names sort without regard to ASCII case, the same way on every engine
// (lower() folds ASCII letters only on both).
const QString kPatientOrder = QStringLiteral(" ORDER BY lower(m.LAST_NAME), lower(m.FIRST_NAME), m.ID");
const QString kVisits = QStringLiteral(
    "JOIN (SELECT PATIENT_ID, MIN(DATE) AS FIRST_SEEN, MAX(DATE) AS LAST_SEEN, COUNT(*) AS VISITS "
    "FROM CONSULTATIONS GROUP BY PATIENT_ID) c ON c.PATIENT_ID = m.ID ");
const QString kLastSeen
    = QStringLiteral("LEFT JOIN (SELECT PATIENT_ID, MAX(DATE) AS LAST_SEEN FROM CONSULTATIONS "
                     "GROUP BY PATIENT_ID) c ON c.PATIENT_ID = m.ID ");
const QString kItemTotal
    = QStringLiteral("COALESCE(AMOUNT, 0) + COALESCE(AMOUNT_TAX1, 0) + COALESCE(AMOUNT_TAX2, 0)");

bool OutstandingBalance(const Run &r)
{
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text),
        Col(Text::tr("Unpaid items"), CellKind::Integer, true),
        Col(Text::tr("Unpaid"), CellKind::Money, true), Col(Text::tr("Payments"), CellKind::Money, true),
        Col(Text::tr("Balance"), CellKind::Money, true) };
    r.t.countLabel = Text::tr("Patients: %1");
    const QString sql
        = QStringLiteral(
              "SELECT m.LAST_NAME, m.FIRST_NAME, u.ITEMS, u.UNPAID, COALESCE(p.RECEIVED, 0), "
              "COALESCE(p.RECEIVED, 0) - c.CHARGED FROM MAIN m "
              "JOIN (SELECT PATIENT_ID, SUM(CASE WHEN %1 <> 0 THEN 1 ELSE 0 END) AS ITEMS, SUM(%1) AS UNPAID "
              "FROM INVOICING WHERE ACTIVE = ? GROUP BY PATIENT_ID) u ON u.PATIENT_ID = m.ID "
              "JOIN (SELECT PATIENT_ID, SUM(%1) AS CHARGED FROM INVOICING GROUP BY PATIENT_ID) c "
              "ON c.PATIENT_ID = m.ID "
              "LEFT JOIN (SELECT PATIENT_ID, SUM(COALESCE(AMOUNT, 0)) AS RECEIVED FROM PAYMENTS GROUP BY "
              "PATIENT_ID) p "
              "ON p.PATIENT_ID = m.ID WHERE u.UNPAID > 0")
              .arg(kItemTotal)
        + kPatientOrder;
    return r.PatientRows(
        sql, { Stored::Yes(true) }, { CellKind::Integer, CellKind::Money, CellKind::Money, CellKind::Money });
}

bool ActivePatients(const Run &r)
{
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Date of birth"), CellKind::Date),
        Col(Text::tr("Last consultation"), CellKind::Date) };
    r.t.countLabel = Text::tr("Patients: %1");
    return r.PatientRows(
        QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, m.DATE_OF_BIRTH, c.LAST_SEEN FROM MAIN m ")
            + kLastSeen + QStringLiteral("WHERE m.ACTIVE = ?") + kPatientOrder,
        { Stored::Yes(true) }, { CellKind::Date, CellKind::Date });
}

bool MaleFemalePatients(const Run &r)
{
    r.t.parameters << (r.p.flag ? Text::tr("Male patients") : Text::tr("Female patients"));
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Date of birth"), CellKind::Date),
        Col(Text::tr("Active"), CellKind::YesNo), Col(Text::tr("Last consultation"), CellKind::Date) };
    r.t.countLabel = Text::tr("Patients: %1");
    // SEX is 1 for a man and 0 for a woman.
    return r.PatientRows(
        QStringLiteral(
            "SELECT m.LAST_NAME, m.FIRST_NAME, m.DATE_OF_BIRTH, m.ACTIVE, c.LAST_SEEN FROM MAIN m ")
            + kLastSeen + QStringLiteral("WHERE m.SEX = ?") + kPatientOrder,
        { qint64(r.p.flag ? 1 : 0) }, { CellKind::Date, CellKind::YesNo, CellKind::Date });
}

bool PatientsAge(const Run &r)
{
    const int from = std::clamp(std::min(r.p.int1, r.p.int2), 0, 200);
    const int to = std::clamp(std::max(r.p.int1, r.p.int2), 0, 200);
    r.t.parameters << Text::tr("Between %1 and %2 year(s)").arg(from).arg(to);
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Date of birth"), CellKind::Date),
        Col(Text::tr("Age"), CellKind::Integer) };
    r.t.countLabel = Text::tr("Patients: %1");
    // Aged at least 'from': born on or before today 'from' years ago; aged at
    // most 'to': born after today 'to' + 1 years ago. The earliest date the
    // record offers stands for a birth date not given.
    const QDate today = r.Today();
    const QDate youngest = today.addYears(-from);
    const QDate oldest = today.addYears(-(to + 1));
    if (!r.PatientRows(
            QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, m.DATE_OF_BIRTH FROM MAIN m "
                           "WHERE m.DATE_OF_BIRTH <= ? AND m.DATE_OF_BIRTH > ? AND m.DATE_OF_BIRTH > ?")
                + kPatientOrder,
            { Stored::Day(youngest), Stored::Day(oldest), Stored::Day(QDate(1800, 1, 1)) },
            { CellKind::Date }))
        return false;
    for (QVariantList &row : r.t.rows) {
        const QDate born = row.value(1).toDate();
        int age = today.year() - born.year();
        if (born.addYears(age) > today)
            --age;
        row << qint64(age);
    }
    return true;
}

bool NewPatients(const Run &r)
{
    r.AfterLine();
    r.t.columns
        = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("First consultation"), CellKind::Date),
              Col(Text::tr("Consultations"), CellKind::Integer, true) };
    r.t.countLabel = Text::tr("Patients: %1");
    return r.PatientRows(
        QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, c.FIRST_SEEN, c.VISITS FROM MAIN m ") + kVisits
            + QStringLiteral("WHERE c.FIRST_SEEN >= ? ORDER BY c.FIRST_SEEN, lower(m.LAST_NAME), "
                             "lower(m.FIRST_NAME), m.ID"),
        { Stored::Day(r.p.date) }, { CellKind::Date, CellKind::Integer });
}

// Patients by the span of their consultations: active or not, and a
// condition on the last one.
bool PatientsBySpan(const Run &r, bool active, const QString &lastSeen)
{
    r.t.columns
        = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("First consultation"), CellKind::Date),
              Col(Text::tr("Last consultation"), CellKind::Date),
              Col(Text::tr("Consultations"), CellKind::Integer, true) };
    r.t.countLabel = Text::tr("Patients: %1");
    return r.PatientRows(
        QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, c.FIRST_SEEN, c.LAST_SEEN, c.VISITS FROM MAIN m ")
            + kVisits + QStringLiteral("WHERE m.ACTIVE = ? AND c.LAST_SEEN %1 ?").arg(lastSeen)
            + QStringLiteral(" ORDER BY c.LAST_SEEN, lower(m.LAST_NAME), lower(m.FIRST_NAME), m.ID"),
        { Stored::Yes(active), Stored::Day(r.p.date) },
        { CellKind::Date, CellKind::Date, CellKind::Integer });
}

bool OldPatients(const Run &r)
{
    r.BeforeLine();
    return PatientsBySpan(r, true, QStringLiteral("<"));
}

bool PatientsLost(const Run &r)
{
    r.AfterLine();
    return PatientsBySpan(r, false, QStringLiteral(">="));
}

bool PatientsWithoutRemedies(const Run &r)
{
    r.AfterLine();
    r.t.columns
        = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Last prescription"), CellKind::Date) };
    r.t.countLabel = Text::tr("Patients: %1");
    return r.PatientRows(
        QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, r.LAST_PRESCRIBED FROM MAIN m "
                       "LEFT JOIN (SELECT PATIENT_ID, MAX(CREATION_DT) AS LAST_PRESCRIBED "
                       "FROM PRESCRIPTIONS GROUP BY PATIENT_ID) r ON r.PATIENT_ID = m.ID "
                       "WHERE m.ACTIVE = ? AND (r.LAST_PRESCRIBED IS NULL OR r.LAST_PRESCRIBED < ?)")
            + kPatientOrder,
        { Stored::Yes(true), Stored::Day(r.p.date) }, { CellKind::Date });
}

bool PatientsPaidAmount(const Run &r)
{
    r.t.parameters << Text::tr("After: %1, more than %2")
                          .arg(ShownDay(r.p.date), Verdanta::FormatMoneyForDisplay(r.p.amount));
    r.t.columns
        = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Payments"), CellKind::Integer, true),
              Col(Text::tr("Last payment"), CellKind::Date), Col(Text::tr("Paid"), CellKind::Money, true) };
    r.t.countLabel = Text::tr("Patients: %1");
    return r.PatientRows(
        QStringLiteral(
            "SELECT m.LAST_NAME, m.FIRST_NAME, COUNT(*), MAX(p.PAYMENT_DT), SUM(COALESCE(p.AMOUNT, 0)) "
            "FROM PAYMENTS p JOIN MAIN m ON m.ID = p.PATIENT_ID WHERE p.PAYMENT_DT >= ? "
            "GROUP BY m.ID, m.LAST_NAME, m.FIRST_NAME HAVING SUM(COALESCE(p.AMOUNT, 0)) > ?")
            + kPatientOrder,
        { Stored::Day(r.p.date), Stored::Amount(r.p.amount) },
        { CellKind::Integer, CellKind::Date, CellKind::Money });
}

// Rows summed by month and by a second key: each entry is the number of
// source rows and the sums of its amounts.
struct MonthSums
{
    qint64 count = 0;
    std::vector<qint64> sums;
};
using MonthKey = std::pair<int, int>; // yyyymm, kind

void AddMonthRows(Table &t, const std::map<MonthKey, MonthSums> &months, const QStringList &kindNames)
{
    for (const auto &[key, sums] : months) {
        QVariantList row { MonthHeading(key.first), qint64(key.first), kindNames.value(key.second),
            sums.count };
        for (qint64 sum : sums.sums)
            row << sum;
        t.rows.push_back(std::move(row));
    }
}

int YearMonth(const QDate &date)
{
    return date.year() * 100 + date.month();
}

bool MoneyMade(const Run &r)
{
    r.AfterLine();
    r.t.columns = { Col(Text::tr("Month"), CellKind::Text), Col(QString(), CellKind::Key),
        Col(Text::tr("Type"), CellKind::Text), Col(Text::tr("Payments"), CellKind::Integer, true),
        Col(Text::tr("Amount"), CellKind::Money, true) };
    r.t.groupColumn = 0;
    r.t.groupKey = 1;
    Korbel::ReadResult result;
    if (!r.Read(QStringLiteral("SELECT p.PAYMENT_DT, t.NAME, p.AMOUNT FROM PAYMENTS p "
                               "LEFT JOIN TYPE_PAYMENTS t ON t.ID = p.TYPE_ID WHERE p.PAYMENT_DT >= ?"),
            { Stored::Day(r.p.date) }, &result))
        return false;
    // Types in name order, payments without a known type last.
    QStringList types;
    for (const QVariantList &row : result.rows)
        types << row.value(1).toString();
    types.removeDuplicates();
    types.sort(Qt::CaseInsensitive);
    if (types.removeAll(QString()) > 0)
        types << QString();
    QHash<QString, int> typeIndex;
    for (int i = 0; i < types.size(); ++i)
        typeIndex.insert(types[i], i);
    std::map<MonthKey, MonthSums> months;
    for (const QVariantList &row : result.rows) {
        MonthSums &entry
            = months[{ YearMonth(Stored::DateOf(row.value(0))), typeIndex.value(row.value(1).toString()) }];
        entry.sums.resize(1, 0);
        ++entry.count;
        entry.sums[0] += Stored::Units(row.value(2)).toLongLong();
    }
    QStringList names = types;
    if (!names.isEmpty() && names.last().isEmpty())
        names.last() = Text::tr("(no type)");
    AddMonthRows(r.t, months, names);
    return true;
}

bool SalesTax(const Run &r)
{
    r.AfterLine();
    r.t.columns = { Col(Text::tr("Month"), CellKind::Text), Col(QString(), CellKind::Key),
        Col(Text::tr("Charged for"), CellKind::Text), Col(Text::tr("Items"), CellKind::Integer, true),
        Col(Text::tr("Amount"), CellKind::Money, true), Col(Text::tr("Tax 1"), CellKind::Money, true),
        Col(Text::tr("Tax 2"), CellKind::Money, true) };
    r.t.groupColumn = 0;
    r.t.groupKey = 1;
    Korbel::ReadResult result;
    if (!r.Read(
            QStringLiteral("SELECT DT_STAMP, FEE, IS_PRESC, AMOUNT, AMOUNT_TAX1, AMOUNT_TAX2 FROM INVOICING "
                           "WHERE DT_STAMP >= ?"),
            { Stored::Day(r.p.date) }, &result))
        return false;
    enum Kind { DuePayment, MonthlyFee, Prescription };
    std::map<MonthKey, MonthSums> months;
    for (const QVariantList &row : result.rows) {
        const Kind kind = row.value(2).toLongLong() != 0 ? Prescription
            : row.value(1).toLongLong() != 0             ? MonthlyFee
                                                         : DuePayment;
        MonthSums &entry = months[{ YearMonth(Stored::DateOf(row.value(0))), kind }];
        entry.sums.resize(3, 0);
        ++entry.count;
        for (int i = 0; i < 3; ++i)
            entry.sums[static_cast<size_t>(i)] += Stored::Units(row.value(3 + i)).toLongLong();
    }
    AddMonthRows(
        r.t, months, { Text::tr("Due payments"), Text::tr("Monthly fees"), Text::tr("Prescriptions") });
    return true;
}

const QString kPrescriptionJoins = QStringLiteral(
    "FROM PRESCRIPTIONS p JOIN MAIN m ON m.ID = p.PATIENT_ID "
    "LEFT JOIN MEDICINES md ON md.ID = p.MEDICINE_ID LEFT JOIN DILUTION d ON d.ID = p.DILUTION_ID "
    "LEFT JOIN STATUS s ON s.ID = p.STATUS_ID ");
const QString kPrescriptionOrder
    = QStringLiteral(" ORDER BY lower(m.LAST_NAME), lower(m.FIRST_NAME), m.ID, p.CREATION_DT, p.ID");

// Prescriptions in two statuses, grouped by patient; 'priced' adds the
// price charged for each (its invoicing item, taxes included).
bool PrescriptionsByPatient(const Run &r, int status1, int status2, bool priced)
{
    r.t.columns = { Col(QString(), CellKind::Key), Col(Text::tr("Patient"), CellKind::Text),
        Col(Text::tr("Remedy"), CellKind::Text), Col(Text::tr("Quantity"), CellKind::Integer, true),
        Col(Text::tr("Status"), CellKind::Text), Col(Text::tr("Prescribed"), CellKind::Date) };
    r.t.groupColumn = 1;
    r.t.groupKey = 0;
    r.t.countLabel = Text::tr("Prescriptions: %1");
    QString sql
        = QStringLiteral("SELECT m.ID, m.LAST_NAME, m.FIRST_NAME, md.NAME, d.VALUE, p.QUANTITY, s.NAME, "
                         "p.CREATION_DT, p.ORDER_ID");
    if (priced) {
        r.t.columns.push_back(Col(Text::tr("Price"), CellKind::Money, true));
        sql += QStringLiteral(
                   ", COALESCE(i.AMOUNT, 0) + COALESCE(i.AMOUNT_TAX1, 0) + COALESCE(i.AMOUNT_TAX2, 0) ")
            + kPrescriptionJoins + QStringLiteral("LEFT JOIN INVOICING i ON i.ID = p.INVOICING_ID ");
    } else {
        r.t.columns.push_back(Col(Text::tr("Order"), CellKind::Text));
        sql += QStringLiteral(" ") + kPrescriptionJoins;
    }
    sql += QStringLiteral("WHERE p.STATUS_ID IN (?, ?)") + kPrescriptionOrder;
    Korbel::ReadResult result;
    if (!r.Read(sql, { qint64(status1), qint64(status2) }, &result))
        return false;
    for (const QVariantList &s : result.rows) {
        const QString remedy = (s.value(3).toString() + QLatin1Char(' ') + s.value(4).toString()).trimmed();
        QVariantList row { s.value(0).toLongLong(), PatientName(s.value(1), s.value(2)), remedy,
            s.value(5).toLongLong(), s.value(6).toString(), Stored::DateOf(s.value(7)) };
        if (priced)
            row << Stored::Units(s.value(9));
        else
            row << (s.value(8).toLongLong() != 0 ? s.value(8).toString() : QString());
        r.t.rows.push_back(std::move(row));
    }
    return true;
}

bool PatientsPrescriptionsOrdered(const Run &r)
{
    return PrescriptionsByPatient(r, kStatusOrdered, kStatusSent, false);
}

bool PrescriptionsNotYetTaken(const Run &r)
{
    return PrescriptionsByPatient(r, kStatusReceived, kStatusFromStock, true);
}

// The name of one row of a reference table, empty when there is none.
QString ReferenceName(const Run &r, const QString &table, const QString &field, qint64 id)
{
    Korbel::ReadResult result;
    if (!Korbel::RunReadQuery(
            r.s.data, QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(field, table), { id }, &result)
        || result.rows.empty())
        return {};
    return result.rows.front().value(0).toString();
}

bool PatientsRemedy(const Run &r)
{
    const QString remedy = ReferenceName(r, QStringLiteral("MEDICINES"), QStringLiteral("NAME"), r.p.long1);
    const QString dilution = r.p.long2 != 0
        ? ReferenceName(r, QStringLiteral("DILUTION"), QStringLiteral("VALUE"), r.p.long2)
        : Text::tr("any dilution");
    r.t.parameters << Text::tr("Remedy: %1, %2").arg(remedy, dilution);
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Dilution"), CellKind::Text),
        Col(Text::tr("Quantity"), CellKind::Integer, true), Col(Text::tr("Status"), CellKind::Text),
        Col(Text::tr("Prescribed"), CellKind::Date) };
    r.t.countLabel = Text::tr("Prescriptions: %1");
    QString sql
        = QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, d.VALUE, p.QUANTITY, s.NAME, p.CREATION_DT ")
        + kPrescriptionJoins + QStringLiteral("WHERE p.MEDICINE_ID = ?");
    QVariantList values { r.p.long1 };
    // No dilution chosen: every dilution of the remedy.
    if (r.p.long2 != 0) {
        sql += QStringLiteral(" AND p.DILUTION_ID = ?");
        values << r.p.long2;
    }
    return r.PatientRows(sql + kPrescriptionOrder, values,
        { CellKind::Text, CellKind::Integer, CellKind::Text, CellKind::Date });
}

bool CustomFieldQuery(const Run &r)
{
    r.t.parameters << Text::tr("\"%1\" contains \"%2\"").arg(r.p.str1, r.p.str2);
    r.t.columns = { Col(Text::tr("Patient"), CellKind::Text), Col(r.p.str1, CellKind::Text) };
    r.t.countLabel = Text::tr("Patients: %1");
    if (!r.PatientRows(QStringLiteral("SELECT m.LAST_NAME, m.FIRST_NAME, f.VALUE FROM DYNAMIC_FIELDS f "
                                      "JOIN MAIN m ON m.ID = f.PATIENT_ID WHERE f.NAME = ?")
                + kPatientOrder,
            { r.p.str1 }, { CellKind::Text }))
        return false;
    // "Contains" ignores case in every script, which the databases' LIKE does not.
    const QString wanted = r.p.str2.trimmed();
    std::erase_if(r.t.rows, [&wanted](const QVariantList &row) {
        return !row.value(1).toString().contains(wanted, Qt::CaseInsensitive);
    });
    return true;
}

// Appointments of the book that pass the filter, in time order, with the
// names of their patients.
struct Appointment
{
    Calendar::Event event;
    QString patient;
};

bool ReadAppointments(const Run &r, const std::function<bool(const Calendar::Event &)> &keep,
    std::vector<Appointment> *appointments)
{
    QList<Calendar::Event> events;
    if (!Calendar::AppointmentBook::readEvents(r.s.appointmentsPath, &events, r.error))
        return false;
    QHash<qint64, QString> names;
    for (const Calendar::Event &event : std::as_const(events)) {
        if (!keep(event))
            continue;
        if (event.patientId != 0 && !names.contains(event.patientId)) {
            Korbel::ReadResult result;
            if (!r.Read(QStringLiteral("SELECT LAST_NAME, FIRST_NAME FROM MAIN WHERE ID = ?"),
                    { event.patientId }, &result))
                return false;
            names.insert(event.patientId,
                result.rows.empty() ? QString()
                                    : PatientName(result.rows[0].value(0), result.rows[0].value(1)));
        }
        appointments->push_back(Appointment { event, names.value(event.patientId) });
    }
    std::stable_sort(appointments->begin(), appointments->end(),
        [](const Appointment &a, const Appointment &b) { return a.event.start < b.event.start; });
    return true;
}

QString TimeSpan(const Calendar::Event &event)
{
    if (event.allDay)
        return Text::tr("All day");
    const QLocale locale;
    return Text::tr("%1 - %2").arg(locale.toString(event.start.time(), QLocale::ShortFormat),
        locale.toString(event.end.time(), QLocale::ShortFormat));
}

void AppointmentColumns(Table &t)
{
    t.columns = { Col(Text::tr("Day"), CellKind::Date), Col(Text::tr("Time"), CellKind::Text),
        Col(Text::tr("Patient"), CellKind::Text), Col(Text::tr("Subject"), CellKind::Text),
        Col(Text::tr("Location"), CellKind::Text) };
    t.groupColumn = 0;
    t.countLabel = Text::tr("Appointments: %1");
}

void AddAppointmentRows(Table &t, const std::vector<Appointment> &appointments)
{
    for (const Appointment &a : appointments) {
        t.rows.push_back(
            { a.event.start.date(), TimeSpan(a.event), a.patient, a.event.subject, a.event.location });
    }
}

bool NextAppointments(const Run &r)
{
    r.BeforeLine();
    AppointmentColumns(r.t);
    // From now up to the end of the chosen day; today's all-day appointments count.
    const QDateTime now = r.s.now;
    const QDateTime end(r.p.date.addDays(1), QTime(0, 0));
    std::vector<Appointment> appointments;
    if (!ReadAppointments(
            r,
            [&](const Calendar::Event &e) {
                const bool upcoming = e.allDay ? e.start.date() >= now.date() : e.start >= now;
                return upcoming && e.start < end;
            },
            &appointments))
        return false;
    AddAppointmentRows(r.t, appointments);
    return true;
}

bool MissedAppointments(const Run &r)
{
    r.AfterLine();
    AppointmentColumns(r.t);
    // The days each patient came since the date: an appointment of a patient
    // with no consultation on its day was missed.
    Korbel::ReadResult seen;
    if (!r.Read(QStringLiteral("SELECT PATIENT_ID, DATE FROM CONSULTATIONS WHERE DATE >= ?"),
            { Stored::Day(r.p.date) }, &seen))
        return false;
    QSet<QPair<qint64, QDate>> visits;
    for (const QVariantList &row : seen.rows)
        visits.insert({ row.value(0).toLongLong(), Stored::DateOf(row.value(1)) });
    const QDateTime now = r.s.now;
    std::vector<Appointment> appointments;
    if (!ReadAppointments(
            r,
            [&](const Calendar::Event &e) {
                return e.patientId != 0 && e.start.date() >= r.p.date && e.end <= now
                    && !visits.contains({ e.patientId, e.start.date() });
            },
            &appointments))
        return false;
    AddAppointmentRows(r.t, appointments);
    return true;
}

struct Definition
{
    const char *name;
    Ask ask;
    const char *title;
    bool (*build)(const Run &);
};

const Definition kDefinitions[] = {
    { "OUTSTANDING_BALANCE", Ask::Nothing, QT_TRANSLATE_NOOP("Reports::Definitions", "Outstanding balances"),
        &OutstandingBalance },
    { "NEXT_APPOINTMENTS", Ask::DateBefore, QT_TRANSLATE_NOOP("Reports::Definitions", "Next appointments"),
        &NextAppointments },
    { "MISSED_APPOINTMENTS", Ask::DateAfter, QT_TRANSLATE_NOOP("Reports::Definitions", "Missed appointments"),
        &MissedAppointments },
    { "PATIENTS_PRESC_ORDERED", Ask::Nothing,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients with ordered prescriptions"),
        &PatientsPrescriptionsOrdered },
    { "ACTIVE_PATIENTS", Ask::Nothing, QT_TRANSLATE_NOOP("Reports::Definitions", "Active patients"),
        &ActivePatients },
    { "MONEY_MADE", Ask::DateAfter, QT_TRANSLATE_NOOP("Reports::Definitions", "Money received"), &MoneyMade },
    { "MALE_FEMALE_PATIENTS", Ask::Gender,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Male or female patients"), &MaleFemalePatients },
    { "PRESCRIPTIONS_NOT_YET_TAKEN", Ask::Nothing,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Prescriptions not yet taken"), &PrescriptionsNotYetTaken },
    { "PATIENTS_REMEDY", Ask::Remedy,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients who received a remedy"), &PatientsRemedy },
    { "PATIENTS_AGE", Ask::AgeRange, QT_TRANSLATE_NOOP("Reports::Definitions", "Patients by age"),
        &PatientsAge },
    { "NEW_PATIENTS", Ask::DateAfter, QT_TRANSLATE_NOOP("Reports::Definitions", "New patients"),
        &NewPatients },
    { "OLD_PATIENTS", Ask::DateBefore,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients not seen since a date"), &OldPatients },
    { "PATIENTS_PAID_AMOUNT", Ask::DateAndAmount,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients who paid more than an amount"),
        &PatientsPaidAmount },
    { "PATIENTS_WITHOUT_REMEDIES", Ask::DateAfter,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients without remedies"), &PatientsWithoutRemedies },
    { "PATIENTS_LOST", Ask::DateAfter, QT_TRANSLATE_NOOP("Reports::Definitions", "Patients lost"),
        &PatientsLost },
    { "SALES_TAX", Ask::DateAfter, QT_TRANSLATE_NOOP("Reports::Definitions", "Sales taxes"), &SalesTax },
    { "DYNAMIC_FIELDS_QUERY", Ask::CustomField,
        QT_TRANSLATE_NOOP("Reports::Definitions", "Patients by custom field"), &CustomFieldQuery },
};

const Definition *Find(const QString &name)
{
    for (const Definition &d : kDefinitions) {
        if (name == QLatin1String(d.name))
            return &d;
    }
    return nullptr;
}

} // namespace

Ask AskFor(const QString &name)
{
    const Definition *d = Find(name);
    return d ? d->ask : Ask::Nothing;
}

bool IsReport(const QString &name)
{
    return Find(name) != nullptr;
}

QStringList ReportNames()
{
    QStringList names;
    for (const Definition &d : kDefinitions)
        names << QString::fromLatin1(d.name);
    return names;
}

bool BuildReport(
    const QString &name, const Parameters &parameters, const Sources &sources, Table *table, QString *error)
{
    const Definition *d = Find(name);
    if (!d) {
        *error = Text::tr("There is no report named %1.").arg(name);
        return false;
    }
    *table = Table {};
    table->name = name;
    table->title = QCoreApplication::translate("Reports::Definitions", d->title);
    Parameters p = parameters;
    if (!p.date.isValid())
        p.date = sources.now.date();
    const Run run { p, sources, *table, error };
    if (!d->build(run)) {
        table->rows.clear();
        return false;
    }
    return true;
}

} // namespace Reports
