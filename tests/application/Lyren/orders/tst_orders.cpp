// Orders over a real practice: generation from the stock, the attached
// prescriptions, modification, sending through a stand-in mail program,
// receiving into stock and deletion, each store whole or not at all.
#include "OrdersTestUtil.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "support/FakeXdgEmail.h"
#include "support/ScriptedDesktop.h"
#include "support/TestDatabases.h"

#include <gtest/gtest.h>

using namespace OrdersTest;

namespace {

const QString kToBeOrdered = QStringLiteral("To be ordered");
const QString kSent = QStringLiteral("Sent");
const QString kReceived = QStringLiteral("Received");

// On both engines.
class Orders : public ::testing::TestWithParam<Korbel::Engine>
{
protected:
    void SetUp() override
    {
        VERDANTA_SKIP_WITHOUT_SERVER(GetParam());
        QString error;
        ASSERT_TRUE(practice.Open(&error)) << error.toStdString();
        alpha = practice.AddProvider(QStringLiteral("Alpha"), QStringLiteral("orders@alpha.example"));
        beta = practice.AddProvider(QStringLiteral("Beta"), QStringLiteral("orders@beta.example"));
        d30 = practice.AddDilution(QStringLiteral("30C"));
        d6 = practice.AddDilution(QStringLiteral("6X"));
        arnica = practice.AddRemedy(QStringLiteral("Arnica"), alpha, QStringLiteral("2.5"));
        bella = practice.AddRemedy(QStringLiteral("Belladonna"), alpha, QStringLiteral("1.2"));
        calc = practice.AddRemedy(QStringLiteral("Calcarea"), beta, QStringLiteral("4"));
        anna = practice.AddPatient(QStringLiteral("Anna"), QStringLiteral("Pop"));
        ASSERT_TRUE(orders().LoadLookups());
        orders().SetList(&list);
        ASSERT_TRUE(orders().FillList());
    }
    void TearDown() override
    {
        if (!IsSkipped())
            orders().SetList(nullptr);
    }

    CLogicOrders &orders() { return practice.Orders(); }
    QVariant field(const QString &table, qint64 id, const QString &name)
    {
        return practice.Value(table, id, name);
    }
    int statusOf(qint64 prescription)
    {
        return field(QStringLiteral("PRESCRIPTIONS"), prescription, QStringLiteral("STATUS_ID")).toInt();
    }
    qint64 orderOf(qint64 prescription)
    {
        return field(QStringLiteral("PRESCRIPTIONS"), prescription, QStringLiteral("ORDER_ID")).toLongLong();
    }
    int orderStatus(qint64 order)
    {
        return field(QStringLiteral("ORDERS"), order, QStringLiteral("STATUS_ID")).toInt();
    }
    // The entries of a combo cell of the list.
    QStringList comboItems(int row, int column) const
    {
        return list.model()->index(row, column).data(Qt::UserRole + 2).toStringList();
    }
    // One order of Arnica 30C (stock 2, predicted 1, threshold 5, replenish
    // 10: 12 units) with a prescription of 3 units waiting for it.
    qint64 generateOne(qint64 *prescription)
    {
        practice.AddStock(arnica, d30, 2, 5, 10, 1);
        *prescription = practice.AddPrescription(anna, arnica, d30, 1, 3);
        EXPECT_TRUE(orders().Generate(nullptr));
        const auto ids = practice.AllIds(QStringLiteral("ORDERS"));
        return ids.size() == 1 ? ids.front() : 0;
    }

    TestSupport::TemporaryFolder dir;
    TestSupport::EngineDatabases databases { GetParam() };
    QString location
        = GetParam() == Korbel::Engine::PostgreSQL && TestSupport::ScratchServerDatabase::Available()
        ? databases.NewLocation()
        : dir.filePath(QStringLiteral("data.mdb"));
    Desktop::ScriptedPrompts prompts;
    Desktop::ScriptedShell shell;
    Practice practice { dir.rootWithSeparator(), Korbel::IsServerAddress(location) ? location : QString() };
    Korbel::CXListCtrl list;
    qint64 alpha = 0, beta = 0, d30 = 0, d6 = 0, arnica = 0, bella = 0, calc = 0, anna = 0;
};

} // namespace

