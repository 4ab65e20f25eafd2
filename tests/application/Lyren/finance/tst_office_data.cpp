// The office record: the one row, its exchange with the dialog, the tax rates.
#include "RefDataTestUtil.h"
#include "core/CommandCodes.h"

#include "finance/LogicOfficeData.h"
#include "finance/ui/OfficeDataDialog.h"

#include "support/ScriptedDesktop.h"

#include <QtTest/QTest>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

using namespace RefDataTest;

namespace {

class OfficeData : public Database
{
protected:
    QString stored(const QString &field)
    {
        ReleasePtr<Korbel::ITable> table(source()->OpenTable(QStringLiteral("OFFICE_DATA")));
        if (!table || table->Move(Korbel::MoveFirst) != 1)
            return QStringLiteral("<no row>");
        return read(table.get(), field);
    }
};

} // namespace

TEST_F(OfficeData, FirstStartCreatesOneEmptyRowWithZeroRates)
{
    EXPECT_EQ(rowCount(QStringLiteral("OFFICE_DATA")), 0);
    CLogicOfficeData office(source());
    office.SetServices(services());
    ASSERT_TRUE(office.Open());
    ASSERT_TRUE(office.Open()); // opening again finds the row instead of adding one
    EXPECT_EQ(rowCount(QStringLiteral("OFFICE_DATA")), 1);

    OfficeRecord record;
    record.name = QStringLiteral("stale");
    record.tax1 = 3;
    ASSERT_TRUE(office.Exchange(record, CLogicOfficeData::Direction::Read));
    EXPECT_EQ(record.name, QString());
    EXPECT_EQ(record.tax1, 0.0);
    EXPECT_EQ(record.tax2, 0.0);
    double rate = -1;
    EXPECT_TRUE(office.GetTax1(&rate));
    EXPECT_EQ(rate, 0.0);
}

TEST_F(OfficeData, WriteStoresEveryFieldAndRatesWithTwoDecimals)
{
    CLogicOfficeData office(source());
    office.SetServices(services());
    ASSERT_TRUE(office.Open());
    OfficeRecord record;
    record.name = QStringLiteral("Praxis Lindenhof");
    record.email = QStringLiteral("office@lindenhof.example");
    record.emailFooter = QStringLiteral("Kind regards\nPraxis Lindenhof");
    record.fax = QStringLiteral("+43 316 1234");
    record.tax1 = 7.126;
    record.tax2 = 19;
    ASSERT_TRUE(office.Exchange(record, CLogicOfficeData::Direction::Write));

    EXPECT_EQ(stored(QStringLiteral("TAX1")), QStringLiteral("7.13"));
    EXPECT_EQ(stored(QStringLiteral("TAX2")), QStringLiteral("19"));
    EXPECT_EQ(stored(QStringLiteral("FAX")), QStringLiteral("+43 316 1234"));
    double rate = 0;
    ASSERT_TRUE(office.GetTax1(&rate));
    EXPECT_DOUBLE_EQ(rate, 7.13); // charges computed afterwards use 7.13
    EXPECT_EQ(office.GetName(), record.name);
    EXPECT_EQ(office.GetEmail(), record.email);
    EXPECT_EQ(office.GetEmailFooter(), record.emailFooter);

    // A second program start reads the same record.
    CLogicOfficeData again(source());
    again.SetServices(services());
    ASSERT_TRUE(again.Open());
    OfficeRecord back;
    ASSERT_TRUE(again.Exchange(back, CLogicOfficeData::Direction::Read));
    EXPECT_EQ(back.emailFooter, record.emailFooter);
    EXPECT_DOUBLE_EQ(back.tax1, 7.13);
    EXPECT_DOUBLE_EQ(back.tax2, 19.0);
    EXPECT_EQ(rowCount(QStringLiteral("OFFICE_DATA")), 1);
}

