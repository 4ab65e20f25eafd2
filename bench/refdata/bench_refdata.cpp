// Reference data figures on a practice with 5,000 remedies, 300 dilutions,
// 200 providers and 20,000 stock rows:
//   open_remedies_dialog    the remedies dialog built, its list filled, shown and painted
//   open_stocks_dialog      the same for the stocks dialog (20,000 rows)
//   stocks_type_ahead_key   one typed key in the stocks list (search and jump),
//                           median over typing the last row's remedy name; the
//                           slowest key of those is reported too
//   stocks_type_ahead_full_scan  a key whose prefix no remedy has: every row searched
//   dilution_get_or_add     GetOrAdd of an existing dilution, typed in another case
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicStocks.h"
#include "finance/ui/ManagementDialog.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The dialog of a logic object, filled and painted once, as a user opens it.
template<class Dialog, class Logic> std::unique_ptr<Dialog> openDialog(Logic *logic)
{
    auto dialog = std::make_unique<Dialog>();
    logic->Open();
    logic->SetList(dialog->List());
    logic->FillList();
    dialog->show();
    QApplication::processEvents();
    return dialog;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    Bench::PracticeOptions options;
    options.patients = 0;
    options.childRows = false;
    QString error;
    if (!Bench::CreateSyntheticPractice(path, options, &error)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(path)) {
        std::fprintf(stderr, "cannot open practice\n");
        return 1;
    }
    CLogicMedicines medicines(source.get());
    CLogicDilutions dilutions(source.get());
    CLogicStocks stocks(source.get(), &medicines, &dilutions);

    int rows = 0;
    openDialog<CMedicinesDialog>(&medicines); // warm the file cache and the fonts
    const double remedies = Bench::MedianMs(7, [&] {
        auto dialog = openDialog<CMedicinesDialog>(&medicines);
        rows = dialog->List()->GetItemCount();
        medicines.SetList(nullptr);
    });
    Bench::Report("open_remedies_dialog", remedies, "ms");
    Bench::Report("open_remedies_dialog_rows", rows, "rows");

    std::unique_ptr<CStocksDialog> stocksDialog;
    const double stocksOpen = Bench::OnceMs([&] { stocksDialog = openDialog<CStocksDialog>(&stocks); });
    Bench::Report("open_stocks_dialog", stocksOpen, "ms");
    Korbel::CXListCtrl *list = stocksDialog->List();
    Bench::Report("open_stocks_dialog_rows", list->GetItemCount(), "rows");

    // Each run types the last row's name from a fresh prefix, one timed key
    // at a time: the median key and the slowest key of all runs.
    const QString last = list->GetItemText(list->GetItemCount() - 2, 0).mid(1);
    qint64 clock = 0;
    bool found = true;
    std::vector<double> keys;
    for (int run = 0; run < 15; ++run) {
        clock += 10000;
        for (QChar c : last)
            keys.push_back(Bench::OnceMs([&] { found = stocksDialog->TypeAhead(c, ++clock) && found; }));
    }
    std::sort(keys.begin(), keys.end());
    const double key = keys[keys.size() / 2];
    const double worst = keys.back();
    // A prefix no remedy has: every row is searched.
    const double fullScan = Bench::MedianMs(51, [&] {
        clock += 10000;
        stocksDialog->TypeAhead(QLatin1Char('#'), clock);
    });
    Bench::Report("stocks_type_ahead_key", key, "ms");
    Bench::Report("stocks_type_ahead_key_slowest", worst, "ms");
    Bench::Report("stocks_type_ahead_full_scan", fullScan, "ms");
    if (!found)
        std::fprintf(stderr, "type-ahead did not find \"%s\"\n", qPrintable(last));

    dilutions.Open();
    int n = 0;
    qint64 id = 0;
    const double getOrAdd = Bench::MedianMs(2000, [&] {
        // The generator's values: 1C, 1D, 1K, 2C, ... typed in lower case.
        const int i = n++ % options.dilutions;
        const QString value = QStringLiteral("%1%2").arg(1 + i / 3).arg(QLatin1Char("cdk"[i % 3]));
        dilutions.GetOrAdd(value, &id);
    });
    Bench::Report("dilution_get_or_add", getOrAdd, "ms");
    Korbel::ReleasePtr<Korbel::ITable> table(source->OpenTable(QStringLiteral("DILUTION")));
    if (table->RecordCount() != options.dilutions)
        std::fprintf(stderr, "GetOrAdd added rows: %d\n", table->RecordCount());
    return 0;
}
