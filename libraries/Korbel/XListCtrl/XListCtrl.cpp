#include "Korbel/XListCtrl/XListCtrl.h"
#include "Korbel/XListCtrl/XListDelegate.h"
#include "Korbel/XListCtrl/XListModel.h"

#include <QtGui/QContextMenuEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyle>

#include <utility>

namespace Korbel {

using Detail::XListDelegate;
using Detail::XListModel;

namespace {

// Applies change to one cell, or to every cell of the row when column is -1.
template<class Change> bool changeCells(XListModel *model, int row, int column, Change change)
{
    if (column == -1 && model->row(row)) {
        for (int c = 0; c < model->columnCount(); ++c)
            change(*model->cell(row, c));
    } else if (XListModel::Cell *cell = model->cell(row, column)) {
        change(*cell);
    } else {
        return false;
    }
    model->cellChanged(row, column);
    return true;
}

// Sets one member of a row.
template<class T> bool setRowMember(XListModel *model, int row, T XListModel::Row::*member, T value)
{
    XListModel::Row *r = model->row(row);
    if (!r)
        return false;
    r->*member = value;
    return true;
}

} // namespace

CXListCtrl::CXListCtrl(QWidget *parent)
    : QTableView(parent)
    , m_model(new XListModel(this))
{
    setModel(m_model);
    auto *delegate = new XListDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &XListDelegate::editorCreated, this, &CXListCtrl::onEditorCreated);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Editors open only where the cell kind says so (see EditSubItem).
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(m_model, &XListModel::cellCommitted, this, &CXListCtrl::onCellCommitted);
    connect(m_model, &XListModel::checkToggled, this, &CXListCtrl::onCheckToggled);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CXListCtrl::onSectionResized);
    connect(this, &QAbstractItemView::clicked, this,
        [this](const QModelIndex &index) { emit itemClicked(index.row(), index.column()); });

    // The notifications reach the logic object's callback as well.
    connect(this, &CXListCtrl::comboSelection, this, [this](int row, int column) {
        if (m_callback)
            m_callback->ComboSelection(row, column);
    });
    connect(this, &CXListCtrl::checkboxClicked, this, [this](int row, int column) {
        if (m_callback)
            m_callback->CheckboxClicked(row, column);
    });
    connect(this, &CXListCtrl::itemClicked, this, [this](int row, int column) {
        if (m_callback)
            m_callback->ItemClicked(row, column);
    });
    connect(this, &CXListCtrl::itemDoubleClicked, this, [this](int row, int column) {
        if (m_callback)
            m_callback->ItemDoubleClicked(row, column);
    });
    connect(this, &CXListCtrl::itemContextMenu, this, [this](int row, int column, const QPoint &at) {
        if (m_callback)
            m_callback->ItemContextMenu(row, column, at);
    });
}

CXListCtrl::~CXListCtrl()
{
    if (IXListCtrlCallback *callback = std::exchange(m_callback, nullptr))
        callback->ListDestroyed();
}

// Columns

int CXListCtrl::InsertColumn(int column, const QString &heading, int width, Qt::Alignment alignment)
{
    if (column < 0 || column > GetColumnCount())
        column = GetColumnCount();
    XListModel::Column info;
    info.heading = heading;
    info.alignment = alignment;
    m_model->insertColumn(column, info);
    horizontalHeader()->resizeSection(
        column, width >= 0 ? width : horizontalHeader()->sectionSizeHint(column));
    return column;
}

bool CXListCtrl::DeleteColumn(int column)
{
    return m_model->removeColumnAt(column);
}

int CXListCtrl::GetColumnCount() const
{
    return m_model->columnCount();
}

bool CXListCtrl::SetColumnHeading(int column, const QString &heading)
{
    XListModel::Column *info = m_model->column(column);
    if (!info)
        return false;
    info->heading = heading;
    emit m_model->headerDataChanged(Qt::Horizontal, column, column);
    return true;
}

QString CXListCtrl::GetColumnHeading(int column) const
{
    const XListModel::Column *info = m_model->column(column);
    return info ? info->heading : QString();
}

bool CXListCtrl::SetColumnWidth(int column, int width)
{
    if (!m_model->column(column) || width < 0)
        return false;
    horizontalHeader()->resizeSection(column, width);
    return true;
}

int CXListCtrl::GetColumnWidth(int column) const
{
    return m_model->column(column) ? horizontalHeader()->sectionSize(column) : 0;
}

bool CXListCtrl::SetColumnMinWidth(int column, int width)
{
    XListModel::Column *info = m_model->column(column);
    if (!info || width < 0)
        return false;
    info->minWidth = width;
    if (horizontalHeader()->sectionSize(column) < width)
        horizontalHeader()->resizeSection(column, width);
    return true;
}

