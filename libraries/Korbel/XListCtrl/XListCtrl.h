#pragma once

#include "korbellistctrl_export.h"

#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QPersistentModelIndex>
#include <QtCore/QPointer>
#include <QtGui/QColor>
#include <QtGui/QIcon>
#include <QtWidgets/QTableView>

namespace Korbel {

namespace Detail {
class XListModel;
}

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
class KORBELLISTCTRL_EXPORT CXListCtrl : public QTableView, public IXListCtrl
{
    Q_OBJECT

public:
    explicit CXListCtrl(QWidget *parent = nullptr);
    ~CXListCtrl() override;

    // Columns. A width of -1 sizes the column to its heading.
    int InsertColumn(
        int column, const QString &heading, int width = -1, Qt::Alignment alignment = Qt::AlignLeft) override;
    bool DeleteColumn(int column) override;
    int GetColumnCount() const override;
    bool SetColumnHeading(int column, const QString &heading) override;
    QString GetColumnHeading(int column) const override;
    bool SetColumnWidth(int column, int width) override;
    int GetColumnWidth(int column) const override;
    // The user cannot make the column narrower than this, nor can AdjustColumns.
    bool SetColumnMinWidth(int column, int width) override;
    // Sizes every column to its heading and contents (at least its minimum
    // width), then widens the last column to fill the visible width.
    void AdjustColumns() override;

    // Rows. InsertItem puts a row with the text of column 0 (and an image of
    // the image list, -1 for none) at row, or at the end when row is out of
    // range; it returns the new row's position, -1 when there are no columns.
    int GetItemCount() const override;
    int InsertItem(int row, const QString &text, int image = -1) override;
    bool DeleteItem(int row) override;
    bool DeleteAllItems() override;
    bool SetItemText(int row, int column, const QString &text) override;
    bool SetItemText(int row, int column, const QString &text, const QColor &textColor,
        const QColor &backgroundColor) override;
    QString GetItemText(int row, int column) const override;
    bool SetItemData(int row, quintptr data) override;
    quintptr GetItemData(int row) const override;
    // The first row whose item data equals data, or -1.
    int FindItemData(quintptr data) const override;

    // Cell kinds. For SetEdit and SetCheckbox a column of -1 means every
    // cell of the row.
    bool SetEdit(int row, int column, bool editable = true) override;
    bool IsEdit(int row, int column) const override;
    // Makes the cell a drop-down choice among items (enable false makes it a
    // plain cell again); initialSelection, when it is a valid entry, becomes
    // the cell's text.
    bool SetComboBox(
        int row, int column, bool enable, const QStringList &items, int initialSelection = -1) override;
    QString GetComboText(int row, int column) const override;
    // -1 removes the check box, 0 unchecked, 1 checked.
    bool SetCheckbox(int row, int column, int checked) override;
    int GetCheckbox(int row, int column) const override;

    // Look. A column of -1 applies to every cell of the row. Invalid colours
    // mean the list's own.
    bool SetBold(int row, int column, bool bold) override;
    bool GetBold(int row, int column) const override;
    bool SetItalic(int row, int column, bool italic) override;
    bool GetItalic(int row, int column) const override;
    bool SetItemColors(int row, int column, const QColor &textColor, const QColor &backgroundColor) override;
    void SetImageList(const QList<QIcon> &images) override;
    bool SetItemImage(int row, int column, int image) override;
    int GetItemImage(int row, int column) const override;
    bool SetItemToolTipText(int row, int column, const QString &text) override;
    QString GetItemToolTipText(int row, int column) const override;
    void EnableToolTips(bool enable) override;

    // Row kinds.
    bool SetItemDeletable(int row, bool deletable) override;
    bool IsItemDeletable(int row) const override;
    bool SetItemPlaceHolder(int row, bool placeHolder) override;
    bool IsItemPlaceHolder(int row) const override;

    // Selection. SetCurSel(-1) clears it.
    bool SetCurSel(int row, bool ensureVisible = true) override;
    int GetCurSel() const override;
    bool EnsureVisible(int row) override;

    // Redraws a cell (column -1: the whole row).
    bool UpdateSubItem(int row, int column) override;
    // A cell's rectangle in the coordinates of the list's viewport; empty
    // when there is no such cell.
    QRect GetSubItemRect(int row, int column) const override;
    // The cell under a point of the viewport; false when there is none.
    bool SubItemHitTest(const QPoint &point, int *row, int *column) const override;

    // Opens the in-place editor of an editable or combo cell.
    bool EditSubItem(int row, int column) override;

    // The logic object's callback (not owned; nullptr to remove).
    void SetCallback(IXListCtrlCallback *callback) override;

    int ClientWidth() const override;
    bool GetFocusedCell(int *row, int *column) const override;
    void SetHeaderVisible(bool visible) override;
    void SetHorizontalScrollBarVisible(bool visible) override;
    void SetStandardImageList(const QList<StandardImage> &images) override;
    QWidget *DialogParent() const override;

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
