// Prescriptions through the real list and the real dialog offscreen, over a
// real practice: the status a new prescription takes from the stock, the
// stock written with its save (and only then), removal, prices with taxes,
// status colours on the list and on the item's picture, exact totals.

#include "PrescriptionsTestUtil.h"

#include "notes/ActiveEditorItems.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "common/Identifiers.h"
#include "common/LocaleDates.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

using namespace PrescriptionsTest;
using Verdanta::FormatMoneyForDisplay;
using Verdanta::Money;

namespace {

quint32 ProxyColour(const CActiveEditorPrescItem &item)
{
    return item.Proxy().Get(ItemProxy::Presc::clrStatus).value<quint32>();
}

QColor RowColour(CPrescriptionListBox &box, int row, int column)
{
    return box.ListControl()->model()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
}

// A 0x00BBGGRR colour as a QColor.
QColor Bgr(quint32 colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

TEST(Prescriptions, StatusComesFromTheStockAndTheStockMovesOnlyWithTheSave)
{
    Workbench bench([](Practice &practice) {
        practice.Exec(
            QStringLiteral("INSERT INTO STOCKS (MEDICINE_ID, DILUTION_ID, STOCK, STOCK_THRESHOLD, "
                           "REPLENISH_QUANTITY, PREDICTED) VALUES (1, 1, 3, 2, 5, 4), (1, 2, 2, 0, 0, "
                           "0), (2, 2, 9, 0, 0, 0)"));
    });

    // Stock 3, quantity 3, threshold 2: from stock, and the warning (0 < 2).
    CActiveEditorPrescItem *covered = bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 3);
    ASSERT_NE(covered, nullptr);
    EXPECT_EQ(bench.m_lastTitle, QStringLiteral("Prescription"));
    EXPECT_EQ(covered->m_nStatusId, 5);
    EXPECT_EQ(covered->m_remedy.medicineName, QStringLiteral("Arnica"));
    EXPECT_EQ(covered->m_remedy.dilutionName, QStringLiteral("30CH"));
    ASSERT_EQ(bench.Prompts().Count(), 1);
    EXPECT_EQ(bench.Prompts().LastText(), CLogicPrescriptions::LowStockMessage());
    // Stock 2, quantity 3: to be ordered; threshold 0 never warns.
    CActiveEditorPrescItem *short1 = bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("200K"), 3);
    EXPECT_EQ(short1->m_nStatusId, 1);
    // No STOCKS row, quantity 2, a potency typed that becomes a dilution.
    CActiveEditorPrescItem *none = bench.Prescribe(QStringLiteral("Belladonna"), QStringLiteral("6x"), 2);
    EXPECT_EQ(none->m_nStatusId, 1);
    EXPECT_EQ(none->m_remedy.dilutionName, QStringLiteral("6x"));
    const int newDilution = int(Verdanta::ParseId(none->m_remedy.dilutionId));
    EXPECT_GT(newDilution, 2);
    // Unsaved prescriptions of a remedy take their share: 9 - 5 - 5 < 0.
    EXPECT_EQ(bench.Prescribe(QStringLiteral("Belladonna"), QStringLiteral("200K"), 5)->m_nStatusId, 5);
    EXPECT_EQ(bench.Prescribe(QStringLiteral("Belladonna"), QStringLiteral("200K"), 5)->m_nStatusId, 1);
    EXPECT_EQ(bench.Prompts().Count(), 1);
    EXPECT_EQ(bench.Logic().RowCount(), 5);

    // Nothing written before the save.
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("3/4"));
    EXPECT_EQ(bench.Stock(1, 2), QStringLiteral("2/0"));
    EXPECT_EQ(bench.Stock(2, newDilution), QString());
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("0/4"));
    EXPECT_EQ(bench.Stock(1, 2), QStringLiteral("-1/0"));
    EXPECT_EQ(bench.Stock(2, newDilution), QStringLiteral("-2/0"));
    EXPECT_EQ(bench.Stock(2, 2), QStringLiteral("-1/0"));
    // A second save moves nothing again.
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("0/4"));
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("PRESCRIPTIONS"),
                  QStringLiteral("STATUS_ID = 5 AND QUANTITY = 3 AND MEDICINE_ID = 1 AND DILUTION_ID = 1")),
        1);
}

