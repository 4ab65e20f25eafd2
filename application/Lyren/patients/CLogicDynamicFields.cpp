#include "patients/CLogicDynamicFields.h"

#include "patients/CustomDataViews.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Transaction.h"

#include "common/Identifiers.h"

using Records::ReadText;
using Records::WriteText;

namespace {

const QString Table = QStringLiteral("DYNAMIC_FIELDS");
const QString PatientId = QStringLiteral("PATIENT_ID");
const QString Name = QStringLiteral("NAME");
const QString Value = QStringLiteral("VALUE");

} // namespace

CLogicDynamicFields::CLogicDynamicFields(LogicContext &context)
    : m_context(context)
{ }

CLogicDynamicFields::~CLogicDynamicFields()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QString CLogicDynamicFields::AddFieldText()
{
    return tr("Add New Field");
}

QString CLogicDynamicFields::SetValueText()
{
    return tr("Set Field Value");
}

QColor CLogicDynamicFields::BackgroundColor()
{
    return QColor(0xE6, 0xE6, 0xFF);
}

void CLogicDynamicFields::OpenDictionary()
{
    m_dictionary.Load(m_context.Folders().GetDynamicFieldsDictionaryPath());
}

bool CLogicDynamicFields::SaveDictionary()
{
    if (!m_dictionary.HasUnsavedChanges())
        return true;
    return m_dictionary.Save(m_context.Folders().GetDynamicFieldsDictionaryPath());
}

void CLogicDynamicFields::DictionaryChanged()
{
    // Written at once: a name the practitioner added survives whatever
    // happens to the program afterwards. A failed write is tried again at the
    // next change and at close.
    SaveDictionary();
}

int CLogicDynamicFields::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::CustomFields)
        return 0;
    switch (command.subCommand) {
    case CustomFieldsSubCommand::CreateAlwaysClicked:
        return CreateAlwaysClicked(int(command.id));
    case CustomFieldsSubCommand::ShowCurrent:
        if (!List())
            return 0;
        FillList();
        return 1;
    default:
        return 0;
    }
}

Korbel::IXListCtrl *CLogicDynamicFields::List()
{
    auto *view = m_context.Services().Get<IDynamicFieldsView>();
    Korbel::IXListCtrl *list = view ? view->FieldsList() : nullptr;
    if (list == m_pList)
        return list;
    if (m_pList)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    if (!list)
        return nullptr;
    if (list->GetColumnCount() == 0) {
        list->InsertColumn(NameColumn, tr("Name"));
        list->InsertColumn(ValueColumn, tr("Value"));
        list->InsertColumn(CreateAlwaysColumn, tr("Create Always"));
    }
    list->SetCallback(this);
    return list;
}

bool CLogicDynamicFields::OpenTable()
{
    m_tablePatient = m_context.CurrentPatientId();
    m_pTable = Records::OpenPatientRows(m_context.DataSource(), Table, m_tablePatient, QStringLiteral("ID"));
    return m_pTable != nullptr;
}

int CLogicDynamicFields::Load()
{
    const bool opened = OpenTable();
    FillList();
    return opened || m_tablePatient <= 0 ? 1 : 0;
}

int CLogicDynamicFields::PrepareNew()
{
    if (!OpenTable())
        return 0;
    // The new patient's fields go in together: all of them or none.
    ScopedTransaction transaction(m_context.DataSource());
    int result = 1;
    for (const QString &name : m_dictionary.Names()) {
        if (!WriteField(true, 0, name, QString())) {
            result = 0;
            break;
        }
    }
    if (result && transaction.IsActive() && !transaction.Commit())
        result = 0;
    if (!result) {
        transaction.Rollback();
        OpenTable();
    }
    FillList();
    return result;
}

int CLogicDynamicFields::DeletePatientRows()
{
    if (!OpenTable())
        return m_tablePatient <= 0 ? 1 : 0;
    const int result = Records::DeleteAllRows(m_pTable.get()) ? 1 : 0;
    FillList();
    return result;
}

bool CLogicDynamicFields::WriteField(bool isNew, qint64 id, const QString &name, const QString &value)
{
    if (!Records::BeginAddOrEdit(m_pTable.get(), isNew, id))
        return false;
    bool written = WriteText(m_pTable.get(), Name, name.trimmed())
        && WriteText(m_pTable.get(), Value, value.trimmed());
    if (isNew)
        written = written && WriteText(m_pTable.get(), PatientId, Verdanta::FormatId(m_tablePatient));
    return Records::FinishWrite(m_pTable.get(), written);
}

qint64 CLogicDynamicFields::AddField(const QString &name)
{
    if (name.trimmed().isEmpty())
        return 0;
    if ((!m_pTable || m_tablePatient != m_context.CurrentPatientId()) && !OpenTable())
        return 0;
    if (!WriteField(true, 0, name, QString()))
        return 0;
    const qint64 id = Records::CurrentId(m_pTable.get());
    if (m_dictionary.Add(name))
        DictionaryChanged();
    return id;
}

bool CLogicDynamicFields::UpdateField(qint64 id, const QString &name, const QString &value)
{
    return id > 0 && m_pTable && WriteField(false, id, name, value);
}

