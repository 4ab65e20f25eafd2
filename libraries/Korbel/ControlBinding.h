#pragma once

// Internal: showing a stored value in a bound control and taking it back.

#include "Korbel/Schema.h"

#include <QtCore/QVariant>

class QWidget;

namespace Korbel {

bool IsBindableControl(const QWidget *control);
void ShowInControl(QWidget *control, ColumnKind kind, const QVariant &stored);
// False when the control's content cannot be read as the kind (a typed date
// that is not a date); the stored value is then left alone.
bool TakeFromControl(const QWidget *control, ColumnKind kind, QVariant *stored);

} // namespace Korbel
