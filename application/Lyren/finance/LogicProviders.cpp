#include "finance/LogicProviders.h"
#include "core/CommandCodes.h"

#include "finance/ReferenceDialogs.h"
#include "finance/ReferenceList.h"

namespace {
const QString kTable = QStringLiteral("PROVIDERS");
const QString kName = QStringLiteral("NAME");
const QString kEmail = QStringLiteral("EMAIL");
const QString kAddress = QStringLiteral("ADDRESS");
const QString kDescription = QStringLiteral("DESCRIPTION");
} // namespace

CLogicProviders::CLogicProviders(Korbel::IDataSource *source)
    : CReferenceRecordSet(source, kTable, kName, kName)
{ }

CLogicProviders::~CLogicProviders() = default;

bool CLogicProviders::GetName(qint64 id, QString *name)
{
    return Lookup(id, name);
}

bool CLogicProviders::GetNameAndEmail(qint64 id, QString *name, QString *email)
{
    if (!GetName(id, name))
        return false;
    bool ok = false;
    const QString text = Records::ReadText(Table(), kEmail, &ok);
    if (ok && email)
        *email = text;
    return ok;
}

QStringList CLogicProviders::ListHeadings() const
{
    return { tr("Name"), tr("Address"), tr("Email"), tr("Description") };
}

QString CLogicProviders::DeleteQuestion() const
{
    return tr("Are you sure you want to delete this provider?");
}

void CLogicProviders::fillRow(int row)
{
    Korbel::ITable *table = Table();
    List()->SetItemText(row, NameColumn, Finance::Cell(Records::ReadText(table, kName)));
    List()->SetItemText(row, AddressColumn, Finance::Cell(Records::ReadText(table, kAddress)));
    List()->SetItemText(row, EmailColumn, Finance::Cell(Records::ReadText(table, kEmail)));
    List()->SetItemText(row, DescriptionColumn, Finance::Cell(Records::ReadText(table, kDescription)));
}

bool CLogicProviders::FillList()
{
    if (!List() || !Table())
        return false;
    List()->DeleteAllItems();
    Korbel::ITable *table = Table();
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext))
        fillRow(Finance::InsertRecordRow(List(), QString(), Records::CurrentId(table)));
    Finance::AppendAddNewRow(List());
    List()->AdjustColumns();
    return true;
}

bool CLogicProviders::AddOrModify()
{
    Selection selected;
    if (!SelectedRow(&selected))
        return false;
    ProviderDetails details;
    if (!selected.isNew) {
        if (!Records::LocateId(Table(), selected.id))
            return false;
        details = ProviderDetails { Records::ReadText(Table(), kName), Records::ReadText(Table(), kAddress),
            Records::ReadText(Table(), kEmail), Records::ReadText(Table(), kDescription) };
    }
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (!dialogs || !dialogs->EditProvider(List()->DialogParent(), &details) || !List())
        return false;

    Korbel::ITable *table = Table();
    if (!Records::BeginAddOrEdit(table, selected.isNew, selected.id))
        return false;
    const bool written = Records::WriteText(table, kName, details.name)
        && Records::WriteText(table, kAddress, details.address)
        && Records::WriteText(table, kEmail, details.email)
        && Records::WriteText(table, kDescription, details.description);
    if (!Records::FinishWrite(table, written))
        return false;
    RecordStored(selected);
    fillRow(selected.row);
    return true;
}

int CLogicProviders::OnCommand(LogicCommand &command)
{
    IReferenceDialogs *dialogs = Service<IReferenceDialogs>();
    if (command.code != CommandCode::Providers || !dialogs || !Open())
        return 0;
    IReferenceDialogs::ManagementHooks hooks;
    hooks.attach = [this](Korbel::IXListCtrl *list) {
        SetList(list);
        if (list)
            FillList();
    };
    dialogs->ShowManagement(IReferenceDialogs::Management::Providers, command.window, hooks);
    SetList(nullptr);
    return 1;
}
