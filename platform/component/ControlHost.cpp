#include "component/ControlHost.h"

#include "component/Control.h"
#include "component/Registry.h"

#include <QtWidgets/QVBoxLayout>

namespace Component {

ControlHost::ControlHost(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

ControlHost::~ControlHost()
{
    DestroyControl();
}

HRESULT ControlHost::CreateControl(const QUuid &classId)
{
    DestroyControl();
    HRESULT hr = S_OK;
    const ComPtr<IControl> control = Component::CreateInstance<IControl>(classId, &hr);
    if (Failed(hr))
        return hr;
    QWidget *window = nullptr;
    hr = control->CreateControlWindow(this, &window);
    if (Failed(hr))
        return hr;
    m_pObject = control.As<IUnknown>();
    m_dispatch.Attach(m_pObject.Get());
    m_pWindow = window;
    layout()->addWidget(window);
    window->show();
    return S_OK;
}

HRESULT ControlHost::CreateControl(const QString &progId)
{
    QUuid classId;
    const HRESULT hr = ClassIdFromProgId(progId, &classId);
    if (Failed(hr)) {
        DestroyControl();
        return hr;
    }
    return CreateControl(classId);
}

void ControlHost::DestroyControl()
{
    m_dispatch.Release();
    m_pObject.Reset();
    // The window's own reference goes with it. Deferred, because this may run
    // inside one of the window's event handlers (an event the control fired).
    if (m_pWindow) {
        m_pWindow->hide();
        m_pWindow->deleteLater();
        m_pWindow.clear();
    }
}

} // namespace Component
