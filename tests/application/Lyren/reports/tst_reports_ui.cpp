// The reports' windows: the menu's sub-menus, the real parameter dialogs
// driven as a person would, and the preview window with its exports.
#include "ReportsPractice.h"

#include "reports/ReportDefinitions.h"
#include "reports/ui/ReportParameterDialogs.h"
#include "reports/ui/ReportPreviewWindow.h"
#include "reports/ui/ReportsPresenterUi.h"

#include "support/ScriptedDesktop.h"
#include "support/TestSupport.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTableView>

using namespace ReportsTest;

namespace {

// Runs action on the dialog of type T once it is the active modal window;
// gives up after a few seconds so that a dialog that never shows fails.
template<class T> void WhenModal(std::function<void(T *)> action)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, action] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!(dialog && dialog->isVisible()) && clock->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            return;
        }
        action(dialog);
    });
    timer->start();
}

std::shared_ptr<Reports::Table> SampleReport()
{
    auto table = std::make_shared<Reports::Table>();
    table->name = QStringLiteral("MONEY_MADE");
    table->title = QStringLiteral("Money received");
    table->parameters = { QStringLiteral("After: 1/1/26") };
    table->columns = { { QStringLiteral("Month"), Reports::CellKind::Text, false },
        { QStringLiteral("Type"), Reports::CellKind::Text, false },
        { QStringLiteral("Amount"), Reports::CellKind::Money, true } };
    table->groupColumn = 0;
    table->rows = { { QStringLiteral("January 2026"), QStringLiteral("Cash"), Verdanta::MoneyToUnits(60) },
        { QStringLiteral("January 2026"), QStringLiteral("Check"), Verdanta::MoneyToUnits(40.10) },
        { QStringLiteral("February 2026"), QStringLiteral("Cash"), Verdanta::MoneyToUnits(10) } };
    return table;
}

} // namespace

TEST(ReportsWindows, TheMenuHasOneSubMenuPerGroupAndEntriesCarryTheirReportIds)
{
    Reports::Menu menu;
    menu.groups = { { QStringLiteral("General"), { { 5, QStringLiteral("G1. Active patients") } } },
        { QStringLiteral("Finance"),
            { { 1, QStringLiteral("F1. Outstanding") }, { 6, QStringLiteral("F2. Money") } } },
        { QStringLiteral("Operation"), {} } };
    QMenu root;
    CReportsPresenterUi::FillMenu(&root, menu);
    const QList<QAction *> groups = root.actions();
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[1]->text(), "Finance");
    const QList<QAction *> finance = groups[1]->menu()->actions();
    ASSERT_EQ(finance.size(), 2);
    EXPECT_EQ(finance[1]->text(), "F2. Money");
    EXPECT_EQ(finance[1]->data().toInt(), 6);
    EXPECT_FALSE(groups[2]->isEnabled()) << "an empty group is greyed, not silent";
}

TEST(ReportsWindows, TheParameterDialogsAskAndCancelKeepsTheParameters)
{
    CReportsPresenterUi presenter;
    Reports::Parameters p;
    p.date = QDate(2026, 2, 1);
    p.amount = Verdanta::Money::FromDouble(10);

    // The amount keeps its cents and is labelled in the locale's currency.
    {
        TestSupport::LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
        WhenModal<CReportParamAmountDialog>([](CReportParamAmountDialog *dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Report Parameters");
            bool euro = false;
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                euro = euro || label->text() == QString::fromUtf8("€");
            EXPECT_TRUE(euro);
            dialog->AmountEdit()->setValue(100.09);
            dialog->DateEdit()->setDate(QDate(2026, 3, 4));
            dialog->accept();
        });
        ASSERT_TRUE(presenter.AskParameters(nullptr, Reports::Ask::DateAndAmount, {}, &p));
        EXPECT_EQ(p.amount, Verdanta::Money::FromDouble(100.09));
        EXPECT_EQ(p.date, QDate(2026, 3, 4));
    }

    WhenModal<CReportParamDialog>([](CReportParamDialog *dialog) {
        bool before = false;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            before = before || label->text() == "Before:";
        EXPECT_TRUE(before);
        EXPECT_EQ(dialog->Date(), QDate(2026, 3, 4)) << "preset from the stored date";
        dialog->DateEdit()->setDate(QDate(2030, 1, 1));
        dialog->reject();
    });
    const Reports::Parameters kept = p;
    EXPECT_FALSE(presenter.AskParameters(nullptr, Reports::Ask::DateBefore, {}, &p));
    EXPECT_EQ(p.date, kept.date);

    WhenModal<CReportParamGenderDialog>([](CReportParamGenderDialog *dialog) {
        EXPECT_TRUE(dialog->FemaleButton()->isChecked());
        dialog->MaleButton()->setChecked(true);
        dialog->accept();
    });
    ASSERT_TRUE(presenter.AskParameters(nullptr, Reports::Ask::Gender, {}, &p));
    EXPECT_TRUE(p.flag);

    Reports::Choices choices;
    choices.remedies = { { 3, QStringLiteral("Arnica") }, { 9, QStringLiteral("Sulphur") } };
    choices.dilutions = { { 4, QStringLiteral("30C") } };
    p.long1 = 9;
    WhenModal<CReportParamRemedyDialog>([](CReportParamRemedyDialog *dialog) {
        EXPECT_EQ(dialog->Remedy(), 9);
        EXPECT_EQ(dialog->Dilution(), 0) << "any dilution";
        dialog->DilutionCombo()->setCurrentIndex(1);
        dialog->accept();
    });
    ASSERT_TRUE(presenter.AskParameters(nullptr, Reports::Ask::Remedy, choices, &p));
    EXPECT_EQ(p.long1, 9);
    EXPECT_EQ(p.long2, 4);
}

