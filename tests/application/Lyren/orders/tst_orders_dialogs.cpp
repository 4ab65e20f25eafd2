// The "Orders" command with the real dialogs, offscreen: the list, the
// generation with its details tree, Del on a line, and the list's own Del.
#include "OrdersTestUtil.h"

#include "application/Lyren/finance/RefDataTestUtil.h"
#include "orders/ui/COrderDetailsDialog.h"
#include "orders/ui/COrdersDialog.h"
#include "orders/ui/OrderDialogsUi.h"

#include "core/CommandCodes.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "support/ScriptedDesktop.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeWidget>

using namespace OrdersTest;
using RefDataTest::WhenModal;

TEST(OrdersDialogs, TheOrdersCommandGeneratesReviewsAndDeletesThroughTheRealDialogs)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedPrompts prompts;
    Practice practice(dir.rootWithSeparator());
    ASSERT_TRUE(practice.Open());
    COrderDialogsUi windows;
    practice.Hub().Services().Provide<IOrderDialogs>(&windows);
    ASSERT_TRUE(practice.Hub().Reaches(CommandCode::Orders));

    const qint64 alpha = practice.AddProvider(QStringLiteral("Alpha"));
    const qint64 beta = practice.AddProvider(QStringLiteral("Beta"));
    const qint64 d30 = practice.AddDilution(QStringLiteral("30C"));
    const qint64 arnica = practice.AddRemedy(QStringLiteral("Arnica"), alpha, QStringLiteral("2.5"));
    const qint64 bella = practice.AddRemedy(QStringLiteral("Belladonna"), alpha, QStringLiteral("1"));
    const qint64 calc = practice.AddRemedy(QStringLiteral("Calcarea"), beta, QStringLiteral("4"));
    for (qint64 remedy : { arnica, bella, calc })
        practice.AddStock(remedy, d30, 0, 2, 0, 0);
    const qint64 anna = practice.AddPatient(QStringLiteral("Anna"), QStringLiteral("Pop"));
    const qint64 waiting = practice.AddPrescription(anna, arnica, d30, 1, 1);

    int rowsShown = -1;
    QStringList topLevel;
    QStringList children;
    QString cost;
    WhenModal<COrdersDialog>([&](COrdersDialog *orders) {
        WhenModal<COrderDetailsDialog>([&](COrderDetailsDialog *details) {
            QTreeWidget *tree = details->Tree();
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                topLevel << tree->topLevelItem(i)->text(0);
            // Two providers: a heading each, the lines under them.
            QTreeWidgetItem *arnicaLine = tree->topLevelItem(0)->child(0);
            for (int i = 0; i < arnicaLine->childCount(); ++i)
                children << arnicaLine->child(i)->text(0);
            // Del on a prescription does nothing; on a line it asks.
            tree->setCurrentItem(arnicaLine->child(0));
            QTest::keyClick(tree, Qt::Key_Delete);
            EXPECT_EQ(prompts.Count(), 0);
            tree->setCurrentItem(tree->topLevelItem(0)->child(1));
            prompts.QueueAnswer(Desktop::Answer::Yes);
            QTest::keyClick(tree, Qt::Key_Delete);
            EXPECT_EQ(prompts.LastText(), QStringLiteral("Are you sure you want to delete this order item?"));
            EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
            cost = details->findChild<QLineEdit *>(QStringLiteral("estimatedCost"))->text();
            details->accept();
        });
        orders->findChild<QPushButton *>(QStringLiteral("generate"))->click();
        rowsShown = orders->List()->GetItemCount();
        // Del in the list asks before the order goes.
        orders->List()->SetCurSel(1);
        prompts.QueueAnswer(Desktop::Answer::Yes);
        QTest::keyClick(orders->List(), Qt::Key_Delete);
        orders->findChild<QPushButton *>(QStringLiteral("done"))->click();
    });
    LogicCommand command;
    command.code = CommandCode::Orders;
    EXPECT_EQ(practice.Hub().OnCommand(command), 1);

    ASSERT_EQ(topLevel.size(), 2);
    EXPECT_TRUE(topLevel[0].startsWith(QStringLiteral("Provider: Alpha")));
    EXPECT_TRUE(topLevel[1].startsWith(QStringLiteral("Provider: Beta")));
    ASSERT_EQ(children.size(), 1);
    EXPECT_TRUE(children[0].startsWith(QStringLiteral("Anna  Pop    Quantity: 1   Creation Date: ")));
    EXPECT_EQ(cost, QStringLiteral("$13.00"));
    EXPECT_EQ(rowsShown, 2);
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Are you sure you want to delete this order?"));
    // The Beta order went with Del; Alpha's stays with its one line.
    const auto ids = practice.AllIds(QStringLiteral("ORDERS"));
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(
        practice.Value(QStringLiteral("ORDERS"), ids[0], QStringLiteral("PROVIDER_ID")).toLongLong(), alpha);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 1);
    EXPECT_EQ(practice.StockOf(calc, d30).predicted, 0);
    EXPECT_EQ(practice.StockOf(bella, d30).predicted, 0);
    EXPECT_EQ(
        practice.Value(QStringLiteral("PRESCRIPTIONS"), waiting, QStringLiteral("STATUS_ID")).toInt(), 2);
    practice.Hub().Services().Provide<IOrderDialogs>(&practice.dialogs);
}