void CXListCtrl::onSectionResized(int column, int /*oldSize*/, int newSize)
{
    const XListModel::Column *info = m_model->column(column);
    if (info && newSize < info->minWidth)
        horizontalHeader()->resizeSection(column, info->minWidth);
}

void CXListCtrl::AdjustColumns()
{
    const int count = GetColumnCount();
    if (count == 0)
        return;
    int total = 0;
    for (int column = 0; column < count; ++column) {
        const int width = std::max({ sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column),
            m_model->column(column)->minWidth });
        horizontalHeader()->resizeSection(column, width);
        total += width;
    }
    const int spare = viewport()->width() - total;
    if (spare > 0)
        horizontalHeader()->resizeSection(count - 1, horizontalHeader()->sectionSize(count - 1) + spare);
}

// Rows

int CXListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

int CXListCtrl::InsertItem(int row, const QString &text, int image)
{
    return m_model->insertRow(row, text, image);
}

bool CXListCtrl::DeleteItem(int row)
{
    if (!m_model->row(row))
        return false;
    if (m_editor && m_editing.isValid() && m_editing.row() == row)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    return m_model->removeRowAt(row);
}

bool CXListCtrl::DeleteAllItems()
{
    if (m_editor && m_editing.isValid())
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    m_model->clear();
    return true;
}

bool CXListCtrl::SetItemText(int row, int column, const QString &text)
{
    // One cell only: a column of -1 is no cell here.
    if (column < 0)
        return false;
    return changeCells(m_model, row, column, [&text](XListModel::Cell &cell) { cell.text = text; });
}

bool CXListCtrl::SetItemText(
    int row, int column, const QString &text, const QColor &textColor, const QColor &backgroundColor)
{
    return SetItemText(row, column, text) && SetItemColors(row, column, textColor, backgroundColor);
}

QString CXListCtrl::GetItemText(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell ? cell->text : QString();
}

bool CXListCtrl::SetItemData(int row, quintptr data)
{
    return setRowMember(m_model, row, &XListModel::Row::data, data);
}

quintptr CXListCtrl::GetItemData(int row) const
{
    const XListModel::Row *r = m_model->row(row);
    return r ? r->data : 0;
}

int CXListCtrl::FindItemData(quintptr data) const
{
    for (int row = 0; row < GetItemCount(); ++row) {
        if (m_model->row(row)->data == data)
            return row;
    }
    return -1;
}

// Cell kinds

bool CXListCtrl::SetEdit(int row, int column, bool editable)
{
    return changeCells(
        m_model, row, column, [editable](XListModel::Cell &cell) { cell.editable = editable; });
}

bool CXListCtrl::IsEdit(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell && cell->editable;
}

bool CXListCtrl::SetComboBox(int row, int column, bool enable, const QStringList &items, int initialSelection)
{
    XListModel::Cell *cell = m_model->cell(row, column);
    if (!cell)
        return false;
    cell->combo = enable;
    cell->comboItems = enable ? items : QStringList();
    if (enable && initialSelection >= 0 && initialSelection < items.size())
        cell->text = items.at(initialSelection);
    m_model->cellChanged(row, column);
    return true;
}

QString CXListCtrl::GetComboText(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell && cell->combo ? cell->text : QString();
}

bool CXListCtrl::isCombo(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell && cell->combo;
}

bool CXListCtrl::SetCheckbox(int row, int column, int checked)
{
    const int state = checked < 0 ? -1 : (checked ? 1 : 0);
    return changeCells(m_model, row, column, [state](XListModel::Cell &cell) { cell.checkState = state; });
}

int CXListCtrl::GetCheckbox(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell ? cell->checkState : -1;
}

// Look

bool CXListCtrl::SetBold(int row, int column, bool bold)
{
    return changeCells(m_model, row, column, [bold](XListModel::Cell &cell) { cell.bold = bold; });
}

bool CXListCtrl::GetBold(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell && cell->bold;
}

bool CXListCtrl::SetItalic(int row, int column, bool italic)
{
    return changeCells(m_model, row, column, [italic](XListModel::Cell &cell) { cell.italic = italic; });
}

bool CXListCtrl::GetItalic(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell && cell->italic;
}

bool CXListCtrl::SetItemColors(int row, int column, const QColor &textColor, const QColor &backgroundColor)
{
    return changeCells(m_model, row, column, [&](XListModel::Cell &cell) {
        cell.textColor = textColor;
        cell.backgroundColor = backgroundColor;
    });
}

void CXListCtrl::SetImageList(const QList<QIcon> &images)
{
    m_model->setImages(images);
}

