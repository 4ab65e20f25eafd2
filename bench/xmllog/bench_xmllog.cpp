// Figures of the XML library, the logger and the list control:
//   sylvan_save_wordsearch_1000    write a possible-rubrics file of 1,000 lines
//   sylvan_load_wordsearch_1000    read it back and walk every value
//   brevik_log_line                one line into the rotating file (flushed), one thread
//   brevik_log_line_4_threads      the same with four threads logging at once (per line)
//   xlistctrl_fill_5000            fill a shown remedy-style list: 5,000 rows of five cells with a combo
//   xlistctrl_delete_all_5000      empty that list
#include "practice/BenchTimer.h"

#include "Brevik/Logger.h"
#include "Korbel/XListCtrl/XListCtrl.h"
#include "Sylvan/Document.h"
#include "Sylvan/XmlPlatform.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <thread>
#include <vector>

namespace {

void benchSylvan(const QString &folder)
{
    constexpr int Lines = 1000;
    const QString path = folder + QStringLiteral("/WordSearch.xml");
    const double save = Bench::MedianMs(9, [&] {
        Sylvan::DocumentPtr document(DocumentFactory());
        document->Initialize();
        Sylvan::IElement *root = document->GetRootElement();
        root->SetName(QStringLiteral("MetaWords"));
        for (int i = 0; i < Lines; ++i) {
            Sylvan::IElement *line = ElementFactory();
            line->SetName(QStringLiteral("MetaWord"));
            line->AddChild(QStringLiteral("Content"),
                QStringLiteral("headache worse evening & cold <left> side %1").arg(i));
            line->AddChild(QStringLiteral("ContentSourceID"), QString::number(100000 + i));
            line->AddChild(QStringLiteral("SourceTimeStamp"), QStringLiteral("07/03/2009 10:15:00"));
            line->AddChild(QStringLiteral("Type"), QStringLiteral("0"));
            root->AppendChild(line);
        }
        document->Save(path);
    });
    Bench::Report("sylvan_save_wordsearch_1000", save, "ms");

    qsizetype characters = 0;
    const double load = Bench::MedianMs(9, [&] {
        Sylvan::DocumentPtr document(DocumentFactory());
        document->Initialize();
        document->Load(path);
        Sylvan::IElement *root = document->GetRootElement();
        characters = 0;
        for (int i = 0; i < root->GetChildCount(); ++i) {
            Sylvan::IElement *line = root->GetChild(i);
            for (int k = 0; k < line->GetChildCount(); ++k)
                characters += line->GetChild(k)->GetText().size();
        }
    });
    Bench::Report("sylvan_load_wordsearch_1000", load, "ms");
    if (characters == 0)
        std::fprintf(stderr, "sylvan: nothing read back\n");
}

constexpr int LogLines = 20000;
constexpr int LogThreads = 4;

void benchBrevik(const QString &folder)
{
    Brevik::SetRootFolder(folder);
    Brevik::LoggerPtr logger(LoggerFactory(QStringLiteral("brevik.logic.notes")));
    logger->Start();
    const double single = Bench::OnceMs([&] {
        for (int i = 0; i < LogLines; ++i)
            logger->Log(
                Brevik::Information, QStringLiteral("CLogicNotes::Commit() called for patient ID %1").arg(i));
    });
    Bench::Report("brevik_log_line", single * 1000.0 / LogLines, "us");

    const double threaded = Bench::OnceMs([&] {
        std::vector<std::thread> workers;
        for (int t = 0; t < LogThreads; ++t) {
            workers.emplace_back([] {
                Brevik::LoggerPtr worker(LoggerFactory(QStringLiteral("brevik.logic.modules.talmaro")));
                worker->Start();
                for (int i = 0; i < LogLines / LogThreads; ++i)
                    worker->Log(Brevik::Debug, QStringLiteral("CDSGraphBase tick %1").arg(i));
            });
        }
        for (std::thread &worker : workers)
            worker.join();
    });
    Bench::Report("brevik_log_line_4_threads", threaded * 1000.0 / LogLines, "us");
    Brevik::CloseLogFile();
}

void benchList()
{
    constexpr int Rows = 5000;
    Korbel::CXListCtrl list;
    list.resize(800, 600);
    for (const char *heading : { "Name", "Price", "Provider Price", "Provider", "Description" })
        list.InsertColumn(list.GetColumnCount(), QString::fromLatin1(heading), 150);
    list.show();
    QApplication::processEvents();
    const QStringList providers { QStringLiteral("NoProvider"), QStringLiteral("Boiron"),
        QStringLiteral("Heel") };

    const double fill = Bench::OnceMs([&] {
        for (int i = 0; i < Rows; ++i) {
            const int row = list.InsertItem(list.GetItemCount(), QStringLiteral(" Remedy %1").arg(i));
            list.SetItemText(row, 1, QStringLiteral(" $12.50"));
            list.SetItemText(row, 2, QStringLiteral(" $7.00"));
            list.SetComboBox(row, 3, true, providers, i % 3);
            list.SetItemText(row, 4, QStringLiteral(" Additional information"));
            list.SetItemData(row, quintptr(i) + 1);
            list.SetItemDeletable(row, true);
        }
        const int last
            = list.InsertItem(list.GetItemCount(), QStringLiteral("Double click here to add new..."));
        list.SetItemPlaceHolder(last, true);
        list.EnsureVisible(last);
        QApplication::processEvents();
    });
    Bench::Report("xlistctrl_fill_5000", fill, "ms");

    const double clear = Bench::OnceMs([&] {
        list.DeleteAllItems();
        QApplication::processEvents();
    });
    Bench::Report("xlistctrl_delete_all_5000", clear, "ms");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    Sylvan::PlatformScope platform;
    benchSylvan(folder.path());
    benchBrevik(folder.path());
    benchList();
    return 0;
}
