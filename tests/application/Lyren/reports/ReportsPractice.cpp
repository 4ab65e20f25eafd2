#include "ReportsPractice.h"

#include "Calendar/Model/AppointmentBook.h"

namespace ReportsTest {

namespace {

const QString ID = QStringLiteral("PATIENT_ID");

qint64 Patient(Korbel::IDataSource *db, const char *first, const char *last, int sex, QDate born, bool active)
{
    return Add(db, QStringLiteral("MAIN"),
        { { QStringLiteral("FIRST_NAME"), QString::fromUtf8(first) },
            { QStringLiteral("LAST_NAME"), QString::fromUtf8(last) }, { QStringLiteral("SEX"), sex },
            { QStringLiteral("DATE_OF_BIRTH"), born }, { QStringLiteral("ACTIVE"), active } });
}

void Consultation(Korbel::IDataSource *db, qint64 patient, QDate day)
{
    Add(db, QStringLiteral("CONSULTATIONS"), { { ID, patient }, { QStringLiteral("DATE"), day } });
}

qint64 Charge(Korbel::IDataSource *db, qint64 patient, bool unpaid, bool fee, bool prescription,
    QDateTime stamp, double amount, double tax1, double tax2)
{
    return Add(db, QStringLiteral("INVOICING"),
        { { ID, patient }, { QStringLiteral("ACTIVE"), unpaid }, { QStringLiteral("FEE"), fee },
            { QStringLiteral("IS_PRESC"), prescription }, { QStringLiteral("DT_STAMP"), stamp },
            { QStringLiteral("AMOUNT"), amount }, { QStringLiteral("AMOUNT_TAX1"), tax1 },
            { QStringLiteral("AMOUNT_TAX2"), tax2 } });
}

void Payment(Korbel::IDataSource *db, qint64 patient, double amount, QDateTime when, qint64 type)
{
    Add(db, QStringLiteral("PAYMENTS"),
        { { ID, patient }, { QStringLiteral("AMOUNT"), amount }, { QStringLiteral("PAYMENT_DT"), when },
            { QStringLiteral("TYPE_ID"), type } });
}

void Prescription(Korbel::IDataSource *db, qint64 patient, qint64 remedy, qint64 dilution, int quantity,
    int status, QDateTime created, qint64 order, qint64 invoicing)
{
    Add(db, QStringLiteral("PRESCRIPTIONS"),
        { { ID, patient }, { QStringLiteral("MEDICINE_ID"), remedy },
            { QStringLiteral("DILUTION_ID"), dilution }, { QStringLiteral("QUANTITY"), quantity },
            { QStringLiteral("STATUS_ID"), status }, { QStringLiteral("CREATION_DT"), created },
            { QStringLiteral("ORDER_ID"), order }, { QStringLiteral("INVOICING_ID"), invoicing } });
}

void CustomField(Korbel::IDataSource *db, qint64 patient, const char *name, const char *value)
{
    Add(db, QStringLiteral("DYNAMIC_FIELDS"),
        { { ID, patient }, { QStringLiteral("NAME"), QString::fromUtf8(name) },
            { QStringLiteral("VALUE"), QString::fromUtf8(value) } });
}

void Appointment(Calendar::AppointmentBook &book, qint64 patient, const char *subject, QDateTime start,
    int minutes, bool allDay = false)
{
    Calendar::Event e;
    e.subject = QString::fromUtf8(subject);
    e.start = start;
    e.end = allDay ? start.addDays(1) : start.addSecs(minutes * 60);
    e.allDay = allDay;
    e.patientId = patient;
    e.location = QStringLiteral("Room 1");
    EXPECT_TRUE(book.add(e));
}

} // namespace

void Practice::Write(Korbel::IDataSource *db, const QString &appointmentsPath)
{
    const qint64 ana = patient[QStringLiteral("Ana")]
        = Patient(db, "Ana", "Popescu", 0, D(1980, 3, 10), true);
    // 26 today, and 25 until tomorrow.
    const qint64 mihai = patient[QStringLiteral("Mihai")]
        = Patient(db, "Mihai", "Ionescu", 1, D(2000, 6, 15), true);
    const qint64 dan = patient[QStringLiteral("Dan")] = Patient(db, "Dan", "Barbu", 1, D(2000, 6, 16), false);
    const qint64 ioana = patient[QStringLiteral("Ioana")]
        = Patient(db, "Ioana", "Vasile", 0, D(1950, 1, 1), true);

    Consultation(db, ana, D(2025, 1, 10));
    Consultation(db, ana, D(2026, 5, 1));
    Consultation(db, mihai, D(2026, 3, 1));
    Consultation(db, mihai, D(2026, 6, 10));
    Consultation(db, dan, D(2025, 6, 1));
    Consultation(db, dan, D(2026, 2, 10));
    Consultation(db, ioana, D(2024, 12, 1));

    Charge(db, ana, true, false, false, T(2026, 2, 3, 9, 30), 100, 5, 7.5);
    Charge(db, ana, false, true, false, T(2026, 3, 1), 50, 2.5, 3.75);
    const qint64 mihaiCharge = Charge(db, mihai, true, false, true, T(2026, 3, 1, 10), 20, 1, 1.6);
    Charge(db, mihai, false, false, false, T(2025, 12, 31, 23, 59, 59), 10, 0.5, 0.75);
    // A fill-up fee item: due, but of nothing.
    Charge(db, ioana, true, true, false, T(2026, 4, 1), 0, 0, 0);

    Payment(db, ana, 60.00, T(2026, 2, 5), 1);
    Payment(db, ana, 40.10, T(2026, 3, 20, 16), 2);
    Payment(db, mihai, 10.00, T(2026, 3, 2), 1);
    Payment(db, mihai, 5.00, T(2025, 11, 1), 1);
    // On the first moment of the day asked for, of a type that no longer exists.
    Payment(db, dan, 200.00, T(2026, 1, 1), 99);

    arnica = Add(db, QStringLiteral("MEDICINES"), { { QStringLiteral("NAME"), QStringLiteral("Arnica") } });
    belladonna
        = Add(db, QStringLiteral("MEDICINES"), { { QStringLiteral("NAME"), QStringLiteral("Belladonna") } });
    c30 = Add(db, QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), QStringLiteral("30C") } });
    c200 = Add(db, QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), QStringLiteral("200C") } });
    Prescription(db, ana, arnica, c30, 2, 2, T(2026, 2, 1, 10), 7, 0);
    Prescription(db, mihai, arnica, c200, 1, 4, T(2026, 3, 1, 10), 0, mihaiCharge);
    Prescription(db, mihai, belladonna, c30, 3, 3, T(2026, 3, 5, 10), 8, 0);
    Prescription(db, ioana, arnica, c30, 1, 6, T(2025, 1, 5, 10), 0, 0);
    Prescription(db, ana, belladonna, c200, 1, 5, T(2026, 4, 1, 10), 0, 0);

    CustomField(db, ana, "Allergy", "Pollen, dust");
    CustomField(db, mihai, "Allergy", "none");
    CustomField(db, ioana, "Allergy", "POLLEN");
    CustomField(db, dan, "Diet", "pollen-free");

    Calendar::AppointmentBook book;
    book.open(appointmentsPath);
    Appointment(book, ana, "Ana, control", T(2026, 6, 15, 10), 30);
    Appointment(book, mihai, "Mihai", T(2026, 6, 10, 9), 30);
    Appointment(book, ana, "Ana, second", T(2026, 6, 15, 14), 60);
    Appointment(book, 0, "Team meeting", T(2026, 6, 16), 0, true);
    Appointment(book, ioana, "Ioana", T(2026, 6, 20, 11), 30);
    Appointment(book, dan, "Dan", T(2026, 5, 20, 9), 30);
}

} // namespace ReportsTest