bool CXListCtrl::SetItemImage(int row, int column, int image)
{
    return changeCells(m_model, row, column, [image](XListModel::Cell &cell) { cell.image = image; });
}

int CXListCtrl::GetItemImage(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell ? cell->image : -1;
}

bool CXListCtrl::SetItemToolTipText(int row, int column, const QString &text)
{
    return changeCells(m_model, row, column, [&text](XListModel::Cell &cell) { cell.toolTip = text; });
}

QString CXListCtrl::GetItemToolTipText(int row, int column) const
{
    const XListModel::Cell *cell = m_model->cell(row, column);
    return cell ? cell->toolTip : QString();
}

void CXListCtrl::EnableToolTips(bool enable)
{
    m_model->setToolTipsEnabled(enable);
}

// Row kinds

bool CXListCtrl::SetItemDeletable(int row, bool deletable)
{
    return setRowMember(m_model, row, &XListModel::Row::deletable, deletable);
}

bool CXListCtrl::IsItemDeletable(int row) const
{
    const XListModel::Row *r = m_model->row(row);
    return r && r->deletable && !r->placeHolder;
}

bool CXListCtrl::SetItemPlaceHolder(int row, bool placeHolder)
{
    return setRowMember(m_model, row, &XListModel::Row::placeHolder, placeHolder);
}

bool CXListCtrl::IsItemPlaceHolder(int row) const
{
    const XListModel::Row *r = m_model->row(row);
    return r && r->placeHolder;
}

// Selection

bool CXListCtrl::SetCurSel(int row, bool ensureVisible)
{
    if (row == -1) {
        selectionModel()->clearSelection();
        return true;
    }
    if (!m_model->row(row))
        return false;
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex index = m_model->index(row, std::min(column, GetColumnCount() - 1));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (ensureVisible)
        scrollTo(index);
    return true;
}

int CXListCtrl::GetCurSel() const
{
    int last = -1;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        last = std::max(last, index.row());
    return last;
}

bool CXListCtrl::EnsureVisible(int row)
{
    if (!m_model->row(row))
        return false;
    scrollTo(m_model->index(row, 0));
    return true;
}

bool CXListCtrl::UpdateSubItem(int row, int column)
{
    if (!m_model->row(row) || (column != -1 && !m_model->cell(row, column)))
        return false;
    m_model->cellChanged(row, column);
    return true;
}

QRect CXListCtrl::GetSubItemRect(int row, int column) const
{
    const QModelIndex index = m_model->index(row, column);
    return index.isValid() ? visualRect(index) : QRect();
}

bool CXListCtrl::SubItemHitTest(const QPoint &point, int *row, int *column) const
{
    const QModelIndex index = indexAt(point);
    if (row)
        *row = index.isValid() ? index.row() : -1;
    if (column)
        *column = index.isValid() ? index.column() : -1;
    return index.isValid();
}

void CXListCtrl::SetCallback(IXListCtrlCallback *callback)
{
    m_callback = callback;
}

int CXListCtrl::ClientWidth() const
{
    return viewport()->width();
}

bool CXListCtrl::GetFocusedCell(int *row, int *column) const
{
    const QModelIndex index = currentIndex();
    if (row)
        *row = index.isValid() ? index.row() : -1;
    if (column)
        *column = index.isValid() ? index.column() : -1;
    return index.isValid();
}

void CXListCtrl::SetHeaderVisible(bool visible)
{
    horizontalHeader()->setVisible(visible);
}

