#include "reports/ui/ReportsPresenterUi.h"

#include "reports/ui/ReportParameterDialogs.h"
#include "reports/ui/ReportPreviewWindow.h"

#include <QtGui/QCursor>
#include <QtWidgets/QMenu>

void CReportsPresenterUi::FillMenu(QMenu *root, const Reports::Menu &menu)
{
    for (const Reports::Menu::Group &group : menu.groups) {
        QMenu *sub = root->addMenu(group.title);
        // A group without reports shows, greyed, rather than vanish.
        sub->setEnabled(!group.entries.empty());
        for (const Reports::Menu::Entry &entry : group.entries)
            sub->addAction(entry.text)->setData(entry.id);
    }
}

int CReportsPresenterUi::ChooseReport(QWidget *window, QObject *anchor, const Reports::Menu &menu)
{
    QMenu root(window);
    FillMenu(&root, menu);
    auto *button = qobject_cast<QWidget *>(anchor);
    const QPoint at = button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
    const QAction *chosen = root.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

bool CReportsPresenterUi::AskParameters(
    QWidget *parent, Reports::Ask ask, const Reports::Choices &choices, Reports::Parameters *p)
{
    using Reports::Ask;
    switch (ask) {
    case Ask::DateAfter:
    case Ask::DateBefore: {
        CReportParamDialog dialog(parent, ask == Ask::DateBefore, p->date);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->date = dialog.Date();
        return true;
    }
    case Ask::AgeRange: {
        CReportParamAgeDlg dialog(parent, p->int1, p->int2);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->int1 = dialog.From();
        p->int2 = dialog.To();
        return true;
    }
    case Ask::Gender: {
        CReportParamGenderDialog dialog(parent, p->flag);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->flag = dialog.Male();
        return true;
    }
    case Ask::DateAndAmount: {
        CReportParamAmountDialog dialog(parent, p->date, p->amount);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->date = dialog.Date();
        p->amount = dialog.Amount();
        return true;
    }
    case Ask::Remedy: {
        CReportParamRemedyDialog dialog(parent, choices, p->long1, p->long2);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->long1 = dialog.Remedy();
        p->long2 = dialog.Dilution();
        return true;
    }
    case Ask::CustomField: {
        CReportParamDFDialog dialog(parent, choices.customFields, p->str1, p->str2);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        p->str1 = dialog.Field();
        p->str2 = dialog.Contains();
        return true;
    }
    case Ask::Nothing:
        break;
    }
    return true;
}

void CReportsPresenterUi::ShowPreview(QWidget *parent, std::shared_ptr<const Reports::Table> table)
{
    auto *window = new CReportPreviewWindow(parent, std::move(table));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    m_pLastPreview = window;
}
