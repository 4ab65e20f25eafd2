#include "TimeGrid/GridControl.h"

using namespace Component;

namespace TimeGrid {

GridControl::GridControl(const QUuid &dualInterfaceId, DISPID firstVisibleEvent, HRESULT failure)
    : ControlObject(dualInterfaceId)
    , m_firstVisibleEvent(firstVisibleEvent)
    , m_failure(failure)
{ }

GridControl::~GridControl() = default;

void GridControl::OnFirstVisibleChangedByUser()
{
    Fire(m_firstVisibleEvent, { OleDateOfDay(m_view.axis.firstVisible) });
}

GridWidget *GridControl::Window()
{
    // Every window of a grid control is a grid window (see CreateWidget).
    return static_cast<GridWidget *>(ControlWindow());
}

void GridControl::Refresh()
{
    if (GridWidget *window = Window()) {
        window->Relayout();
        window->UpdateGrid();
    }
}

void GridControl::ScrollTo(const QDate &day, bool notify)
{
    if (day == m_view.axis.firstVisible)
        return;
    m_view.axis.firstVisible = day;
    Refresh();
    if (notify)
        OnFirstVisibleChangedByUser();
}

void GridControl::AddZoomProperty(DISPID member)
{
    m_dispatch.AddProperty(
        member, ValueType::Int16,
        [this] { return QVariant::fromValue(static_cast<qint16>(m_view.axis.zoom)); },
        [this](const QVariant &value) {
            m_view.axis.zoom = ClampZoom(value.value<qint16>());
            Refresh();
            return S_OK;
        });
}

void GridControl::AddExtentMethod(DISPID member, QRect GridLayout::*area)
{
    m_dispatch.AddMethod(member, { Parameter::Out(ValueType::Int32), Parameter::Out(ValueType::Int32) },
        [this, area](QVariantList &a, QVariant &) {
            if (GridWidget *window = Window())
                window->Relayout();
            const QRect &rect = m_view.layout.*area;
            a[0] = rect.width();
            a[1] = rect.height();
            return S_OK;
        });
}

void GridControl::AddFirstVisibleMethod(DISPID member)
{
    m_dispatch.AddMethod(member, { ValueType::Date }, [this](QVariantList &a, QVariant &) {
        const QDate day = DayOfOleDate(a[0].toDouble());
        if (!day.isValid())
            return m_failure;
        ScrollTo(day, false);
        return S_OK;
    });
}

void GridControl::AddRedrawMethod(DISPID member)
{
    m_dispatch.AddMethod(member, {}, [this](QVariantList &, QVariant &) {
        if (GridWidget *window = Window())
            window->UpdateGrid();
        return S_OK;
    });
}

} // namespace TimeGrid
