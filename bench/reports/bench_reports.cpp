// Report figures on a synthetic practice of 10,000 patients (about 150,000
// invoicing rows, 70,000 payments, 140,000 prescriptions, 70,000
// consultations) and an appointment book of 5,000 appointments:
//   preview_<NAME>   the report built from the database and its preview
//                    window made, shown and painted (median of 3)
//   pdf_largest      the PDF export of the report with the most lines
//   rows_<NAME>      the lines of each report (for the record)
// Usage: bench_reports [folder]  (a practice kept in the folder is reused)
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "reports/ReportDefinitions.h"
#include "reports/ui/ReportPreviewWindow.h"

#include "Calendar/Model/AppointmentBook.h"
#include "Korbel/DataSource.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace {

Reports::Parameters ParametersFor(const QString &name, const QDate &today)
{
    Reports::Parameters p;
    p.date = today.addYears(-1);
    if (name == QLatin1String("NEXT_APPOINTMENTS"))
        p.date = today.addDays(60);
    p.flag = true;
    p.int1 = 30;
    p.int2 = 60;
    p.amount = Verdanta::Money::FromDouble(500);
    p.long1 = 1;
    p.long2 = 0;
    p.str1 = QStringLiteral("Blood group");
    p.str2 = QStringLiteral("a");
    return p;
}

void WriteAppointments(const QString &path, const QDate &today)
{
    QList<Calendar::Event> events;
    for (int i = 0; i < 5000; ++i) {
        Calendar::Event e;
        e.uid = Calendar::NewEventUid();
        e.subject = QStringLiteral("Consultation %1").arg(i);
        e.start = QDateTime(today.addDays(i / 20 - 125), QTime(8 + i % 10, 0));
        e.end = e.start.addSecs(1800);
        e.patientId = 1 + (i * 7) % 10000;
        events << e;
    }
    Calendar::AppointmentBook book;
    book.open(path);
    book.merge(events);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);
    const QString database = QDir(folder).filePath(QStringLiteral("data.mdb"));
    const QString appointments = QDir(folder).filePath(QStringLiteral("Consultations.xml"));
    const QDate today = QDate::currentDate();
    if (!QFileInfo::exists(database)) {
        Bench::PracticeOptions options;
        options.averageNotesBytes = 200;
        QString error;
        if (!Bench::CreateSyntheticPractice(database, options, &error)) {
            std::fprintf(stderr, "cannot create the practice: %s\n", qPrintable(error));
            return 1;
        }
        WriteAppointments(appointments, today);
    }
    Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(database)) {
        std::fprintf(stderr, "cannot open the practice: %s\n", qPrintable(source->GetErrorDescription()));
        return 1;
    }
    const Reports::Sources sources { source.get(), appointments, QDateTime::currentDateTime() };

    // "bench_reports <folder> pdf": the PDF export alone, of the report given as
    // the third argument (default the prescriptions on order, the longest).
    const bool pdfOnly = argc > 2 && qstrcmp(argv[2], "pdf") == 0;
    QString largest = argc > 3 ? QString::fromLatin1(argv[3]) : QStringLiteral("PATIENTS_PRESC_ORDERED");
    size_t largestLines = 0;
    for (const QString &name : pdfOnly ? QStringList() : Reports::ReportNames()) {
        const Reports::Parameters parameters = ParametersFor(name, today);
        size_t lines = 0;
        const double ms = Bench::MedianMs(3, [&] {
            auto table = std::make_shared<Reports::Table>();
            QString error;
            if (!Reports::BuildReport(name, parameters, sources, table.get(), &error))
                std::fprintf(stderr, "%s failed: %s\n", qPrintable(name), qPrintable(error));
            CReportPreviewWindow window(nullptr, table);
            window.show();
            QApplication::processEvents();
            window.repaint();
            lines = table->rows.size();
        });
        Bench::Report(qPrintable(QStringLiteral("preview_") + name), ms, "ms");
        Bench::Report(qPrintable(QStringLiteral("rows_") + name), static_cast<double>(lines), "rows");
        if (lines > largestLines) {
            largestLines = lines;
            largest = name;
        }
    }

    Reports::Table table;
    QString error;
    Reports::BuildReport(largest, ParametersFor(largest, today), sources, &table, &error);
    const QString pdf = QDir(temporary.path()).filePath(QStringLiteral("largest.pdf"));
    const double pdfMs = Bench::OnceMs([&] {
        if (!Reports::ExportPdf(table, pdf, &error))
            std::fprintf(stderr, "PDF export failed: %s\n", qPrintable(error));
    });
    std::printf("pdf_largest_report: %s (%zu rows)\n", qPrintable(largest), table.rows.size());
    Bench::Report("pdf_largest", pdfMs, "ms");
    Bench::Report("pdf_largest_bytes", static_cast<double>(QFileInfo(pdf).size()), "bytes");
    return 0;
}
