#include "invoicing/CLogicInvoices.h"

#include "invoicing/ChargeText.h"
#include "invoicing/FieldValues.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "finance/LogicOfficeData.h"
#include "finance/ReferenceList.h"

#include "common/Identifiers.h"
#include "common/LocaleDates.h"
#include "desktop/Menus.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"
#include "richedit/RtfCodec.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QTextDocument>

using Charges::MoneyValue;
using Charges::SetValue;
using Charges::Value;
using Verdanta::Money;

namespace {

const QString kTable = QStringLiteral("INVOICES");
const QString kId = QStringLiteral("ID");
const QString kPatient = QStringLiteral("PATIENT_ID");
const QString kAmount = QStringLiteral("AMOUNT");
const QString kDate = QStringLiteral("DT_STAMP");
const QString kInfo = QStringLiteral("INFO");
const QString kType = QStringLiteral("TYPE");
const QString kGenerated = QStringLiteral("GENERATED");
const QString kSent = QStringLiteral("SENT");
// A template is a document, not a whole archive: no bigger than this.
constexpr qint64 MaxTemplateSize = qint64(64) * 1024 * 1024;

QString Joined(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            kept.append(part.trimmed());
    }
    return kept.join(separator);
}

// The path of a plain file name in a folder, empty when it would lead out.
QString PathIn(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || !InvoiceDocuments::IsPlainFileName(name))
        return {};
    const QString path = QDir(folder).filePath(name);
    if (QDir::cleanPath(QFileInfo(path).absolutePath())
        != QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
        return {};
    return path;
}

} // namespace

CLogicInvoices::CLogicInvoices(LogicContext &context)
    : m_context(context)
{ }

CLogicInvoices::~CLogicInvoices()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QStringList CLogicInvoices::Headings()
{
    return { tr("Amount"), tr("Date"), tr("Description"), tr("Status") };
}

QStringList CLogicInvoices::TypeNames()
{
    return { kGenerated, kSent };
}

QString CLogicInvoices::CreateFailedText()
{
    return tr("Failed to create the invoice file.");
}

QString CLogicInvoices::DeleteFailedText()
{
    return tr("Failed to delete the invoice file.");
}

QString CLogicInvoices::EditTemplatesEntry()
{
    return tr("Add new/Delete template...");
}

QString CLogicInvoices::InvoicesFolder() const
{
    return m_context.Folders().GetInvoicesFolder();
}

QString CLogicInvoices::TemplatesFolder() const
{
    return m_context.Folders().GetInvoiceTemplatesFolder();
}

QStringList CLogicInvoices::TemplateNames() const
{
    // The program's own template comes into a folder that has none, the
    // first time templates are asked for.
    const QString folder = TemplatesFolder();
    InvoiceDocuments::InstallDefaultTemplate(folder);
    return InvoiceDocuments::TemplateNames(folder);
}

Korbel::IXListCtrl *CLogicInvoices::List()
{
    auto *view = Service<IInvoicesView>();
    Korbel::IXListCtrl *list = view ? view->InvoicesList() : nullptr;
    m_pList = Charges::TakeList(m_pList, list, this, Headings());
    return m_pList;
}

QWidget *CLogicInvoices::Parent(QWidget *parent)
{
    if (parent)
        return parent;
    Korbel::IXListCtrl *list = List();
    return list ? list->DialogParent() : m_context.DialogParent();
}

bool CLogicInvoices::Open(qint64 patientId)
{
    m_patientId = patientId;
    m_items.clear();
    if (patientId <= 0)
        return true;
    Records::TablePtr table = Records::OpenPatientRows(m_context.DataSource(), kTable, patientId, kDate);
    if (!table)
        return false;
    Records::FieldPtr id = Records::OpenField(table.get(), kId);
    Records::FieldPtr amount = Records::OpenField(table.get(), kAmount);
    Records::FieldPtr date = Records::OpenField(table.get(), kDate);
    Records::FieldPtr info = Records::OpenField(table.get(), kInfo);
    Records::FieldPtr type = Records::OpenField(table.get(), kType);
    for (int moved = table->Move(Korbel::MoveFirst); moved == 1; moved = table->Move(Korbel::MoveNext)) {
        InvoiceItem item;
        item.id = Value(id.get()).toLongLong();
        item.amount = MoneyValue(amount.get());
        item.date = Value(date.get()).toDateTime();
        item.info = Value(info.get()).toString();
        item.type = Value(type.get()).toString();
        m_items.push_back(std::move(item));
    }
    return true;
}

void CLogicInvoices::Close()
{
    m_patientId = 0;
    m_items.clear();
}

