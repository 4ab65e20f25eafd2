// The patient record on synthetic practices:
//   move_next_ms            Ctrl+T in the real main window on a practice of
//                           10,000 patients with their child rows: the save of
//                           everything the record keeps, the move and the load
//                           (header band, chief complaints, Patient tab)
//   move_next_typed_ms      the same after a change typed in the Patient tab
//   new_patient_ms          a new patient with its folders
//   find_dialog_prefix_ms   the find dialog over 100,000 patients: "Find"
//                           pressed with a typical two-letter first-name
//                           prefix and the list painted (the rows shown are
//                           read; the others when they are scrolled to)
//   find_dialog_all_ms      the same with both texts empty (every patient)
//   find_prefix_ms          every matching row of the prefix read into a list
//   find_prefix_query_open_ms   the same query opened, before its rows are read
//   find_name_and_last_prefix_ms  a whole first name and a last-name prefix
//   find_all_ms             every patient read into a list
//   resident_after_moves_mib resident memory after the moves
// Figures are medians over the runs.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "core/CLogicFolders.h"
#include "core/LogicContext.h"
#include "patients/CLogicPatient.h"
#include "patients/ui/CFindDlg.h"
#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"

#include "Korbel/DataSource.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTableView>

#include <cstdio>

namespace {

int MoveBenchmarks()
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    if (!Bench::MakePractice(root + QStringLiteral("data.mdb"), 10000, true))
        return 1;
    Desktop::ScriptedPrompts prompts;
    CMainFrame frame(root, root + QStringLiteral("windows"));
    QString error;
    if (!frame.Initialize(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    frame.show();
    QApplication::processEvents();

    const auto next = [&frame] {
        if (frame.SendCommand(1) != 1)
            frame.SendCommand(2);
    };
    Bench::Report("move_next_ms", Bench::MedianMs(300, next), "ms");

    auto *page
        = qobject_cast<CGeneralDialog *>(frame.GetPageContainer()->GetPageWindow(CGeneralDialog::PageIndex));
    auto *occupation
        = page ? qobject_cast<QLineEdit *>(page->FieldControl(QStringLiteral("OCCUPATION"))) : nullptr;
    if (!occupation)
        return 1;
    int typed = 0;
    Bench::Report("move_next_typed_ms",
        Bench::MedianMs(100,
            [&] {
                occupation->setText(QStringLiteral("Occupation %1").arg(++typed));
                next();
            }),
        "ms");
    Bench::Report("resident_after_moves_mib", Bench::ResidentMiB(), "MiB");
    Bench::Report("new_patient_ms", Bench::MedianMs(20, [&frame] { frame.SendCommand(5); }), "ms");
    frame.close();
    return 0;
}

int FindBenchmarks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    if (!Bench::MakePractice(path, 100000, false))
        return 1;
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(path))
        return 1;
    Korbel::ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    CLogicFolders folders(dir.path() + QLatin1Char('/'), dir.path());
    LogicContext context(folders);
    context.SetData(source.get(), main.get(), nullptr, QStringLiteral("MEDIA"));
    CLogicPatient patient;
    if (!main || !patient.Open(context))
        return 1;
    int count = 0;
    const char *const *names = Bench::FirstNames(&count);
    const QString prefix = QString::fromLatin1(names[0]).left(2);
    qsizetype found = 0;
    // The query alone: the matching rows opened, before any row is read.
    Bench::Report("find_prefix_query_open_ms",
        Bench::MedianMs(11,
            [&] {
                Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
                query->SetTable(QStringLiteral("MAIN"));
                query->Where(QStringLiteral("FIRST_NAME"), Korbel::Compare::Prefix, prefix);
                query->Where(QStringLiteral("LAST_NAME"), Korbel::Compare::Prefix, QString());
                Korbel::ReleasePtr<Korbel::ITable> rows(query->Open());
                found = rows ? rows->RecordCount() : 0;
            }),
        "ms");
    Bench::Report("find_name_and_last_prefix_ms",
        Bench::MedianMs(
            11, [&] { found = patient.FindPatients(QStringLiteral("Anna"), QStringLiteral("Sm")).size(); }),
        "ms");
    Bench::Report("find_name_and_last_prefix_rows", double(found), "rows");
    // The find dialog: "Find" pressed, the list painted with the rows it shows.
    CFindDlg dialog(
        [&patient](const QString &first, const QString &last) { return patient.OpenFind(first, last); });
    dialog.resize(500, 400);
    dialog.show();
    QApplication::processEvents();
    const auto press = [&dialog, &found](const QString &first) {
        dialog.FirstNameEdit()->setText(first);
        dialog.RunFind();
        dialog.ResultList()->viewport()->grab();
        found = dialog.ResultCount();
    };
    Bench::Report("find_dialog_prefix_ms", Bench::MedianMs(11, [&] { press(prefix); }), "ms");
    Bench::Report("find_dialog_prefix_rows", double(found), "rows");
    Bench::Report("find_dialog_all_ms", Bench::MedianMs(11, [&] { press(QString()); }), "ms");
    Bench::Report("find_dialog_all_rows", double(found), "rows");
    dialog.close();
    Bench::Report("find_prefix_ms",
        Bench::MedianMs(11, [&] { found = patient.FindPatients(prefix, QString()).size(); }), "ms");
    Bench::Report("find_prefix_rows", double(found), "rows");
    Bench::Report(
        "find_all_ms", Bench::MedianMs(5, [&] { found = patient.FindPatients({}, {}).size(); }), "ms");
    Bench::Report("find_all_rows", double(found), "rows");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VerdantaBench"));
    QApplication::setApplicationName(QStringLiteral("VerdantaBench"));
    if (const int failed = MoveBenchmarks())
        return failed;
    return FindBenchmarks();
}
