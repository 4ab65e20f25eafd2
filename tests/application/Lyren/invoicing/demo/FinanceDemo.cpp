// Shows the finance tabs of a patient in a throw-away practice, the way the
// program shows them.
//
//     finance_demo            the main window on the DuePayments tab, for a person to use
//     finance_demo <folder>   the DuePayments, Payments and Invoices tabs saved as
//                             duepayments.png, payments.png and invoices.png, then closed
//
// Run it under a real display (for example xvfb-run) to see the tabs as a
// person does.

#include "invoicing/CLogicInvoices.h"
#include "invoicing/CLogicInvoicing.h"
#include "invoicing/CLogicPayments.h"
#include "invoicing/InvoicingLogic.h"
#include "invoicing/ui/CDuePaymentsDialog.h"
#include "invoicing/ui/CInvoicesDlg.h"
#include "invoicing/ui/CPaymentsDialog.h"
#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "core/CommandCodes.h"
#include "desktop/Shell.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <cstdio>

namespace {

// Documents made for the demo are not opened.
class QuietShell final : public Desktop::IShell
{
public:
    bool Open(const QString &, const QString &) override { return true; }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QuietShell shell;
    Desktop::SetShell(&shell);
    QTemporaryDir dir;
    CMainFrame frame(dir.path() + QLatin1Char('/'), dir.filePath(QStringLiteral("windows")));
    QString error;
    if (!dir.isValid() || !frame.Initialize(&error)) {
        std::fprintf(stderr, "cannot open a practice: %s\n", qPrintable(error));
        return 1;
    }
    frame.SendCommand(CommandCode::NewPatient);
    auto *patient
        = qobject_cast<CGeneralDialog *>(frame.GetPageContainer()->GetPageWindow(CGeneralDialog::PageIndex));
    qobject_cast<QLineEdit *>(patient->FieldControl(QStringLiteral("FIRST_NAME")))
        ->setText(QStringLiteral("Anna"));
    qobject_cast<QLineEdit *>(patient->FieldControl(QStringLiteral("LAST_NAME")))
        ->setText(QStringLiteral("Pop"));
    auto *due = qobject_cast<CDuePaymentsDialog *>(
        frame.GetPageContainer()->GetPageWindow(CDuePaymentsDialog::PageIndex));
    due->FeeEdit()->setText(QStringLiteral("45"));
    frame.SendCommand(CommandCode::SavePatient);

    InvoicingLogic *finance = frame.GetHub()->Services().Get<InvoicingLogic>();
    const QDate today = QDate::currentDate();
    const std::pair<const char *, const char *> charges[] = {
        { "80", "First consultation" },
        { "55", "Follow-up" },
        { "55", "Follow-up" },
        { "30", "Phone consultation" },
    };
    int days = 90;
    for (const auto &[amount, text] : charges) {
        finance->DuePayments().Store(0,
            { QLatin1String(amount), QDateTime(today.addDays(-days), QTime(10, 0)),
                QString::fromUtf8(text) });
        days -= 25;
    }
    finance->DuePayments().SetStatus(finance->DuePayments().Items().front().id, QStringLiteral("paid"));
    finance->Payments().Store(0,
        { QStringLiteral("80"), QDateTime(today.addDays(-88), QTime(11, 0)), QStringLiteral("Cash"),
            QStringLiteral("First visit") });
    finance->Payments().Store(0,
        { QStringLiteral("50"), QDateTime(today.addDays(-40), QTime(9, 30)), QStringLiteral("Bank Transfer"),
            QString() });
    InvoiceDetails invoice;
    invoice.amount = QStringLiteral("110");
    invoice.date = QDateTime(today.addDays(-10), QTime(12, 0));
    invoice.info = QStringLiteral("Follow-ups");
    finance->Invoices().Store(0, invoice, &frame);

    CWorkspaceView *pane = frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0);
    pane->SetCurrentTab(CDuePaymentsDialog::PageIndex);
    frame.resize(1280, 760);
    frame.show();
    if (argc < 2)
        return app.exec();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    int status = 0;
    const std::pair<int, const char *> tabs[] = {
        { CDuePaymentsDialog::PageIndex, "duepayments.png" },
        { CPaymentsDialog::PageIndex, "payments.png" },
        { CInvoicesDlg::PageIndex, "invoices.png" },
    };
    int delay = 1500;
    for (const auto &[index, name] : tabs) {
        QTimer::singleShot(delay - 700, &frame, [pane, index = index] { pane->SetCurrentTab(index); });
        QTimer::singleShot(delay, &frame, [&, name = name] {
            QPixmap picture = frame.screen()->grabWindow(frame.winId());
            if (picture.isNull())
                picture = frame.grab();
            if (!picture.save(out.filePath(QLatin1String(name)))) {
                std::fprintf(stderr, "cannot write %s\n", name);
                status = 1;
            }
        });
        delay += 1500;
    }
    QTimer::singleShot(delay, &frame, [&] {
        frame.close();
        app.quit();
    });
    app.exec();
    return status;
}
