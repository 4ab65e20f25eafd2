#include "desktop/widgets/PrintDialogs.h"

#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrintPreviewDialog>
#include <QtPrintSupport/QPrinter>

namespace Desktop {

namespace {

IPrintDialogs *g_installed = nullptr;

// Nobody to ask: nothing is printed.
class UnattendedPrintDialogs final : public IPrintDialogs
{
public:
    bool ChoosePrinter(QWidget *, QPrinter &, QAbstractPrintDialog::PrintDialogOptions) override
    {
        return false;
    }
    void ShowPreview(QWidget *, QPrinter &, const std::function<void(QPrinter *)> &) override { }
};

} // namespace

bool QtPrintDialogs::ChoosePrinter(
    QWidget *parent, QPrinter &printer, QAbstractPrintDialog::PrintDialogOptions options)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrintDialogs::ShowPreview(
    QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

IPrintDialogs &PrintDialogs()
{
    static UnattendedPrintDialogs unattended;
    return g_installed ? *g_installed : unattended;
}

IPrintDialogs *SetPrintDialogs(IPrintDialogs *dialogs)
{
    IPrintDialogs *previous = g_installed;
    g_installed = dialogs;
    return previous;
}

} // namespace Desktop
