#pragma once

// Typed reads and writes of the current row's fields, for the finance
// tables: money stays exact (Verdanta::Money), dates stay dates.

#include "core/RecordAccess.h"

#include "common/Money.h"

#include <QtCore/QVariant>

namespace Charges {

inline QVariant Value(Korbel::IField *field)
{
    return field ? field->GetValue() : QVariant();
}

inline Verdanta::Money MoneyValue(Korbel::IField *field)
{
    const QVariant value = Value(field);
    return value.isValid() ? Verdanta::Money::FromDouble(value.toDouble()) : Verdanta::Money();
}

inline bool SetValue(Korbel::ITable *table, const QString &name, const QVariant &value)
{
    Records::FieldPtr field = Records::OpenField(table, name);
    return field && field->SetValue(value);
}

} // namespace Charges
