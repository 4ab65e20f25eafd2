#include "finance/LogicMedicines.h"

#include "core/CommandCodes.h"
#include "finance/ReferenceDialogs.h"
#include "finance/ReferenceList.h"

#include "desktop/Prompts.h"

#include "common/Identifiers.h"
#include "common/Money.h"

namespace {
const QString kTable = QStringLiteral("MEDICINES");
const QString kName = QStringLiteral("NAME");
const QString kPrice = QStringLiteral("PRICE");
const QString kProviderPrice = QStringLiteral("PROVIDER_PRICE");
const QString kProviderId = QStringLiteral("PROVIDER_ID");
const QString kDescription = QStringLiteral("DESCRIPTION");
constexpr int kDescriptionCharacters = 30;
} // namespace

// Typed reads: money and keys come as numbers, without their locale text forms.
struct CLogicMedicines::RowFields
{
    explicit RowFields(Korbel::ITable *table)
        : m_id(Records::OpenField(table, QStringLiteral("ID")))
        , m_name(Records::OpenField(table, kName))
        , m_price(Records::OpenField(table, kPrice))
        , m_providerPrice(Records::OpenField(table, kProviderPrice))
        , m_providerId(Records::OpenField(table, kProviderId))
        , m_description(Records::OpenField(table, kDescription))
    { }
    bool valid() const
    {
        return m_id && m_name && m_price && m_providerPrice && m_providerId && m_description;
    }
    qint64 id() const { return m_id->GetValue().toLongLong(); }
    QString name() const { return m_name->GetAsString(); }
    double price() const { return m_price->GetValue().toDouble(); }
    double providerPrice() const { return m_providerPrice->GetValue().toDouble(); }
    qint64 providerId() const { return m_providerId->GetValue().toLongLong(); }
    QString description() const { return m_description->GetAsString(); }

private:
    Records::FieldPtr m_id, m_name, m_price, m_providerPrice, m_providerId, m_description;
};

CLogicMedicines::CLogicMedicines(Korbel::IDataSource *source)
    : CReferenceRecordSet(source, kTable, kName, kName)
{ }

CLogicMedicines::~CLogicMedicines() = default;

bool CLogicMedicines::GetName(qint64 id, QString *name)
{
    return Lookup(id, name);
}

bool CLogicMedicines::GetPrice(qint64 id, double *price)
{
    if (!Records::LocateId(Table(), id))
        return false;
    bool ok = false;
    const QString text = Records::ReadText(Table(), kPrice, &ok);
    if (ok && price)
        *price = Verdanta::MoneyFromStorageText(text);
    return ok;
}

bool CLogicMedicines::LoadProviders()
{
    m_providerNames = QStringList { NoProvider() };
    m_providerMap.clear();
    Records::TablePtr providers = Records::OpenOrdered(Source(), QStringLiteral("PROVIDERS"), kName);
    if (!providers)
        return false;
    Records::FieldPtr id = Records::OpenField(providers.get(), QStringLiteral("ID"));
    Records::FieldPtr name = Records::OpenField(providers.get(), kName);
    if (!id || !name)
        return false;
    for (int ok = providers->Move(Korbel::MoveFirst); ok == 1; ok = providers->Move(Korbel::MoveNext)) {
        const QString providerName = name->GetAsString();
        const qint64 providerId = Verdanta::ParseId(id->GetAsString());
        m_providerIndex.insert(providerId, static_cast<int>(m_providerNames.size()));
        m_providerNames.append(providerName);
        m_providerMap.emplace(providerId, providerName);
    }
    return true;
}

bool CLogicMedicines::GetProviderId(const QString &providerName, qint64 *id) const
{
    if (providerName == NoProvider()) {
        *id = 0;
        return true;
    }
    // The map is searched by name; of two providers with the same name the
    // one with the lower key wins.
    for (const auto &[providerId, name] : m_providerMap) {
        if (name == providerName) {
            *id = providerId;
            return true;
        }
    }
    return false;
}

QString CLogicMedicines::GetProviderName(qint64 id) const
{
    const auto it = m_providerMap.find(id);
    return it == m_providerMap.end() ? QString() : it->second;
}

bool CLogicMedicines::LoadRemedyMap()
{
    m_remedyMap.clear();
    Korbel::ITable *table = Table();
    const RowFields fields(table);
    if (!fields.valid())
        return false;
    m_remedyMap.reserve(static_cast<size_t>(table->RecordCount()));
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext))
        m_remedyMap[fields.id()] = RemedyInfo { fields.name(), fields.providerId(), fields.providerPrice() };
    return true;
}

int CLogicMedicines::providerIndex(qint64 providerId) const
{
    // A remedy without provider, or whose provider is gone, shows "NoProvider".
    return m_providerIndex.value(providerId, 0);
}

QStringList CLogicMedicines::ListHeadings() const
{
    return { tr("Remedy"), tr("Price"), tr("Provider Price"), tr("Provider"), tr("Additional information") };
}

QString CLogicMedicines::DeleteQuestion() const
{
    return tr("Are you sure you want to delete this remedy?");
}

void CLogicMedicines::SetColumnWidths()
{
    if (!List())
        return;
    const int width = List()->ClientWidth();
    for (int column = NameColumn; column <= ProviderColumn; ++column)
        List()->SetColumnWidth(column, std::max(0, width / 5 - 25));
    List()->SetColumnWidth(DescriptionColumn, std::max(0, width / 5 + 70));
}