TEST_P(Orders, GenerationOrdersWhatFellBelowThresholdOneOrderPerProviderWithItsPrescriptions)
{
    practice.AddStock(arnica, d30, 2, 5, 10, 1); // 3 < 5: 5 - 2 - 1 + 10 = 12
    practice.AddStock(bella, d30, 0, 3, 2, 0); // 3 - 0 - 0 + 2 = 5
    practice.AddStock(calc, d6, -2, 0, 0, 0); // a prescription the stock did not cover: 2
    practice.AddStock(arnica, d6, 5, 5, 10, 0); // at the threshold: nothing
    const qint64 waiting = practice.AddPrescription(anna, arnica, d30, 1, 3);
    const qint64 noLine = practice.AddPrescription(anna, arnica, d6, 1, 1);
    const qint64 otherProvider = practice.AddPrescription(anna, calc, d6, 1, 2);
    const qint64 fromStock = practice.AddPrescription(anna, bella, d30, 5, 1);

    ASSERT_TRUE(orders().Generate(nullptr));
    ASSERT_EQ(practice.dialogs.detailsShown, 1);
    const auto &tree = practice.dialogs.lastTree;
    ASSERT_EQ(tree.size(), 2u);
    ASSERT_EQ(tree[0].lines.size(), 2u);
    EXPECT_EQ(tree[0].lines[0].text,
        QStringLiteral("Arnica  30C    Total Quantity: 12    Estimated Cost: $30.00 "));
    ASSERT_EQ(tree[0].lines[0].prescriptions.size(), 1);
    EXPECT_TRUE(tree[0].lines[0].prescriptions[0].startsWith(
        QStringLiteral("Anna  Pop    Quantity: 3   Creation Date: ")));
    EXPECT_EQ(tree[0].lines[1].text,
        QStringLiteral("Belladonna  30C    Total Quantity: 5    Estimated Cost: $6.00 "));
    ASSERT_EQ(tree[1].lines.size(), 1u);
    EXPECT_TRUE(tree[1].heading.startsWith(QStringLiteral("Provider: Beta")));

    const auto ids = practice.AllIds(QStringLiteral("ORDERS"));
    ASSERT_EQ(ids.size(), 2u);
    const qint64 a = ids[0];
    const qint64 b = ids[1];
    EXPECT_EQ(field(QStringLiteral("ORDERS"), a, QStringLiteral("PROVIDER_ID")).toLongLong(), alpha);
    EXPECT_EQ(field(QStringLiteral("ORDERS"), b, QStringLiteral("PROVIDER_ID")).toLongLong(), beta);
    EXPECT_EQ(orderStatus(a), 1);
    EXPECT_DOUBLE_EQ(field(QStringLiteral("ORDERS"), a, QStringLiteral("ESTIMATED_PRICE")).toDouble(), 36.0);
    EXPECT_DOUBLE_EQ(field(QStringLiteral("ORDERS"), b, QStringLiteral("ESTIMATED_PRICE")).toDouble(), 8.0);
    EXPECT_EQ(practice.IdsWhere(QStringLiteral("ORDER_ITEMS"), QStringLiteral("ORDER_ID"), a).size(), 2u);
    EXPECT_EQ(practice.IdsWhere(QStringLiteral("ORDER_ITEMS"), QStringLiteral("ORDER_ID"), b).size(), 1u);

    // What is on order is predicted; the stock itself waits for the goods.
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 2);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 13);
    EXPECT_EQ(practice.StockOf(bella, d30).predicted, 5);
    EXPECT_EQ(practice.StockOf(calc, d6).predicted, 2);
    EXPECT_EQ(practice.StockOf(arnica, d6).predicted, 0);

    EXPECT_EQ(statusOf(waiting), 2);
    EXPECT_EQ(orderOf(waiting), a);
    EXPECT_EQ(statusOf(otherProvider), 2);
    EXPECT_EQ(orderOf(otherProvider), b);
    EXPECT_EQ(statusOf(noLine), 1);
    EXPECT_EQ(orderOf(noLine), 0);
    EXPECT_EQ(statusOf(fromStock), 5);
    qint64 toldOrder = 0;
    EXPECT_EQ(practice.sink.LastStatus(waiting, &toldOrder), 2);
    EXPECT_EQ(toldOrder, a);
    EXPECT_EQ(practice.sink.LastStatus(noLine), 0);

    // The list shows both, a new order offering no "received".
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(0, CLogicOrders::ProviderColumn), QStringLiteral("Alpha"));
    EXPECT_EQ(list.GetComboText(0, CLogicOrders::StatusColumn), kToBeOrdered);
    EXPECT_EQ(comboItems(0, CLogicOrders::StatusColumn), (QStringList { kToBeOrdered, kSent }));
    EXPECT_EQ(list.GetItemText(0, CLogicOrders::PriceColumn), QStringLiteral("$36.00"));

    // Everything on order now covers the thresholds.
    EXPECT_FALSE(orders().Generate(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("There is no remedy scheduled to be ordered."));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 2);
}

