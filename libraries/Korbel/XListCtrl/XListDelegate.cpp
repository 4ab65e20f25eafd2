#include "Korbel/XListCtrl/XListDelegate.h"
#include "Korbel/XListCtrl/XListModel.h"

#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

namespace Korbel::Detail {

int XListDelegate::comboArrowWidth(const QStyleOptionViewItem &option)
{
    return std::min(option.rect.height(), 16);
}

void XListDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.data(XListModel::ComboRole).toBool()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // A combo cell shows its current entry and a drop-down arrow, so that the
    // user can see the cell offers a choice. Background and selection cover
    // the whole cell, the text stops before the arrow.
    QStyleOptionViewItem cellOption(option);
    initStyleOption(&cellOption, index);
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cellOption, painter, widget);

    const int arrow = comboArrowWidth(option);
    QStyleOptionViewItem textOption(cellOption);
    textOption.rect.setRight(option.rect.right() - arrow);
    style->drawControl(QStyle::CE_ItemViewItem, &textOption, painter, widget);

    QStyleOption arrowOption;
    if (widget)
        arrowOption.initFrom(widget);
    arrowOption.rect = QRect(option.rect.right() - arrow, option.rect.top(), arrow, option.rect.height());
    arrowOption.palette = option.palette;
    arrowOption.state = option.state;
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrowOption, painter, widget);
}

QWidget *XListDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.data(XListModel::ComboRole).toBool()) {
        auto *combo = new QComboBox(parent);
        combo->addItems(index.data(XListModel::ComboItemsRole).toStringList());
        combo->setFrame(false);
        // Picking an entry ends the choice at once, as a drop-down list does.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            emit const_cast<XListDelegate *>(this)->commitData(combo);
            emit const_cast<XListDelegate *>(this)->closeEditor(
                combo, QAbstractItemDelegate::SubmitModelCache);
        });
        // The list opens with the editor: one click on the cell shows the choices.
        QMetaObject::invokeMethod(combo, &QComboBox::showPopup, Qt::QueuedConnection);
        emit editorCreated(combo, index);
        return combo;
    }
    if (index.flags() & Qt::ItemIsEditable) {
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        emit editorCreated(edit, index);
        return edit;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

QSize XListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.data(XListModel::ComboRole).toBool())
        size.rwidth() += 20; // room for the drop-down arrow
    return size;
}

void XListDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setCurrentIndex(combo->findText(text));
        return;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        // The placeholder row's text invites an entry; the entry starts empty.
        edit->setText(index.data(XListModel::PlaceHolderRole).toBool() ? QString() : text);
        edit->selectAll();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void XListDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (combo->currentIndex() >= 0)
            model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        model->setData(index, edit->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace Korbel::Detail