void CLogicMedicines::fillRow(int row, const RowFields &fields)
{
    Korbel::IXListCtrl *list = List();
    list->SetItemText(row, NameColumn, Finance::Cell(fields.name()));
    list->SetItemText(row, PriceColumn, Finance::Cell(Verdanta::FormatMoneyForDisplay(fields.price())));
    list->SetItemText(
        row, ProviderPriceColumn, Finance::Cell(Verdanta::FormatMoneyForDisplay(fields.providerPrice())));
    list->SetComboBox(row, ProviderColumn, true, m_providerNames, providerIndex(fields.providerId()));
    list->SetItemText(row, DescriptionColumn,
        Finance::Cell(Finance::LeftCharacters(fields.description(), kDescriptionCharacters)));
}

bool CLogicMedicines::FillList()
{
    if (!List() || !Table())
        return false;
    List()->DeleteAllItems();
    LoadProviders();
    Korbel::ITable *table = Table();
    const RowFields fields(table);
    if (!fields.valid())
        return false;
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext))
        fillRow(Finance::InsertRecordRow(List(), QString(), fields.id()), fields);
    Finance::AppendAddNewRow(List());
    return true;
}

int CLogicMedicines::FindRowOfName(const QString &name, int exceptRow) const
{
    if (!List())
        return -1;
    const QString wanted = name.trimmed();
    const int count = List()->GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (row == exceptRow || List()->IsItemPlaceHolder(row))
            continue;
        if (List()->GetItemText(row, NameColumn).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

bool CLogicMedicines::AddOrModify()
{
    Selection selected;
    if (!SelectedRow(&selected))
        return false;
    MedicineDetails details;
    if (!selected.isNew) {
        if (!Records::LocateId(Table(), selected.id))
            return false;
        details.name = Records::ReadText(Table(), kName);
        details.price = Records::ReadText(Table(), kPrice);
        details.providerPrice = Records::ReadText(Table(), kProviderPrice);
        details.description = Records::ReadText(Table(), kDescription);
        details.providerName = GetProviderName(Verdanta::ParseId(Records::ReadText(Table(), kProviderId)));
    }

    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (!dialogs || !dialogs->EditRemedy(List()->DialogParent(), m_providerNames, &details) || !List())
        return false;

    // The row being edited may keep its own name in any case.
    const int existing = FindRowOfName(details.name, selected.row);
    if (existing >= 0) {
        Desktop::Inform(
            List()->DialogParent(), tr("A remedy with this name already exists."), Desktop::Icon::Warning);
        List()->SetCurSel(existing);
        return false;
    }
    if (Verdanta::MoneyFromStorageText(details.price)
        < Verdanta::MoneyFromStorageText(details.providerPrice)) {
        Desktop::Inform(List()->DialogParent(),
            tr("The provider's price for this remedy is greater than the remedy's price."),
            Desktop::Icon::Warning);
    }

    Korbel::ITable *table = Table();
    // The record set may have moved while the dialog was open.
    if (!Records::BeginAddOrEdit(table, selected.isNew, selected.id))
        return false;
    bool written = Records::WriteText(table, kName, details.name)
        && Records::WriteText(table, kPrice, details.price)
        && Records::WriteText(table, kProviderPrice, details.providerPrice)
        && Records::WriteText(table, kDescription, details.description);
    qint64 providerId = 0;
    if (GetProviderId(details.providerName, &providerId))
        written = written && Records::WriteText(table, kProviderId, Verdanta::FormatId(providerId));
    if (!Records::FinishWrite(table, written))
        return false;
    RecordStored(selected);
    fillRow(selected.row, RowFields(table));
    return true;
}

bool CLogicMedicines::SetProviderFromList(int row, int column)
{
    if (!List() || column != ProviderColumn)
        return false;
    const qint64 id = Finance::RecordIdOfRow(List(), row);
    qint64 providerId = 0;
    if (id == 0 || !GetProviderId(List()->GetComboText(row, column), &providerId))
        return false;
    return Records::BeginAddOrEdit(Table(), false, id)
        && Records::FinishWrite(
            Table(), Records::WriteText(Table(), kProviderId, Verdanta::FormatId(providerId)));
}

int CLogicMedicines::OnCommand(LogicCommand &command)
{
    if (command.code == CommandCode::RemedyProviderChosen)
        return SetProviderFromList(static_cast<int>(command.id), command.subCommand) ? 1 : 0;
    // The record set is opened again so that the list shows every remedy as stored now.
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (command.code != CommandCode::Remedies || !dialogs || !Open())
        return 0;
    IReferenceDialogs::ManagementHooks hooks;
    hooks.attach = [this](Korbel::IXListCtrl *list) {
        SetList(list);
        if (list) {
            FillList();
            SetColumnWidths();
        }
    };
    hooks.resized = [this] { SetColumnWidths(); };
    hooks.stocks = [this](QWidget *dialog) {
        if (!m_pLogicStocks)
            return;
        LogicCommand stocks;
        stocks.code = CommandCode::StocksFromRemedies;
        stocks.window = dialog;
        m_pLogicStocks->OnCommand(stocks);
    };
    dialogs->ShowManagement(IReferenceDialogs::Management::Remedies, command.window, hooks);
    SetList(nullptr);
    return 1;
}
