#pragma once

#include "desktopwidgets_export.h"

#include <QtPrintSupport/QAbstractPrintDialog>

#include <functional>

class QPrinter;
class QWidget;

namespace Desktop {

// The print dialog and the print preview. The program asks through
// PrintDialogs(); its application object installs the platform's dialogs and
// tests install answers of their own (a printer writing a PDF file).
class DESKTOPWIDGETS_EXPORT IPrintDialogs
{
public:
    virtual ~IPrintDialogs() = default;
    // The print dialog over printer, with only the choices options enables;
    // the person's choices are written into printer. False when cancelled.
    virtual bool ChoosePrinter(
        QWidget *parent, QPrinter &printer, QAbstractPrintDialog::PrintDialogOptions options)
        = 0;
    // The print preview of what paint draws on the printer it is given.
    virtual void ShowPreview(QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint)
        = 0;
};

// The platform's print dialog and QPrintPreviewDialog.
class DESKTOPWIDGETS_EXPORT QtPrintDialogs final : public IPrintDialogs
{
public:
    bool ChoosePrinter(
        QWidget *parent, QPrinter &printer, QAbstractPrintDialog::PrintDialogOptions options) override;
    void ShowPreview(
        QWidget *parent, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override;
};

// The dialogs of the process; until some are installed every print is
// cancelled and no preview is shown. Installing returns the ones installed
// before (not owned).
DESKTOPWIDGETS_EXPORT IPrintDialogs &PrintDialogs();
DESKTOPWIDGETS_EXPORT IPrintDialogs *SetPrintDialogs(IPrintDialogs *dialogs);

} // namespace Desktop
