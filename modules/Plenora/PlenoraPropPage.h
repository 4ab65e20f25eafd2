#pragma once

#include "TimeGrid/ControlDialogs.h"

namespace Plenora {

// The control's "General" property page ("PLENORA.PlenoraPropPage.1"): days
// per column, the graph clicks edit, the first visible day and the headers.
class CPlenoraPropPage : public TimeGrid::GeneralPropertyPage
{
public:
    CPlenoraPropPage();
};

} // namespace Plenora
