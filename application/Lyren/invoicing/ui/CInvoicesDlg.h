#pragma once

#include "invoicing/InvoicingViews.h"

#include "core/Views.h"

#include <QtWidgets/QWidget>

class QLineEdit;
class QPushButton;

namespace Korbel {
class CXListCtrl;
}

// The "Invoices" tab: the invoice history, "Total Amount:", and the buttons
// "Preview Selected Invoice", "Export to PDF" and "Edit Invoice Templates",
// each sending its code to the invoices logic.
class CInvoicesDlg final : public QWidget, public IPage, public IInvoicesView
{
    Q_OBJECT

public:
    static constexpr int PageIndex = 7;

    explicit CInvoicesDlg(QWidget *parent = nullptr);
    ~CInvoicesDlg() override;

    void Attach(CLogicMain *hub) override;
    void Refresh() override;

    Korbel::IXListCtrl *InvoicesList() override;
    void ShowTotalAmount(const QString &text) override;

    Korbel::CXListCtrl *List() const { return m_pList; }
    QLineEdit *TotalField() const { return m_pTotal; }
    QPushButton *PreviewButton() const { return m_pPreview; }
    QPushButton *PdfButton() const { return m_pPdf; }
    QPushButton *TemplatesButton() const { return m_pTemplates; }

private:
    int Send(int code, QWidget *control);

    CLogicMain *m_pHub = nullptr;
    Korbel::CXListCtrl *m_pList;
    QLineEdit *m_pTotal;
    QPushButton *m_pPreview;
    QPushButton *m_pPdf;
    QPushButton *m_pTemplates;
};
