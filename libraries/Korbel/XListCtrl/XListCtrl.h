#pragma once

#include "korbellistctrl_export.h"

#include <QtCore/QPersistentModelIndex>
#include <QtCore/QPointer>
#include <QtGui/QColor>
#include <QtGui/QIcon>
#include <QtWidgets/QTableView>

namespace Korbel {

namespace Detail {
class XListModel;
}

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

protected:
    virtual ~IXListCtrlCallback() = default;
};

// A list in report view: rows of cells under column headings, selected a
// whole row at a time. Rows are addressed by position (zero-based); each may
// carry item data (a row key, or a pointer the caller owns). Cells can be
// plain, editable in place (double click, Return or F2), drop-down choices
// (a click or F2 opens them) or check boxes (a click or Space toggles them).
//
// Rows cannot be deleted with Del unless marked deletable; the placeholder
// row (the trailing "add new" row) never can. Editing a placeholder cell
// starts from an empty entry, and an empty entry leaves the row unchanged.
//
// Operations with a row or column out of range do nothing and return false
// (or an empty value).
class KORBELLISTCTRL_EXPORT CXListCtrl : public QTableView
{
    Q_OBJECT

public:
    explicit CXListCtrl(QWidget *parent = nullptr);
    ~CXListCtrl() override;

    // Columns. A width of -1 sizes the column to its heading.
    int InsertColumn(
        int column, const QString &heading, int width = -1, Qt::Alignment alignment = Qt::AlignLeft);
    bool DeleteColumn(int column);
    int GetColumnCount() const;
    bool SetColumnHeading(int column, const QString &heading);
    QString GetColumnHeading(int column) const;
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // The user cannot make the column narrower than this, nor can AdjustColumns.
    bool SetColumnMinWidth(int column, int width);
    // Sizes every column to its heading and contents (at least its minimum
    // width), then widens the last column to fill the visible width.
    void AdjustColumns();

    // Rows. InsertItem puts a row with the text of column 0 (and an image of
    // the image list, -1 for none) at row, or at the end when row is out of
    // range; it returns the new row's position, -1 when there are no columns.
    int GetItemCount() const;
    int InsertItem(int row, const QString &text, int image = -1);
    bool DeleteItem(int row);
    bool DeleteAllItems();
    bool SetItemText(int row, int column, const QString &text);
    bool SetItemText(
        int row, int column, const QString &text, const QColor &textColor, const QColor &backgroundColor);
    QString GetItemText(int row, int column) const;
    bool SetItemData(int row, quintptr data);
    quintptr GetItemData(int row) const;
    // The first row whose item data equals data, or -1.
    int FindItemData(quintptr data) const;

    // Cell kinds. For SetEdit and SetCheckbox a column of -1 means every
    // cell of the row.
    bool SetEdit(int row, int column, bool editable = true);
    bool IsEdit(int row, int column) const;
    // Makes the cell a drop-down choice among items (enable false makes it a
    // plain cell again); initialSelection, when it is a valid entry, becomes
    // the cell's text.
    bool SetComboBox(int row, int column, bool enable, const QStringList &items, int initialSelection = -1);
    QString GetComboText(int row, int column) const;
    // -1 removes the check box, 0 unchecked, 1 checked.
    bool SetCheckbox(int row, int column, int checked);
    int GetCheckbox(int row, int column) const;

    // Look. A column of -1 applies to every cell of the row. Invalid colours
    // mean the list's own.
    bool SetBold(int row, int column, bool bold);
    bool GetBold(int row, int column) const;
    bool SetItalic(int row, int column, bool italic);
    bool GetItalic(int row, int column) const;
    bool SetItemColors(int row, int column, const QColor &textColor, const QColor &backgroundColor);
    void SetImageList(const QList<QIcon> &images);
    bool SetItemImage(int row, int column, int image);
    int GetItemImage(int row, int column) const;
    bool SetItemToolTipText(int row, int column, const QString &text);
    QString GetItemToolTipText(int row, int column) const;
    void EnableToolTips(bool enable);

    // Row kinds.
    bool SetItemDeletable(int row, bool deletable);
    bool IsItemDeletable(int row) const;
    bool SetItemPlaceHolder(int row, bool placeHolder);
    bool IsItemPlaceHolder(int row) const;

    // Selection. SetCurSel(-1) clears it.
    bool SetCurSel(int row, bool ensureVisible = true);
    int GetCurSel() const;
    bool EnsureVisible(int row);

    // Redraws a cell (column -1: the whole row).
    bool UpdateSubItem(int row, int column);
    // A cell's rectangle in the coordinates of the list's viewport; empty
    // when there is no such cell.
    QRect GetSubItemRect(int row, int column) const;
    // The cell under a point of the viewport; false when there is none.
    bool SubItemHitTest(const QPoint &point, int *row, int *column) const;

    // Opens the in-place editor of an editable or combo cell.
    bool EditSubItem(int row, int column);

    // The logic object's callback (not owned; nullptr to remove).
    void SetCallback(IXListCtrlCallback *callback);

signals:
    // The user picked another entry in a combo cell.
    void comboSelection(int row, int column);
    // The user toggled a check box.
    void checkboxClicked(int row, int column);
    void beginEdit(int row, int column);
    void endEdit(int row, int column, bool accepted);
    // Del on a deletable row, before it is removed; itemDeleted once it is.
    void deleteKeyPressed(int row);
    void itemDeleted(int row);
    void itemClicked(int row, int column);
    // A double click, or Return on the current row.
    void itemDoubleClicked(int row, int column);
    // Right click or the menu key; row and column are -1 outside the rows.
    void itemContextMenu(int row, int column, const QPoint &globalPosition);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void onEditorCreated(QWidget *editor, const QModelIndex &index);
    void onCellCommitted(int row, int column, bool changed);
    void onCheckToggled(int row, int column);
    void onSectionResized(int column, int oldSize, int newSize);
    void deleteCurrentRow();
    void activateRow(int row, int column);
    bool isCombo(int row, int column) const;

    Detail::XListModel *m_model;
    IXListCtrlCallback *m_callback = nullptr;
    QPersistentModelIndex m_pressed;
    // The cell whose line editor is open, the editor, and whether the user
    // committed an entry.
    QPersistentModelIndex m_editing;
    QPointer<QWidget> m_editor;
    bool m_editCommitted = false;
    // A combo cell whose new entry is announced once its editor has closed.
    QPersistentModelIndex m_comboChanged;
};

} // namespace Korbel
