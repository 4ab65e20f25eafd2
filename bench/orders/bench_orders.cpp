// Order figures on a practice with 5,000 remedies, 200 providers, 20,000
// stock rows of which 2,000 are below their threshold, and 5,000
// prescriptions of 1,000 patients waiting for them:
//   generate_with_details_shown  from "Generate Order ..." until the details
//                                dialog over 200 orders, 2,000 lines and
//                                5,000 prescriptions is shown and painted
//   store_generated_set          storing that set (orders, lines, stock and
//                                prescriptions, one transaction)
//   receive_order                receiving one order of ten lines
// Each also as processor time of the program (_cpu), which a machine busy
// with other work does not inflate. An argument sets the number of runs
// (default 5); the figures are their medians.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "orders/CLogicOrders.h"
#include "orders/OrderDialogs.h"
#include "orders/ui/COrderDetailsDialog.h"
#include "shell/CLogicMain.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQuery>
#include <QtWidgets/QApplication>
#include <QtWidgets/QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kStockRows = 20000;
constexpr int kBelow = 2000;
constexpr int kPatients = 1000;
constexpr int kWaiting = 5000;

// The stock row below its threshold of number k: one in every ten rows,
// chosen so that their remedies belong to every one of the 200 providers
// (the remedy of row i is i % 5000, its provider that remedy's % 200).
int BelowRow(int k)
{
    return k * 10 + (k / 20) % 10;
}

// Stock rows, patients and waiting prescriptions, added to the synthetic
// practice's remedies and dilutions.
bool AddOrderData(const QString &path)
{
    const QString connection = QStringLiteral("bench-orders");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open())
            return false;
        db.transaction();
        QSqlQuery stock(db);
        stock.prepare(QStringLiteral("INSERT INTO STOCKS (MEDICINE_ID, DILUTION_ID, STOCK, STOCK_THRESHOLD, "
                                     "REPLENISH_QUANTITY, PREDICTED) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kStockRows && ok; ++i) {
            const bool below = i % 10 == (i / 200) % 10;
            stock.addBindValue(qint64(1 + i % 5000));
            stock.addBindValue(qint64(1 + i / 5000));
            stock.addBindValue(below ? 1 : 20);
            stock.addBindValue(5);
            stock.addBindValue(10);
            stock.addBindValue(0);
            ok = stock.exec();
        }
        QSqlQuery patient(db);
        patient.prepare(QStringLiteral("INSERT INTO MAIN (FIRST_NAME, LAST_NAME) VALUES (?, ?)"));
        for (int p = 0; p < kPatients && ok; ++p) {
            patient.addBindValue(QStringLiteral("First%1").arg(p));
            patient.addBindValue(QStringLiteral("Last%1").arg(p));
            ok = patient.exec();
        }
        QSqlQuery prescription(db);
        prescription.prepare(
            QStringLiteral("INSERT INTO PRESCRIPTIONS (PATIENT_ID, MEDICINE_ID, DILUTION_ID, "
                           "STATUS_ID, QUANTITY, CREATION_DT, ORDER_ID) VALUES (?, ?, ?, 1, ?, ?, 0)"));
        for (int i = 0; i < kWaiting && ok; ++i) {
            const int row = BelowRow(i % kBelow);
            prescription.addBindValue(qint64(1 + i % kPatients));
            prescription.addBindValue(qint64(1 + row % 5000));
            prescription.addBindValue(qint64(1 + row / 5000));
            prescription.addBindValue(1 + i % 3);
            prescription.addBindValue(QStringLiteral("2026-11-03T10:00:00"));
            ok = prescription.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

// Processor time of the program in nanoseconds.
qint64 CpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Shows the real details dialog, painted, and accepts it; notes when it
// was on the screen.
class ShownDetails final : public IOrderDialogs
{
public:
    void ShowOrders(QWidget *, const OrdersHooks &) override { }
    bool EditOrders(QWidget *parent, COrderDetails &details) override
    {
        COrderDetailsDialog dialog(details, parent);
        dialog.show();
        QApplication::processEvents();
        dialog.repaint();
        shownAt = clock.nsecsElapsed();
        shownAtCpu = CpuNs();
        lines = dialog.Tree()->topLevelItemCount();
        return true;
    }
    QElapsedTimer clock;
    qint64 shownAt = 0;
    qint64 shownAtCpu = 0;
    int lines = 0;
};

struct Run
{
    double shownMs = 0;
    double storeMs = 0;
    double receiveMs = 0;
    double shownCpuMs = 0;
    double storeCpuMs = 0;
    int orders = 0;
};

Run RunOnce(const QString &practice)
{
    Run run;
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QFile::copy(practice, root + QStringLiteral("data.mdb"));
    Desktop::ScriptedPrompts prompts;
    prompts.SetDefaultAnswer(Desktop::Answer::Yes);
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (!hub.Open())
        return run;
    ShownDetails dialogs;
    hub.Services().Provide<IOrderDialogs>(&dialogs);
    auto *orders = hub.Services().Get<CLogicOrders>();
    Korbel::CXListCtrl list;
    orders->LoadLookups();
    orders->SetList(&list);
    orders->FillList();

    dialogs.clock.start();
    const qint64 startCpu = CpuNs();
    if (!orders->Generate(nullptr))
        return run;
    const qint64 end = dialogs.clock.nsecsElapsed();
    const qint64 endCpu = CpuNs();
    run.shownMs = double(dialogs.shownAt) / 1e6;
    run.storeMs = double(end - dialogs.shownAt) / 1e6;
    run.shownCpuMs = double(dialogs.shownAtCpu - startCpu) / 1e6;
    run.storeCpuMs = double(endCpu - dialogs.shownAtCpu) / 1e6;
    run.orders = list.GetItemCount();

    orders->ChangeStatus(0, QStringLiteral("Sent"));
    run.receiveMs = Bench::OnceMs([&] { orders->ChangeStatus(0, QStringLiteral("Received")); });
    orders->SetList(nullptr);
    hub.Services().Provide<IOrderDialogs>(nullptr);
    return run;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("practice.mdb"));
    Bench::PracticeOptions options;
    options.patients = 0;
    options.childRows = false;
    options.stockRows = 0;
    QString error;
    if (!Bench::CreateSyntheticPractice(path, options, &error) || !AddOrderData(path)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }
    std::vector<double> shown;
    std::vector<double> stored;
    std::vector<double> received;
    std::vector<double> shownCpu;
    std::vector<double> storedCpu;
    int orders = 0;
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    for (int i = 0; i < runs; ++i) {
        const Run run = RunOnce(path);
        shown.push_back(run.shownMs);
        stored.push_back(run.storeMs);
        received.push_back(run.receiveMs);
        shownCpu.push_back(run.shownCpuMs);
        storedCpu.push_back(run.storeCpuMs);
        orders = run.orders;
    }
    Bench::Report("generate_with_details_shown", Median(shown), "ms");
    Bench::Report("generate_with_details_shown_cpu", Median(shownCpu), "ms");
    Bench::Report("store_generated_set", Median(stored), "ms");
    Bench::Report("store_generated_set_cpu", Median(storedCpu), "ms");
    Bench::Report("receive_order", Median(received), "ms");
    Bench::Report("orders_generated", orders, "orders");
    return 0;
}
