#include "desktop/Shell.h"

#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace Desktop {

namespace {

IShell *g_installed = nullptr;

} // namespace

IShell &Shell()
{
    static DesktopServicesShell shell;
    return g_installed ? *g_installed : shell;
}

IShell *SetShell(IShell *shell)
{
    IShell *previous = g_installed;
    g_installed = shell;
    return previous;
}

bool DesktopServicesShell::Open(const QString &target, const QString &verb)
{
    if (target.isEmpty())
        return false;
    QUrl url;
    const QUrl parsed(target);
    if (parsed.isValid() && parsed.scheme().size() > 1)
        url = parsed; // mailto:, http:, file: ...
    else
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    if (verb == u"explore" && url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
        url = QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absolutePath());
    return QDesktopServices::openUrl(url);
}

} // namespace Desktop
