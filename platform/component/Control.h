#pragma once

#include "component/Unknown.h"

class QWidget;

namespace Component {

// Offered by controls, the objects that have a window of their own (a QWidget).
//
// Lifetimes: the control object lives by its references; its window belongs to
// the container's widget tree and holds one reference to the control while it
// exists. So the window can always reach its control, deleting the window (or
// its parent) lets the control go once the container's references are
// released, and a control whose window is gone keeps its state and answers its
// dispatch calls.
class IControl : public IUnknown
{
public:
    static constexpr QUuid IID { 0x7A3F5C21, 0x4D8E, 0x4B6A, 0x9C, 0x1E, 0x52, 0x0B, 0x8F, 0x3D, 0x64, 0xA7 };

    // Creates the control's window as a child of 'parent' (which must not be
    // null) and hands it out in '*window'. A control has one window: asked
    // again, it moves the window it has into 'parent'.
    virtual HRESULT CreateControlWindow(QWidget *parent, QWidget **window) = 0;
    // The window, or null when none was made or it was destroyed.
    virtual QWidget *ControlWindow() = 0;
};

} // namespace Component
