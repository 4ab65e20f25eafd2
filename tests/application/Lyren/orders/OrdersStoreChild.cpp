// Works on the orders of a practice round after round until it is killed:
// generates the orders, sends each one back and forth through the status
// combo, receives all of them but the last, deletes the last, then consumes
// what was received (the received orders and their quantities go, in one
// transaction). Prints a line after every round. The parent kills it at
// random moments and checks that the database holds whole stores only.
#include "OrdersTestUtil.h"

#include "core/RecordAccess.h"
#include "core/Transaction.h"
#include "finance/LogicStocks.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "common/Identifiers.h"
#include "support/ScriptedDesktop.h"

#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

// Takes what the received orders brought out of stock again and removes every
// order, so that the next round has remedies to order.
bool Consume(OrdersTest::Practice &practice)
{
    Korbel::IDataSource *source = practice.Source();
    auto *stocks = practice.Hub().Services().Get<CLogicStocks>();
    ScopedTransaction transaction(source);
    if (!transaction.IsActive() || !stocks || !stocks->Open())
        return false;
    for (qint64 order : practice.AllIds(QStringLiteral("ORDERS"))) {
        const bool received
            = practice.Value(QStringLiteral("ORDERS"), order, QStringLiteral("STATUS_ID")).toInt() == 4;
        Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
        query->SetTable(QStringLiteral("ORDER_ITEMS"));
        query->Where(QStringLiteral("ORDER_ID"), Korbel::Compare::Equal, Verdanta::FormatId(order));
        Records::TablePtr items(query->Open());
        while (items && items->Move(Korbel::MoveFirst) == 1) {
            const qint64 remedy = Records::ReadText(items.get(), QStringLiteral("MEDICINE_ID")).toLongLong();
            const qint64 dilution
                = Records::ReadText(items.get(), QStringLiteral("DILUTION_ID")).toLongLong();
            const int quantity = Records::ReadText(items.get(), QStringLiteral("QUANTITY")).toInt();
            int stock = 0;
            int predicted = 0;
            if (items->Delete() <= 0 || !stocks->Get(remedy, dilution, &stock, nullptr, nullptr, &predicted)
                || !stocks->Set(remedy, dilution, received ? stock - quantity : stock,
                    received ? predicted : predicted - quantity))
                return false;
        }
        for (qint64 prescription :
            practice.IdsWhere(QStringLiteral("PRESCRIPTIONS"), QStringLiteral("ORDER_ID"), order)) {
            Records::TablePtr rows(source->OpenTable(QStringLiteral("PRESCRIPTIONS")));
            if (!Records::LocateId(rows.get(), prescription) || rows->Edit() != 1
                || !Records::FinishWrite(rows.get(),
                    Records::WriteText(rows.get(), QStringLiteral("STATUS_ID"), QStringLiteral("1"))
                        && Records::WriteText(rows.get(), QStringLiteral("ORDER_ID"), QStringLiteral("0"))))
                return false;
        }
        Records::TablePtr orders(source->OpenTable(QStringLiteral("ORDERS")));
        if (!Records::LocateId(orders.get(), order) || orders->Delete() <= 0)
            return false;
    }
    return transaction.Commit();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (argc < 2)
        return 2;
    Desktop::ScriptedPrompts prompts;
    prompts.SetDefaultAnswer(Desktop::Answer::Yes);
    OrdersTest::Practice practice(QString::fromLocal8Bit(argv[1]));
    if (!practice.Open())
        return 3;
    CLogicOrders &orders = practice.Orders();
    Korbel::CXListCtrl list;
    if (!orders.LoadLookups())
        return 4;
    orders.SetList(&list);
    orders.FillList();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int round = 1;; ++round) {
        orders.Generate(nullptr);
        const int count = list.GetItemCount();
        for (int row = 0; row + 1 < count; ++row) {
            for (const char *status : { "Sent", "To be ordered", "Sent", "Received" })
                orders.ChangeStatus(row, QString::fromLatin1(status));
        }
        if (count > 0)
            orders.Delete(count - 1);
        if (!Consume(practice))
            return 5;
        orders.FillList();
        std::printf("round %d\n", round);
        std::fflush(stdout);
    }
}
