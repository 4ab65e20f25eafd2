#include "finance/CLogicPrescriptions.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/LogicOfficeData.h"
#include "finance/LogicStocks.h"
#include "finance/PrescriptionDialogs.h"
#include "notes/ActiveEditorItems.h"

#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"

#include "common/Identifiers.h"
#include "common/LocaleDates.h"
#include "desktop/Prompts.h"

#include <QtCore/QSet>

#include <algorithm>

using Verdanta::Money;

namespace {

// A 0x00BBGGRR colour as the list draws it.
QColor ListColour(quint32 colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

CLogicPrescriptions::CLogicPrescriptions(LogicContext &context)
    : m_context(context)
{ }

CLogicPrescriptions::~CLogicPrescriptions()
{
    SetView(nullptr);
}

QStringList CLogicPrescriptions::ColumnTitles()
{
    return { tr("Remedy"), tr("Status"), tr("Rem.Price"), tr("Presc.Price"), tr("Quantity"),
        tr("Creation Date") };
}

QString CLogicPrescriptions::LowStockMessage()
{
    return tr(
        "The stock for this remedy has decreased below the critical value.\nIt is recommended to create "
        "an Order so that the stock could be replenished.");
}

Korbel::IXListCtrl *CLogicPrescriptions::List() const
{
    return m_pView ? m_pView->List() : nullptr;
}

CActiveEditorPrescItem *CLogicPrescriptions::ItemAt(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[size_t(row)].item : nullptr;
}

int CLogicPrescriptions::RowOf(const CActiveEditorPrescItem &item) const
{
    const auto found
        = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row &row) { return row.item == &item; });
    return found == m_rows.end() ? -1 : int(found - m_rows.begin());
}

void CLogicPrescriptions::ReadStatus()
{
    m_statusNameOf.clear();
    m_statusColours.clear();
    m_statusIds.clear();
    m_statusNames.clear();
    Records::TablePtr status
        = Records::OpenOrdered(m_context.DataSource(), QStringLiteral("STATUS"), QStringLiteral("ID"));
    if (!status)
        return;
    for (int more = status->Move(Korbel::MoveFirst); more == 1; more = status->Move(Korbel::MoveNext)) {
        const qint64 id = Records::CurrentId(status.get());
        const QString name = Records::ReadText(status.get(), QStringLiteral("NAME"));
        bool ok = false;
        const QString colour = Records::ReadText(status.get(), QStringLiteral("COLOR"), &ok);
        m_statusNameOf.insert(id, name);
        // A status without a colour is drawn white.
        if (ok && !colour.isEmpty())
            m_statusColours.insert(id, quint32(Verdanta::ParseId(colour)));
        m_statusIds << id;
        m_statusNames << name;
    }
}

bool CLogicPrescriptions::Open(qint64 patientId)
{
    m_nPatientId = patientId;
    ReadStatus();
    Reset();
    m_bLoading = false;
    Totals();
    return true;
}

void CLogicPrescriptions::Reset()
{
    m_rows.clear();
    m_prices.clear();
    if (Korbel::IXListCtrl *list = List())
        list->DeleteAllItems();
    m_bLoading = true;
}

void CLogicPrescriptions::SetView(IPrescriptionListView *view)
{
    if (m_pView && m_pView != view) {
        if (Korbel::IXListCtrl *list = List())
            list->SetCallback(nullptr);
        m_pView->Detached();
    }
    m_pView = view;
    Korbel::IXListCtrl *list = List();
    if (!list)
        return;
    while (list->GetColumnCount() > 0)
        list->DeleteColumn(0);
    const QStringList titles = ColumnTitles();
    for (int column = 0; column < titles.size(); ++column)
        list->InsertColumn(column, titles[column], -1,
            column == RemedyPriceColumn || column == PriceColumn || column == QuantityColumn ? Qt::AlignRight
                                                                                             : Qt::AlignLeft);
    list->SetCallback(this);
    FillList();
}

void CLogicPrescriptions::ListDestroyed()
{
    m_pView = nullptr;
}

Money CLogicPrescriptions::RemedyPrice(qint64 remedyId)
{
    // While the notes load, each remedy's price is read once.
    if (m_bLoading) {
        const auto known = m_prices.constFind(remedyId);
        if (known != m_prices.constEnd())
            return *known;
    }
    double price = 0.0;
    auto *remedies = Service<CLogicMedicines>();
    if (!remedies || !remedies->GetPrice(remedyId, &price))
        price = 0.0;
    const Money money = Money::FromDouble(price);
    if (m_bLoading)
        m_prices.insert(remedyId, money);
    return money;
}

