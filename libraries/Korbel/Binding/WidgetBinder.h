#pragma once

#include "korbelbinding_export.h"

#include "Korbel/DataSource.h"

namespace Korbel {

// Binds the common widgets to fields: line edits, plain and rich text edits,
// combo boxes (the item whose data equals the key, or its text), check boxes
// and other buttons, spin boxes, date and date-time edits.
class KORBELBINDING_EXPORT WidgetBinder final : public IControlBinder
{
public:
    bool CanBind(const QObject *control) const override;
    void Show(QObject *control, ColumnKind kind, const QVariant &stored) const override;
    bool Take(const QObject *control, ColumnKind kind, QVariant *stored) const override;

    // The one binder the program's windows share; it holds no state.
    static const WidgetBinder &Instance();
};

} // namespace Korbel