TEST_P(Orders, NothingBelowThresholdOrACancelledReviewStoresNothing)
{
    practice.AddStock(arnica, d30, 5, 5, 10, 0);
    const qint64 waiting = practice.AddPrescription(anna, arnica, d30, 1, 2);
    EXPECT_FALSE(orders().Generate(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("There is no remedy scheduled to be ordered."));
    EXPECT_EQ(practice.dialogs.detailsShown, 0);

    practice.AddStock(bella, d30, 0, 2, 0, 0);
    practice.dialogs.onDetails = [](COrderDetails &) { return false; };
    EXPECT_FALSE(orders().Generate(nullptr));
    EXPECT_EQ(practice.dialogs.detailsShown, 1);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 0);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 0);
    EXPECT_EQ(practice.StockOf(bella, d30).predicted, 0);
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_TRUE(practice.sink.calls.empty());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_P(Orders, TheReviewChoosesProviderDescriptionAndDropsLines)
{
    practice.AddStock(arnica, d30, 0, 1, 0, 0);
    practice.AddStock(bella, d30, 0, 2, 0, 0);
    const qint64 onDropped = practice.AddPrescription(anna, bella, d30, 1, 1);
    practice.dialogs.onDetails = [&](COrderDetails &details) {
        EXPECT_EQ(details.EstimatedCost(), QStringLiteral("$4.90"));
        prompts.QueueAnswer(Desktop::Answer::No);
        EXPECT_FALSE(details.DeleteLine(nullptr, 0, 1));
        prompts.QueueAnswer(Desktop::Answer::Yes);
        EXPECT_TRUE(details.DeleteLine(nullptr, 0, 1));
        EXPECT_EQ(details.EstimatedCost(), QStringLiteral("$2.50"));
        details.SetProvider(0, int(details.ProviderNames().indexOf(QStringLiteral("Beta"))));
        details.Accept(QDateTime(QDate(2026, 12, 1), QTime(9, 0)), QDateTime(), QStringLiteral("Urgent"));
        return true;
    };
    ASSERT_TRUE(orders().Generate(nullptr));
    EXPECT_EQ(prompts.Texts().first(), QStringLiteral("Are you sure you want to delete this order item?"));
    const auto ids = practice.AllIds(QStringLiteral("ORDERS"));
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(field(QStringLiteral("ORDERS"), ids[0], QStringLiteral("PROVIDER_ID")).toLongLong(), beta);
    EXPECT_EQ(
        field(QStringLiteral("ORDERS"), ids[0], QStringLiteral("DESC")).toString(), QStringLiteral("Urgent"));
    EXPECT_EQ(field(QStringLiteral("ORDERS"), ids[0], QStringLiteral("CREATION_DT")).toDateTime(),
        QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
    EXPECT_FALSE(field(QStringLiteral("ORDERS"), ids[0], QStringLiteral("SENT_DT")).isValid());
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 1);
    EXPECT_EQ(practice.StockOf(bella, d30).predicted, 0);
    EXPECT_EQ(statusOf(onDropped), 1);
}

