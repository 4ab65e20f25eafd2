#pragma once

#include "component/ControlObject.h"

namespace Talmaro {

// The control's property page ("TALMARO.TalmaroPropPage.1"), titled
// "General": the compression level every control of the process records with.
class CTalmaroPropPage : public Component::ControlObject
{
protected:
    QWidget *CreateWidget(QWidget *parent) override;
};

} // namespace Talmaro
