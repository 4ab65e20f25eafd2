#pragma once

// The rows and cells behind CXListCtrl. Private to the control.

#include <QtCore/QAbstractTableModel>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QIcon>

#include <vector>

namespace Korbel::Detail {

class XListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Roles the delegate reads besides Qt's own.
    enum Role {
        ComboRole = Qt::UserRole + 1, // bool: the cell is a drop-down cell
        ComboItemsRole, // QStringList: its entries
        PlaceHolderRole, // bool: the cell's row is the placeholder row
    };

    struct Cell
    {
        QString text;
        QColor textColor;
        QColor backgroundColor;
        QString toolTip;
        QStringList comboItems;
        int image = -1;
        int checkState = -1; // -1 no check box, 0 unchecked, 1 checked
        bool editable = false;
        bool combo = false;
        bool bold = false;
        bool italic = false;
    };

    struct Row
    {
        std::vector<Cell> cells;
        quintptr data = 0;
        quint64 serial = 0; // identity of the row while rows come and go
        bool deletable = false;
        bool placeHolder = false;
    };

    struct Column
    {
        QString heading;
        Qt::Alignment alignment = Qt::AlignLeft;
        int minWidth = 0;
    };

    explicit XListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    bool insertColumn(int column, const Column &info);
    bool removeColumnAt(int column);
    Column *column(int column);
    const Column *column(int column) const;

    int insertRow(int row, const QString &text, int image);
    bool removeRowAt(int row);
    void clear();
    Row *row(int row);
    const Row *row(int row) const;
    Cell *cell(int row, int column);
    const Cell *cell(int row, int column) const;
    int rowOfSerial(quint64 serial) const;

    // Repaints one cell, or every cell of a row when column is -1.
    void cellChanged(int row, int column);

    void setImages(const QList<QIcon> &images);
    void setToolTipsEnabled(bool enabled) { m_toolTipsEnabled = enabled; }

signals:
    // The user committed text in an in-place editor or picked a combo entry.
    void cellCommitted(int row, int column, bool changed);
    // The user toggled a check box.
    void checkToggled(int row, int column);

private:
    bool validCell(int row, int column) const;

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    QList<QIcon> m_images;
    quint64 m_nextSerial = 1;
    bool m_toolTipsEnabled = true;
};

} // namespace Korbel::Detail
