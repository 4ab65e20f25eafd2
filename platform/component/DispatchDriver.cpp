#include "component/DispatchDriver.h"

namespace Component {

DispatchDriver::DispatchDriver(ComPtr<IDispatch> dispatch)
    : m_pDispatch(std::move(dispatch))
{ }

DispatchDriver::DispatchDriver(IUnknown *object)
{
    Attach(object);
}

HRESULT DispatchDriver::Attach(IUnknown *object)
{
    m_pDispatch.Reset();
    if (!object)
        return E_POINTER;
    return object->QueryInterface(IDispatch::IID, m_pDispatch.PutVoid());
}

HRESULT DispatchDriver::Put(DISPID member, const QVariant &value) const
{
    QVariantList arguments { value };
    return Invoke(member, InvokeKind::PropertyPut, arguments, nullptr);
}

QVariant DispatchDriver::Get(DISPID member, HRESULT *result) const
{
    QVariantList arguments;
    QVariant value;
    const HRESULT hr = Invoke(member, InvokeKind::PropertyGet, arguments, &value);
    if (result)
        *result = hr;
    return Succeeded(hr) ? value : QVariant();
}

HRESULT DispatchDriver::Call(DISPID member, const QVariantList &arguments, QVariant *result) const
{
    QVariantList copy = arguments;
    return Invoke(member, InvokeKind::Method, copy, result);
}

HRESULT DispatchDriver::Invoke(
    DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) const
{
    if (!m_pDispatch)
        return E_POINTER;
    // Held for the call, in case the object's events make the container drop it.
    const ComPtr<IDispatch> keep = m_pDispatch;
    return keep->Invoke(member, kind, arguments, result);
}

} // namespace Component