TEST(Prescriptions, AStockNeverStaysChangedForAPrescriptionThatIsNotStored)
{
    Workbench bench([](Practice &practice) {
        practice.Exec(QStringLiteral("INSERT INTO STOCKS (MEDICINE_ID, DILUTION_ID, STOCK, STOCK_THRESHOLD, "
                                     "REPLENISH_QUANTITY, PREDICTED) VALUES (1, 1, 10, 0, 0, 0)"));
    });
    // Removed again before it was ever saved.
    bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 4);
    bench.practice().Clear();
    EXPECT_EQ(bench.Logic().RowCount(), 0);
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("10/0"));
    // Made and not saved yet: nothing is written, so that a program killed
    // now leaves the stock as it was.
    bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 4);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("10/0"));
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("PRESCRIPTIONS")), 0);
    // A save that fails writes neither the prescription nor the stock.
    ASSERT_TRUE(bench.practice().Exec(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE INSERT ON INVOICING BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    EXPECT_EQ(bench.practice().Save(), 0);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("10/0"));
    ASSERT_TRUE(bench.practice().Exec(QStringLiteral("DROP TRIGGER refuse")));
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("6/0"));
}

TEST(Prescriptions, RemovalGivesStockBackOnlyForPrescriptionsStillToBeOrdered)
{
    Workbench bench([](Practice &practice) {
        practice.Exec(
            QStringLiteral("INSERT INTO STOCKS (MEDICINE_ID, DILUTION_ID, STOCK, STOCK_THRESHOLD, "
                           "REPLENISH_QUANTITY, PREDICTED) VALUES (1, 1, 5, 0, 0, 0), (2, 1, 0, 0, 0, "
                           "1)"));
    });
    CActiveEditorPrescItem *fromStock = bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 2);
    CActiveEditorPrescItem *toOrder
        = bench.Prescribe(QStringLiteral("Belladonna"), QStringLiteral("30CH"), 3);
    ASSERT_EQ(fromStock->m_nStatusId, 5);
    ASSERT_EQ(toOrder->m_nStatusId, 1);
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("3/0"));
    EXPECT_EQ(bench.Stock(2, 1), QStringLiteral("-3/1"));
    // The orders made 3 of them predicted.
    ASSERT_TRUE(
        bench.practice().Exec(QStringLiteral("UPDATE STOCKS SET PREDICTED = 2 WHERE MEDICINE_ID = 2")));

    bench.practice().Clear();
    EXPECT_EQ(bench.Logic().RowCount(), 0);
    // The rows and the stock follow with the save, together.
    EXPECT_EQ(bench.Stock(2, 1), QStringLiteral("-3/2"));
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(1, 1), QStringLiteral("3/0"));
    // Predicted 2 - 3 is stored as 0.
    EXPECT_EQ(bench.Stock(2, 1), QStringLiteral("0/0"));
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("PRESCRIPTIONS")), 0);
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("INVOICING")), 0);
}

