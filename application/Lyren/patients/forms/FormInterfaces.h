#pragma once

// What the form dialogs need from the program: a way to bind each control to
// its stored field, and a place to send the commands their buttons and fields
// produce (the hub, or whatever stands in for it).

#include <functional>

class QString;
class QWidget;
struct LogicCommand;

// Binds a control to a field of the open row of a form table. The row is the
// current patient's; the control shows its value at once and gives it back
// when the table is updated.
class IFormFieldBinder
{
public:
    virtual ~IFormFieldBinder() = default;
    // False when the table is not open or has no such field.
    virtual bool BindFormField(const QString &table, const QString &field, QWidget *control) = 0;
};

// Receives a command and returns its result, as the hub's command handler does.
using CommandSink = std::function<int(LogicCommand &)>;

// The codes the forms handle and send.
namespace FormCode {

enum : int {
    OpenMedicalHistory = 16,
    OpenQuestionnaire = 17,
    MedicalHistoryOk = 18,
    MedicalHistoryCancel = 19,
    QuestionnaireOk = 20,
    QuestionnaireCancel = 21,
    PickPhrase = 67, // text: the phrase picked in a free-text field
};

} // namespace FormCode
