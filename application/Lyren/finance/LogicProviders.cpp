#include "finance/LogicProviders.h"

#include "finance/DialogParts.h"
#include "finance/ManagementDialog.h"
#include "finance/ProviderDetailsDialog.h"
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
    const QString text = Finance::ReadText(Table(), kEmail, &ok);
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
    List()->SetItemText(row, NameColumn, Finance::Cell(Finance::ReadText(table, kName)));
    List()->SetItemText(row, AddressColumn, Finance::Cell(Finance::ReadText(table, kAddress)));
    List()->SetItemText(row, EmailColumn, Finance::Cell(Finance::ReadText(table, kEmail)));
    List()->SetItemText(row, DescriptionColumn, Finance::Cell(Finance::ReadText(table, kDescription)));
}

bool CLogicProviders::FillList()
{
    if (!List() || !Table())
        return false;
    List()->DeleteAllItems();
    Korbel::ITable *table = Table();
    for (int ok = table->Move(Korbel::MoveFirst); ok == 1; ok = table->Move(Korbel::MoveNext))
        fillRow(Finance::InsertRecordRow(List(), QString(), Finance::CurrentId(table)));
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
        if (!Finance::LocateId(Table(), selected.id))
            return false;
        details = ProviderDetails { Finance::ReadText(Table(), kName), Finance::ReadText(Table(), kAddress),
            Finance::ReadText(Table(), kEmail), Finance::ReadText(Table(), kDescription) };
    }
    CProviderDetailsDialog dialog(List()->window());
    dialog.SetDetails(details);
    if (dialog.exec() != QDialog::Accepted || !List())
        return false;
    details = dialog.GetDetails();

    Korbel::ITable *table = Table();
    if (!Finance::BeginAddOrEdit(table, selected.isNew, selected.id))
        return false;
    const bool written = Finance::WriteText(table, kName, details.name)
        && Finance::WriteText(table, kAddress, details.address)
        && Finance::WriteText(table, kEmail, details.email)
        && Finance::WriteText(table, kDescription, details.description);
    if (!Finance::FinishWrite(table, written))
        return false;
    RecordStored(selected);
    fillRow(selected.row);
    return true;
}

int CLogicProviders::OnCommand(LogicCommand &command)
{
    if (command.code != kCommandProviders || !Open())
        return 0;
    CProvidersDialog dialog(Finance::DialogParent(command));
    SetList(dialog.List());
    FillList();
    dialog.exec();
    SetList(nullptr);
    return 1;
}
