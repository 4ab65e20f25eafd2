#include "finance/ui/CPrescriptionsPage.h"

#include "finance/ui/CPrescriptionListBox.h"

#include <QtWidgets/QVBoxLayout>

CPrescriptionsPage::CPrescriptionsPage(QWidget *parent)
    : QWidget(parent)
    , m_pBox(new CPrescriptionListBox(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pBox);
}

void CPrescriptionsPage::Attach(CLogicMain *hub)
{
    m_pBox->Attach(hub);
}