void CXListCtrl::SetHorizontalScrollBarVisible(bool visible)
{
    setHorizontalScrollBarPolicy(visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void CXListCtrl::SetStandardImageList(const QList<StandardImage> &images)
{
    QList<QIcon> icons;
    for (const StandardImage image : images) {
        switch (image) {
        case StandardImage::Sound:
            icons << style()->standardIcon(QStyle::SP_MediaVolume);
            break;
        case StandardImage::File:
            icons << style()->standardIcon(QStyle::SP_FileIcon);
            break;
        case StandardImage::Folder:
            icons << style()->standardIcon(QStyle::SP_DirIcon);
            break;
        case StandardImage::Warning:
            icons << style()->standardIcon(QStyle::SP_MessageBoxWarning);
            break;
        }
    }
    SetImageList(icons);
}

QWidget *CXListCtrl::DialogParent() const
{
    return window();
}

// In-place editing

bool CXListCtrl::EditSubItem(int row, int column)
{
    const bool combo = isCombo(row, column);
    if ((!combo && !IsEdit(row, column)) || state() == QAbstractItemView::EditingState)
        return false;
    QPersistentModelIndex index = m_model->index(row, column);
    setCurrentIndex(index);
    scrollTo(index);
    if (!combo) {
        m_editing = index;
        m_editCommitted = false;
        if (m_callback)
            m_callback->BeginEdit(row, column);
        emit beginEdit(row, column);
        // The callback or a slot may have rebuilt the list.
        if (!index.isValid() || !IsEdit(index.row(), index.column())) {
            m_editing = QPersistentModelIndex();
            return false;
        }
    }
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

void CXListCtrl::onEditorCreated(QWidget *editor, const QModelIndex &index)
{
    if (qobject_cast<QLineEdit *>(editor) && index == m_editing)
        m_editor = editor;
}

void CXListCtrl::onCellCommitted(int row, int column, bool changed)
{
    const QModelIndex index = m_model->index(row, column);
    if (isCombo(row, column)) {
        if (changed)
            m_comboChanged = index;
    } else if (index == m_editing) {
        m_editCommitted = true;
    }
}

void CXListCtrl::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool lineEditor = editor && editor == m_editor;
    QTableView::closeEditor(editor, hint);

    // Announced only now, with the editor gone, so that the slots may refill
    // or rebuild the list freely.
    if (lineEditor) {
        const int row = m_editing.row();
        const int column = m_editing.column();
        const bool accepted = m_editCommitted;
        m_editing = QPersistentModelIndex();
        m_editor.clear();
        m_editCommitted = false;
        if (row >= 0) {
            if (m_callback)
                m_callback->EndEdit(row, column, accepted);
            emit endEdit(row, column, accepted);
        }
    }
    if (m_comboChanged.isValid()) {
        const int row = m_comboChanged.row();
        const int column = m_comboChanged.column();
        m_comboChanged = QPersistentModelIndex();
        emit comboSelection(row, column);
    }
}

void CXListCtrl::onCheckToggled(int row, int column)
{
    emit checkboxClicked(row, column);
}

// Keyboard and mouse

void CXListCtrl::keyPressEvent(QKeyEvent *event)
{
    if (state() != QAbstractItemView::EditingState && event->modifiers() == Qt::NoModifier) {
        const QModelIndex current = currentIndex();
        switch (event->key()) {
        case Qt::Key_Delete:
            deleteCurrentRow();
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current.isValid()) {
                activateRow(current.row(), current.column());
                event->accept();
                return;
            }
            break;
        case Qt::Key_F2:
            if (current.isValid() && EditSubItem(current.row(), current.column())) {
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void CXListCtrl::mousePressEvent(QMouseEvent *event)
{
    m_pressed
        = state() == QAbstractItemView::EditingState ? QModelIndex() : indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void CXListCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    const QPersistentModelIndex released = indexAt(event->position().toPoint());
    const bool click = event->button() == Qt::LeftButton && released.isValid() && released == m_pressed;
    m_pressed = QPersistentModelIndex();
    QTableView::mouseReleaseEvent(event);
    // A click on a combo cell opens its list at once.
    if (click && released.isValid() && state() != QAbstractItemView::EditingState
        && isCombo(released.row(), released.column()))
        EditSubItem(released.row(), released.column());
}

void CXListCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && index.isValid() && state() != QAbstractItemView::EditingState)
        activateRow(index.row(), index.column());
}

void CXListCtrl::activateRow(int row, int column)
{
    const quint64 serial = m_model->row(row)->serial;
    emit itemDoubleClicked(row, column);
    // The slot may have moved or removed the row.
    row = m_model->rowOfSerial(serial);
    if (row >= 0 && IsEdit(row, column))
        EditSubItem(row, column);
}

void CXListCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    QModelIndex index;
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        index = currentIndex();
        if (index.isValid())
            global = viewport()->mapToGlobal(visualRect(index).center());
    } else {
        index = indexAt(event->pos());
    }
    emit itemContextMenu(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1, global);
    event->accept();
}

void CXListCtrl::deleteCurrentRow()
{
    int row = GetCurSel();
    if (!IsItemDeletable(row))
        return;
    const quint64 serial = m_model->row(row)->serial;
    emit deleteKeyPressed(row);
    // A slot may have removed the row itself, or rebuilt the list.
    row = m_model->rowOfSerial(serial);
    if (row < 0 || (m_callback && !m_callback->DeleteRow(row)))
        return;
    row = m_model->rowOfSerial(serial);
    if (row < 0)
        return;
    DeleteItem(row);
    if (GetItemCount() > 0)
        SetCurSel(std::min(row, GetItemCount() - 1));
    if (m_callback)
        m_callback->AfterDelete();
    emit itemDeleted(row);
}

} // namespace Korbel
