#include "patients/forms/ui/CQuestLayoutDlg.h"
#include "core/CommandCodes.h"

CQuestLayoutDlg::CQuestLayoutDlg(IFormFieldBinder *binder, CommandSink sink, QWidget *parent)
    : CFormLayoutDlg(tr("Questionnaire"), { CommandCode::QuestionnaireOk, CommandCode::QuestionnaireCancel },
        std::move(sink), parent)
{
    AddPage(new CDialogQuestionary_1(binder));
    AddPage(new CDialogQuestionary_2(binder));
    AddPage(new CDialogQuestionary_3(binder));
    AddPage(new CDialogQuestionary_4(binder));
    AddPage(new CDialogQuestionary_5(binder));
    AddPage(new CDialogQuestionary_6(binder));
    AddPage(new CDialogQuestionary_7(binder));
}
