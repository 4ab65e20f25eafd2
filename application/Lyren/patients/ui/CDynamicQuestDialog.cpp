#include "patients/ui/CDynamicQuestDialog.h"

#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"

#include "Korbel/DataSource.h"
#include "richedit/widgets/RichEditControl.h"

#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CQuestionnaireEditor::CQuestionnaireEditor(RichEdit::RichEditControl *control)
    : m_pControl(control)
{ }

RichEdit::RichEditControl *CQuestionnaireEditor::CreateControl(QWidget *parent)
{
    auto *control = new RichEdit::RichEditControl(parent);
    control->setOptions(RichEdit::RichEditControl::WantReturn | RichEdit::RichEditControl::AutoVerticalScroll
        | RichEdit::RichEditControl::SaveSelection);
    control->setAcceptRichText(true);
    return control;
}

bool CQuestionnaireEditor::SetRichText(const QByteArray &rtf)
{
    if (!m_pControl->streamIn(rtf))
        return false;
    m_pControl->document()->setModified(false);
    return true;
}

bool CQuestionnaireEditor::GetRichText(QByteArray *rtf) const
{
    return m_pControl->streamOut(*rtf);
}

void CQuestionnaireEditor::Clear()
{
    m_pControl->selectAll();
    m_pControl->textCursor().removeSelectedText();
    m_pControl->document()->clearUndoRedoStacks();
    m_pControl->document()->setModified(false);
}

CDynamicQuestDialog::CDynamicQuestDialog(QWidget *parent)
    : QWidget(parent)
    , m_pControl(CQuestionnaireEditor::CreateControl(this))
    , m_editor(m_pControl)
{
    m_pControl->setObjectName(QStringLiteral("questionnaire"));
    m_pTemplate = new QPushButton(tr("Click here to modify the default questionnaire"), this);
    m_pTemplate->setObjectName(QStringLiteral("defaultQuestionnaire"));
    m_pTemplate->setProperty("verdantaCommand", CommandCode::DynamicQuestionnaireButton);
    connect(m_pTemplate, &QPushButton::clicked, this, [this] { Send(DynamicQuestSubCommand::EditTemplate); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pControl, 1);
    layout->addWidget(m_pTemplate, 0, Qt::AlignLeft);
}

CDynamicQuestDialog::~CDynamicQuestDialog()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IQuestionnaireEditor>(&m_editor);
}

void CDynamicQuestDialog::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IQuestionnaireEditor>(&m_editor);
    m_pHub = hub;
    if (!m_pHub)
        return;
    m_pHub->Services().Provide<IQuestionnaireEditor>(&m_editor);
    Send(DynamicQuestSubCommand::ShowCurrent);
}

void CDynamicQuestDialog::Refresh()
{
    Korbel::ITable *main = m_pHub ? m_pHub->GetMainTable() : nullptr;
    const bool hasPatient = main && main->CurrentPosition() >= 0;
    const bool reaches = m_pHub && m_pHub->Reaches(CommandCode::DynamicQuestionnaireButton);
    // Without a patient nothing typed could be kept.
    m_pControl->setEnabled(hasPatient && reaches);
    m_pTemplate->setEnabled(reaches);
}

int CDynamicQuestDialog::Send(int subCommand)
{
    if (!m_pHub)
        return 0;
    LogicCommand command;
    command.code = CommandCode::DynamicQuestionnaireButton;
    command.subCommand = subCommand;
    command.control = m_pTemplate;
    command.window = window();
    return m_pHub->OnCommand(command);
}
