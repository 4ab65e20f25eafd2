#pragma once

#include <QtCore/QByteArray>

class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The patient's custom fields and own questionnaire as their logic objects see
// the windows. The tabs offer their views through the context's services while
// they exist; the main window's presenters offer the template editor.

// The "Custom Data" tab.
class IDynamicFieldsView
{
public:
    // The list of the current patient's custom fields, which the custom-fields
    // logic fills and whose edits it receives.
    virtual Korbel::IXListCtrl *FieldsList() = 0;

protected:
    ~IDynamicFieldsView() = default;
};

// The rich-text editor of the "My Questionnaire" tab.
class IQuestionnaireEditor
{
public:
    // Replaces the text with a rich-text document; false, the text left as it
    // was, when the bytes are not rich text.
    virtual bool SetRichText(const QByteArray &rtf) = 0;
    // The text as a rich-text document; false when it cannot be written out.
    virtual bool GetRichText(QByteArray *rtf) const = 0;
    // Empties the text.
    virtual void Clear() = 0;

protected:
    ~IQuestionnaireEditor() = default;
};

// The window in which the practice's default questionnaire (the template of
// every new patient's questionnaire) is edited. On entry rtf holds the
// template, empty when there is none; 1 when the person saved it (rtf then
// holds the edited template), 0 when the window was cancelled.
class IQuestionnaireTemplateEditor
{
public:
    virtual ~IQuestionnaireTemplateEditor() = default;
    virtual int Edit(QWidget *parent, QByteArray *rtf) = 0;
};
