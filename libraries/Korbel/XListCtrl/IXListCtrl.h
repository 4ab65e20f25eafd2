#pragma once

#include <QtCore/QList>
#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QIcon>

class QWidget;

namespace Korbel {

// What a logic object registers with its list to take part in edits and
// deletions. Each is called before the matching signal of CXListCtrl.
class IXListCtrlCallback
{
public:
    // The in-place editor of a cell is about to open.
    virtual void BeginEdit(int /*row*/, int /*column*/) { }
    // The in-place editor closed; accepted is false when the user cancelled
    // (Esc, or an empty entry on the placeholder row). The cell holds the
    // committed text.
    virtual void EndEdit(int /*row*/, int /*column*/, bool /*accepted*/) { }
    // Del was pressed on a deletable row: true lets the list remove the row.
    virtual bool DeleteRow(int /*row*/) { return true; }
    // A row was removed after DeleteRow agreed.
    virtual void AfterDelete() { }
    // The user picked another entry in a combo cell.
    virtual void ComboSelection(int /*row*/, int /*column*/) { }
    // The user toggled a check box.
    virtual void CheckboxClicked(int /*row*/, int /*column*/) { }
    virtual void ItemClicked(int /*row*/, int /*column*/) { }
    // A double click, or Return on the current row.
    virtual void ItemDoubleClicked(int /*row*/, int /*column*/) { }
    // Right click or the menu key at a point of the screen; row and column
    // are -1 outside the rows.
    virtual void ItemContextMenu(int /*row*/, int /*column*/, const QPoint & /*globalPosition*/) { }
    // The list is being destroyed: it must not be used any more.
    virtual void ListDestroyed() { }

protected:
    virtual ~IXListCtrlCallback() = default;
};

// The list control as logic objects see it: a list in report view, rows of
// cells under column headings, selected a whole row at a time. Rows are
// addressed by position (zero-based); each may carry item data (a row key, or
// a pointer the caller owns). Cells can be plain, editable in place, drop-down
// choices or check boxes. Operations with a row or column out of range do
// nothing and return false (or an empty value). The window behind it is the
// list widget CXListCtrl (XListCtrl.h); logic never needs to see it.
class IXListCtrl
{
public:
    // Images every platform offers, for lists filled by logic objects.
    enum class StandardImage { Sound, File, Folder, Warning };

    // Columns. A width of -1 sizes the column to its heading.
    virtual int InsertColumn(
        int column, const QString &heading, int width = -1, Qt::Alignment alignment = Qt::AlignLeft)
        = 0;
    virtual bool DeleteColumn(int column) = 0;
    virtual int GetColumnCount() const = 0;
    virtual bool SetColumnHeading(int column, const QString &heading) = 0;
    virtual QString GetColumnHeading(int column) const = 0;
    virtual bool SetColumnWidth(int column, int width) = 0;
    virtual int GetColumnWidth(int column) const = 0;
    // The user cannot make the column narrower than this, nor can AdjustColumns.
    virtual bool SetColumnMinWidth(int column, int width) = 0;
    // Sizes every column to its heading and contents (at least its minimum
    // width), then widens the last column to fill the visible width.
    virtual void AdjustColumns() = 0;

    // Rows. InsertItem puts a row with the text of column 0 (and an image of
    // the image list, -1 for none) at row, or at the end when row is out of
    // range; it returns the new row's position, -1 when there are no columns.
    virtual int GetItemCount() const = 0;
    virtual int InsertItem(int row, const QString &text, int image = -1) = 0;
    virtual bool DeleteItem(int row) = 0;
    virtual bool DeleteAllItems() = 0;
    virtual bool SetItemText(int row, int column, const QString &text) = 0;
    virtual bool SetItemText(
        int row, int column, const QString &text, const QColor &textColor, const QColor &backgroundColor)
        = 0;
    virtual QString GetItemText(int row, int column) const = 0;
    virtual bool SetItemData(int row, quintptr data) = 0;
    virtual quintptr GetItemData(int row) const = 0;
    // The first row whose item data equals data, or -1.
    virtual int FindItemData(quintptr data) const = 0;

    // Cell kinds. For SetEdit and SetCheckbox a column of -1 means every
    // cell of the row.
    virtual bool SetEdit(int row, int column, bool editable = true) = 0;
    virtual bool IsEdit(int row, int column) const = 0;
    // Makes the cell a drop-down choice among items (enable false makes it a
    // plain cell again); initialSelection, when it is a valid entry, becomes
    // the cell's text.
    virtual bool SetComboBox(
        int row, int column, bool enable, const QStringList &items, int initialSelection = -1)
        = 0;
    virtual QString GetComboText(int row, int column) const = 0;
    // -1 removes the check box, 0 unchecked, 1 checked.
    virtual bool SetCheckbox(int row, int column, int checked) = 0;
    virtual int GetCheckbox(int row, int column) const = 0;

    // Look. A column of -1 applies to every cell of the row. Invalid colours
    // mean the list's own.
    virtual bool SetBold(int row, int column, bool bold) = 0;
    virtual bool GetBold(int row, int column) const = 0;
    virtual bool SetItalic(int row, int column, bool italic) = 0;
    virtual bool GetItalic(int row, int column) const = 0;
    virtual bool SetItemColors(int row, int column, const QColor &textColor, const QColor &backgroundColor)
        = 0;
    virtual void SetImageList(const QList<QIcon> &images) = 0;
    virtual bool SetItemImage(int row, int column, int image) = 0;
    virtual int GetItemImage(int row, int column) const = 0;
    virtual bool SetItemToolTipText(int row, int column, const QString &text) = 0;
    virtual QString GetItemToolTipText(int row, int column) const = 0;
    virtual void EnableToolTips(bool enable) = 0;

    // Row kinds.
    virtual bool SetItemDeletable(int row, bool deletable) = 0;
    virtual bool IsItemDeletable(int row) const = 0;
    virtual bool SetItemPlaceHolder(int row, bool placeHolder) = 0;
    virtual bool IsItemPlaceHolder(int row) const = 0;

    // Selection. SetCurSel(-1) clears it.
    virtual bool SetCurSel(int row, bool ensureVisible = true) = 0;
    virtual int GetCurSel() const = 0;
    virtual bool EnsureVisible(int row) = 0;

    // Redraws a cell (column -1: the whole row).
    virtual bool UpdateSubItem(int row, int column) = 0;
    // A cell's rectangle in the coordinates of the list's viewport; empty
    // when there is no such cell.
    virtual QRect GetSubItemRect(int row, int column) const = 0;
    // The cell under a point of the viewport; false when there is none.
    virtual bool SubItemHitTest(const QPoint &point, int *row, int *column) const = 0;

    // Opens the in-place editor of an editable or combo cell.
    virtual bool EditSubItem(int row, int column) = 0;

    // The logic object's callback (not owned; nullptr to remove).
    virtual void SetCallback(IXListCtrlCallback *callback) = 0;

    // The visible width of the rows' area in pixels.
    virtual int ClientWidth() const = 0;
    // The cell that has the keyboard focus; false when there is none.
    virtual bool GetFocusedCell(int *row, int *column) const = 0;
    virtual void SetHeaderVisible(bool visible) = 0;
    virtual void SetHorizontalScrollBarVisible(bool visible) = 0;
    // An image list of the platform's standard images.
    virtual void SetStandardImageList(const QList<StandardImage> &images) = 0;
    // The window dialogs about the list belong to (opaque to logic).
    virtual QWidget *DialogParent() const = 0;

protected:
    ~IXListCtrl() = default;
};

} // namespace Korbel