TEST(Prescriptions, PricesTaxesAndProvidedByPatient)
{
    Workbench bench;
    // 2 x 10.00 with 5 % and 8 %: 20.00 + 1.00 + 1.60.
    CActiveEditorPrescItem *charged = bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 2);
    EXPECT_EQ(charged->m_amount, Money::FromUnits(200000));
    EXPECT_EQ(charged->m_tax1, Money::FromUnits(10000));
    EXPECT_EQ(charged->m_tax2, Money::FromUnits(16000));
    Korbel::CXListCtrl *list = bench.Box().ListControl();
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, CLogicPrescriptions::RemedyColumn), QStringLiteral("Arnica 30CH"));
    EXPECT_EQ(list->GetItemText(0, CLogicPrescriptions::RemedyPriceColumn),
        FormatMoneyForDisplay(Money::FromUnits(100000)));
    EXPECT_EQ(list->GetItemText(0, CLogicPrescriptions::PriceColumn),
        FormatMoneyForDisplay(Money::FromUnits(226000)));
    EXPECT_TRUE(list->GetItemText(0, CLogicPrescriptions::PriceColumn).contains(QStringLiteral("22.60")));
    EXPECT_EQ(list->GetItemText(0, CLogicPrescriptions::QuantityColumn), QStringLiteral("2"));
    EXPECT_EQ(bench.Box().UnpaidField()->text(), FormatMoneyForDisplay(Money::FromUnits(226000)));

    // Provided by the patient: status 7, price 0, no stock, drawn in status 7's colour.
    CActiveEditorPrescItem *provided
        = bench.Prescribe(QStringLiteral("Belladonna"), QStringLiteral("30CH"), 4, true);
    EXPECT_EQ(provided->m_nStatusId, 7);
    EXPECT_TRUE(provided->m_amount.IsZero() && provided->m_tax1.IsZero() && provided->m_tax2.IsZero());
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1, CLogicPrescriptions::PriceColumn), FormatMoneyForDisplay(Money()));
    const quint32 colour7 = bench.Logic().StatusColour(7);
    EXPECT_EQ(ProxyColour(*provided), colour7);
    EXPECT_EQ(RowColour(bench.Box(), 1, CLogicPrescriptions::RemedyColumn), Bgr(colour7));
    EXPECT_EQ(bench.Logic().Sums().unpaid, Money::FromUnits(226000));
    EXPECT_EQ(bench.Logic().Sums().total, Money::FromUnits(226000));

    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.Stock(2, 1), QString());
    EXPECT_EQ(
        bench.practice().RowCount(QStringLiteral("INVOICING"),
            QStringLiteral("AMOUNT = 200000 AND AMOUNT_TAX1 = 10000 AND AMOUNT_TAX2 = 16000 AND ACTIVE = 1")),
        1);
    EXPECT_EQ(
        bench.practice().RowCount(QStringLiteral("INVOICING"), QStringLiteral("AMOUNT = 0 AND ACTIVE = 0")),
        1);
    // The stored amounts come back; a later price change does not alter them.
    ASSERT_TRUE(bench.practice().Exec(QStringLiteral("UPDATE MEDICINES SET PRICE = 990000")));
    ASSERT_TRUE(bench.practice().Reopen());
    bench.Box().Attach(&bench.practice().Hub());
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, CLogicPrescriptions::PriceColumn),
        FormatMoneyForDisplay(Money::FromUnits(226000)));
    EXPECT_EQ(bench.Box().UnpaidField()->text(), FormatMoneyForDisplay(Money::FromUnits(226000)));

    // A cancelled dialog makes no prescription.
    bench.Answer(QStringLiteral("Arnica"), QStringLiteral("30CH"), 1, false, true);
    CActiveEditorClientItem *cancelled
        = bench.practice().Editor().Document().CreateItem(ItemProxy::PrescProxy);
    EXPECT_FALSE(bench.practice().Editor().Document().InsertItem(*cancelled, true));
    bench.practice().Editor().Document().RemoveItem(*cancelled);
}

TEST(Prescriptions, TheStatusChosenInTheListColoursTheRowAndTheItemAndIsStored)
{
    Workbench bench;
    CActiveEditorPrescItem *item = bench.Prescribe(QStringLiteral("Arnica"), QStringLiteral("30CH"), 1);
    ASSERT_EQ(bench.practice().Save(), 1);
    Korbel::CXListCtrl *list = bench.Box().ListControl();
    // The person picks "Paid" in the row's combo.
    ASSERT_TRUE(list->EditSubItem(0, CLogicPrescriptions::StatusColumn));
    auto *combo = list->viewport()->findChild<QComboBox *>();
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findText(QStringLiteral("Paid")));
    QTest::keyClick(combo, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(item->m_nStatusId, 6);
    EXPECT_TRUE(item->m_bModified);
    EXPECT_EQ(ProxyColour(*item), bench.Logic().StatusColour(6));
    EXPECT_EQ(
        RowColour(bench.Box(), 0, CLogicPrescriptions::QuantityColumn), Bgr(bench.Logic().StatusColour(6)));
    EXPECT_EQ(bench.Logic().Sums().paid, Money::FromUnits(105000 + 8000));
    EXPECT_TRUE(bench.Logic().Sums().unpaid.IsZero());
    EXPECT_EQ(bench.Box().PaidField()->text(), FormatMoneyForDisplay(Money::FromUnits(113000)));
    ASSERT_EQ(bench.practice().Save(), 1);
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("PRESCRIPTIONS"), QStringLiteral("STATUS_ID = 6")), 1);
    EXPECT_EQ(bench.practice().RowCount(QStringLiteral("INVOICING"), QStringLiteral("ACTIVE = 0")), 1);

    // Orders move a status: the row and the item follow.
    bench.Logic().RefreshFromNotes({ { Verdanta::ParseId(item->m_strRecordId), 3, 0 } });
    EXPECT_EQ(item->m_nStatusId, 3);
    EXPECT_EQ(list->GetComboText(0, CLogicPrescriptions::StatusColumn), QStringLiteral("Sent"));

    // A status the status table does not know is white on both.
    ASSERT_TRUE(bench.practice().Exec(QStringLiteral("DELETE FROM STATUS WHERE ID = 3")));
    ASSERT_TRUE(bench.practice().Reopen());
    bench.Box().Attach(&bench.practice().Hub());
    ASSERT_EQ(bench.Logic().RowCount(), 1);
    const CActiveEditorPrescItem *reloaded = bench.Logic().ItemAt(0);
    EXPECT_EQ(reloaded->m_nStatusId, 3);
    EXPECT_EQ(ProxyColour(*reloaded), 0xFFFFFFu);
    EXPECT_EQ(RowColour(bench.Box(), 0, CLogicPrescriptions::RemedyColumn), QColor(Qt::white));
}