PrescriptionAmounts CLogicPrescriptions::Amounts(const CActiveEditorPrescItem &item)
{
    std::optional<double> rate1;
    std::optional<double> rate2;
    if (auto *office = Service<CLogicOfficeData>()) {
        double rate = 0.0;
        if (office->GetTax1(&rate))
            rate1 = rate;
        if (office->GetTax2(&rate))
            rate2 = rate;
    }
    return PrescriptionCharge::Compute(RemedyPrice(Verdanta::ParseId(item.m_remedy.medicineId)),
        item.m_nQuantity, item.m_nStatusId, rate1, rate2);
}

void CLogicPrescriptions::SetStockStatus(CActiveEditorPrescItem &item)
{
    auto *stocks = Service<CLogicStocks>();
    if (!stocks || item.m_nStatusId == PrescriptionCharge::ProvidedByPatient)
        return;
    // Read afresh: orders and the stocks dialog write the counts too.
    if (!stocks->Open())
        return;
    const qint64 remedy = Verdanta::ParseId(item.m_remedy.medicineId);
    const qint64 dilution = Verdanta::ParseId(item.m_remedy.dilutionId);
    int stock = 0;
    int threshold = 0;
    if (!stocks->Get(remedy, dilution, &stock, &threshold, nullptr, nullptr)) {
        stock = 0;
        threshold = 0;
    }
    // The unsaved prescriptions of the same remedy take their share when
    // they are stored.
    const QString key = item.m_remedy.Key();
    for (const Row &row : m_rows) {
        const CActiveEditorPrescItem *other = row.item;
        if (other != &item && other->m_bNew && other->m_nStatusId != PrescriptionCharge::ProvidedByPatient
            && other->m_remedy.Key() == key)
            stock -= other->m_nQuantity;
    }
    const int newStock = stock - item.m_nQuantity;
    item.m_nStatusId = newStock < 0 ? PrescriptionCharge::ToBeOrdered : PrescriptionCharge::FromStock;
    if (threshold > 0 && newStock < threshold)
        Desktop::Inform(m_context.DialogParent(), LowStockMessage(), Desktop::Icon::Warning);
}

void CLogicPrescriptions::AddToList(CActiveEditorPrescItem &item)
{
    if (RowOf(item) >= 0)
        return;
    if (item.m_bNew) {
        SetStockStatus(item);
        item.UpdateProxy();
    }
    Row entry { &item, {} };
    Verdanta::ParseLocaleDate(item.m_strCreationDate, &entry.created);
    // Before the first row created later.
    const auto at = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row &row) {
        return row.created.isValid() && entry.created.isValid() && row.created > entry.created;
    });
    const int row = int(at - m_rows.begin());
    m_rows.insert(at, entry);
    if (Korbel::IXListCtrl *list = List()) {
        list->InsertItem(row, QString());
        FillRow(row);
    } else if (item.m_bNew) {
        const PrescriptionAmounts amounts = Amounts(item);
        item.m_amount = amounts.amount;
        item.m_tax1 = amounts.tax1;
        item.m_tax2 = amounts.tax2;
    }
    if (m_bLoading)
        return;
    if (Korbel::IXListCtrl *list = List())
        list->SetCurSel(row, true);
    Totals();
}

void CLogicPrescriptions::RemoveFromList(CActiveEditorPrescItem &item)
{
    const int row = RowOf(item);
    if (row < 0)
        return;
    m_rows.erase(m_rows.begin() + row);
    if (Korbel::IXListCtrl *list = List())
        list->DeleteItem(row);
    Totals();
}

void CLogicPrescriptions::SelectLast()
{
    m_bLoading = false;
    m_prices.clear();
    if (Korbel::IXListCtrl *list = List()) {
        list->AdjustColumns();
        if (!m_rows.empty())
            list->SetCurSel(RowCount() - 1, true);
    }
    Totals();
}

bool CLogicPrescriptions::MoveStock(const CActiveEditorPrescItem &item, int stockChange, int predictedChange)
{
    auto *stocks = Service<CLogicStocks>();
    if (!stocks)
        return true;
    // Read afresh: orders and the stocks dialog write the counts too.
    if (!stocks->Open())
        return false;
    return stocks->Move(Verdanta::ParseId(item.m_remedy.medicineId),
        Verdanta::ParseId(item.m_remedy.dilutionId), stockChange, predictedChange);
}

