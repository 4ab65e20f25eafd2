// A process working on orders is killed at random moments: every order,
// line, prescription and stock count in the database comes from whole
// stores, so the predicted stock is what is on order and the stock took each
// received order exactly once.
#include "OrdersTestUtil.h"

#include "core/RecordAccess.h"

#include "support/ScriptedDesktop.h"
#include "support/TestSupport.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <map>

using namespace OrdersTest;

namespace {

using Key = std::pair<qint64, qint64>;

struct Item
{
    qint64 order;
    Key remedy;
    int quantity;
    double price;
};

int Int(Korbel::ITable *table, const char *field)
{
    return Records::ReadText(table, QString::fromLatin1(field)).toInt();
}
qint64 Id(Korbel::ITable *table, const char *field)
{
    return Records::ReadText(table, QString::fromLatin1(field)).toLongLong();
}

// Checks that the stored orders are whole; returns how many orders there are.
int CheckWhole(const QString &path, const Seeded &seeded, int round)
{
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    EXPECT_TRUE(source->Open(path));
    std::map<qint64, std::pair<int, double>> orders; // status, estimated price
    Records::TablePtr rows(source->OpenTable(QStringLiteral("ORDERS")));
    for (int ok = rows->Move(Korbel::MoveFirst); ok == 1; ok = rows->Move(Korbel::MoveNext))
        orders[Records::CurrentId(rows.get())] = { Int(rows.get(), "STATUS_ID"),
            Records::OpenField(rows.get(), QStringLiteral("ESTIMATED_PRICE"))->GetValue().toDouble() };
    std::vector<Item> items;
    rows.reset(source->OpenTable(QStringLiteral("ORDER_ITEMS")));
    for (int ok = rows->Move(Korbel::MoveFirst); ok == 1; ok = rows->Move(Korbel::MoveNext))
        items.push_back({ Id(rows.get(), "ORDER_ID"),
            { Id(rows.get(), "MEDICINE_ID"), Id(rows.get(), "DILUTION_ID") }, Int(rows.get(), "QUANTITY"),
            Records::OpenField(rows.get(), QStringLiteral("ESTIMATED_PRICE"))->GetValue().toDouble() });

    std::map<qint64, double> cost;
    std::map<Key, int> received;
    std::map<Key, int> onOrder;
    for (const Item &item : items) {
        const auto order = orders.find(item.order);
        EXPECT_NE(order, orders.end()) << "a line without its order, round " << round;
        if (order == orders.end())
            continue;
        cost[item.order] += item.quantity * item.price;
        (order->second.first == 4 ? received : onOrder)[item.remedy] += item.quantity;
    }
    for (const auto &[id, order] : orders) {
        EXPECT_GT(cost.count(id), 0u) << "an order without lines, round " << round;
        EXPECT_NEAR(order.second, cost[id], 1e-9) << "round " << round;
    }

    rows.reset(source->OpenTable(QStringLiteral("STOCKS")));
    std::map<Key, std::pair<int, int>> stocks;
    for (int ok = rows->Move(Korbel::MoveFirst); ok == 1; ok = rows->Move(Korbel::MoveNext))
        stocks[{ Id(rows.get(), "MEDICINE_ID"), Id(rows.get(), "DILUTION_ID") }]
            = { Int(rows.get(), "STOCK"), Int(rows.get(), "PREDICTED") };
    for (const Seeded::Line &line : seeded.lines) {
        const Key key { line.remedy, line.dilution };
        EXPECT_EQ(stocks[key].first, line.initialStock + received[key]) << "round " << round;
        EXPECT_EQ(stocks[key].second, onOrder[key]) << "round " << round;
    }

    rows.reset(source->OpenTable(QStringLiteral("PRESCRIPTIONS")));
    for (int ok = rows->Move(Korbel::MoveFirst); ok == 1; ok = rows->Move(Korbel::MoveNext)) {
        const qint64 order = Id(rows.get(), "ORDER_ID");
        const int status = Int(rows.get(), "STATUS_ID");
        if (order == 0) {
            EXPECT_EQ(status, 1) << "round " << round;
            continue;
        }
        const auto found = orders.find(order);
        EXPECT_NE(found, orders.end()) << "a prescription of a missing order, round " << round;
        if (found != orders.end()) {
            EXPECT_EQ(status, found->second.first == 1 ? 2 : found->second.first) << "round " << round;
        }
    }
    return int(orders.size());
}

} // namespace

TEST(OrdersCrash, KillingAProcessDuringStoresLeavesOnlyWholeStores)
{
    TestSupport::TemporaryFolder dir;
    Seeded seeded;
    {
        Desktop::ScriptedPrompts prompts;
        Practice practice(dir.rootWithSeparator());
        ASSERT_TRUE(practice.Open());
        seeded = SeedBusyPractice(practice);
    }
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    QRandomGenerator random(1907);
    int kills = 0;
    int rounds = 0;
    int withOrders = 0;
    for (int attempt = 0; attempt < 25; ++attempt) {
        QProcess child;
        child.start(QStringLiteral(ORDERS_STORE_CHILD), { dir.rootWithSeparator() });
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(30000)) << "the child did not start";
        if (attempt % 5 == 4) {
            // A slow build (sanitizers, a loaded machine) may finish no round within the
            // random wait: now and then let one round finish before the kill.
            QElapsedTimer waited;
            waited.start();
            while (child.state() == QProcess::Running && !child.peek(1 << 16).contains("round ")
                && waited.elapsed() < 60000)
                child.waitForReadyRead(1000);
        }
        QThread::msleep(random.bounded(600));
        if (child.state() == QProcess::Running) {
            ::kill(pid_t(child.processId()), SIGKILL);
            ++kills;
        }
        child.waitForFinished(10000);
        rounds += int(QString::fromLatin1(child.readAllStandardOutput()).count(QStringLiteral("round ")));
        withOrders += CheckWhole(path, seeded, attempt) > 0 ? 1 : 0;
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_GT(kills, 20);
    // Kills fell both between rounds and while orders existed.
    EXPECT_GT(rounds, 0);
    EXPECT_GT(withOrders, 0);
}
