#pragma once

#include "patients/forms/FormInterfaces.h"

#include <functional>

class QDialog;

// The medical history and questionnaire dialogs, shown modally. Tests give a
// driver that works the real dialog in place of a person.
class CFormDialogs final : public IFormDialogs
{
public:
    using Driver = std::function<void(QDialog &dialog)>;
    void Show(IntakeForm form, QWidget *parent, IFormFieldBinder *binder, CommandSink sink) override;
    void SetDriver(Driver driver) { m_driver = std::move(driver); }

private:
    Driver m_driver;
};
