#pragma once

#include "component/Unknown.h"

#include <QtCore/QRect>
#include <QtCore/QSize>

class QPainter;

namespace Component {

// Where a windowless object is being drawn: paper (a QPrinter, a PDF writer,
// a print preview) or anything else.
enum class DrawTarget {
    Screen,
    Paper,
};

// Paper for printers and PDF writers, Screen otherwise (and for null).
COMPONENT_EXPORT DrawTarget DrawTargetOf(const QPainter *painter);

// What a container offers a windowless object it embeds. Not reference
// counted: the container clears it (SetSite(nullptr)) before it goes away.
class IObjectSite
{
public:
    // The object's picture changed and it may want another extent: the
    // container asks GetExtent() again, lays the object out and repaints it.
    virtual void OnViewChange() = 0;

protected:
    virtual ~IObjectSite() = default;
};

// A windowless object: it has no widget and draws itself where and when its
// container says, on screen or on paper.
class IViewObject : public IUnknown
{
public:
    static constexpr QUuid IID { 0x0000010D, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 };

    // Draws into 'bounds' (in the painter's coordinates). E_POINTER without a
    // painter, or with one that is not painting on a device; nothing is drawn.
    virtual HRESULT Draw(QPainter *painter, const QRect &bounds, DrawTarget target) = 0;
    // The size the object wants, in HIMETRIC (see Values.h for conversions).
    virtual HRESULT GetExtent(QSize *himetric) = 0;
    virtual HRESULT SetSite(IObjectSite *site) = 0;
};

} // namespace Component
