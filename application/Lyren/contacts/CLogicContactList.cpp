#include "contacts/CLogicContactList.h"

#include "core/LogicContext.h"
#include "core/RecordAccess.h"
#include "core/Views.h"
#include "notes/CLogicNotes.h"

#include "common/Identifiers.h"
#include "desktop/Menus.h"
#include "desktop/Prompts.h"

#include <algorithm>

namespace {

const QString PatientId = QStringLiteral("PATIENT_ID");
constexpr int TextColumn = 0;
constexpr int EntryIcon = 0;

} // namespace

CLogicContactList::CLogicContactList(LogicContext &context, Channel channel)
    : m_context(context)
    , m_channel(std::move(channel))
{ }

CLogicContactList::~CLogicContactList()
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
}

QString CLogicContactList::AddRowText()
{
    return tr("Double click here to add new...");
}

void CLogicContactList::SetList(Korbel::IXListCtrl *list)
{
    if (m_pList && m_pList != list)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    if (!list)
        return;
    if (list->GetColumnCount() == 0)
        list->InsertColumn(TextColumn, m_channel.heading);
    // The list's group box names it.
    list->SetHeaderVisible(false);
    list->SetStandardImageList({ Korbel::IXListCtrl::StandardImage::File });
    list->SetCallback(this);
    FillList();
}

int CLogicContactList::Load()
{
    const qint64 patient = m_context.CurrentPatientId();
    m_pTable = Records::OpenPatientRows(m_context.DataSource(), m_channel.table, patient);
    FillList();
    FixCurrent();
    return patient <= 0 || m_pTable ? 1 : 0;
}

int CLogicContactList::DeletePatientRows()
{
    const int result = Load() && Records::DeleteAllRows(Table()) ? 1 : 0;
    FillList();
    return result;
}

QList<CLogicContactList::Entry> CLogicContactList::Entries() const
{
    QList<Entry> entries;
    qint64 id = 0;
    QString text;
    for (bool more = Records::MoveAndRead(Table(), Korbel::MoveFirst, m_channel.field, &id, &text); more;
         more = Records::MoveAndRead(Table(), Korbel::MoveNext, m_channel.field, &id, &text))
        entries.append({ id, text });
    return entries;
}

QString CLogicContactList::TextOf(qint64 id) const
{
    return id > 0 && Records::LocateId(Table(), id) ? Records::ReadText(Table(), m_channel.field) : QString();
}

qint64 CLogicContactList::CurrentId() const
{
    Korbel::ITable *main = m_context.MainTable();
    const qint64 id = Verdanta::ParseId(Records::ReadText(main, m_channel.mainField));
    // An ID that names none of the patient's entries (a row deleted by other
    // means) counts as none.
    return id > 0 && Records::LocateId(Table(), id) ? id : 0;
}

QString CLogicContactList::CurrentText() const
{
    return TextOf(CurrentId());
}

bool CLogicContactList::WriteCurrentId(qint64 id)
{
    Korbel::ITable *main = m_context.MainTable();
    if (!main || main->CurrentPosition() < 0 || main->Edit() != 1)
        return false;
    const bool written = Records::WriteText(main, m_channel.mainField, Verdanta::FormatId(id));
    return Records::FinishWrite(main, written);
}

bool CLogicContactList::MakeCurrent(qint64 id)
{
    if (id <= 0 || !Records::LocateId(Table(), id) || !WriteCurrentId(id))
        return false;
    ShowLink();
    return true;
}

void CLogicContactList::FixCurrent()
{
    if (Table() && CurrentId() == 0 && Table()->Move(Korbel::MoveFirst) == 1)
        WriteCurrentId(Records::CurrentId(Table()));
    ShowLink();
}

void CLogicContactList::ShowLink()
{
    const QString current = CurrentText();
    m_strLinkText = LinkTextFor(current);
    m_bLinkActive = !current.isEmpty();
    if (IHeaderBand *band = m_context.HeaderBand())
        ShowOnBand(*band, m_strLinkText, m_bLinkActive);
}

qint64 CLogicContactList::Add(const QString &text)
{
    const QString entry = text.trimmed();
    const qint64 patient = m_context.CurrentPatientId();
    if (entry.isEmpty() || !Table() || patient <= 0 || Table()->AddNew() != 1)
        return 0;
    const bool written = Records::WriteText(Table(), PatientId, Verdanta::FormatId(patient))
        && Records::WriteText(Table(), m_channel.field, entry);
    if (!Records::FinishWrite(Table(), written))
        return 0;
    const qint64 id = Records::CurrentId(Table());
    FixCurrent();
    FillList(static_cast<int>(Entries().size()) - 1);
    return id;
}

