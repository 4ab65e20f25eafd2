// The management dialogs with their lists, driven like a user would: double
// clicks, Del, the provider combo, type-ahead, and the details dialogs.
#include "RefDataTestUtil.h"
#include "core/CommandCodes.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicProviders.h"
#include "finance/LogicStocks.h"
#include "finance/ui/ManagementDialog.h"
#include "finance/ui/MedicineDetailsDialog.h"
#include "finance/ui/ProviderDetailsDialog.h"
#include "finance/ui/StockDetailsDialog.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "common/Money.h"
#include "support/ScriptedDesktop.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

using namespace RefDataTest;
using Korbel::CXListCtrl;

namespace {

class Lists : public Database
{
protected:
    void SetUp() override
    {
        Database::SetUp();
        m_medicines = std::make_unique<CLogicMedicines>(source());
        m_medicines->SetServices(services());
        m_dilutions = std::make_unique<CLogicDilutions>(source());
        m_stocks = std::make_unique<CLogicStocks>(source(), m_medicines.get(), m_dilutions.get());
        m_stocks->SetServices(services());
        m_medicines->SetLogicStocks(m_stocks.get());
    }

    // Shows a management dialog with its list filled by a logic object.
    template<class Logic> CXListCtrl *show(CManagementDialog *dialog, Logic *logic)
    {
        m_dialog.reset(dialog);
        EXPECT_TRUE(logic->Open());
        logic->SetList(dialog->List());
        EXPECT_TRUE(logic->FillList());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        return dialog->List();
    }

    // Double-clicks a row after arranging how its details dialog is answered.
    template<class Details> void edit(CXListCtrl *list, int row, std::function<void(Details *)> answer)
    {
        WhenModal<Details>(std::move(answer));
        list->EnsureVisible(row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->GetSubItemRect(row, 0).center());
    }

    static void pressDel(CXListCtrl *list, int row)
    {
        list->SetCurSel(row);
        QTest::keyClick(list, Qt::Key_Delete);
    }

    template<class T> static T *child(QWidget *dialog, const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }

    static void fillRemedy(CMedicineDetailsDialog *dialog, const QString &name, const QString &price,
        const QString &providerPrice, const QString &provider)
    {
        child<QLineEdit>(dialog, "name")->setText(name);
        child<QLineEdit>(dialog, "price")->setText(price);
        child<QLineEdit>(dialog, "providerPrice")->setText(providerPrice);
        child<QComboBox>(dialog, "provider")->setCurrentText(provider);
        dialog->accept();
    }

    QString remedyField(qint64 id, const char *field)
    {
        return fieldOf(QStringLiteral("MEDICINES"), id, QString::fromLatin1(field));
    }

    Desktop::ScriptedPrompts m_prompts;
    std::unique_ptr<CLogicMedicines> m_medicines;
    std::unique_ptr<CLogicDilutions> m_dilutions;
    std::unique_ptr<CLogicStocks> m_stocks;
    std::unique_ptr<CManagementDialog> m_dialog;
};

} // namespace

TEST_F(Lists, RemedyRowsShowNamesMoneyProviderAndShortDescription)
{
    const qint64 weleda = addProvider(QStringLiteral("Weleda"));
    addProvider(QStringLiteral("Boiron"));
    const QString description = QStringLiteral("Forty-five characters of remedy description!!");
    ASSERT_EQ(description.size(), 45);
    const qint64 arnica = addRemedy(
        QStringLiteral("Arnica"), QStringLiteral("12.5"), QStringLiteral("7"), weleda, description);
    addRemedy(QStringLiteral("belladonna"), QStringLiteral("abc"), QStringLiteral("1"));
    addRemedy(QStringLiteral("Sulphur"), QStringLiteral("3"), QStringLiteral("1"), 999); // provider gone

    CXListCtrl *list = show(new CMedicinesDialog, m_medicines.get());
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral(" Arnica"));
    EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral(" $12.50"));
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral(" $7.00"));
    EXPECT_EQ(list->GetComboText(0, 3), QStringLiteral("Weleda"));
    EXPECT_EQ(list->GetItemText(0, 4), QLatin1Char(' ') + description.left(30));
    EXPECT_EQ(list->GetItemData(0), quintptr(arnica));
    EXPECT_EQ(list->GetItemText(1, 1), QStringLiteral(" $0.00")); // a price typed with letters
    EXPECT_EQ(list->GetComboText(1, 3), QStringLiteral("NoProvider"));
    EXPECT_EQ(list->GetComboText(2, 3), QStringLiteral("NoProvider"));
    EXPECT_EQ(list->GetItemText(3, 0), QStringLiteral("Double click here to add new..."));
    EXPECT_TRUE(list->IsItemPlaceHolder(3));

    m_dialog->resize(900, 500);
    m_medicines->SetColumnWidths();
    const int w = list->viewport()->width();
    EXPECT_EQ(list->GetColumnWidth(0), w / 5 - 25);
    EXPECT_EQ(list->GetColumnWidth(3), w / 5 - 25);
    EXPECT_EQ(list->GetColumnWidth(4), w / 5 + 70);
}

