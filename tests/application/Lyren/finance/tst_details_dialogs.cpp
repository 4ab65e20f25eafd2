// The details dialogs on their own: presets, required fields, the potency
// typed into the stock dialog.
#include "RefDataTestUtil.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/ui/MedicineDetailsDialog.h"
#include "finance/ui/ProviderDetailsDialog.h"
#include "finance/ui/StockDetailsDialog.h"

#include "support/ScriptedDesktop.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

using namespace RefDataTest;

namespace {

class DetailsDialogs : public Database
{
protected:
    template<class T> static T *child(QWidget *dialog, const char *name)
    {
        T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    static void clickOk(QDialog *dialog)
    {
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
};

} // namespace

TEST_F(DetailsDialogs, RemedyDialogSelectsTheRemedysProviderOrNoProvider)
{
    const QStringList names { QStringLiteral("NoProvider"), QStringLiteral("Boiron"),
        QStringLiteral("Weleda") };
    CMedicineDetailsDialog dialog(names);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add/Modify Remedy"));
    auto *provider = child<QComboBox>(&dialog, "provider");
    ASSERT_TRUE(provider);
    EXPECT_EQ(provider->count(), 3);

    dialog.SetDetails(MedicineDetails { QStringLiteral("Arnica"), QStringLiteral("5"), QStringLiteral("3"),
        QStringLiteral("Weleda"), QStringLiteral("drops") });
    EXPECT_EQ(provider->currentText(), QStringLiteral("Weleda"));
    dialog.SetDetails(MedicineDetails { QStringLiteral("Arnica"), {}, {}, QString(), {} });
    EXPECT_EQ(provider->currentText(), QStringLiteral("NoProvider"));
    dialog.SetDetails(MedicineDetails { QStringLiteral("Arnica"), {}, {}, QStringLiteral("Gone Ltd"), {} });
    EXPECT_EQ(provider->currentText(), QStringLiteral("NoProvider"));
}

TEST_F(DetailsDialogs, RemedyAndProviderNeedANameAndStayOpenWithout)
{
    Desktop::ScriptedPrompts prompts;
    CMedicineDetailsDialog remedy({ QStringLiteral("NoProvider") });
    remedy.show();
    child<QLineEdit>(&remedy, "name")->setText(QStringLiteral("   "));
    clickOk(&remedy);
    EXPECT_TRUE(remedy.isVisible());
    EXPECT_EQ(remedy.result(), QDialog::Rejected);
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Please enter the name of the remedy."));
    QTest::keyClicks(child<QLineEdit>(&remedy, "name"), QStringLiteral("Nux vomica"));
    clickOk(&remedy);
    EXPECT_FALSE(remedy.isVisible());
    EXPECT_EQ(remedy.result(), QDialog::Accepted);
    EXPECT_EQ(remedy.GetDetails().name, QStringLiteral("   Nux vomica"));

    CProviderDetailsDialog provider;
    EXPECT_EQ(provider.windowTitle(), QStringLiteral("Add/Modify Provider"));
    provider.show();
    clickOk(&provider);
    EXPECT_TRUE(provider.isVisible());
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Please enter the name of the provider."));
    provider.SetDetails(ProviderDetails { QStringLiteral("Boiron"), QStringLiteral("2 Rue"),
        QStringLiteral("b@example.org"), QStringLiteral("main") });
    clickOk(&provider);
    EXPECT_EQ(provider.result(), QDialog::Accepted);
    EXPECT_EQ(provider.GetDetails().email, QStringLiteral("b@example.org"));
}

TEST_F(DetailsDialogs, StockDialogNeedsEveryFieldAndResolvesATypedPotency)
{
    const qint64 arnica = addRemedy(QStringLiteral("Arnica"));
    const qint64 belladonna = addRemedy(QStringLiteral("Belladonna"));
    const qint64 c30 = addDilution(QStringLiteral("30C"));
    CLogicMedicines medicines(source());
    medicines.SetServices(services());
    CLogicDilutions dilutions(source());
    ASSERT_TRUE(medicines.Open());
    ASSERT_TRUE(dilutions.Open());
    Desktop::ScriptedPrompts prompts;

    CStockDetailsDialog dialog(&medicines, &dilutions);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add/Modify Stock"));
    auto *remedy = child<QComboBox>(&dialog, "remedy");
    auto *potency = child<QComboBox>(&dialog, "potency");
    auto *stock = child<QLineEdit>(&dialog, "stock");
    auto *threshold = child<QLineEdit>(&dialog, "threshold");
    auto *replenish = child<QLineEdit>(&dialog, "replenish");
    ASSERT_TRUE(remedy && potency && stock && threshold && replenish);
    EXPECT_EQ(remedy->count(), 2);
    EXPECT_EQ(remedy->itemData(1).toLongLong(), belladonna);
    EXPECT_EQ(potency->itemText(0), QStringLiteral("30C"));
    dialog.show();

    // Nothing filled in, then one count missing: the dialog says so and stays.
    clickOk(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Please fill all the fields!"));
    remedy->setCurrentIndex(0);
    potency->setEditText(QStringLiteral("200k"));
    QTest::keyClicks(stock, QStringLiteral("-3x"));
    QTest::keyClicks(threshold, QStringLiteral("5"));
    clickOk(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.Count(), 2);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 1); // nothing resolved yet

    QTest::keyClicks(replenish, QStringLiteral("-10"));
    EXPECT_EQ(replenish->text(), QStringLiteral("10")); // only the stock may be negative
    clickOk(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const StockDetails details = dialog.GetDetails();
    EXPECT_EQ(details.remedyId, arnica);
    EXPECT_EQ(details.stock, -3);
    EXPECT_EQ(details.threshold, 5);
    EXPECT_EQ(details.replenish, 10);
    EXPECT_NE(details.dilutionId, c30);
    EXPECT_EQ(fieldOf(QStringLiteral("DILUTION"), details.dilutionId, QStringLiteral("VALUE")),
        QStringLiteral("200k"));

    // The same potency in another case, typed into a second dialog, finds that row.
    CStockDetailsDialog second(&medicines, &dilutions);
    second.SetDetails(details);
    EXPECT_EQ(child<QComboBox>(&second, "remedy")->currentText(), QStringLiteral("Arnica"));
    EXPECT_EQ(child<QComboBox>(&second, "potency")->currentText(), QStringLiteral("200k"));
    child<QComboBox>(&second, "potency")->setEditText(QStringLiteral("200K"));
    second.show();
    clickOk(&second);
    ASSERT_EQ(second.result(), QDialog::Accepted);
    EXPECT_EQ(second.GetDetails().dilutionId, details.dilutionId);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 2);
}

TEST_F(DetailsDialogs, StockOfADeletedRemedyMustChooseARemedy)
{
    addRemedy(QStringLiteral("Arnica"));
    const qint64 c30 = addDilution(QStringLiteral("30C"));
    CLogicMedicines medicines(source());
    medicines.SetServices(services());
    CLogicDilutions dilutions(source());
    ASSERT_TRUE(medicines.Open());
    ASSERT_TRUE(dilutions.Open());
    Desktop::ScriptedPrompts prompts;

    CStockDetailsDialog dialog(&medicines, &dilutions);
    dialog.SetDetails(StockDetails { 777, c30, QStringLiteral("30C"), 1, 2, 3 });
    EXPECT_EQ(child<QComboBox>(&dialog, "remedy")->currentIndex(), -1);
    dialog.show();
    clickOk(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Please fill all the fields!"));
}