bool CLogicPrescriptions::OnFirstSave(CActiveEditorPrescItem &item)
{
    if (item.m_nStatusId == PrescriptionCharge::ProvidedByPatient)
        return true;
    return MoveStock(item, -item.m_nQuantity, 0);
}

bool CLogicPrescriptions::OnRowsDeleted(const CActiveEditorPrescItem &item)
{
    if (item.m_nStatusId != PrescriptionCharge::ToBeOrdered)
        return true;
    return MoveStock(item, item.m_nQuantity, -item.m_nQuantity);
}

void CLogicPrescriptions::FillRow(int row)
{
    Korbel::IXListCtrl *list = List();
    CActiveEditorPrescItem *item = ItemAt(row);
    if (!list || !item)
        return;
    if (item->m_bNew) {
        // A new item's price is what it costs now; it is kept for its charge.
        const PrescriptionAmounts amounts = Amounts(*item);
        item->m_amount = amounts.amount;
        item->m_tax1 = amounts.tax1;
        item->m_tax2 = amounts.tax2;
    }
    const Money price = item->m_amount + item->m_tax1 + item->m_tax2;
    const QColor background = ListColour(StatusColour(item->m_nStatusId));
    list->SetItemText(row, RemedyColumn,
        item->m_remedy.medicineName + QLatin1Char(' ') + item->m_remedy.dilutionName, QColor(), background);
    list->SetComboBox(row, StatusColumn, true, m_statusNames, int(m_statusIds.indexOf(item->m_nStatusId)));
    list->SetItemText(row, RemedyPriceColumn,
        Verdanta::FormatMoneyForDisplay(RemedyPrice(Verdanta::ParseId(item->m_remedy.medicineId))), QColor(),
        background);
    list->SetItemText(row, PriceColumn, Verdanta::FormatMoneyForDisplay(price), QColor(), background);
    list->SetItemText(row, QuantityColumn, QString::number(item->m_nQuantity), QColor(), background);
    list->SetItemText(row, DateColumn, item->m_strCreationDate, QColor(), background);
    list->SetItemColors(row, StatusColumn, QColor(), background);
    list->SetItemData(row, quintptr(item));
}

void CLogicPrescriptions::FillList()
{
    Korbel::IXListCtrl *list = List();
    if (!list)
        return;
    list->DeleteAllItems();
    for (int row = 0; row < RowCount(); ++row) {
        list->InsertItem(row, QString());
        FillRow(row);
    }
    list->AdjustColumns();
    if (!m_rows.empty())
        list->SetCurSel(RowCount() - 1, true);
    Totals();
}

void CLogicPrescriptions::Totals()
{
    PrescriptionSums sums;
    for (const Row &row : m_rows) {
        const CActiveEditorPrescItem &item = *row.item;
        const Money total = item.m_amount + item.m_tax1 + item.m_tax2;
        (item.m_nStatusId == PrescriptionCharge::Paid ? sums.paid : sums.unpaid) += total;
        sums.total += total;
    }
    m_sums = sums;
    if (m_pView)
        m_pView->ShowTotals(
            Verdanta::FormatMoneyForDisplay(sums.paid), Verdanta::FormatMoneyForDisplay(sums.unpaid));
    if (m_sumsChanged)
        m_sumsChanged();
}

bool CLogicPrescriptions::StatusChanged(int row)
{
    CActiveEditorPrescItem *item = ItemAt(row);
    Korbel::IXListCtrl *list = List();
    if (!item || !list)
        return false;
    const qsizetype chosen = m_statusNames.indexOf(list->GetComboText(row, StatusColumn));
    if (chosen >= 0 && m_statusIds[chosen] != item->m_nStatusId) {
        item->m_nStatusId = m_statusIds[chosen];
        item->m_bModified = true;
        item->UpdateProxy();
    }
    FillRow(row);
    Totals();
    return true;
}

void CLogicPrescriptions::RefreshFromNotes(const QList<PrescriptionStatusChange> &changes)
{
    bool changed = false;
    for (const PrescriptionStatusChange &change : changes) {
        for (int row = 0; row < RowCount(); ++row) {
            CActiveEditorPrescItem *item = m_rows[size_t(row)].item;
            if (item->m_bNew || Verdanta::ParseId(item->m_strRecordId) != change.prescriptionId)
                continue;
            item->m_nStatusId = change.statusId;
            item->UpdateProxy();
            FillRow(row);
            changed = true;
        }
    }
    if (changed)
        Totals();
}

