#pragma once

#include "invoicing/InvoiceDocument.h"
#include "invoicing/InvoicingViews.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"

#include "Korbel/XListCtrl/IXListCtrl.h"
#include "common/Money.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QPoint>

#include <vector>

class LogicContext;

// One invoice record.
struct InvoiceItem
{
    qint64 id = 0;
    Verdanta::Money amount;
    QDateTime date;
    QString info;
    QString type; // "GENERATED" or "SENT"
};

// The current patient's invoices (codes 75 to 79 and 84): the invoice
// history page's list and total, the details dialog, the documents made from
// the invoice templates (copied into the patient's invoices folder as the
// invoice's ID + the template's extension, with their placeholders filled,
// then opened), their preview, the templates menu and the PDF export.
class CLogicInvoices final : public ILogicObject, public Korbel::IXListCtrlCallback, public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicInvoices)

public:
    enum Column { AmountColumn, DateColumn, InfoColumn, TypeColumn };

    explicit CLogicInvoices(LogicContext &context);
    ~CLogicInvoices() override;

    bool Open(qint64 patientId);
    void Close();
    int Fill();
    const std::vector<InvoiceItem> &Items() const { return m_items; }
    Verdanta::Money Total() const;

    // The dialog over the last selected row (the trailing row: a new invoice,
    // whose document is made at once).
    bool AddOrModify(QWidget *parent);
    // Stores an invoice (id 0: a new one, which then gets its document from
    // the chosen template, or the first template when none was chosen);
    // the invoice's ID, 0 when nothing was stored.
    qint64 Store(qint64 id, const InvoiceDetails &details, QWidget *parent);
    bool SetType(qint64 id, const QString &type);
    // The invoice's documents go first; the record is deleted only once none
    // is left, so that no document stays behind without its record.
    bool Delete(qint64 id, QWidget *parent);
    // Opens every document of the invoice.
    int Preview(qint64 id);
    // The templates menu of "Edit Invoice Templates" at a point of the screen.
    int TemplatesMenu(QWidget *parent, const QPoint &globalPosition);
    // Writes the invoice as ID.pdf beside its documents and opens it; the
    // path, empty on failure.
    QString ExportPdf(qint64 id, QWidget *parent);

    // The values of the placeholders for an invoice of the current patient.
    InvoiceDocuments::Fields FieldsOf(const InvoiceItem &invoice) const;
    // The ID of the last selected row's invoice, 0 for none.
    qint64 SelectedId();

    static QStringList Headings();
    // "GENERATED" and "SENT".
    static QStringList TypeNames();
    static QString CreateFailedText();
    static QString DeleteFailedText();
    static QString EditTemplatesEntry();

    // 75, 76 (PageSubCommand::ShowCurrent fills), 77, 78, 79, 84.
    int OnCommand(LogicCommand &command) override;

    // Korbel::IXListCtrlCallback
    void ItemDoubleClicked(int row, int column) override;
    void ComboSelection(int row, int column) override;
    bool DeleteRow(int row) override;
    void ListDestroyed() override { m_pList = nullptr; }

private:
    Korbel::IXListCtrl *List();
    const InvoiceItem *Find(qint64 id) const;
    QString InvoicesFolder() const;
    QString TemplatesFolder() const;
    // The templates, by name.
    QStringList TemplateNames() const;
    // Makes the invoice's document from a template; false when it could not.
    bool CreateDocument(const InvoiceItem &invoice, const QString &templateName);
    QWidget *Parent(QWidget *parent);

    LogicContext &m_context;
    qint64 m_patientId = 0;
    std::vector<InvoiceItem> m_items;
    Korbel::IXListCtrl *m_pList = nullptr;
};