bool CLogicDynamicFields::DeleteField(qint64 id)
{
    if (id <= 0 || !Records::LocateId(m_pTable.get(), id))
        return false;
    const QString name = ReadText(m_pTable.get(), Name);
    if (m_pTable->Delete() <= 0)
        return false;
    // Later new patients no longer get the name; other patients keep their
    // fields of that name.
    if (m_dictionary.Remove(name))
        DictionaryChanged();
    return true;
}

void CLogicDynamicFields::SetCreateAlways(const QString &name, bool always)
{
    if (always ? m_dictionary.Add(name) : m_dictionary.Remove(name))
        DictionaryChanged();
}

void CLogicDynamicFields::FillList()
{
    Korbel::IXListCtrl *list = List();
    if (!list)
        return;
    list->DeleteAllItems();
    if (m_pTable && m_tablePatient == m_context.CurrentPatientId()) {
        for (int more = m_pTable->Move(Korbel::MoveFirst); more == 1;
             more = m_pTable->Move(Korbel::MoveNext)) {
            const int row = list->InsertItem(list->GetItemCount(), QString());
            list->SetItemData(row, quintptr(Records::CurrentId(m_pTable.get())));
            list->SetItemDeletable(row, true);
            ShowRow(row);
        }
    }
    if (m_context.CurrentPatientId() > 0)
        AppendAddRow();
}

void CLogicDynamicFields::AppendAddRow()
{
    Korbel::IXListCtrl *list = List();
    const int row = list->InsertItem(list->GetItemCount(), AddFieldText());
    list->SetItemText(row, ValueColumn, SetValueText());
    list->SetItalic(row, -1, true);
    list->SetItemColors(row, -1, QColor(), BackgroundColor());
    list->SetEdit(row, NameColumn, true);
    list->SetEdit(row, ValueColumn, true);
    list->SetItemDeletable(row, false);
    list->SetItemPlaceHolder(row, true);
}

void CLogicDynamicFields::ShowRow(int row)
{
    Korbel::IXListCtrl *list = List();
    const QString name = ReadText(m_pTable.get(), Name);
    list->SetItemText(row, NameColumn, name);
    list->SetItemText(row, ValueColumn, ReadText(m_pTable.get(), Value));
    list->SetItalic(row, -1, false);
    list->SetItemColors(row, -1, QColor(), QColor());
    list->SetEdit(row, NameColumn, true);
    list->SetEdit(row, ValueColumn, true);
    list->SetCheckbox(row, CreateAlwaysColumn, m_dictionary.Contains(name) ? 1 : 0);
}

void CLogicDynamicFields::ShowCreateAlwaysBoxes()
{
    Korbel::IXListCtrl *list = List();
    if (!list)
        return;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        if (!list->IsItemPlaceHolder(row))
            list->SetCheckbox(
                row, CreateAlwaysColumn, m_dictionary.Contains(list->GetItemText(row, NameColumn)) ? 1 : 0);
    }
}

void CLogicDynamicFields::EndEdit(int row, int column, bool accepted)
{
    if (accepted)
        EditRow(row, column);
}

void CLogicDynamicFields::EditRow(int row, int column)
{
    Korbel::IXListCtrl *list = List();
    if (!list || row < 0 || row >= list->GetItemCount())
        return;
    const QString name = list->GetItemText(row, NameColumn).trimmed();
    const QString value = list->GetItemText(row, ValueColumn).trimmed();
    if (list->IsItemPlaceHolder(row)) {
        // A field is made from its name; a value typed on the last row has
        // no field to go to, and the row invites a name again.
        const qint64 id = column == NameColumn ? AddField(name) : 0;
        if (id <= 0) {
            list->SetItemText(row, NameColumn, AddFieldText());
            list->SetItemText(row, ValueColumn, SetValueText());
            return;
        }
        list->SetItemPlaceHolder(row, false);
        list->SetItemData(row, quintptr(id));
        list->SetItemDeletable(row, true);
        ShowRow(row);
        AppendAddRow();
        ShowCreateAlwaysBoxes();
        return;
    }
    const qint64 id = qint64(list->GetItemData(row));
    UpdateField(id, name, value);
    // The row shows what is stored: the trimmed texts, or the previous ones
    // when the database refused the change.
    if (Records::LocateId(m_pTable.get(), id))
        ShowRow(row);
}

int CLogicDynamicFields::CreateAlwaysClicked(int row)
{
    Korbel::IXListCtrl *list = List();
    if (!list || row < 0 || row >= list->GetItemCount() || list->IsItemPlaceHolder(row))
        return 0;
    SetCreateAlways(list->GetItemText(row, NameColumn), list->GetCheckbox(row, CreateAlwaysColumn) == 1);
    // Every row of the same name shows the change; a box of a field without
    // a name cannot stay checked.
    ShowCreateAlwaysBoxes();
    return 1;
}

bool CLogicDynamicFields::DeleteRow(int row)
{
    Korbel::IXListCtrl *list = List();
    if (!list || list->IsItemPlaceHolder(row))
        return false;
    return DeleteField(qint64(list->GetItemData(row)));
}
