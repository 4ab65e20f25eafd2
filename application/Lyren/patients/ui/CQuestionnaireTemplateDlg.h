#pragma once

#include "patients/CustomDataViews.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QDialog>

#include <functional>

class CQuestionnaireEditor;
class QPushButton;

namespace RichEdit {
class RichEditControl;
}

// A small window over a rich-edit control in which the practice's default
// questionnaire is edited: "Save" keeps what was written, "Cancel" drops it.
class CQuestionnaireTemplateDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CQuestionnaireTemplateDlg(QWidget *parent = nullptr);
    ~CQuestionnaireTemplateDlg() override;

    // False, the editor left empty, when the bytes are not rich text.
    bool SetTemplate(const QByteArray &rtf);
    QByteArray Template() const;

    RichEdit::RichEditControl *Editor() const { return m_pControl; }
    QPushButton *SaveButton() const { return m_pSave; }

private:
    RichEdit::RichEditControl *m_pControl = nullptr;
    std::unique_ptr<CQuestionnaireEditor> m_pEditor;
    QPushButton *m_pSave = nullptr;
};

// The template window, shown modally. A template that cannot be read is said
// so before the window opens empty. Tests give a driver that works the real
// dialog in place of a person (the driver's result is the dialog's).
class CQuestionnaireTemplatePresenter final : public IQuestionnaireTemplateEditor
{
    Q_DECLARE_TR_FUNCTIONS(CQuestionnaireTemplatePresenter)

public:
    using Driver = std::function<int(CQuestionnaireTemplateDlg &dialog)>;
    int Edit(QWidget *parent, QByteArray *rtf) override;
    void SetDriver(Driver driver) { m_driver = std::move(driver); }

    static QString UnreadableMessage();

private:
    Driver m_driver;
};
