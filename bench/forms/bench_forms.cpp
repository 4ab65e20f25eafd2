// Medical-history and questionnaire figures on a synthetic practice of 10,000
// patients, each with a row in every form table:
//   questionnaire_open_tables    the eight tables opened for one patient and their rows put in edit
//   questionnaire_dialog         tables opened, the seven pages built and every control bound, closed
//   questionnaire_ok             the same, one answer changed, OK writing the eight tables
//   medical_history_dialog       the medical history opened, built and bound, closed
//   delete_patient_rows          the nine form tables emptied of one patient's rows
#include "practice/BenchTimer.h"
#include "practice/SyntheticPractice.h"

#include "Korbel/DataSource.h"
#include "patients/forms/CLogicMedicalHistory.h"
#include "patients/forms/CLogicQuestionnaire.h"
#include "patients/forms/ui/CMedicalHistoryLayoutDlg.h"
#include "patients/forms/ui/CQuestLayoutDlg.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>

#include <cstdio>

using Korbel::ReleasePtr;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    Bench::PracticeOptions options;
    options.patients = 10000;
    QString error;
    if (!Bench::CreateSyntheticPractice(path, options, &error)) {
        std::fprintf(stderr, "cannot create practice: %s\n", qPrintable(error));
        return 1;
    }

    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    if (!source->Open(path)) {
        std::fprintf(stderr, "cannot open practice: %s\n", qPrintable(source->GetErrorDescription()));
        return 1;
    }
    ReleasePtr<Korbel::ITable> main(source->OpenTable(QStringLiteral("MAIN")));
    if (!main || main->Move(Korbel::MoveToPosition, options.patients / 2) != 1) {
        std::fprintf(stderr, "cannot reach a patient\n");
        return 1;
    }

    CLogicQuestionnaire questionnaire(source.get(), main.get());
    CLogicMedicalHistory history(source.get(), main.get());
    const int runs = 30;

    Bench::Report("questionnaire_open_tables",
        Bench::MedianMs(runs,
            [&] {
                questionnaire.Open();
                questionnaire.Close();
            }),
        "ms");
    Bench::Report("questionnaire_dialog",
        Bench::MedianMs(runs,
            [&] {
                questionnaire.Open();
                {
                    CQuestLayoutDlg dialog(&questionnaire, nullptr);
                }
                questionnaire.Close();
            }),
        "ms");
    bool checked = false;
    Bench::Report("questionnaire_ok",
        Bench::MedianMs(runs,
            [&] {
                questionnaire.Open();
                CQuestLayoutDlg dialog(&questionnaire, nullptr);
                auto *box = qobject_cast<QCheckBox *>(
                    dialog.FieldControl(QStringLiteral("QUESTIONARY_C"), QStringLiteral("TH_ICE")));
                checked = !checked;
                if (box)
                    box->setChecked(checked);
                if (!questionnaire.Commit())
                    std::fprintf(stderr, "commit failed\n");
                questionnaire.Close();
            }),
        "ms");
    Bench::Report("medical_history_dialog",
        Bench::MedianMs(runs,
            [&] {
                history.Open();
                {
                    CMedicalHistoryLayoutDlg dialog(&history, nullptr);
                }
                history.Close();
            }),
        "ms");
    Bench::Report("delete_patient_rows",
        Bench::MedianMs(runs,
            [&] {
                main->Move(Korbel::MoveNext);
                questionnaire.DeletePatientRows();
                history.DeletePatientRows();
            }),
        "ms");
    return 0;
}