TEST(Prescriptions, RowsFollowCreationDatesAndTotalsOfTenThousandAreExact)
{
    Workbench bench;
    CLogicPrescriptions &logic = bench.Logic();
    // Items as the notes hold them, stored, with amounts that no double adds
    // exactly: 0.1 + 0.0077 each, every third one paid.
    std::vector<std::unique_ptr<CActiveEditorClientItem>> items;
    logic.Reset();
    for (int i = 0; i < 10000; ++i) {
        auto item = CActiveEditorClientItem::Make(ItemKind::Prescription);
        auto &prescription = static_cast<CActiveEditorPrescItem &>(*item);
        prescription.m_bNew = false;
        prescription.m_remedy
            = { QStringLiteral("1"), QStringLiteral("Arnica"), QStringLiteral("1"), QStringLiteral("30CH") };
        prescription.m_nStatusId = i % 3 == 0 ? 6 : 1;
        prescription.m_amount = Money::FromUnits(1000);
        prescription.m_tax1 = Money::FromUnits(77);
        prescription.m_strCreationDate = Verdanta::FormatLocaleDate(QDate(2020, 1, 1).addDays(9999 - i));
        logic.AddToList(prescription);
        items.push_back(std::move(item));
    }
    logic.SelectLast();
    const qint64 paid = 3334 * 1077;
    const qint64 unpaid = 6666 * 1077;
    EXPECT_EQ(logic.Sums().paid.Units(), paid);
    EXPECT_EQ(logic.Sums().unpaid.Units(), unpaid);
    EXPECT_EQ(logic.Sums().total.Units(), paid + unpaid);
    EXPECT_EQ(bench.Box().PaidField()->text(), FormatMoneyForDisplay(Money::FromUnits(paid)));
    EXPECT_EQ(bench.Box().UnpaidField()->text(), FormatMoneyForDisplay(Money::FromUnits(unpaid)));
    // Inserted latest first, listed earliest first.
    EXPECT_EQ(logic.ItemAt(0), items.back().get());
    EXPECT_EQ(logic.ItemAt(9999), items.front().get());
    EXPECT_EQ(bench.Box().ListControl()->GetItemText(0, CLogicPrescriptions::DateColumn),
        Verdanta::FormatLocaleDate(QDate(2020, 1, 1)));
    // The sums' listener hears of every change.
    int heard = 0;
    logic.SetSumsChangedHandler([&heard] { ++heard; });
    logic.RemoveFromList(*static_cast<CActiveEditorPrescItem *>(items[0].get()));
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(logic.Sums().paid.Units(), paid - 1077);
    logic.SetSumsChangedHandler({});
    logic.Reset();
}

TEST(Prescriptions, TheDialogServesTreatmentLinesWithoutQuantity)
{
    Workbench bench;
    bench.Answer(QStringLiteral("Belladonna"), QStringLiteral("200K"), 1);
    RemedyRef remedy;
    ASSERT_TRUE(bench.Logic().ChooseTreatmentRemedy(nullptr, remedy));
    EXPECT_EQ(bench.m_lastTitle, QStringLiteral("Treatment"));
    EXPECT_FALSE(bench.m_lastQuantityShown);
    EXPECT_EQ(remedy,
        (RemedyRef { QStringLiteral("2"), QStringLiteral("Belladonna"), QStringLiteral("2"),
            QStringLiteral("200K") }));
}
