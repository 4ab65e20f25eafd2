#include "Korbel/Binding/WidgetBinder.h"

#include "Korbel/Schema.h"
#include "Korbel/ValueText.h"
#include "common/Identifiers.h"
#include "common/Money.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateTimeEdit>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTextEdit>

namespace Korbel {

namespace {

bool isNumericKind(ColumnKind kind)
{
    return kind == ColumnKind::Key || kind == ColumnKind::Id || kind == ColumnKind::Integer
        || kind == ColumnKind::Bool;
}

// The key a combo item stands for: its item data, or its text when it has none.
QVariant comboKey(const QComboBox *combo, int index, ColumnKind kind)
{
    const QVariant data = combo->itemData(index);
    if (data.isValid()) {
        QVariant stored;
        if (StorageFromValue(kind, data, &stored))
            return stored;
    }
    QVariant stored;
    StorageFromText(kind, combo->itemText(index), &stored);
    return stored;
}

bool truthOf(ColumnKind kind, const QVariant &stored)
{
    if (stored.isNull() || !stored.isValid())
        return false;
    if (kind == ColumnKind::Text) {
        const QString t = stored.toString().trimmed().toUpper();
        return t == u"TRUE" || t == u"YES" || Verdanta::ParseId(t) != 0;
    }
    return stored.toLongLong() != 0;
}

// What an edit box shows for a stored value. Money keeps its four stored
// decimals only when they are needed, so a fee reads "80.00" rather than
// "80.0000"; reading the text back gives the same stored value either way.
QString editText(ColumnKind kind, const QVariant &stored)
{
    if (kind == ColumnKind::Money && stored.isValid() && !stored.isNull() && stored.toLongLong() % 100 == 0) {
        QLocale plain;
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(Verdanta::MoneyFromUnits(stored.toLongLong()), 'f', 2);
    }
    return TextFromStorage(kind, stored);
}

} // namespace

bool WidgetBinder::CanBind(const QObject *control) const
{
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QTextEdit *>(control)
        || qobject_cast<const QPlainTextEdit *>(control) || qobject_cast<const QComboBox *>(control)
        || qobject_cast<const QAbstractButton *>(control) || qobject_cast<const QDateTimeEdit *>(control)
        || qobject_cast<const QSpinBox *>(control) || qobject_cast<const QDoubleSpinBox *>(control);
}

void WidgetBinder::Show(QObject *control, ColumnKind kind, const QVariant &stored) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(editText(kind, stored));
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(control)) {
        plain->setPlainText(TextFromStorage(kind, stored));
    } else if (auto *rich = qobject_cast<QTextEdit *>(control)) {
        rich->setPlainText(TextFromStorage(kind, stored));
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        int found = -1;
        if (!stored.isNull() && stored.isValid()) {
            for (int i = 0; i < combo->count() && found < 0; ++i) {
                const QVariant key = comboKey(combo, i, kind);
                if (isNumericKind(kind) ? key.toLongLong() == stored.toLongLong() : key == stored)
                    found = i;
            }
        }
        combo->setCurrentIndex(found);
        if (found < 0 && combo->isEditable())
            combo->setEditText(TextFromStorage(kind, stored));
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        button->setChecked(truthOf(kind, stored));
    } else if (auto *dateEdit = qobject_cast<QDateTimeEdit *>(control)) {
        const QVariant value = ValueFromStorage(kind, stored);
        // A control without a value shows its minimum, which the special value
        // text (when set) turns into a blank.
        if (!value.isValid())
            dateEdit->setDateTime(dateEdit->minimumDateTime());
        else if (value.typeId() == QMetaType::QDate)
            dateEdit->setDate(value.toDate());
        else
            dateEdit->setDateTime(value.toDateTime());
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        spin->setValue(stored.isNull() ? spin->minimum() : static_cast<int>(stored.toLongLong()));
    } else if (auto *dspin = qobject_cast<QDoubleSpinBox *>(control)) {
        const QVariant value = ValueFromStorage(kind, stored);
        dspin->setValue(value.isValid() ? value.toDouble() : dspin->minimum());
    }
}

bool WidgetBinder::Take(const QObject *control, ColumnKind kind, QVariant *stored) const
{
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return StorageFromText(kind, edit->text(), stored);
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(control))
        return StorageFromText(kind, plain->toPlainText(), stored);
    if (auto *rich = qobject_cast<const QTextEdit *>(control))
        return StorageFromText(kind, rich->toPlainText(), stored);
    if (auto *combo = qobject_cast<const QComboBox *>(control)) {
        const int index = combo->currentIndex();
        if (index >= 0 && combo->currentText() == combo->itemText(index)) {
            *stored = comboKey(combo, index, kind);
            return true;
        }
        if (combo->isEditable())
            return StorageFromText(kind, combo->currentText(), stored);
        *stored = QVariant();
        return true;
    }
    if (auto *button = qobject_cast<const QAbstractButton *>(control)) {
        const bool on = button->isChecked();
        if (kind == ColumnKind::Text)
            *stored = on ? QStringLiteral("1") : QStringLiteral("0");
        else
            *stored = qint64(on ? 1 : 0);
        return true;
    }
    if (auto *dateEdit = qobject_cast<const QDateTimeEdit *>(control)) {
        if (!dateEdit->specialValueText().isEmpty() && dateEdit->dateTime() == dateEdit->minimumDateTime()) {
            *stored = QVariant();
            return true;
        }
        if (kind == ColumnKind::Date)
            return StorageFromValue(kind, dateEdit->date(), stored);
        return StorageFromValue(kind, dateEdit->dateTime(), stored);
    }
    if (auto *spin = qobject_cast<const QSpinBox *>(control))
        return StorageFromValue(kind, qint64(spin->value()), stored);
    if (auto *dspin = qobject_cast<const QDoubleSpinBox *>(control))
        return StorageFromValue(kind, dspin->value(), stored);
    return false;
}

const WidgetBinder &WidgetBinder::Instance()
{
    static const WidgetBinder binder;
    return binder;
}

} // namespace Korbel
