#include "shell/ui/CPageContainer.h"

#include "shell/CLogicMain.h"

#include "contacts/ui/CAddressDialog.h"
#include "invoicing/ui/CDuePaymentsDialog.h"
#include "invoicing/ui/CInvoicesDlg.h"
#include "invoicing/ui/CPaymentsDialog.h"
#include "notes/ui/CNotesPage.h"
#include "patients/ui/CDynamicFieldsDialog.h"
#include "patients/ui/CDynamicQuestDialog.h"
#include "patients/ui/CGeneralDialog.h"
#include "treatment/ui/CTreatmentPage.h"

#include <QtWidgets/QWidget>

namespace {

// A tab whose page is not part of the program yet: an empty page.
class CPlaceholderPage final : public QWidget, public IPage
{
public:
    explicit CPlaceholderPage(QWidget *parent)
        : QWidget(parent)
    { }
    void Attach(CLogicMain *) override { }
    void Refresh() override { }
};

} // namespace

CPageContainer::CPageContainer() = default;

CPageContainer::~CPageContainer()
{
    // Pages a pane no longer holds still belong to the container.
    for (QPointer<QWidget> &page : m_pages)
        delete page.data();
}

QStringList CPageContainer::TabLabels()
{
    return { tr("Patient"), tr("Address"), tr("Custom Data"), tr("Notes"), tr("Treatment"), tr("DuePayments"),
        tr("Payments"), tr("Invoices"), tr("My Questionnaire") };
}

QWidget *CPageContainer::CreatePage(int index, QWidget *owner)
{
    // Each tab's page is made here; tabs whose pages are not built yet are
    // placeholders.
    switch (index) {
    case CGeneralDialog::PageIndex:
        return new CGeneralDialog(owner);
    case CDynamicFieldsDialog::PageIndex:
        return new CDynamicFieldsDialog(owner);
    case CDynamicQuestDialog::PageIndex:
        return new CDynamicQuestDialog(owner);
    case CAddressDialog::PageIndex:
        return new CAddressDialog(owner);
    case CNotesPage::PageIndex:
        return new CNotesPage(owner);
    case CDuePaymentsDialog::PageIndex:
        return new CDuePaymentsDialog(owner);
    case CPaymentsDialog::PageIndex:
        return new CPaymentsDialog(owner);
    case CInvoicesDlg::PageIndex:
        return new CInvoicesDlg(owner);
    case CTreatmentPage::PageIndex:
        return new CTreatmentPage(owner);
    default:
        return new CPlaceholderPage(owner);
    }
}

void CPageContainer::CreatePages(QWidget *owner, CLogicMain *hub)
{
    m_pHub = hub;
    for (int i = 0; i < PageCount; ++i) {
        QPointer<QWidget> &slot = m_pages[static_cast<size_t>(i)];
        if (!slot) {
            slot = CreatePage(i, owner);
            slot->setObjectName(QStringLiteral("page%1").arg(i));
            slot->hide();
        }
        if (hub)
            hub->RegisterPage(i, GetPage(i));
    }
    for (int i = 0; i < PageCount; ++i) {
        if (IPage *page = GetPage(i)) {
            page->Attach(hub);
            page->Refresh();
        }
    }
}

QWidget *CPageContainer::GetPageWindow(int index) const
{
    return index >= 0 && index < PageCount ? m_pages[static_cast<size_t>(index)].data() : nullptr;
}

IPage *CPageContainer::GetPage(int index) const
{
    return dynamic_cast<IPage *>(GetPageWindow(index));
}

void CPageContainer::Close()
{
    m_pHub = nullptr;
}
