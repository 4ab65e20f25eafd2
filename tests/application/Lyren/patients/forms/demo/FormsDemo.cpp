// Shows the questionnaire and the medical history of a patient in a throw-away
// database, the way the program shows them.
//
//     forms_demo                 the two dialogs, one after the other, for a person to use
//     forms_demo <folder>        each page of both dialogs saved as a PNG in the folder
//
// Run it under a real display (for example xvfb-run) to see the pages as a
// person does.

#include "patients/forms/ui/FormDialogs.h"

#include "Korbel/Binding/WidgetBinder.h"
#include "Korbel/DataSource.h"
#include "core/CommandCodes.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "patients/forms/ui/CFormLayoutDlg.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QTabWidget>

#include <cstdio>

using Korbel::ReleasePtr;

namespace {

// Saves every page of the dialog as <name>-page<N>.png, then closes it with OK.
CFormDialogs::Driver SavePages(const QString &folder, const QString &name)
{
    return [folder, name](QDialog &dialog) {
        auto &form = static_cast<CFormLayoutDlg &>(dialog);
        form.show();
        for (int i = 0; i < form.Tabs()->count(); ++i) {
            form.Tabs()->setCurrentIndex(i);
            QApplication::processEvents();
            QPixmap picture = form.screen()->grabWindow(form.winId());
            if (picture.isNull())
                picture = form.grab();
            const QString file = QDir(folder).filePath(QStringLiteral("%1-page%2.png").arg(name).arg(i + 1));
            if (!picture.save(file))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        }
        form.accept();
        return form.result();
    };
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!dir.isValid() || !source->Open(dir.filePath(QStringLiteral("data.mdb")))) {
        std::fprintf(stderr, "cannot create a database\n");
        return 1;
    }
    Korbel::SetControlBinder(source.get(), &Korbel::WidgetBinder::Instance());
    ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    Korbel::IField *name = nullptr;
    if (!main || !main->AddNew() || !main->GetField(QStringLiteral("FIRST_NAME"), &name)) {
        std::fprintf(stderr, "cannot add a patient\n");
        return 1;
    }
    name->SetFromString(QStringLiteral("Anna"));
    name->Release();
    main->Update();

    CLogicQuestionnaire questionnaire(source.get(), main.get());
    CLogicMedicalHistory history(source.get(), main.get());
    CFormDialogs questionnaireDialogs;
    CFormDialogs historyDialogs;
    questionnaire.SetDialogs(&questionnaireDialogs);
    history.SetDialogs(&historyDialogs);
    if (argc > 1) {
        const QString folder = QString::fromLocal8Bit(argv[1]);
        QDir().mkpath(folder);
        questionnaireDialogs.SetDriver(SavePages(folder, QStringLiteral("questionnaire")));
        historyDialogs.SetDriver(SavePages(folder, QStringLiteral("medical-history")));
    }
    LogicCommand openQuestionnaire;
    openQuestionnaire.code = CommandCode::Questionnaire;
    LogicCommand openHistory;
    openHistory.code = CommandCode::MedicalHistory;
    const bool shown = questionnaire.OnCommand(openQuestionnaire) && history.OnCommand(openHistory);
    return shown ? 0 : 1;
}