Money CLogicInvoices::Total() const
{
    Money total;
    for (const InvoiceItem &item : m_items)
        total += item.amount;
    return total;
}

int CLogicInvoices::Fill()
{
    if (Korbel::IXListCtrl *list = List()) {
        list->DeleteAllItems();
        const QStringList types = TypeNames();
        for (const InvoiceItem &item : m_items) {
            const int row = Finance::InsertRecordRow(list, Charges::MoneyCell(item.amount), item.id);
            list->SetItemText(row, DateColumn, Charges::DateCell(item.date));
            list->SetItemText(row, InfoColumn, Charges::TextCell(item.info));
            list->SetComboBox(row, TypeColumn, true, types, item.type == kSent ? 1 : 0);
        }
        Finance::AppendAddNewRow(list);
        list->AdjustColumns();
    }
    if (auto *view = Service<IInvoicesView>())
        view->ShowTotalAmount(Verdanta::FormatMoneyForDisplay(Total()));
    return 1;
}

const InvoiceItem *CLogicInvoices::Find(qint64 id) const
{
    const auto found = std::find_if(
        m_items.begin(), m_items.end(), [id](const InvoiceItem &item) { return item.id == id; });
    return found == m_items.end() ? nullptr : &*found;
}

qint64 CLogicInvoices::SelectedId()
{
    Korbel::IXListCtrl *list = List();
    return list ? Finance::RecordIdOfRow(list, list->GetCurSel()) : 0;
}

bool CLogicInvoices::AddOrModify(QWidget *parent)
{
    auto *dialogs = Service<IInvoicingDialogs>();
    Korbel::IXListCtrl *list = List();
    if (!dialogs || !list || m_patientId <= 0)
        return false;
    const int row = list->GetCurSel();
    if (row < 0)
        return false;
    const qint64 id = Finance::RecordIdOfRow(list, row);
    InvoiceDetails details;
    details.date = QDateTime::currentDateTime();
    if (id != 0) {
        const InvoiceItem *item = Find(id);
        if (!item)
            return false;
        details.isNew = false;
        details.amount = item->amount.ToStorageText();
        details.date = item->date;
        details.info = item->info;
        details.preview = [this, id] { Preview(id); };
    } else {
        details.templateNames = TemplateNames();
    }
    if (!dialogs->EditInvoice(Parent(parent), &details))
        return false;
    return Store(id, details, Parent(parent)) != 0;
}

qint64 CLogicInvoices::Store(qint64 id, const InvoiceDetails &details, QWidget *parent)
{
    Money amount;
    if (m_patientId <= 0 || !Charges::ParseTypedMoney(details.amount, &amount))
        return 0;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool isNew = id == 0;
    bool stored = table && Records::BeginAddOrEdit(table.get(), isNew, id);
    const QDateTime date = details.date.isValid() ? details.date : QDateTime::currentDateTime();
    if (stored) {
        bool written = SetValue(table.get(), kPatient, m_patientId)
            && SetValue(table.get(), kAmount, amount.ToDouble()) && SetValue(table.get(), kDate, date)
            && SetValue(table.get(), kInfo, details.info);
        if (isNew)
            written = written && SetValue(table.get(), kType, kGenerated);
        stored = Records::FinishWrite(table.get(), written);
    }
    const qint64 storedId = stored ? (isNew ? Records::CurrentId(table.get()) : id) : 0;
    table.reset();
    Open(m_patientId);
    Fill();
    if (storedId != 0 && isNew) {
        const InvoiceItem *invoice = Find(storedId);
        if (!invoice || !CreateDocument(*invoice, details.chosenTemplate))
            Desktop::Inform(parent, CreateFailedText(), Desktop::Icon::Warning);
    }
    return storedId;
}

