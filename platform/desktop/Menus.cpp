#include "desktop/Menus.h"

namespace Desktop {

namespace {

IMenus *g_installed = nullptr;

class UnattendedMenus final : public IMenus
{
public:
    int Popup(QWidget *, const QPoint &, const QStringList &) override { return -1; }
};

} // namespace

IMenus &Menus()
{
    static UnattendedMenus unattended;
    return g_installed ? *g_installed : unattended;
}

IMenus *SetMenus(IMenus *menus)
{
    IMenus *previous = g_installed;
    g_installed = menus;
    return previous;
}

} // namespace Desktop
