// Shows the Address tab of a patient in a throw-away practice, the way the
// program shows it.
//
//     address_demo              the main window on the Address tab, for a person to use
//     address_demo <file.png>   the window saved as a picture, then closed
//
// Run it under a real display (for example xvfb-run) to see the tab as a
// person does.

#include "contacts/CLogicEmails.h"
#include "contacts/CLogicPhones.h"
#include "contacts/ui/CAddressDialog.h"
#include "patients/ui/CGeneralDialog.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"

#include "core/CommandCodes.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
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
    auto *page
        = qobject_cast<CAddressDialog *>(frame.GetPageContainer()->GetPageWindow(CAddressDialog::PageIndex));
    const std::pair<const char *, const char *> address[] = {
        { "STREET_ADDRESS", "Strada Florilor 12, ap. 3" },
        { "CITY", "Cluj-Napoca" },
        { "POSTAL_CODE", "400123" },
        { "STATE", "Cluj" },
        { "COUNTRY", "Romania" },
    };
    for (const auto &[field, text] : address)
        page->FieldEdit(QLatin1String(field))->setText(QString::fromUtf8(text));
    CLogicMain *hub = frame.GetHub();
    CLogicPhones *phones = hub->Services().Get<CLogicPhones>();
    CLogicEmails *emails = hub->Services().Get<CLogicEmails>();
    phones->Add(QStringLiteral("0744 123 456"));
    phones->Add(QStringLiteral("0264 555 010 (home)"));
    emails->Add(QStringLiteral("anna.pop@example.org"));
    emails->Add(QStringLiteral("anna@work.example"));
    frame.SendCommand(CommandCode::SavePatient);

    frame.GetWorkspace()->Pane(CWorkspace::Line::Row, 0)->SetCurrentTab(CAddressDialog::PageIndex);
    frame.resize(1280, 760);
    frame.show();
    if (argc < 2)
        return app.exec();
    const QString file = QString::fromLocal8Bit(argv[1]);
    int status = 0;
    QTimer::singleShot(1500, &frame, [&] {
        QPixmap picture = frame.screen()->grabWindow(frame.winId());
        if (picture.isNull())
            picture = frame.grab();
        if (!picture.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            status = 1;
        }
        frame.close();
        app.quit();
    });
    app.exec();
    return status;
}