TEST_P(Orders, DeletingTheOnlyLineAndConfirmingDeletesTheOrderAndFreesItsPrescriptions)
{
    qint64 waiting = 0;
    const qint64 order = generateOne(&waiting);
    ASSERT_NE(order, 0);
    ASSERT_EQ(statusOf(waiting), 2);
    practice.sink.calls.clear();
    practice.dialogs.onDetails = [](COrderDetails &details) { return details.DeleteLine(nullptr, 0, 0); };

    // No to the empty orders question: nothing changes.
    prompts.QueueAnswer(Desktop::Answer::Yes);
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_FALSE(orders().Modify(order, nullptr));
    EXPECT_EQ(prompts.LastText(),
        QStringLiteral(
            "Some of the orders have no items and therefore will be deleted.\nDo you want to continue?"));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 1);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 13);

    prompts.QueueAnswer(Desktop::Answer::Yes);
    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_TRUE(orders().Modify(order, nullptr));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 0);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 0);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 1);
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_EQ(orderOf(waiting), 0);
    EXPECT_EQ(practice.sink.LastStatus(waiting), 1);
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_P(Orders, ReceivingPutsTheQuantitiesIntoStockExactlyOnce)
{
    qint64 waiting = 0;
    const qint64 order = generateOne(&waiting);
    ASSERT_NE(order, 0);
    ASSERT_EQ(list.GetItemCount(), 1);

    // A new order is received only after it was sent.
    EXPECT_FALSE(orders().ChangeStatus(0, kReceived));
    EXPECT_EQ(orderStatus(order), 1);
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 2);

    ASSERT_TRUE(orders().ChangeStatus(0, kSent));
    EXPECT_EQ(statusOf(waiting), 3);
    EXPECT_TRUE(field(QStringLiteral("ORDERS"), order, QStringLiteral("SENT_DT")).toDateTime().isValid());
    EXPECT_EQ(comboItems(0, CLogicOrders::StatusColumn), (QStringList { kToBeOrdered, kSent, kReceived }));
    ASSERT_TRUE(orders().ChangeStatus(0, kToBeOrdered));
    EXPECT_EQ(statusOf(waiting), 2);
    ASSERT_TRUE(orders().ChangeStatus(0, kSent));
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 2);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 13);

    ASSERT_TRUE(orders().ChangeStatus(0, kReceived));
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 14);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 1);
    EXPECT_EQ(statusOf(waiting), 4);
    EXPECT_EQ(practice.sink.LastStatus(waiting), 4);
    // A received order shows its status as text and stays received.
    EXPECT_EQ(list.GetItemText(0, CLogicOrders::StatusColumn), kReceived);
    EXPECT_TRUE(comboItems(0, CLogicOrders::StatusColumn).isEmpty());
    for (const QString &status : { kReceived, kSent, kToBeOrdered })
        EXPECT_FALSE(orders().ChangeStatus(0, status));
    EXPECT_EQ(orderStatus(order), 4);
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 14);

    // Nor can it be emptied or deleted.
    prompts.Clear();
    practice.dialogs.onDetails = [](COrderDetails &details) {
        EXPECT_FALSE(details.DeleteLine(nullptr, 0, 0));
        return true;
    };
    ASSERT_TRUE(orders().Modify(order, nullptr));
    EXPECT_EQ(prompts.Texts(),
        QStringList {
            QStringLiteral("The order has already been received, its content cannot be modified.") });
    EXPECT_FALSE(orders().Delete(0));
    EXPECT_EQ(
        prompts.LastText(), QStringLiteral("The order has already been received, it cannot be deleted."));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 1);
    EXPECT_EQ(practice.StockOf(arnica, d30).stock, 14);
}

TEST_P(Orders, DeleteAsksThenTakesTheOrderOffThePredictedStock)
{
    qint64 waiting = 0;
    const qint64 order = generateOne(&waiting);
    ASSERT_NE(order, 0);
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_FALSE(orders().Delete(0));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("Are you sure you want to delete this order?"));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 1);

    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_TRUE(orders().Delete(0));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 0);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 0);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 1);
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_EQ(orderOf(waiting), 0);
    EXPECT_EQ(practice.sink.LastStatus(waiting), 1);
}

