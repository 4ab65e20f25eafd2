#pragma once

#include "patients/CustomDataViews.h"

#include "core/Views.h"

#include <QtWidgets/QWidget>

class QPushButton;

namespace RichEdit {
class RichEditControl;
}

// A rich-edit control as the questionnaire logic reads and writes it: rich
// text in and out through the control's RTF codec.
class CQuestionnaireEditor final : public IQuestionnaireEditor
{
public:
    explicit CQuestionnaireEditor(RichEdit::RichEditControl *control);

    bool SetRichText(const QByteArray &rtf) override;
    bool GetRichText(QByteArray *rtf) const override;
    void Clear() override;

    // A rich-edit control set up for writing a questionnaire.
    static RichEdit::RichEditControl *CreateControl(QWidget *parent);

private:
    RichEdit::RichEditControl *m_pControl;
};

// The "My Questionnaire" tab: the patient's own questionnaire in a rich-edit
// control over the whole page, and the button "Click here to modify the
// default questionnaire" (code 74), which opens the template for editing.
class CDynamicQuestDialog : public QWidget, public IPage
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 8;

    explicit CDynamicQuestDialog(QWidget *parent = nullptr);
    ~CDynamicQuestDialog() override;

    // IPage: the editor is offered to the logic, which shows the current
    // patient's questionnaire in it.
    void Attach(CLogicMain *hub) override;
    // The editor takes input while a patient is current.
    void Refresh() override;

    RichEdit::RichEditControl *Editor() const { return m_pControl; }
    QPushButton *TemplateButton() const { return m_pTemplate; }

private:
    int Send(int subCommand);

    CLogicMain *m_pHub = nullptr;
    RichEdit::RichEditControl *m_pControl = nullptr;
    QPushButton *m_pTemplate = nullptr;
    CQuestionnaireEditor m_editor;
};
