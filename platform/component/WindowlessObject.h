#pragma once

#include "component/DispatchObject.h"
#include "component/ViewObject.h"

namespace Component {

// Base of a windowless object: dispatch members in m_dispatch, an extent kept
// in HIMETRIC, and the site to tell when the picture changes. Subclasses draw in
// DrawContent(), which is only called with an active painter.
class COMPONENT_EXPORT WindowlessObject : public DispatchObject<IViewObject>
{
public:
    HRESULT Draw(QPainter *painter, const QRect &bounds, DrawTarget target) override;
    HRESULT GetExtent(QSize *himetric) override;
    HRESULT SetSite(IObjectSite *site) override;

protected:
    explicit WindowlessObject(const QUuid &dualInterfaceId = {});
    ~WindowlessObject() override;

    virtual void DrawContent(QPainter &painter, const QRect &bounds, DrawTarget target) = 0;

    // Sets the extent from a size in pixels (negative sides count as 0).
    void SetExtentPixels(const QSize &pixels);
    QSize ExtentPixels() const;
    // Tells the site that the picture (and maybe the extent) changed.
    void NotifyViewChange();

private:
    IObjectSite *m_pSite = nullptr;
    QSize m_extent; // HIMETRIC
};

} // namespace Component