InvoiceDocuments::Fields CLogicInvoices::FieldsOf(const InvoiceItem &invoice) const
{
    InvoiceDocuments::Fields fields;
    if (Korbel::ITable *main = m_context.MainTable()) {
        fields.patientName = Joined({ Records::ReadText(main, QStringLiteral("FIRST_NAME")),
                                        Records::ReadText(main, QStringLiteral("MIDDLE_NAME")),
                                        Records::ReadText(main, QStringLiteral("LAST_NAME")) },
            QStringLiteral(" "));
    }
    if (Korbel::ITable *address = m_context.AddressTable()) {
        const QString cityLine = Joined({ Records::ReadText(address, QStringLiteral("POSTAL_CODE")),
                                            Records::ReadText(address, QStringLiteral("CITY")) },
            QStringLiteral(" "));
        fields.patientAddress = Joined({ Records::ReadText(address, QStringLiteral("STREET_ADDRESS")),
                                           cityLine, Records::ReadText(address, QStringLiteral("STATE")),
                                           Records::ReadText(address, QStringLiteral("COUNTRY")) },
            QStringLiteral("\n"));
    }
    if (auto *office = Service<CLogicOfficeData>()) {
        OfficeRecord record;
        if (office->Exchange(record, CLogicOfficeData::Direction::Read)) {
            fields.officeName = record.name;
            fields.officeAddress
                = Joined({ record.address, Joined({ record.postalCode, record.state }, QStringLiteral(" ")),
                             record.country },
                    QStringLiteral("\n"));
            fields.officePhone = record.officePhone;
            fields.officeEmail = record.email;
        }
    }
    fields.invoiceId = Verdanta::FormatId(invoice.id);
    fields.invoiceDate = invoice.date.isValid() ? Verdanta::FormatLocaleDate(invoice.date.date()) : QString();
    fields.amount = Verdanta::FormatMoneyForDisplay(invoice.amount);
    fields.info = invoice.info;

    // Every unpaid item of the patient, whatever its kind.
    Korbel::ReleasePtr<Korbel::IQuery> query(
        m_context.DataSource() ? m_context.DataSource()->CreateQuery() : nullptr);
    if (query && m_patientId > 0) {
        query->SetTable(QStringLiteral("INVOICING"));
        query->Where(kPatient, Korbel::Compare::Equal, Verdanta::FormatId(m_patientId));
        query->Where(QStringLiteral("ACTIVE"), Korbel::Compare::Equal, QStringLiteral("1"));
        query->OrderBy(kDate);
        Records::TablePtr items(query->Open());
        Records::FieldPtr date = Records::OpenField(items.get(), kDate);
        Records::FieldPtr description = Records::OpenField(items.get(), QStringLiteral("DESCRIPTION"));
        Records::FieldPtr amount = Records::OpenField(items.get(), kAmount);
        Records::FieldPtr tax1 = Records::OpenField(items.get(), QStringLiteral("AMOUNT_TAX1"));
        Records::FieldPtr tax2 = Records::OpenField(items.get(), QStringLiteral("AMOUNT_TAX2"));
        for (int moved = items ? items->Move(Korbel::MoveFirst) : 0; moved == 1;
             moved = items->Move(Korbel::MoveNext)) {
            fields.items.push_back({ Value(date.get()).toDateTime(), Value(description.get()).toString(),
                MoneyValue(amount.get()), MoneyValue(tax1.get()), MoneyValue(tax2.get()) });
        }
    }
    return fields;
}

bool CLogicInvoices::CreateDocument(const InvoiceItem &invoice, const QString &templateName)
{
    const QString templates = TemplatesFolder();
    const QStringList names = TemplateNames();
    const QString chosen = templateName.isEmpty() ? names.value(0) : templateName;
    if (chosen.isEmpty())
        return false;
    const QString source = PathIn(templates, chosen);
    const QString folder = InvoicesFolder();
    if (source.isEmpty() || folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxTemplateSize)
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    bool readable = true;
    const QByteArray filled
        = InvoiceDocuments::Fill(bytes, InvoiceDocuments::Extension(chosen), FieldsOf(invoice), &readable);
    const QString target = PathIn(folder, InvoiceDocuments::DocumentName(invoice.id, chosen));
    if (target.isEmpty() || !Files::WriteAtomically(target, filled))
        return false;
    Desktop::Shell().Open(target, QStringLiteral("open"));
    return true;
}

bool CLogicInvoices::SetType(qint64 id, const QString &type)
{
    if (id <= 0 || !TypeNames().contains(type.trimmed()))
        return false;
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    bool stored = table && Records::BeginAddOrEdit(table.get(), false, id);
    if (stored)
        stored = Records::FinishWrite(table.get(), SetValue(table.get(), kType, type.trimmed()));
    table.reset();
    Open(m_patientId);
    return stored;
}

bool CLogicInvoices::Delete(qint64 id, QWidget *parent)
{
    if (id <= 0 || !Find(id))
        return false;
    // The documents first: a record whose file could not be removed stays,
    // so that every document left on disk is still named by its invoice and
    // can be deleted again later.
    const QString folder = InvoicesFolder();
    bool removed = true;
    for (const QString &name : InvoiceDocuments::DocumentNames(folder, id)) {
        const QString path = PathIn(folder, name);
        if (path.isEmpty() || !QFile::remove(path))
            removed = false;
    }
    if (!removed) {
        Desktop::Inform(Parent(parent), DeleteFailedText(), Desktop::Icon::Warning);
        return false;
    }
    Records::TablePtr table(m_context.DataSource() ? m_context.DataSource()->OpenTable(kTable) : nullptr);
    const bool deleted = table && Records::LocateId(table.get(), id) && table->Delete() > 0;
    table.reset();
    Open(m_patientId);
    Fill();
    return deleted;
}

