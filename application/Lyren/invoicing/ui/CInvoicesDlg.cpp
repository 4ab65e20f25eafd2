#include "invoicing/ui/CInvoicesDlg.h"

#include "shell/CLogicMain.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CInvoicesDlg::CInvoicesDlg(QWidget *parent)
    : QWidget(parent)
    , m_pList(new Korbel::CXListCtrl(this))
    , m_pTotal(new QLineEdit(this))
    , m_pPreview(new QPushButton(tr("Preview Selected Invoice"), this))
    , m_pPdf(new QPushButton(tr("Export to PDF"), this))
    , m_pTemplates(new QPushButton(tr("Edit Invoice Templates"), this))
{
    m_pList->setObjectName(QStringLiteral("invoices"));
    m_pTotal->setObjectName(QStringLiteral("totalAmount"));
    m_pTotal->setReadOnly(true);
    m_pTotal->setAlignment(Qt::AlignRight);
    m_pPreview->setObjectName(QStringLiteral("preview"));
    m_pPdf->setObjectName(QStringLiteral("exportPdf"));
    m_pTemplates->setObjectName(QStringLiteral("templates"));
    m_pPreview->setProperty("verdantaCommand", CommandCode::InvoicePreview);
    m_pPdf->setProperty("verdantaCommand", CommandCode::InvoiceExportPdf);
    m_pTemplates->setProperty("verdantaCommand", CommandCode::InvoiceTemplates);
    connect(
        m_pPreview, &QPushButton::clicked, this, [this] { Send(CommandCode::InvoicePreview, m_pPreview); });
    connect(m_pPdf, &QPushButton::clicked, this, [this] { Send(CommandCode::InvoiceExportPdf, m_pPdf); });
    connect(m_pTemplates, &QPushButton::clicked, this,
        [this] { Send(CommandCode::InvoiceTemplates, m_pTemplates); });

    auto *total = new QHBoxLayout;
    total->addWidget(new QLabel(tr("Total Amount:"), this));
    total->addWidget(m_pTotal);
    total->addStretch(1);
    total->addWidget(m_pPreview);
    total->addWidget(m_pPdf);
    total->addWidget(m_pTemplates);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("Invoice History. Double click to add/modify. Select and hit 'Del' to delete."), this));
    layout->addWidget(m_pList, 1);
    layout->addLayout(total);
}

CInvoicesDlg::~CInvoicesDlg()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IInvoicesView>(this);
}

void CInvoicesDlg::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IInvoicesView>(this);
    m_pHub = hub;
    if (!hub)
        return;
    hub->Services().Provide<IInvoicesView>(this);
    LogicCommand show;
    show.code = CommandCode::InvoiceDetails;
    show.subCommand = PageSubCommand::ShowCurrent;
    hub->OnCommand(show);
}

void CInvoicesDlg::Refresh()
{
    const bool hasPatient = m_pHub && m_pHub->Context().CurrentPatientId() > 0;
    m_pList->setProperty("verdantaCommand", CommandCode::InvoiceDetails);
    m_pList->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::InvoiceDetails));
    for (QPushButton *button : { m_pPreview, m_pPdf, m_pTemplates }) {
        const int code = button->property("verdantaCommand").toInt();
        button->setEnabled(hasPatient && m_pHub->Reaches(code));
    }
}

int CInvoicesDlg::Send(int code, QWidget *control)
{
    if (!m_pHub)
        return 0;
    LogicCommand command;
    command.code = code;
    command.control = control;
    command.window = window();
    if (control)
        command.point = control->mapToGlobal(QPoint(0, control->height()));
    return m_pHub->OnCommand(command);
}

Korbel::IXListCtrl *CInvoicesDlg::InvoicesList()
{
    return m_pList;
}

void CInvoicesDlg::ShowTotalAmount(const QString &text)
{
    m_pTotal->setText(text);
}
