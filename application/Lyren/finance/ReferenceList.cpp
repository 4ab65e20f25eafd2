#include "finance/ReferenceList.h"

#include "core/RecordAccess.h"

#include "desktop/Prompts.h"

#include <QtCore/QCoreApplication>

namespace Finance {

QString Cell(const QString &value)
{
    return QLatin1Char(' ') + value;
}

QStringView CellValue(const QString &cell)
{
    QStringView view(cell);
    return view.startsWith(QLatin1Char(' ')) ? view.mid(1) : view;
}

QString LeftCharacters(const QString &text, int count)
{
    if (text.size() <= count)
        return text;
    // A surrogate pair cut in half would show as a broken character.
    const int cut = text.at(count - 1).isHighSurrogate() ? count - 1 : count;
    return text.left(cut);
}

void InsertColumns(Korbel::IXListCtrl *list, const QStringList &headings)
{
    for (const QString &heading : headings)
        list->InsertColumn(list->GetColumnCount(), heading);
}

int InsertRecordRow(Korbel::IXListCtrl *list, const QString &firstCell, qint64 id)
{
    int row = list->GetItemCount();
    if (row > 0 && list->IsItemPlaceHolder(row - 1))
        --row;
    row = list->InsertItem(row, firstCell);
    list->SetItemData(row, static_cast<quintptr>(id));
    list->SetItemDeletable(row, true);
    return row;
}

int AppendAddNewRow(Korbel::IXListCtrl *list)
{
    const int row = list->InsertItem(
        list->GetItemCount(), QCoreApplication::translate("Finance", "Double click here to add new..."));
    list->SetItemPlaceHolder(row, true);
    list->SetItemDeletable(row, false);
    list->SetItemData(row, 0);
    list->EnsureVisible(row);
    return row;
}

void AdoptAddNewRow(Korbel::IXListCtrl *list, int row, qint64 id)
{
    list->SetItemPlaceHolder(row, false);
    list->SetItemData(row, static_cast<quintptr>(id));
    list->SetItemDeletable(row, true);
    AppendAddNewRow(list);
}

qint64 RecordIdOfRow(const Korbel::IXListCtrl *list, int row)
{
    if (!list || row < 0 || row >= list->GetItemCount() || list->IsItemPlaceHolder(row))
        return 0;
    return static_cast<qint64>(list->GetItemData(row));
}

bool DeleteRecordOfRow(Korbel::ITable *table, const Korbel::IXListCtrl *list, int row)
{
    if (!table || !list || list->GetItemCount() <= 1)
        return false;
    const qint64 id = RecordIdOfRow(list, row);
    return id != 0 && Records::LocateId(table, id) && table->Delete() > 0;
}

bool ConfirmDelete(QWidget *parent, const QString &question)
{
    return Desktop::AskYesNo(parent, question);
}

} // namespace Finance

CReferenceListLogic::~CReferenceListLogic()
{
    SetList(nullptr);
}

void CReferenceListLogic::SetList(Korbel::IXListCtrl *list)
{
    if (m_pList)
        m_pList->SetCallback(nullptr);
    m_pList = list;
    if (!list)
        return;
    list->SetCallback(this);
    if (list->GetColumnCount() == 0)
        Finance::InsertColumns(list, ListHeadings());
}

void CReferenceListLogic::ItemDoubleClicked(int, int)
{
    AddOrModify();
}

bool CReferenceListLogic::Delete(int row)
{
    return Finance::DeleteRecordOfRow(ListTable(), m_pList, row);
}

bool CReferenceListLogic::DeleteRow(int row)
{
    return m_pList && Finance::ConfirmDelete(m_pList->DialogParent(), DeleteQuestion()) && Delete(row);
}

bool CReferenceListLogic::SelectedRow(Selection *selection) const
{
    if (!m_pList || !ListTable())
        return false;
    selection->row = m_pList->GetCurSel();
    if (selection->row < 0)
        return false;
    selection->isNew = m_pList->IsItemPlaceHolder(selection->row);
    selection->id = Finance::RecordIdOfRow(m_pList, selection->row);
    return true;
}

void CReferenceListLogic::RecordStored(const Selection &selection)
{
    if (selection.isNew)
        Finance::AdoptAddNewRow(m_pList, selection.row, Records::CurrentId(ListTable()));
}
