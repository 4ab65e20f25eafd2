// The three finance tabs over a real database: the lists the logic fills,
// the PAID, UNPAID, AVAILABLE FUNDS and TOTAL BALANCE fields, the fee typed
// on the page, the details dialogs.
#include "InvoicingTestUtil.h"

#include "invoicing/ChargeText.h"
#include "invoicing/ui/CDuePaymentsDialog.h"
#include "invoicing/ui/CInvoicesDlg.h"
#include "invoicing/ui/CPaymentsDialog.h"
#include "invoicing/ui/InvoicingDialogsUi.h"

#include "core/CommandCodes.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

using namespace InvoicingTest;

namespace {

// Answers the details dialogs as a person would, from queued values.
class ScriptedInvoicingDialogs final : public IInvoicingDialogs
{
public:
    bool EditDuePayment(QWidget *, DuePaymentDetails *details) override
    {
        seen.due = *details;
        if (!due)
            return false;
        *details = *due;
        return true;
    }
    bool EditPayment(QWidget *, const QStringList &types, PaymentDetails *details) override
    {
        typeNames = types;
        if (!payment)
            return false;
        *details = *payment;
        return true;
    }
    bool EditInvoice(QWidget *, InvoiceDetails *details) override
    {
        seen.invoice = *details;
        return false;
    }

    std::optional<DuePaymentDetails> due;
    std::optional<PaymentDetails> payment;
    QStringList typeNames;
    struct
    {
        DuePaymentDetails due;
        InvoiceDetails invoice;
    } seen;
};

class FinancePages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(practice.Open());
        practice.hub->Services().Provide<IInvoicingDialogs>(&dialogs);
        for (IPage *page : { static_cast<IPage *>(&due), static_cast<IPage *>(&payments),
                 static_cast<IPage *>(&invoices) }) {
            page->Attach(practice.hub.get());
            page->Refresh();
        }
    }
    void TearDown() override { practice.hub->Services().Withdraw<IInvoicingDialogs>(&dialogs); }

    static int RowCount(Korbel::CXListCtrl *list) { return list->GetItemCount(); }

    Practice practice;
    ScriptedInvoicingDialogs dialogs;
    CDuePaymentsDialog due;
    CPaymentsDialog payments;
    CInvoicesDlg invoices;
};

} // namespace

TEST_F(FinancePages, ADuePaymentAddedFromTheListShowsWithItsTaxesAndMovesBetweenUnpaidAndPaid)
{
    Korbel::CXListCtrl *list = due.DueList();
    ASSERT_EQ(RowCount(list), 1); // the trailing row
    EXPECT_EQ(list->GetColumnCount(), 6);
    dialogs.due = DuePaymentDetails { QStringLiteral("100"), QDateTime(QDate(2026, 3, 2), QTime(10, 0)),
        QStringLiteral("Consultation") };
    list->SetCurSel(0);
    practice.Finance().DuePayments().ItemDoubleClicked(0, 0);
    ASSERT_EQ(RowCount(list), 2);
    EXPECT_EQ(list->GetItemText(0, CLogicInvoicing::Tax2Column), Charges::MoneyCell(Cents(750)));
    EXPECT_EQ(list->GetItemText(0, CLogicInvoicing::DescriptionColumn), QStringLiteral(" Consultation"));
    EXPECT_EQ(list->GetComboText(0, 5), QStringLiteral("unpaid"));
    const QString total = Verdanta::FormatMoneyForDisplay(Cents(11250));
    EXPECT_EQ(due.Field(QStringLiteral("dueUnpaid"))->text(), total);
    EXPECT_EQ(due.Field(QStringLiteral("availableFunds"))->text(), Verdanta::FormatMoneyForDisplay(Money()));
    EXPECT_EQ(payments.BalanceField()->text(), Verdanta::FormatMoneyForDisplay(-Cents(11250)));

    // Modifying presets the dialog with the stored values.
    list->SetCurSel(0);
    dialogs.due.reset();
    practice.Finance().DuePayments().ItemDoubleClicked(0, 0);
    EXPECT_EQ(Verdanta::Money::FromText(dialogs.seen.due.amount), Cents(10000));
    EXPECT_EQ(dialogs.seen.due.description, QStringLiteral("Consultation"));

    // The status combo: "paid".
    list->SetItemText(0, 5, QStringLiteral("paid"));
    practice.Finance().DuePayments().ComboSelection(0, 5);
    EXPECT_EQ(due.Field(QStringLiteral("duePaid"))->text(), total);
    EXPECT_EQ(due.Field(QStringLiteral("dueUnpaid"))->text(), Verdanta::FormatMoneyForDisplay(Money()));

    // A payment of 112.50 settles the balance.
    dialogs.payment = PaymentDetails { QStringLiteral("112.50"), QDateTime::currentDateTime(),
        QStringLiteral("Check"), QString() };
    payments.List()->SetCurSel(0);
    practice.Finance().Payments().ItemDoubleClicked(0, 0);
    EXPECT_TRUE(dialogs.typeNames.contains(QStringLiteral("Cash")));
    EXPECT_EQ(payments.List()->GetItemText(0, CLogicPayments::TypeColumn), QStringLiteral(" Check"));
    EXPECT_EQ(payments.BalanceField()->text(), Verdanta::FormatMoneyForDisplay(Money()));
}

