#pragma once

// What the form dialogs need from the program: a way to bind each control to
// its stored field, and a place to send the commands their buttons and fields
// produce (the hub, or whatever stands in for it).

#include "core/LogicCommand.h"

class QObject;
class QString;
class QWidget;

// Binds a control to a field of the open row of a form table. The row is the
// current patient's; the control shows its value at once and gives it back
// when the table is updated.
class IFormFieldBinder
{
public:
    virtual ~IFormFieldBinder() = default;
    // False when the table is not open or has no such field.
    virtual bool BindFormField(const QString &table, const QString &field, QObject *control) = 0;
};

// The intake forms of a patient.
enum class IntakeForm { MedicalHistory, Questionnaire };

// Shows a form's dialog modally over the window: its controls are bound
// through the binder, and its buttons and fields send their commands (OK,
// Cancel, picked phrases) to the sink. The window layer provides it.
class IFormDialogs
{
public:
    virtual ~IFormDialogs() = default;
    virtual void Show(IntakeForm form, QWidget *parent, IFormFieldBinder *binder, CommandSink sink) = 0;
};