TEST_F(Lists, AddingAndRenamingRemediesKeepsNamesUnique)
{
    const qint64 boiron = addProvider(QStringLiteral("Boiron"));
    const qint64 arnica
        = addRemedy(QStringLiteral("Arnica"), QStringLiteral("10"), QStringLiteral("6"), boiron);
    const qint64 belladonna = addRemedy(QStringLiteral("Belladonna"));
    CXListCtrl *list = show(new CMedicinesDialog, m_medicines.get());

    // A price below the provider's warns and still stores both.
    edit<CMedicineDetailsDialog>(list, 2, [](CMedicineDetailsDialog *d) {
        EXPECT_EQ(child<QComboBox>(d, "provider")->currentText(), QStringLiteral("NoProvider"));
        fillRemedy(d, QStringLiteral("Nux vomica"), QStringLiteral("5"), QStringLiteral("7"),
            QStringLiteral("Boiron"));
    });
    EXPECT_EQ(m_prompts.Texts(),
        QStringList {
            QStringLiteral("The provider's price for this remedy is greater than the remedy's price.") });
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(list->GetItemText(2, 0), QStringLiteral(" Nux vomica"));
    EXPECT_TRUE(list->IsItemPlaceHolder(3));
    const qint64 nux = static_cast<qint64>(list->GetItemData(2));
    EXPECT_DOUBLE_EQ(Verdanta::MoneyFromStorageText(remedyField(nux, "PRICE")), 5.0);
    EXPECT_DOUBLE_EQ(Verdanta::MoneyFromStorageText(remedyField(nux, "PROVIDER_PRICE")), 7.0);
    EXPECT_EQ(remedyField(nux, "PROVIDER_ID"), Verdanta::FormatId(boiron));

    // Renaming a remedy to its own name in another case is accepted; choosing
    // "NoProvider" stores "0".
    m_prompts.Clear();
    edit<CMedicineDetailsDialog>(list, 0, [](CMedicineDetailsDialog *d) {
        EXPECT_EQ(child<QLineEdit>(d, "name")->text(), QStringLiteral("Arnica"));
        EXPECT_EQ(child<QComboBox>(d, "provider")->currentText(), QStringLiteral("Boiron"));
        fillRemedy(d, QStringLiteral("ARNICA "), QStringLiteral("10"), QStringLiteral("6"),
            QStringLiteral("NoProvider"));
    });
    EXPECT_TRUE(m_prompts.Texts().isEmpty());
    EXPECT_EQ(remedyField(arnica, "NAME"), QStringLiteral("ARNICA "));
    EXPECT_EQ(remedyField(arnica, "PROVIDER_ID"), QStringLiteral("0"));
    EXPECT_EQ(list->GetComboText(0, 3), QStringLiteral("NoProvider"));

    // Another remedy's name in lower case is refused and that remedy selected.
    edit<CMedicineDetailsDialog>(list, 1, [](CMedicineDetailsDialog *d) {
        fillRemedy(d, QStringLiteral(" arnica"), QStringLiteral("1"), QStringLiteral("1"),
            QStringLiteral("NoProvider"));
    });
    EXPECT_EQ(m_prompts.LastText(), QStringLiteral("A remedy with this name already exists."));
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(remedyField(belladonna, "NAME"), QStringLiteral("Belladonna"));

    // The same for a new remedy, and Cancel stores nothing either.
    edit<CMedicineDetailsDialog>(list, 3, [](CMedicineDetailsDialog *d) {
        fillRemedy(d, QStringLiteral("belladonna"), {}, {}, QStringLiteral("NoProvider"));
    });
    edit<CMedicineDetailsDialog>(list, 3, [](CMedicineDetailsDialog *d) {
        child<QLineEdit>(d, "name")->setText(QStringLiteral("Sepia"));
        d->reject();
    });
    EXPECT_EQ(rowCount(QStringLiteral("MEDICINES")), 3);
    EXPECT_EQ(list->GetItemCount(), 4);
}

