#pragma once

#include "TimeGrid/GridWidget.h"

#include "component/ControlObject.h"

namespace TimeGrid {

// Base of the two grid controls: the view state that outlasts the window, and
// the members both offer under their own numbers (zoom, extents, first visible
// day, redraw).
class GridControl : public Component::ControlObject
{
public:
    ViewState &View() { return m_view; }
    // The user scrolled the window to another first visible day: the
    // container hears it, so that it can scroll its other grids alike.
    void OnFirstVisibleChangedByUser();

protected:
    // 'failure' is the code members answer when they fail.
    GridControl(
        const QUuid &dualInterfaceId, Component::DISPID firstVisibleEvent, Component::HRESULT failure);
    ~GridControl() override;

    GridWidget *Window();
    // Lays the window out again (the extents follow) and repaints it.
    void Refresh();
    // Makes the day the first visible one; 'notify' tells the container.
    void ScrollTo(const QDate &day, bool notify);

    // Zoom: a short property, clamped to 1..20 on put.
    void AddZoomProperty(Component::DISPID member);
    // (out cx, out cy): the size of an area of the layout.
    void AddExtentMethod(Component::DISPID member, QRect GridLayout::*area);
    // (date): scrolls to that first visible day; fails for an invalid date.
    void AddFirstVisibleMethod(Component::DISPID member);
    // Repaints the whole window.
    void AddRedrawMethod(Component::DISPID member);

    ViewState m_view;

private:
    Component::DISPID m_firstVisibleEvent;
    Component::HRESULT m_failure;
};

} // namespace TimeGrid
