#pragma once

#include "reports/ReportsPresenter.h"
#include "reports/ui/ReportPreviewWindow.h"

#include <QtCore/QPointer>

#include <functional>

class QMenu;

// The reports' windows: the menu with its sub-menus, the parameter dialogs
// and the preview windows.
class CReportsPresenterUi final : public Reports::IPresenter
{
public:
    int ChooseReport(QWidget *window, QObject *anchor, const Reports::Menu &menu) override;
    bool AskParameters(QWidget *parent, Reports::Ask ask, const Reports::Choices &choices,
        Reports::Parameters *parameters) override;
    void ShowPreview(QWidget *parent, std::shared_ptr<const Reports::Table> table) override;

    // The last preview opened, while it is open.
    CReportPreviewWindow *LastPreview() const { return m_pLastPreview; }
    // Builds the menu's widgets (the sub-menus and their entries, each
    // entry's data its report ID); ChooseReport shows it.
    static void FillMenu(QMenu *root, const Reports::Menu &menu);

private:
    QPointer<CReportPreviewWindow> m_pLastPreview;
};
