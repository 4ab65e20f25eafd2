#pragma once

#include "TimeGrid/ControlDialogs.h"

namespace Tessory {

// The control's "General" property page ("TESSORY.TessoryPropPage.1"): days
// per column, the first visible day and the bounds of the line header width.
class CTessoryPropPage : public TimeGrid::GeneralPropertyPage
{
public:
    CTessoryPropPage();
};

} // namespace Tessory