bool CLogicContactList::Change(qint64 id, const QString &text)
{
    const QString entry = text.trimmed();
    if (entry.isEmpty() || id <= 0 || !Records::LocateId(Table(), id) || Table()->Edit() != 1)
        return false;
    if (!Records::FinishWrite(Table(), Records::WriteText(Table(), m_channel.field, entry)))
        return false;
    ShowLink();
    FillList(RowOf(id));
    return true;
}

bool CLogicContactList::Delete(qint64 id)
{
    const int row = RowOf(id);
    const bool wasCurrent = id > 0 && id == CurrentId();
    if (id <= 0 || !Records::LocateId(Table(), id) || Table()->Delete() <= 0)
        return false;
    if (wasCurrent)
        WriteCurrentId(Table()->Move(Korbel::MoveFirst) == 1 ? Records::CurrentId(Table()) : 0);
    ShowLink();
    FillList(row);
    return true;
}

// The list.

void CLogicContactList::SetEntryRow(int row, qint64 id, const QString &text)
{
    m_pList->SetItemData(row, quintptr(id));
    m_pList->SetItemText(row, TextColumn, text);
    m_pList->SetItemDeletable(row, true);
    m_pList->SetEdit(row, TextColumn, true);
    m_pList->SetItemImage(row, TextColumn, EntryIcon);
}

void CLogicContactList::AppendAddRow()
{
    const int row = m_pList->InsertItem(m_pList->GetItemCount(), AddRowText());
    m_pList->SetItemPlaceHolder(row, true);
    m_pList->SetEdit(row, TextColumn, true);
    m_pList->SetBold(row, TextColumn, true);
}

int CLogicContactList::RowOf(qint64 id) const
{
    return m_pList ? m_pList->FindItemData(quintptr(id)) : 0;
}

void CLogicContactList::FillList(int selected)
{
    if (!m_pList)
        return;
    m_pList->DeleteAllItems();
    for (const Entry &entry : Entries())
        SetEntryRow(m_pList->InsertItem(m_pList->GetItemCount(), entry.second), entry.first, entry.second);
    AppendAddRow();
    m_pList->SetCurSel(std::clamp(selected, 0, m_pList->GetItemCount() - 1));
    m_pList->AdjustColumns();
}

void CLogicContactList::EndEdit(int row, int column, bool accepted)
{
    if (!m_pList || column != TextColumn || row < 0 || row >= m_pList->GetItemCount())
        return;
    // Every change refills the list; what was not stored (a cancelled or
    // emptied entry) shows as it was.
    const QString text = m_pList->GetItemText(row, TextColumn).trimmed();
    bool stored = false;
    if (accepted)
        stored = m_pList->IsItemPlaceHolder(row) ? Add(text) > 0
                                                 : Change(qint64(m_pList->GetItemData(row)), text);
    if (!stored) {
        FillList(row);
        return;
    }
    TellWarning(text);
}

bool CLogicContactList::DeleteRow(int row)
{
    return m_pList && !m_pList->IsItemPlaceHolder(row) && Delete(qint64(m_pList->GetItemData(row)));
}

void CLogicContactList::TellWarning(const QString &text) const
{
    const QString warning = Warning(text);
    if (!warning.isEmpty())
        Desktop::Prompts().Show(m_pList ? m_pList->DialogParent() : m_context.DialogParent(), warning,
            Desktop::Buttons::Ok, Desktop::Icon::Warning, m_channel.heading);
}

// Commands.

QWidget *CLogicContactList::WindowOf(const LogicCommand &command) const
{
    return command.window ? command.window : m_context.DialogParent();
}

int CLogicContactList::ChooseCurrent(
    const LogicCommand &command, const QString &noEntries, const QStringList &extra, bool *madeCurrent)
{
    const QList<Entry> entries = Entries();
    QStringList menu;
    for (const Entry &entry : entries)
        menu << entry.second;
    if (entries.isEmpty())
        menu << noEntries;
    const int firstExtra = static_cast<int>(menu.size());
    menu << extra;
    const int chosen = Desktop::Menus().Popup(WindowOf(command), command.point, menu);
    const bool entryChosen = chosen >= 0 && chosen < entries.size() && MakeCurrent(entries[chosen].first);
    if (madeCurrent)
        *madeCurrent = entryChosen;
    return chosen >= firstExtra ? chosen - firstExtra : -1;
}

bool CLogicContactList::AppendToNotes(const QString &stamp) const
{
    CLogicNotes *notes = m_context.Services().Get<CLogicNotes>();
    return notes && notes->AppendToNotes(stamp);
}
