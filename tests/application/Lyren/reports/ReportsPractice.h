#pragma once

// A small hand-made practice with known answers for every report: four
// patients, their consultations, charges, payments, prescriptions, custom
// fields and appointments, written straight into a real database and a real
// appointments file. "Now" is 15 June 2026, 12:00.

#include "libraries/Korbel/KorbelTestUtil.h"

#include <QtCore/QDateTime>

#include <map>

namespace ReportsTest {

using Row = std::vector<std::pair<QString, QVariant>>;

inline const QDateTime kNow(QDate(2026, 6, 15), QTime(12, 0));

// Adds a row with typed values; returns its ID.
inline qint64 Add(Korbel::IDataSource *source, const QString &table, const Row &values)
{
    auto t = KorbelTest::OpenTable(source, table);
    if (!t || !t->AddNew())
        return 0;
    for (const auto &[field, value] : values)
        EXPECT_TRUE(KorbelTest::SetValue(t.get(), field, value))
            << table.toStdString() << "." << field.toStdString();
    EXPECT_TRUE(t->Update()) << t->GetErrorDescription().toStdString();
    return KorbelTest::Get(t.get(), QStringLiteral("ID")).toLongLong();
}

struct Practice
{
    // Patients by first name.
    std::map<QString, qint64> patient;
    qint64 arnica = 0, belladonna = 0, c30 = 0, c200 = 0;

    void Write(Korbel::IDataSource *db, const QString &appointmentsPath);
};

inline QDate D(int y, int m, int d)
{
    return QDate(y, m, d);
}

inline QDateTime T(int y, int m, int d, int h = 0, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

} // namespace ReportsTest
