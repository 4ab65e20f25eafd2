#include "Korbel/XListCtrl/XListModel.h"

#include <QtGui/QBrush>
#include <QtGui/QFont>

namespace Korbel::Detail {

XListModel::XListModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

int XListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int XListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant XListModel::data(const QModelIndex &index, int role) const
{
    const Cell *c = cell(index.row(), index.column());
    if (!c)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return c->text;
    case Qt::FontRole:
        if (c->bold || c->italic) {
            // Only the attributes set here; the rest comes from the view's font.
            QFont font;
            if (c->bold)
                font.setBold(true);
            if (c->italic)
                font.setItalic(true);
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        return c->textColor.isValid() ? QVariant(QBrush(c->textColor)) : QVariant();
    case Qt::BackgroundRole:
        return c->backgroundColor.isValid() ? QVariant(QBrush(c->backgroundColor)) : QVariant();
    case Qt::DecorationRole:
        if (c->image >= 0 && c->image < m_images.size())
            return m_images.at(c->image);
        return {};
    case Qt::ToolTipRole:
        return m_toolTipsEnabled && !c->toolTip.isEmpty() ? QVariant(c->toolTip) : QVariant();
    case Qt::CheckStateRole:
        if (c->checkState < 0)
            return {};
        return c->checkState ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            m_columns[static_cast<size_t>(index.column())].alignment | Qt::AlignVCenter);
    case ComboRole:
        return c->combo;
    case ComboItemsRole:
        return c->comboItems;
    case PlaceHolderRole:
        return m_rows[static_cast<size_t>(index.row())].placeHolder;
    default:
        return {};
    }
}

bool XListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Cell *c = cell(index.row(), index.column());
    if (!c)
        return false;
    if (role == Qt::CheckStateRole) {
        if (c->checkState < 0)
            return false;
        c->checkState = value.toInt() == Qt::Checked ? 1 : 0;
        emit dataChanged(index, index, { Qt::CheckStateRole });
        emit checkToggled(index.row(), index.column());
        return true;
    }
    if (role != Qt::EditRole || !(c->editable || c->combo))
        return false;
    const QString text = value.toString();
    // An empty entry on the placeholder row keeps its invitation text: the
    // user typed nothing, so nothing was committed.
    if (text.isEmpty() && m_rows[static_cast<size_t>(index.row())].placeHolder)
        return false;
    const bool changed = text != c->text;
    c->text = text;
    if (changed)
        emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    emit cellCommitted(index.row(), index.column(), changed);
    return true;
}

Qt::ItemFlags XListModel::flags(const QModelIndex &index) const
{
    const Cell *c = cell(index.row(), index.column());
    if (!c)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c->checkState >= 0)
        flags |= Qt::ItemIsUserCheckable;
    if (c->editable || c->combo)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant XListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || static_cast<size_t>(section) >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[static_cast<size_t>(section)].heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[static_cast<size_t>(section)].alignment | Qt::AlignVCenter);
    return {};
}

bool XListModel::insertColumn(int column, const Column &info)
{
    if (column < 0 || static_cast<size_t>(column) > m_columns.size())
        column = static_cast<int>(m_columns.size());
    beginInsertColumns(QModelIndex(), column, column);
    m_columns.insert(m_columns.begin() + column, info);
    for (Row &r : m_rows)
        r.cells.insert(r.cells.begin() + column, Cell());
    endInsertColumns();
    return true;
}

bool XListModel::removeColumnAt(int column)
{
    if (column < 0 || static_cast<size_t>(column) >= m_columns.size())
        return false;
    beginRemoveColumns(QModelIndex(), column, column);
    m_columns.erase(m_columns.begin() + column);
    for (Row &r : m_rows)
        r.cells.erase(r.cells.begin() + column);
    endRemoveColumns();
    return true;
}

XListModel::Column *XListModel::column(int column)
{
    if (column < 0 || static_cast<size_t>(column) >= m_columns.size())
        return nullptr;
    return &m_columns[static_cast<size_t>(column)];
}

const XListModel::Column *XListModel::column(int column) const
{
    return const_cast<XListModel *>(this)->column(column);
}

int XListModel::insertRow(int row, const QString &text, int image)
{
    if (m_columns.empty())
        return -1;
    if (row < 0 || static_cast<size_t>(row) > m_rows.size())
        row = static_cast<int>(m_rows.size());
    Row r;
    r.cells.resize(m_columns.size());
    r.cells.front().text = text;
    r.cells.front().image = image;
    r.serial = m_nextSerial++;
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, std::move(r));
    endInsertRows();
    return row;
}

bool XListModel::removeRowAt(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void XListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

XListModel::Row *XListModel::row(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size())
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}

const XListModel::Row *XListModel::row(int row) const
{
    return const_cast<XListModel *>(this)->row(row);
}

XListModel::Cell *XListModel::cell(int row, int column)
{
    if (!validCell(row, column))
        return nullptr;
    return &m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

const XListModel::Cell *XListModel::cell(int row, int column) const
{
    return const_cast<XListModel *>(this)->cell(row, column);
}

int XListModel::rowOfSerial(quint64 serial) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].serial == serial)
            return static_cast<int>(i);
    }
    return -1;
}

void XListModel::cellChanged(int row, int column)
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size() || m_columns.empty())
        return;
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? static_cast<int>(m_columns.size()) - 1 : column;
    emit dataChanged(index(row, first), index(row, last));
}

void XListModel::setImages(const QList<QIcon> &images)
{
    m_images = images;
    if (!m_rows.empty() && !m_columns.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::DecorationRole });
}

bool XListModel::validCell(int row, int column) const
{
    return row >= 0 && static_cast<size_t>(row) < m_rows.size() && column >= 0
        && static_cast<size_t>(column) < m_columns.size();
}

} // namespace Korbel::Detail
