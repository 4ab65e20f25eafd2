#pragma once

#include "desktop_export.h"

#include <QtCore/QPoint>
#include <QtCore/QStringList>

class QWidget;

namespace Desktop {

// Pop-up menus that logic objects offer (a button's list of choices, a
// list's context menu). The program asks through Menus(); its window layer
// installs the platform's menus and tests install a scripted double.
class DESKTOP_EXPORT IMenus
{
public:
    virtual ~IMenus() = default;
    // Shows the entries at a point of the screen (an empty entry is a
    // separator); the index of the chosen entry, -1 when none was chosen.
    virtual int Popup(QWidget *parent, const QPoint &globalPosition, const QStringList &entries) = 0;
};

// The menus of the process; until some are installed no entry is chosen.
// Installing returns the ones installed before (not owned).
DESKTOP_EXPORT IMenus &Menus();
DESKTOP_EXPORT IMenus *SetMenus(IMenus *menus);

} // namespace Desktop
