#include "patients/ui/CQuestionnaireTemplateDlg.h"

#include "patients/ui/CDynamicQuestDialog.h"

#include "desktop/Prompts.h"
#include "richedit/widgets/RichEditControl.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CQuestionnaireTemplateDlg::CQuestionnaireTemplateDlg(QWidget *parent)
    : QDialog(parent)
    , m_pControl(CQuestionnaireEditor::CreateControl(this))
    , m_pEditor(std::make_unique<CQuestionnaireEditor>(m_pControl))
{
    setWindowTitle(tr("Default questionnaire"));
    m_pControl->setObjectName(QStringLiteral("template"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    m_pSave = buttons->button(QDialogButtonBox::Save);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pControl, 1);
    layout->addWidget(buttons);
    resize(640, 480);
}

CQuestionnaireTemplateDlg::~CQuestionnaireTemplateDlg() = default;

bool CQuestionnaireTemplateDlg::SetTemplate(const QByteArray &rtf)
{
    if (m_pEditor->SetRichText(rtf))
        return true;
    m_pEditor->Clear();
    return false;
}

QByteArray CQuestionnaireTemplateDlg::Template() const
{
    QByteArray rtf;
    m_pEditor->GetRichText(&rtf);
    return rtf;
}

QString CQuestionnaireTemplatePresenter::UnreadableMessage()
{
    return tr("The default questionnaire cannot be read. If you save, what you write replaces it.");
}

int CQuestionnaireTemplatePresenter::Edit(QWidget *parent, QByteArray *rtf)
{
    CQuestionnaireTemplateDlg dialog(parent);
    if (!rtf->isEmpty() && !dialog.SetTemplate(*rtf))
        Desktop::Prompts().Show(parent, UnreadableMessage(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    const int shown = m_driver ? m_driver(dialog) : dialog.exec();
    if (shown != QDialog::Accepted)
        return 0;
    *rtf = dialog.Template();
    return 1;
}
