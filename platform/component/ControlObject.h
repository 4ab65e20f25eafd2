#pragma once

#include "componentcontrols_export.h"

#include "component/Control.h"
#include "component/DispatchObject.h"
#include "component/Events.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>

namespace Component {

// The window of an object with one (a control, a property page): made by
// 'create' on the first request, moved into 'parent' on later ones. While the
// window exists it holds one reference to 'object'.
COMPONENTCONTROLS_EXPORT HRESULT ProvideObjectWindow(IUnknown *object, QPointer<QWidget> &window,
    QWidget *parent, QWidget **result, const std::function<QWidget *(QWidget *)> &create);

// Base of a control: dispatch members in m_dispatch, events fired with Fire(),
// and a window made by CreateWidget() the first time the container asks. The
// window may keep a plain pointer to its control (the control outlives it).
class COMPONENTCONTROLS_EXPORT ControlObject : public DispatchObject<IControl, IConnectionPoint>
{
public:
    HRESULT CreateControlWindow(QWidget *parent, QWidget **window) override;
    QWidget *ControlWindow() override { return m_pWindow.data(); }

    HRESULT Advise(IDispatch *sink, quint32 *cookie) override { return m_events.Advise(sink, cookie); }
    HRESULT Unadvise(quint32 cookie) override { return m_events.Unadvise(cookie); }

protected:
    explicit ControlObject(const QUuid &dualInterfaceId = {});
    ~ControlObject() override;

    // Makes the control's window as a child of 'parent'.
    virtual QWidget *CreateWidget(QWidget *parent) = 0;

    // Calls the container's sinks; from a worker thread the call is queued to
    // the user-interface thread.
    void Fire(DISPID event, const QVariantList &arguments = {}) { m_events.Fire(event, arguments); }

private:
    EventSource m_events;
    QPointer<QWidget> m_pWindow;
};

} // namespace Component
