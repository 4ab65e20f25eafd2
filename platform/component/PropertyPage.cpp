#include "component/PropertyPage.h"

namespace Component {

PropertyPageObject::PropertyPageObject() = default;

PropertyPageObject::~PropertyPageObject() = default;

HRESULT PropertyPageObject::CreateControlWindow(QWidget *parent, QWidget **window)
{
    return ProvideObjectWindow(
        Identity(), m_pWindow, parent, window, [this](QWidget *owner) { return CreateWidget(owner); });
}

HRESULT PropertyPageObject::SetObjects(const QList<IUnknown *> &objects)
{
    HRESULT hr = S_OK;
    QList<DispatchDriver> drivers;
    for (IUnknown *object : objects) {
        DispatchDriver driver(object);
        if (!driver.IsValid()) {
            hr = object ? E_NOINTERFACE : E_POINTER;
            drivers.clear();
            break;
        }
        drivers.append(driver);
    }
    m_objects = drivers;
    m_dirty = false;
    ObjectsChanged();
    return hr;
}

HRESULT PropertyPageObject::Apply()
{
    HRESULT first = S_OK;
    for (const DispatchDriver &object : std::as_const(m_objects)) {
        const HRESULT hr = ApplyTo(object);
        if (Failed(hr) && Succeeded(first))
            first = hr;
    }
    // What could not be written is still to be applied.
    m_dirty = Failed(first);
    return first;
}

} // namespace Component
