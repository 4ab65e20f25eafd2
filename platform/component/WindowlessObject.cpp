#include "component/WindowlessObject.h"

#include "component/Values.h"

#include <QtGui/QPainter>

#include <algorithm>

namespace Component {

namespace {

// The largest side in pixels whose HIMETRIC value still fits an int.
constexpr int kMaxPixels = 80'000'000;

} // namespace

WindowlessObject::WindowlessObject(const QUuid &dualInterfaceId)
    : DispatchObject(dualInterfaceId)
{ }

WindowlessObject::~WindowlessObject() = default;

HRESULT WindowlessObject::Draw(QPainter *painter, const QRect &bounds, DrawTarget target)
{
    if (!painter || !painter->isActive())
        return E_POINTER;
    painter->save();
    DrawContent(*painter, bounds, target);
    painter->restore();
    return S_OK;
}

HRESULT WindowlessObject::GetExtent(QSize *himetric)
{
    if (!himetric)
        return E_POINTER;
    *himetric = m_extent;
    return S_OK;
}

HRESULT WindowlessObject::SetSite(IObjectSite *site)
{
    m_pSite = site;
    return S_OK;
}

void WindowlessObject::SetExtentPixels(const QSize &pixels)
{
    const QSize bounded(
        std::clamp(pixels.width(), 0, kMaxPixels), std::clamp(pixels.height(), 0, kMaxPixels));
    m_extent = PixelsToHimetric(bounded);
}

QSize WindowlessObject::ExtentPixels() const
{
    return HimetricToPixels(m_extent);
}

void WindowlessObject::NotifyViewChange()
{
    if (m_pSite)
        m_pSite->OnViewChange();
}

} // namespace Component