TEST_F(Lists, ProviderChosenInTheListIsStoredAndDelAsksFirst)
{
    const qint64 weleda = addProvider(QStringLiteral("Weleda"));
    const qint64 arnica = addRemedy(QStringLiteral("Arnica"));
    const qint64 sepia = addRemedy(QStringLiteral("Sepia"));
    addRow(QStringLiteral("STOCKS"),
        { { QStringLiteral("MEDICINE_ID"), Verdanta::FormatId(sepia) },
            { QStringLiteral("DILUTION_ID"), QString::number(addDilution(QStringLiteral("6X"))) },
            { QStringLiteral("STOCK"), QStringLiteral("4") } });
    CXListCtrl *list = show(new CMedicinesDialog, m_medicines.get());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->GetSubItemRect(0, 3).center());
    QComboBox *combo = nullptr;
    ASSERT_TRUE(TestSupport::WaitFor([&] {
        combo = list->findChild<QComboBox *>();
        return combo && combo->view()->isVisible();
    }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    ASSERT_TRUE(TestSupport::WaitFor(
        [&] { return remedyField(arnica, "PROVIDER_ID") == Verdanta::FormatId(weleda); }));

    // The hub's form of the same notification.
    list->SetComboBox(0, 3, true, m_medicines->GetProviderNames(), 0);
    LogicCommand chosen;
    chosen.code = CommandCode::RemedyProviderChosen;
    chosen.id = 0;
    chosen.subCommand = CLogicMedicines::ProviderColumn;
    EXPECT_EQ(m_medicines->OnCommand(chosen), 1);
    EXPECT_EQ(remedyField(arnica, "PROVIDER_ID"), QStringLiteral("0"));

    // Del: No keeps the remedy, Yes deletes it even though a stock row names it.
    m_prompts.QueueAnswer(Desktop::Answer::No);
    pressDel(list, 1);
    EXPECT_EQ(m_prompts.LastText(), QStringLiteral("Are you sure you want to delete this remedy?"));
    EXPECT_EQ(list->GetItemCount(), 3);
    pressDel(list, 1);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(remedyField(sepia, "NAME"), QStringLiteral("<no row>"));
    pressDel(list, 1); // the trailing row is no remedy
    EXPECT_EQ(list->GetItemCount(), 2);

    // The stock row of the deleted remedy shows an empty name and still opens.
    CXListCtrl *stocks = show(new CStocksDialog, m_stocks.get());
    ASSERT_EQ(stocks->GetItemCount(), 2);
    EXPECT_EQ(stocks->GetItemText(0, 0), QStringLiteral(" "));
    EXPECT_EQ(stocks->GetItemText(0, 1), QStringLiteral(" 6X"));
    edit<CStockDetailsDialog>(stocks, 0, [](CStockDetailsDialog *d) {
        EXPECT_EQ(child<QComboBox>(d, "remedy")->currentIndex(), -1);
        EXPECT_EQ(child<QLineEdit>(d, "stock")->text(), QStringLiteral("4"));
        d->reject();
    });
}

TEST_F(Lists, StockEntriesAreOnePerRemedyAndDilution)
{
    const qint64 arnica = addRemedy(QStringLiteral("Arnica"));
    addRemedy(QStringLiteral("Bryonia"));
    CXListCtrl *list = show(new CStocksDialog, m_stocks.get());
    ASSERT_EQ(list->GetItemCount(), 1);

    const auto answer = [](const QString &remedy, const QString &potency, const QString &stock) {
        return [=](CStockDetailsDialog *d) {
            child<QComboBox>(d, "remedy")->setCurrentText(remedy);
            child<QComboBox>(d, "potency")->setEditText(potency);
            child<QLineEdit>(d, "stock")->setText(stock);
            child<QLineEdit>(d, "threshold")->setText(QStringLiteral("3"));
            child<QLineEdit>(d, "replenish")->setText(QStringLiteral("10"));
            d->accept();
        };
    };
    edit<CStockDetailsDialog>(
        list, 0, answer(QStringLiteral("Arnica"), QStringLiteral("200K"), QStringLiteral("2")));
    edit<CStockDetailsDialog>(
        list, 1, answer(QStringLiteral("Bryonia"), QStringLiteral("30C"), QStringLiteral("-1")));
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral(" Arnica"));
    EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral(" 200K"));
    EXPECT_EQ(list->GetItemText(1, 2), QStringLiteral(" -1"));
    EXPECT_EQ(list->GetItemText(1, 4), QStringLiteral(" 10"));
    EXPECT_TRUE(list->IsItemPlaceHolder(2));

    // The same remedy in "200k": one dilution row, the entry refused, the first selected.
    list->SetCurSel(-1);
    edit<CStockDetailsDialog>(
        list, 2, answer(QStringLiteral("Arnica"), QStringLiteral("200k"), QStringLiteral("9")));
    EXPECT_EQ(
        m_prompts.LastText(), QStringLiteral("There is already a stock entry created for this remedy."));
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(rowCount(QStringLiteral("STOCKS")), 2);
    EXPECT_EQ(rowCount(QStringLiteral("DILUTION")), 2);

    // Changing the second row to the first one's remedy and dilution is refused too.
    m_prompts.Clear();
    edit<CStockDetailsDialog>(
        list, 1, answer(QStringLiteral("Arnica"), QStringLiteral("200K"), QStringLiteral("5")));
    EXPECT_EQ(m_prompts.Count(), 1);
    // Its own counts change freely.
    edit<CStockDetailsDialog>(
        list, 0, answer(QStringLiteral("Arnica"), QStringLiteral("200K"), QStringLiteral("7")));
    EXPECT_EQ(m_prompts.Count(), 1);
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral(" 7"));
    int stock = 0;
    qint64 k200 = 0;
    ASSERT_TRUE(m_dilutions->GetOrAdd(QStringLiteral("200K"), &k200));
    ASSERT_TRUE(m_stocks->Open());
    ASSERT_TRUE(m_stocks->Get(arnica, k200, &stock, nullptr, nullptr, nullptr));
    EXPECT_EQ(stock, 7);

    m_prompts.QueueAnswer(Desktop::Answer::Yes);
    pressDel(list, 1);
    EXPECT_EQ(m_prompts.LastText(), QStringLiteral("Are you sure you want to delete this stock entry?"));
    EXPECT_EQ(rowCount(QStringLiteral("STOCKS")), 1);
}

