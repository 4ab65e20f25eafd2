#pragma once

// Draws the cells of CXListCtrl and makes their in-place editors: a line edit
// for editable cells, a drop-down list for combo cells. Private to the control.

#include <QtWidgets/QStyledItemDelegate>

namespace Korbel::Detail {

class XListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(
        QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(
        QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Width of the drop-down arrow drawn at the right of a combo cell.
    static int comboArrowWidth(const QStyleOptionViewItem &option);

signals:
    void editorCreated(QWidget *editor, const QModelIndex &index) const;
};

} // namespace Korbel::Detail