TEST(ReportsWindows, ThePreviewShowsTheLinesAndExportsToPdfAndCsv)
{
    TestSupport::TemporaryFolder dir;
    Desktop::ScriptedFileDialogs files;
    Desktop::ScriptedPrompts prompts;
    CReportsPresenterUi presenter;
    presenter.ShowPreview(nullptr, SampleReport());
    CReportPreviewWindow *preview = presenter.LastPreview();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    // Two groups of heading, lines and subtotal, then the total.
    const QAbstractItemModel *model = preview->View()->model();
    ASSERT_EQ(model->rowCount(), 8);
    EXPECT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->index(0, 0).data().toString(), "January 2026");
    EXPECT_EQ(preview->View()->columnSpan(0, 0), 2);
    EXPECT_EQ(model->index(3, 1).data().toString(), "$100.10");
    EXPECT_EQ(model->index(7, 1).data().toString(), "$110.10");

    // The file name asked for gets its extension.
    files.QueueFileName(dir.filePath(QStringLiteral("money")));
    preview->PdfButton()->click();
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("money.pdf"))));
    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"), { dir.filePath(QStringLiteral("money.pdf")), QStringLiteral("-") });
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains("February 2026")) << text.toStdString();
    EXPECT_TRUE(text.contains("$110.10")) << text.toStdString();

    files.QueueFileName(dir.filePath(QStringLiteral("money.csv")));
    preview->CsvButton()->click();
    QFile csv(dir.filePath(QStringLiteral("money.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
        "\xEF\xBB\xBFMonth,Type,Amount\r\nJanuary 2026,Cash,60.00\r\nJanuary 2026,Check,40.10\r\n"
        "February 2026,Cash,10.00\r\n");

    // Cancel writes nothing; a folder that does not exist is told.
    preview->CsvButton()->click();
    EXPECT_EQ(prompts.Count(), 0);
    files.QueueFileName(dir.filePath(QStringLiteral("no/such/folder/money.csv")));
    preview->CsvButton()->click();
    EXPECT_EQ(prompts.Count(), 1);

    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(presenter.LastPreview(), nullptr) << "the window goes when it is closed";
}

// A real report of the hand-made practice in its preview. With
// VERDANTA_REPORT_SAMPLES naming a folder, a picture of the window and the
// report's PDF are kept there (run under a virtual X server for a picture of
// the real window).
TEST(ReportsWindows, ARealReportShowsItsGroupsAndTotals)
{
    TestSupport::TemporaryFolder dir;
    auto db = KorbelTest::OpenSource(dir.filePath(QStringLiteral("data.mdb")));
    Practice practice;
    practice.Write(db.get(), dir.filePath(QStringLiteral("Consultations.xml")));
    auto table = std::make_shared<Reports::Table>();
    Reports::Parameters after;
    after.date = QDate(2026, 1, 1);
    QString error;
    ASSERT_TRUE(Reports::BuildReport(QStringLiteral("SALES_TAX"), after,
        { db.get(), dir.filePath(QStringLiteral("Consultations.xml")), kNow }, table.get(), &error));
    CReportsPresenterUi presenter;
    presenter.ShowPreview(nullptr, table);
    CReportPreviewWindow *preview = presenter.LastPreview();
    ASSERT_TRUE(preview);
    const QAbstractItemModel *model = preview->View()->model();
    // Three months: a heading, their lines and a subtotal each, then the total.
    ASSERT_EQ(model->rowCount(), 11);
    EXPECT_EQ(model->index(10, 0).data().toString(), "Total");
    EXPECT_EQ(model->index(10, 4).data().toString(), "$12.85");

    const QString samples = qEnvironmentVariable("VERDANTA_REPORT_SAMPLES");
    if (!samples.isEmpty()) {
        preview->resize(820, 420);
        QApplication::processEvents();
        EXPECT_TRUE(preview->grab().save(samples + QStringLiteral("/report-preview.png")));
        EXPECT_TRUE(Reports::ExportPdf(*table, samples + QStringLiteral("/report-sales-tax.pdf"), &error));
    }
    preview->close();
}