TEST_F(OfficeData, RatesStayInCFormInAnyLocale)
{
    TestSupport::LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    CLogicOfficeData office(source());
    office.SetServices(services());
    ASSERT_TRUE(office.Open());
    OfficeRecord record;
    record.tax1 = COfficeDataDialog::ParseRate(QStringLiteral("7,5"));
    record.tax2 = COfficeDataDialog::ParseRate(QStringLiteral("2.25"));
    ASSERT_TRUE(office.Exchange(record, CLogicOfficeData::Direction::Write));
    EXPECT_EQ(stored(QStringLiteral("TAX1")), QStringLiteral("7.5"));
    EXPECT_EQ(stored(QStringLiteral("TAX2")), QStringLiteral("2.25"));
    EXPECT_EQ(CLogicOfficeData::RateText(7.5), QStringLiteral("7.50"));
    EXPECT_EQ(COfficeDataDialog::ParseRate(QStringLiteral("seven")), 0.0);
    EXPECT_EQ(COfficeDataDialog::ParseRate(QStringLiteral("inf")), 0.0);
}

TEST_F(OfficeData, GettersReportFailureWithoutARow)
{
    CLogicOfficeData office(source());
    office.SetServices(services());
    double rate = 5;
    EXPECT_FALSE(office.GetTax1(&rate));
    EXPECT_FALSE(office.GetTax2(&rate));
    EXPECT_EQ(rate, 5.0);
    EXPECT_EQ(office.GetName(), QString());
    OfficeRecord record;
    EXPECT_FALSE(office.Exchange(record, CLogicOfficeData::Direction::Write));

    CLogicOfficeData noSource(nullptr);
    EXPECT_FALSE(noSource.Open());
    LogicCommand command;
    command.code = CommandCode::OfficeData;
    EXPECT_EQ(noSource.OnCommand(command), 0);
}

TEST_F(OfficeData, DialogShowsTheRecordAndDoneWritesItBack)
{
    CLogicOfficeData office(source());
    office.SetServices(services());
    ASSERT_TRUE(office.Open());
    OfficeRecord record;
    record.name = QStringLiteral("Praxis");
    record.tax1 = 5;
    ASSERT_TRUE(office.Exchange(record, CLogicOfficeData::Direction::Write));

    QWidget mainWindow;
    LogicCommand command;
    command.code = CommandCode::OfficeData;
    command.control = &mainWindow;
    command.window = &mainWindow;
    WhenModal<COfficeDataDialog>([&](COfficeDataDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Office data"));
        EXPECT_EQ(dialog->parentWidget(), &mainWindow);
        auto *group = dialog->findChild<QGroupBox *>();
        ASSERT_TRUE(group);
        EXPECT_EQ(group->title(), QStringLiteral("Financial:"));
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("name"));
        auto *tax1 = dialog->findChild<QLineEdit *>(QStringLiteral("tax1"));
        auto *tax2 = dialog->findChild<QLineEdit *>(QStringLiteral("tax2"));
        auto *footer = dialog->findChild<QPlainTextEdit *>(QStringLiteral("emailFooter"));
        ASSERT_TRUE(name && tax1 && tax2 && footer);
        EXPECT_EQ(name->text(), QStringLiteral("Praxis"));
        EXPECT_EQ(tax1->text(), QStringLiteral("5.00"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("Praxis am Markt"));
        tax1->setText(QStringLiteral("7.126"));
        tax2->setText(QStringLiteral("n/a"));
        footer->setPlainText(QStringLiteral("Regards,\nthe office"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("done")), Qt::LeftButton);
    });
    EXPECT_EQ(office.OnCommand(command), 1);
    EXPECT_EQ(office.GetName(), QStringLiteral("Praxis am Markt"));
    EXPECT_EQ(stored(QStringLiteral("TAX1")), QStringLiteral("7.13"));
    EXPECT_EQ(stored(QStringLiteral("TAX2")), QStringLiteral("0"));
    EXPECT_EQ(office.GetEmailFooter(), QStringLiteral("Regards,\nthe office"));

    // Escape leaves the record as it was.
    WhenModal<COfficeDataDialog>([](COfficeDataDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("name"))->setText(QStringLiteral("typo"));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(office.OnCommand(command), 0);
    EXPECT_EQ(office.GetName(), QStringLiteral("Praxis am Markt"));
}