TEST_F(FinancePages, TheFeeTypedOnThePageIsStoredWithItsTimeOnlyWhenTheAmountChanges)
{
    due.FeeEdit()->setText(QStringLiteral("50"));
    LogicCommand save;
    save.code = CommandCode::SavePatient;
    ASSERT_EQ(practice.hub->OnCommand(save), 1);
    Korbel::ITable *main = practice.hub->GetMainTable();
    EXPECT_EQ(Verdanta::Money::FromText(Get(main, QStringLiteral("MONTHLY_FEE"))), Cents(5000));
    const QString stamp = Get(main, QStringLiteral("MONTHLY_FEE_TS"));
    EXPECT_FALSE(stamp.isEmpty());

    // The same amount written differently is no change; text that is no
    // amount leaves the fee as it was.
    const QDateTime set(QDate(2025, 1, 1), QTime(9, 0));
    practice.SetFee(QStringLiteral("50"), set);
    for (const QString &typed : { QStringLiteral("50.00"), QStringLiteral("fifty") }) {
        due.FeeEdit()->setText(typed);
        ASSERT_EQ(practice.hub->OnCommand(save), 1);
        EXPECT_EQ(Verdanta::Money::FromText(Get(main, QStringLiteral("MONTHLY_FEE"))), Cents(5000));
        Korbel::IField *field = nullptr;
        ASSERT_EQ(main->GetField(QStringLiteral("MONTHLY_FEE_TS"), &field), 1);
        ReleasePtr<Korbel::IField> guard(field);
        EXPECT_EQ(field->GetValue().toDateTime(), set) << typed.toStdString();
    }
}

TEST_F(FinancePages, TheInvoicesPageButtonsReachTheirLogicAndAnExistingInvoiceOffersItsPreview)
{
    for (QPushButton *button : { invoices.PreviewButton(), invoices.PdfButton(), invoices.TemplatesButton() })
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    InvoiceDetails details;
    details.amount = QStringLiteral("20");
    ASSERT_GT(practice.Finance().Invoices().Store(0, details, nullptr), 0);
    ASSERT_EQ(RowCount(invoices.List()), 2);
    EXPECT_EQ(invoices.TotalField()->text(), Verdanta::FormatMoneyForDisplay(Cents(2000)));
    EXPECT_EQ(invoices.List()->GetComboText(0, CLogicInvoices::TypeColumn), QStringLiteral("GENERATED"));
    invoices.List()->SetCurSel(0);
    practice.Finance().Invoices().ItemDoubleClicked(0, 0);
    EXPECT_FALSE(dialogs.seen.invoice.isNew);
    ASSERT_TRUE(dialogs.seen.invoice.preview);
    const size_t launches = practice.shell.Launches().size();
    dialogs.seen.invoice.preview();
    EXPECT_EQ(practice.shell.Launches().size(), launches + 1);
}

TEST(InvoicingDialogs, AnAmountThatIsNoNumberKeepsTheDialogOpen)
{
    Desktop::ScriptedPrompts prompts;
    CDuePaymentsNewDialog dialog;
    dialog.SetDetails({ QStringLiteral("12,3x"), QDateTime::currentDateTime(), QString() });
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.Count(), 1);
    dialog.findChild<QLineEdit *>(QStringLiteral("amount"))->setText(QStringLiteral("12"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());

    CInvoiceDetailsDialog invoice;
    InvoiceDetails details;
    details.templateNames = { QStringLiteral("a.rtf"), QStringLiteral("letter.v2.rtf") };
    invoice.SetDetails(details);
    EXPECT_EQ(invoice.TemplateButton()->text(), QStringLiteral("Select invoice template"));
    Desktop::ScriptedMenus menus;
    menus.QueueChoice(1);
    invoice.TemplateButton()->click();
    EXPECT_EQ(invoice.TemplateButton()->text(), QStringLiteral("letter.v2.rtf"));
    invoice.TakeDetails(&details);
    EXPECT_EQ(details.chosenTemplate, QStringLiteral("letter.v2.rtf"));
}