TEST_F(Lists, TypeAheadJumpsByRemedyPrefixAndRestartsAfterAPause)
{
    const qint64 dilution = addDilution(QStringLiteral("30C"));
    for (const char *name : { "Arnica", "Belladonna", "Bryonia", "Berberis" }) {
        addRow(QStringLiteral("STOCKS"),
            { { QStringLiteral("MEDICINE_ID"), Verdanta::FormatId(addRemedy(QString::fromLatin1(name))) },
                { QStringLiteral("DILUTION_ID"), Verdanta::FormatId(dilution) } });
    }
    show(new CStocksDialog, m_stocks.get());
    auto *dialog = static_cast<CStocksDialog *>(m_dialog.get());
    CXListCtrl *list = dialog->List();

    EXPECT_TRUE(dialog->TypeAhead(QLatin1Char('b'), 1000));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(dialog->TypeAhead(QLatin1Char('r'), 1499));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_TRUE(dialog->TypeAhead(QLatin1Char('A'), 1999)); // 500 ms later: "a" alone
    EXPECT_EQ(dialog->TypedPrefix(), QStringLiteral("A"));
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_FALSE(dialog->TypeAhead(QLatin1Char('z'), 2000));
    EXPECT_EQ(list->GetCurSel(), 0);

    // Keys typed in the list go the same way.
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("bEr"));
    EXPECT_EQ(list->GetCurSel(), 3);
}