bool CLogicPrescriptions::Choose(QWidget *parent, IPrescriptionDialogs::Mode mode, const RemedyRef &preset,
    PrescriptionChoice &choice, RemedyRef &chosen)
{
    auto *dialogs = Service<IPrescriptionDialogs>();
    auto *remedies = Service<CLogicMedicines>();
    auto *dilutions = Service<CLogicDilutions>();
    if (!dialogs || !remedies || !dilutions)
        return false;
    choice.remedyId = Verdanta::ParseId(preset.medicineId);
    dilutions->GetValue(Verdanta::ParseId(preset.dilutionId), &choice.potency);
    qint64 id = 0;
    QString text;
    for (bool more = remedies->First(&id, &text); more; more = remedies->Next(&id, &text))
        choice.remedies.append({ id, text });
    for (bool more = dilutions->First(&id, &text); more; more = dilutions->Next(&id, &text))
        choice.potencies << text;
    if (!dialogs->ChoosePrescription(parent, mode, choice) || choice.remedyId <= 0)
        return false;
    // A potency typed becomes a dilution; none keeps the one the item had.
    qint64 dilution = Verdanta::ParseId(preset.dilutionId);
    dilutions->GetOrAdd(choice.potency, &dilution);
    chosen.medicineId = Verdanta::FormatId(choice.remedyId);
    chosen.dilutionId = Verdanta::FormatId(dilution);
    remedies->GetName(choice.remedyId, &chosen.medicineName);
    dilutions->GetValue(dilution, &chosen.dilutionName);
    return true;
}

bool CLogicPrescriptions::Edit(QWidget *parent, CActiveEditorPrescItem &item)
{
    PrescriptionChoice choice;
    choice.quantity = std::max(1, item.m_nQuantity);
    RemedyRef chosen;
    if (!Choose(parent, IPrescriptionDialogs::Mode::Prescription, item.m_remedy, choice, chosen))
        return false;
    item.m_remedy = chosen;
    item.m_nStatusId
        = choice.providedByPatient ? PrescriptionCharge::ProvidedByPatient : PrescriptionCharge::ToBeOrdered;
    item.m_nQuantity = std::max(1, choice.quantity);
    item.m_strCreationDate = Verdanta::FormatLocaleDate(QDate::currentDate());
    return true;
}

bool CLogicPrescriptions::ChooseTreatmentRemedy(QWidget *parent, RemedyRef &remedy)
{
    PrescriptionChoice choice;
    return Choose(parent, IPrescriptionDialogs::Mode::Treatment, remedy, choice, remedy);
}

int CLogicPrescriptions::DeletePatientRows()
{
    Korbel::IDataSource *source = m_context.DataSource();
    const qint64 patient = m_context.CurrentPatientId();
    if (!source || patient <= 0)
        return 0;
    Records::TablePtr prescriptions
        = Records::OpenPatientRows(source, QStringLiteral("PRESCRIPTIONS"), patient);
    Records::TablePtr invoicing = Records::OpenPatientRows(source, QStringLiteral("INVOICING"), patient);
    if (!prescriptions || !invoicing)
        return 0;
    QSet<qint64> charges;
    for (int more = prescriptions->Move(Korbel::MoveFirst); more == 1;
         more = prescriptions->Move(Korbel::MoveNext))
        charges.insert(
            Verdanta::ParseId(Records::ReadText(prescriptions.get(), QStringLiteral("INVOICING_ID"))));
    int result = Records::DeleteAllRows(prescriptions.get()) ? 1 : 0;
    for (qint64 charge : std::as_const(charges)) {
        if (charge > 0 && Records::LocateId(invoicing.get(), charge) && invoicing->Delete() <= 0)
            result = 0;
    }
    return result;
}

void CLogicPrescriptions::ComboSelection(int row, int column)
{
    if (column != StatusColumn)
        return;
    LogicCommand command;
    command.code = CommandCode::PrescriptionStatus;
    command.id = row;
    if (Korbel::IXListCtrl *list = List())
        command.window = list->DialogParent();
    // Through the hub, so that the pages that show the sums and the notes
    // follow; alone when there is none.
    if (m_context.SendCommand(command) == 0)
        StatusChanged(row);
}

int CLogicPrescriptions::OnCommand(LogicCommand &command)
{
    switch (command.code) {
    case CommandCode::PrescriptionStatus:
        return StatusChanged(int(command.id)) ? 1 : 0;
    case CommandCode::PrescriptionsCommand:
        if (command.subCommand != PageSubCommand::ShowCurrent)
            return 0;
        FillList();
        return 1;
    default:
        return 0;
    }
}
