// Shows the main window with the Treatment tab, then the DuePayments tab, of
// a patient with prescriptions and treatment lines, and saves a picture of
// the screen each time.
//
//     xvfb-run -s "-screen 0 1366x768x24" prescriptions_demo treatment.png prescriptions.png
//
// The practice is made in a throw-away folder and written through the notes
// editor, then the program is opened on it as a practitioner would find it.
#include "invoicing/ui/CDuePaymentsDialog.h"
#include "notes/CLogicNotes.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"
#include "treatment/ui/CTreatmentPage.h"

#include "core/CurrentPatient.h"
#include "core/LogicContext.h"

#include "Korbel/DataSource.h"
#include "common/LocaleDates.h"
#include "support/ScriptedDesktop.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

void Row(
    Korbel::IDataSource *source, const QString &table, const std::vector<std::pair<QString, QString>> &values)
{
    Korbel::ReleasePtr<Korbel::ITable> rows(source->OpenTable(table));
    rows->AddNew();
    for (const auto &[field, text] : values) {
        Korbel::IField *value = nullptr;
        rows->GetField(field, &value);
        value->SetFromString(text);
        value->Release();
    }
    rows->Update();
}

void Prescribe(CActiveEditor &editor, int remedy, const QString &name, int dilution, const QString &potency,
    int quantity, qint64 status, int daysAgo)
{
    editor.InsertText(QStringLiteral("\nPrescribed: "));
    auto holder = editor.CreateTemplate(ItemProxy::PrescProxy);
    auto &prescription = static_cast<CActiveEditorPrescItem &>(*holder);
    prescription.m_remedy = { QString::number(remedy), name, QString::number(dilution), potency };
    prescription.m_nQuantity = quantity;
    prescription.m_nStatusId = status;
    prescription.m_strCreationDate = Verdanta::FormatLocaleDate(QDate::currentDate().addDays(-daysAgo));
    editor.InsertFromTemplate(prescription);
}

void Treat(CActiveEditor &editor, int remedy, const QString &name, int dilution, const QString &potency,
    const QList<int> &days)
{
    editor.InsertText(QStringLiteral("\nTreatment: "));
    auto holder = editor.CreateTemplate(ItemProxy::InhProxy);
    auto &line = static_cast<CActiveEditorSequenceItem &>(*holder);
    line.m_remedy = { QString::number(remedy), name, QString::number(dilution), potency };
    for (int day : days)
        line.m_dates << QDate::currentDate().addDays(day);
    editor.InsertFromTemplate(line);
}

bool Grab(const QString &output)
{
    return QGuiApplication::primaryScreen()->grabWindow(0).save(output);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QString treatmentOutput = QApplication::arguments().value(1, QStringLiteral("treatment.png"));
    const QString listOutput = QApplication::arguments().value(2, QStringLiteral("prescriptions.png"));
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    {
        Korbel::ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
        if (!source->Open(root + QStringLiteral("data.mdb")))
            return 1;
        Row(source.get(), QStringLiteral("MAIN"),
            { { QStringLiteral("FIRST_NAME"), QStringLiteral("Anna") },
                { QStringLiteral("LAST_NAME"), QStringLiteral("Kowalski") } });
        for (const auto &[name, price] : { std::pair { "Natrum muriaticum", "12.50" },
                 { "Bryonia alba", "9.80" }, { "Arnica montana", "7.40" } })
            Row(source.get(), QStringLiteral("MEDICINES"),
                { { QStringLiteral("NAME"), QString::fromLatin1(name) },
                    { QStringLiteral("PRICE"), QString::fromLatin1(price) } });
        for (const char *value : { "30CH", "200CH", "6X" })
            Row(source.get(), QStringLiteral("DILUTION"),
                { { QStringLiteral("VALUE"), QString::fromLatin1(value) } });
        Row(source.get(), QStringLiteral("OFFICE_DATA"),
            { { QStringLiteral("NAME"), QStringLiteral("Office") },
                { QStringLiteral("TAX1"), QStringLiteral("5") },
                { QStringLiteral("TAX2"), QStringLiteral("8") } });
        Row(source.get(), QStringLiteral("STOCKS"),
            { { QStringLiteral("MEDICINE_ID"), QStringLiteral("2") },
                { QStringLiteral("DILUTION_ID"), QStringLiteral("2") },
                { QStringLiteral("STOCK"), QStringLiteral("10") },
                { QStringLiteral("STOCK_THRESHOLD"), QStringLiteral("2") } });
    }
    Desktop::ScriptedPrompts prompts;
    {
        CLogicMain hub(root, root + QStringLiteral("windows"));
        if (!hub.Open())
            return 2;
        CActiveEditor &editor = hub.Services().Get<CLogicNotes>()->ActiveEditor();
        editor.SetCaret(-1);
        Prescribe(editor, 1, QStringLiteral("Natrum muriaticum"), 1, QStringLiteral("30CH"), 2, 1, 20);
        Prescribe(editor, 2, QStringLiteral("Bryonia alba"), 2, QStringLiteral("200CH"), 1, 1, 10);
        Prescribe(editor, 3, QStringLiteral("Arnica montana"), 3, QStringLiteral("6X"), 3, 7, 3);
        Treat(editor, 1, QStringLiteral("Natrum muriaticum"), 1, QStringLiteral("30CH"), { -6, -4, -2 });
        Treat(editor, 2, QStringLiteral("Bryonia alba"), 2, QStringLiteral("200CH"), { -1, 0, 1, 3, 5 });
        Treat(editor, 3, QStringLiteral("Arnica montana"), 3, QStringLiteral("6X"), { 2, 4 });
        if (!hub.Context().Patient()->SaveAll())
            return 3;
    }
    CMainFrame frame(root, root + QStringLiteral("windows"));
    if (!frame.Initialize())
        return 4;
    CWorkspaceView *pane = frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0);
    pane->SetCurrentTab(CTreatmentPage::PageIndex);
    if (auto *treatment = qobject_cast<CTreatmentPage *>(frame.GetWorkspace()->findChild<CTreatmentPage *>()))
        treatment->setFirstVisibleDay(QDate::currentDate().addDays(-8).startOfDay());
    frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    frame.showMaximized();
    int status = 5;
    QTimer::singleShot(1500, &frame, [&] {
        if (!Grab(treatmentOutput)) {
            frame.close();
            return;
        }
        pane->SetCurrentTab(CDuePaymentsDialog::PageIndex);
        QTimer::singleShot(800, &frame, [&] {
            status = Grab(listOutput) ? 0 : 6;
            frame.close();
        });
    });
    application.exec();
    return status;
}