TEST_F(Lists, ProvidersAreAddedModifiedAndDeleted)
{
    const qint64 weleda = addProvider(QStringLiteral("Weleda"), QStringLiteral("old@weleda.example"));
    CLogicProviders providers(source());
    providers.SetServices(services());
    CXListCtrl *list = show(new CProvidersDialog, &providers);
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetColumnHeading(2), QStringLiteral("Email"));
    EXPECT_EQ(list->GetItemText(0, 2), QStringLiteral(" old@weleda.example"));

    edit<CProviderDetailsDialog>(list, 0, [](CProviderDetailsDialog *d) {
        EXPECT_EQ(child<QLineEdit>(d, "name")->text(), QStringLiteral("Weleda"));
        child<QLineEdit>(d, "email")->setText(QStringLiteral("orders@weleda.example"));
        d->accept();
    });
    edit<CProviderDetailsDialog>(list, 1, [](CProviderDetailsDialog *d) {
        child<QLineEdit>(d, "name")->setText(QStringLiteral("Boiron"));
        child<QPlainTextEdit>(d, "description")->setPlainText(QStringLiteral("Lyon"));
        d->accept();
    });
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(1, 3), QStringLiteral(" Lyon"));
    QString name, email;
    ASSERT_TRUE(providers.GetNameAndEmail(weleda, &name, &email));
    EXPECT_EQ(email, QStringLiteral("orders@weleda.example"));

    pressDel(list, 0);
    EXPECT_EQ(m_prompts.LastText(), QStringLiteral("Are you sure you want to delete this provider?"));
    EXPECT_EQ(rowCount(QStringLiteral("PROVIDERS")), 1);
    EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral(" Boiron"));
}

TEST_F(Lists, CommandsOpenTheDialogsOverTheGivenWindow)
{
    QWidget mainWindow;
    LogicCommand command;
    command.control = &mainWindow;
    command.window = &mainWindow;
    command.code = CommandCode::Remedies;
    WhenModal<CMedicinesDialog>([&](CMedicinesDialog *remedies) {
        EXPECT_EQ(remedies->windowTitle(), QStringLiteral("Remedies Management"));
        EXPECT_EQ(remedies->parentWidget(), &mainWindow);
        EXPECT_EQ(remedies->findChild<QLabel *>()->text(),
            QStringLiteral(
                "Add/Modify by double-clicking on the corresponding row. Select and hit 'Del' to delete."));
        // "Stocks" opens the stocks dialog over the remedies dialog.
        WhenModal<CStocksDialog>([remedies](CStocksDialog *stocks) {
            EXPECT_EQ(stocks->windowTitle(), QStringLiteral("Stocks Management"));
            EXPECT_EQ(stocks->parentWidget(), remedies);
            child<QPushButton>(stocks, "done")->click();
        });
        child<QPushButton>(remedies, "stocks")->click();
        child<QPushButton>(remedies, "done")->click();
    });
    EXPECT_EQ(m_medicines->OnCommand(command), 1);

    CLogicProviders providers(source());

    providers.SetServices(services());
    command.code = CommandCode::Providers;
    WhenModal<CProvidersDialog>([](CProvidersDialog *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Providers"));
        d->accept();
    });
    EXPECT_EQ(providers.OnCommand(command), 1);
    command.code = 12345;
    EXPECT_EQ(providers.OnCommand(command), 0);
    EXPECT_EQ(m_stocks->OnCommand(command), 0);
}
