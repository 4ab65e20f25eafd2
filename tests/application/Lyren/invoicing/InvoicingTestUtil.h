#pragma once

// A practice in a throw-away folder with one patient and office tax rates of
// 5 % and 7.5 %, its hub with every subsystem, and the finance logic.

#include "invoicing/CLogicInvoices.h"
#include "invoicing/CLogicInvoicing.h"
#include "invoicing/CLogicPayments.h"
#include "invoicing/InvoicingLogic.h"
#include "shell/CLogicMain.h"

#include "core/CLogicFolders.h"
#include "core/CurrentPatient.h"
#include "core/LogicContext.h"
#include "finance/PrescriptionSums.h"

#include "libraries/Korbel/KorbelTestUtil.h"
#include "support/ScriptedDesktop.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

namespace InvoicingTest {

using namespace KorbelTest;
using Verdanta::Money;

inline Money Cents(qint64 cents)
{
    return Money::FromUnits(cents * 100);
}

// On SQLite the database is data.mdb in the root folder; on a server a
// scratch database the hub is pointed at.
class Practice
{
public:
    explicit Practice(Korbel::Engine engine = Korbel::Engine::SQLite)
        : databases(engine)
        , location(engine == Korbel::Engine::SQLite ? Root() + QStringLiteral("data.mdb")
                                                    : databases.NewLocation())
    {
        auto source = OpenSource(DatabasePath());
        auto main = OpenTable(source.get(), QStringLiteral("MAIN"));
        patient = AddRow(main.get(),
            { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") },
                { QStringLiteral("LAST_NAME"), QStringLiteral("Pop") } })
                      .toLongLong();
        auto office = OpenTable(source.get(), QStringLiteral("OFFICE_DATA"));
        AddRow(office.get(),
            { { QStringLiteral("NAME"), QStringLiteral("Green Practice") },
                { QStringLiteral("ADDRESS"), QStringLiteral("Main St 1") },
                { QStringLiteral("TAX1"), QStringLiteral("5") },
                { QStringLiteral("TAX2"), QStringLiteral("7.5") } });
    }

    bool Open()
    {
        hub = std::make_unique<CLogicMain>(Root(), dir.filePath(QStringLiteral("windows")));
        if (Korbel::IsServerAddress(location))
            hub->GetLogicFolders()->SetDatabaseAddress(location);
        QString error;
        const bool opened = hub->Open(&error);
        EXPECT_TRUE(opened) << error.toStdString();
        return opened;
    }

    QString Root() const { return dir.rootWithSeparator(); }
    QString DatabasePath() const { return location; }
    Korbel::IDataSource *Source() const { return hub->GetDataSource(); }
    InvoicingLogic &Finance() const { return *hub->Services().Get<InvoicingLogic>(); }
    // Loads the current patient again, as opening it again does.
    int Reload() const { return hub->GetLogicPatient()->GoTo(QString::number(patient)); }

    // An INVOICING row written straight into the database.
    qint64 AddCharge(bool fee, bool prescription, bool active, const QDate &date, const QString &amount,
        const QString &tax1 = QStringLiteral("0"), const QString &tax2 = QStringLiteral("0")) const
    {
        auto table = OpenTable(Source(), QStringLiteral("INVOICING"));
        EXPECT_TRUE(table->AddNew());
        SetValue(table.get(), QStringLiteral("PATIENT_ID"), patient);
        SetValue(table.get(), QStringLiteral("FEE"), fee);
        SetValue(table.get(), QStringLiteral("IS_PRESC"), prescription);
        SetValue(table.get(), QStringLiteral("ACTIVE"), active);
        SetValue(table.get(), QStringLiteral("DT_STAMP"), QDateTime(date, QTime(0, 0)));
        Set(table.get(), QStringLiteral("AMOUNT"), amount);
        Set(table.get(), QStringLiteral("AMOUNT_TAX1"), tax1);
        Set(table.get(), QStringLiteral("AMOUNT_TAX2"), tax2);
        EXPECT_TRUE(table->Update());
        return Get(table.get(), QStringLiteral("ID")).toLongLong();
    }

    // Sets the patient's fee and the moment it was set.
    void SetFee(const QString &fee, const QDateTime &changed) const
    {
        auto main = Query(Source(), QStringLiteral("MAIN"), [this](Korbel::IQuery *q) {
            q->Where(QStringLiteral("ID"), Korbel::Compare::Equal, QString::number(patient));
        });
        ASSERT_EQ(main->Move(Korbel::MoveFirst), 1);
        ASSERT_EQ(main->Edit(), 1);
        Set(main.get(), QStringLiteral("MONTHLY_FEE"), fee);
        SetValue(main.get(), QStringLiteral("MONTHLY_FEE_TS"), changed);
        ASSERT_TRUE(main->Update());
    }

    // The dates of the patient's fee items, oldest first.
    static QList<QDate> FeeDates(Korbel::IDataSource *source, qint64 patient)
    {
        auto rows = Query(source, QStringLiteral("INVOICING"), [patient](Korbel::IQuery *q) {
            q->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, QString::number(patient));
            q->Where(QStringLiteral("FEE"), Korbel::Compare::Equal, QStringLiteral("1"));
            q->OrderBy(QStringLiteral("DT_STAMP"));
        });
        QList<QDate> dates;
        for (int moved = rows->Move(Korbel::MoveFirst); moved == 1; moved = rows->Move(Korbel::MoveNext)) {
            Korbel::IField *field = nullptr;
            rows->GetField(QStringLiteral("DT_STAMP"), &field);
            ReleasePtr<Korbel::IField> guard(field);
            dates.append(field->GetValue().toDateTime().date());
        }
        return dates;
    }

    TestSupport::TemporaryFolder dir;
    TestSupport::EngineDatabases databases;
    QString location;
    qint64 patient = 0;
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    Desktop::ScriptedMenus menus;
    std::unique_ptr<CLogicMain> hub;
};

// Prescription charges as the prescriptions' subsystem offers their sums:
// the patient's INVOICING rows of prescriptions, active ones unpaid.
class ChargeRowSums final : public IPrescriptionSums
{
public:
    ChargeRowSums(Korbel::IDataSource *source, qint64 patient)
        : m_source(source)
        , m_patient(patient)
    { }
    PrescriptionSums Sums() const override
    {
        PrescriptionSums sums;
        auto rows = Query(m_source, QStringLiteral("INVOICING"), [this](Korbel::IQuery *q) {
            q->Where(QStringLiteral("PATIENT_ID"), Korbel::Compare::Equal, QString::number(m_patient));
            q->Where(QStringLiteral("IS_PRESC"), Korbel::Compare::Equal, QStringLiteral("1"));
        });
        for (int moved = rows->Move(Korbel::MoveFirst); moved == 1; moved = rows->Move(Korbel::MoveNext)) {
            const Money amount = Money::FromText(Get(rows.get(), QStringLiteral("AMOUNT")));
            (Get(rows.get(), QStringLiteral("ACTIVE")) == u"1" ? sums.unpaid : sums.paid) += amount;
            sums.total += amount;
        }
        return sums;
    }
    void SetSumsChangedHandler(std::function<void()> handler) override { changed = std::move(handler); }

    std::function<void()> changed;

private:
    Korbel::IDataSource *m_source;
    qint64 m_patient;
};

} // namespace InvoicingTest
