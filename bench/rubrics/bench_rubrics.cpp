// Possible rubrics of a patient with 1,000 lines, shown in the keywords bar's
// list (offscreen):
//   add_keyword_to_top_line_ms   a keyword for the first line's consultation
//                                (every row is looked at, last to first)
//   add_keyword_new_line_ms      a keyword of a consultation without a line
//   save_1000_lines_ms           "WordSearch.xml" written
//   load_1000_lines_ms           "WordSearch.xml" read and the list filled
//   load_1000_lines_without_list_ms  the same read alone
// Medians over the runs.
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "rubrics/CLogicMetaWords.h"
#include "shell/CLogicMain.h"

#include "core/CommandCodes.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "Sylvan/XmlPlatform.h"

#include <QtCore/QDateTime>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

constexpr int Lines = 1000;
const QString Stamp = QStringLiteral("03/02/2024 10:15:00");

// Every consultation on a day of its own, as in a patient's years of notes.
QString StampOf(int consultation)
{
    return QDateTime(QDate(2024, 2, 3).addDays(-consultation), QTime(9, 0).addSecs(consultation * 37))
        .toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Sylvan::PlatformScope xml;
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    Bench::PracticeOptions options;
    options.patients = 20;
    QString error;
    if (!Bench::CreateSyntheticPractice(root + QStringLiteral("data.mdb"), options, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CLogicMain hub(root, root + QStringLiteral("windows"));
    if (!hub.Open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    CLogicMetaWords *metaWords = hub.Services().Get<CLogicMetaWords>();
    Korbel::CXListCtrl list;
    list.InsertColumn(0, QStringLiteral("Consultation"));
    list.InsertColumn(1, QStringLiteral("Possible rubrics"));
    list.resize(400, 600);
    list.show();
    metaWords->Attach(&list);
    for (int i = 1; i <= Lines; ++i)
        metaWords->AddKeyword(
            QString::number(i), QStringLiteral("keyword %1 of the consultation").arg(i), StampOf(i));
    if (int(metaWords->GetLines().size()) != Lines) {
        std::fprintf(stderr, "the lines were not made\n");
        return 1;
    }

    Bench::Report("add_keyword_to_top_line_ms",
        Bench::MedianMs(
            200, [&] { metaWords->AddKeyword(QStringLiteral("1"), QStringLiteral("worse"), Stamp); }),
        "ms");
    qint64 next = Lines + 1;
    Bench::Report("add_keyword_new_line_ms",
        Bench::MedianMs(
            50, [&] { metaWords->AddKeyword(QString::number(next++), QStringLiteral("restless"), Stamp); }),
        "ms");
    // Back to 1,000 lines for the file.
    metaWords->Load();
    if (metaWords->GetLines().empty()) {
        for (int i = 1; i <= Lines; ++i)
            metaWords->AddKeyword(
                QString::number(i), QStringLiteral("keyword %1 of the consultation").arg(i), StampOf(i));
    }
    Bench::Report("save_1000_lines_ms", Bench::MedianMs(20, [&] { metaWords->Save(); }), "ms");
    Bench::Report("file_kib", double(QFileInfo(metaWords->GetFilePath()).size()) / 1024.0, "KiB");
    Bench::Report("load_1000_lines_ms", Bench::MedianMs(20, [&] { metaWords->Load(); }), "ms");
    metaWords->Attach(nullptr);
    Bench::Report("load_1000_lines_without_list_ms", Bench::MedianMs(20, [&] { metaWords->Load(); }), "ms");
    if (metaWords->GetLines().size() != size_t(Lines)) {
        std::fprintf(stderr, "the lines were not read back\n");
        return 1;
    }
    metaWords->Attach(nullptr);
    hub.Close();
    return 0;
}