int CLogicInvoices::Preview(qint64 id)
{
    const QString folder = InvoicesFolder();
    int opened = 0;
    for (const QString &name : InvoiceDocuments::DocumentNames(folder, id)) {
        const QString path = PathIn(folder, name);
        if (!path.isEmpty() && Desktop::Shell().Open(path, QStringLiteral("open")))
            ++opened;
    }
    return opened;
}

int CLogicInvoices::TemplatesMenu(QWidget *parent, const QPoint &globalPosition)
{
    const QString folder = TemplatesFolder();
    QStringList entries = TemplateNames();
    const qsizetype templates = entries.size();
    entries.append(EditTemplatesEntry());
    const int chosen = Desktop::Menus().Popup(Parent(parent), globalPosition, entries);
    if (chosen < 0 || chosen > templates)
        return 0;
    if (chosen == templates) {
        QDir().mkpath(folder);
        return Desktop::Shell().Open(folder, QStringLiteral("explore")) ? 1 : 0;
    }
    const QString path = PathIn(folder, entries.at(chosen));
    return !path.isEmpty() && Desktop::Shell().Open(path, QStringLiteral("open")) ? 1 : 0;
}

QString CLogicInvoices::ExportPdf(qint64 id, QWidget *parent)
{
    const InvoiceItem *invoice = Find(id);
    const QString folder = InvoicesFolder();
    if (!invoice || folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    // The invoice's own document when Qt can lay it out, else the default layout.
    QTextDocument document;
    bool laidOut = false;
    for (const QString &name : InvoiceDocuments::DocumentNames(folder, id)) {
        const QString kind = InvoiceDocuments::Extension(name).toLower();
        QFile file(PathIn(folder, name));
        if (kind == u".pdf" || file.size() > MaxTemplateSize || !file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (kind == u".html" || kind == u".htm") {
            document.setHtml(QString::fromUtf8(bytes));
            laidOut = true;
        } else if (kind == u".txt") {
            document.setPlainText(QString::fromUtf8(bytes));
            laidOut = true;
        } else if (kind == u".rtf") {
            laidOut = RichEdit::RtfCodec::fromRtf(document, bytes);
        }
        if (laidOut)
            break;
    }
    if (!laidOut)
        document.setHtml(InvoiceDocuments::InvoiceHtml(FieldsOf(*invoice)));
    const QString path = PathIn(folder, Verdanta::FormatId(id) + QStringLiteral(".pdf"));
    if (path.isEmpty() || !InvoiceDocuments::WritePdf(document, path)) {
        Desktop::Inform(Parent(parent), tr("Failed to write the PDF file."), Desktop::Icon::Warning);
        return {};
    }
    Desktop::Shell().Open(path, QStringLiteral("open"));
    return path;
}

int CLogicInvoices::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::InvoiceDetails:
        if (command.subCommand == PageSubCommand::ShowCurrent)
            return Fill();
        return AddOrModify(command.window) ? 1 : 0;
    case CommandCode::InvoiceNew:
        if (Korbel::IXListCtrl *list = List())
            list->SetCurSel(list->GetItemCount() - 1);
        return AddOrModify(command.window) ? 1 : 0;
    case CommandCode::InvoicePreview:
        return Preview(SelectedId()) > 0 ? 1 : 0;
    case CommandCode::InvoiceDelete:
        return Delete(SelectedId(), command.window) ? 1 : 0;
    case CommandCode::InvoiceTemplates:
        return TemplatesMenu(command.window, command.point);
    case CommandCode::InvoiceExportPdf:
        return ExportPdf(SelectedId(), command.window).isEmpty() ? 0 : 1;
    default:
        return 0;
    }
}

void CLogicInvoices::ItemDoubleClicked(int, int)
{
    AddOrModify(nullptr);
}

void CLogicInvoices::ComboSelection(int row, int column)
{
    if (m_pList && column == TypeColumn)
        SetType(Finance::RecordIdOfRow(m_pList, row), m_pList->GetComboText(row, column));
}

bool CLogicInvoices::DeleteRow(int row)
{
    if (!m_pList || m_pList->IsItemPlaceHolder(row))
        return false;
    Delete(Finance::RecordIdOfRow(m_pList, row), nullptr);
    // The list was filled again when the record went.
    return false;
}