TEST_P(Orders, SendingMailsTheOrderAndOnlyAConfirmedMailMarksItSent)
{
    TestSupport::FakeXdgEmail xdg;
    EXPECT_FALSE(orders().Send(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("There are no orders to be sent."));

    qint64 waiting = 0;
    const qint64 order = generateOne(&waiting);
    ASSERT_NE(order, 0);
    practice.AddStock(bella, d30, 0, 2, 0, 0);
    ASSERT_TRUE(orders().Generate(nullptr));
    prompts.Clear();
    // Nothing selected: nothing to send.
    list.SetCurSel(-1);
    EXPECT_FALSE(orders().Send(nullptr));
    EXPECT_FALSE(xdg.Ran());
    EXPECT_EQ(prompts.Count(), 0);

    list.SetCurSel(0);
    prompts.QueueAnswer(Desktop::Answer::No);
    EXPECT_FALSE(orders().Send(nullptr));
    const QStringList arguments = xdg.Arguments();
    ASSERT_TRUE(arguments.contains(QStringLiteral("--subject")));
    EXPECT_EQ(arguments.at(arguments.indexOf(QStringLiteral("--subject")) + 1), QStringLiteral("Order"));
    ASSERT_TRUE(arguments.contains(QStringLiteral("--body")));
    EXPECT_TRUE(arguments.at(arguments.indexOf(QStringLiteral("--body")) + 1)
                    .startsWith(QStringLiteral("Arnica   30C   Total Quantity: 12\n")));
    EXPECT_EQ(arguments.last(), QStringLiteral("Alpha <orders@alpha.example>"));
    EXPECT_EQ(orderStatus(order), 1);
    EXPECT_EQ(statusOf(waiting), 2);

    prompts.QueueAnswer(Desktop::Answer::Yes);
    ASSERT_TRUE(orders().Send(nullptr));
    EXPECT_EQ(orderStatus(order), 3);
    EXPECT_TRUE(field(QStringLiteral("ORDERS"), order, QStringLiteral("SENT_DT")).toDateTime().isValid());
    EXPECT_EQ(statusOf(waiting), 3);
    EXPECT_EQ(practice.sink.LastStatus(waiting), 3);
    EXPECT_FALSE(orders().Send(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("The selected order has already been sent."));
}

TEST_P(Orders, AnOrderWithoutProviderIsNotSentUntilOneIsChosenInTheList)
{
    TestSupport::FakeXdgEmail xdg;
    const qint64 loose = practice.AddRemedy(QStringLiteral("Nux"), 0, QStringLiteral("3"));
    practice.AddStock(loose, d30, 0, 1, 0, 0);
    ASSERT_TRUE(orders().Generate(nullptr));
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(comboItems(0, CLogicOrders::ProviderColumn),
        (QStringList { QStringLiteral("NoProvider"), QStringLiteral("Alpha"), QStringLiteral("Beta") }));
    list.SetCurSel(0);
    EXPECT_FALSE(orders().Send(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("No provider for this order, please select a provider."));
    EXPECT_FALSE(xdg.Ran());

    ASSERT_TRUE(orders().ChangeProvider(0, QStringLiteral("Beta")));
    EXPECT_EQ(list.GetItemText(0, CLogicOrders::ProviderColumn), QStringLiteral("Beta"));
    prompts.QueueAnswer(Desktop::Answer::Yes);
    EXPECT_TRUE(orders().Send(nullptr));
    EXPECT_EQ(xdg.Arguments().last(), QStringLiteral("Beta <orders@beta.example>"));
}

TEST_P(Orders, AFailedStoreLeavesOrdersPrescriptionsAndStockAsTheyWere)
{
    practice.AddStock(arnica, d30, 2, 5, 10, 1);
    practice.AddStock(bella, d30, 0, 3, 2, 0);
    const qint64 waiting = practice.AddPrescription(anna, arnica, d30, 1, 3);
    const qint64 later = practice.AddPrescription(anna, bella, d30, 1, 1);

    // The database refuses the second line of the set, as a full disk would.
    QString error;
    ASSERT_TRUE(
        TestSupport::AddRefusingTrigger(location, QStringLiteral("refuse"), QStringLiteral("ORDER_ITEMS"),
            QStringLiteral("INSERT"), QStringLiteral("NEW.QUANTITY = 5"), QStringLiteral("refused"), &error))
        << error.toStdString();

    EXPECT_FALSE(orders().Generate(nullptr));
    EXPECT_EQ(prompts.LastText(), QStringLiteral("The orders could not be stored; nothing was changed."));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDERS")), 0);
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 0);
    EXPECT_EQ(practice.StockOf(arnica, d30).predicted, 1);
    EXPECT_EQ(statusOf(waiting), 1);
    EXPECT_EQ(statusOf(later), 1);
    EXPECT_TRUE(practice.sink.calls.empty());
    EXPECT_EQ(list.GetItemCount(), 0);

    // Without the fault the same set is stored whole.
    ASSERT_TRUE(
        TestSupport::DropRefusingTrigger(location, QStringLiteral("refuse"), QStringLiteral("ORDER_ITEMS")));
    ASSERT_TRUE(orders().Generate(nullptr));
    EXPECT_EQ(practice.Count(QStringLiteral("ORDER_ITEMS")), 2);
    EXPECT_EQ(statusOf(later), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, Orders, TestSupport::BothEngines(), TestSupport::EngineName);
