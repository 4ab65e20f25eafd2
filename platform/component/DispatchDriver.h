#pragma once

#include "component/Dispatch.h"

namespace Component {

// The container's handle on an object's IDispatch, so that a property put, a
// property get or a method call is one line:
//
//     m_proxy.Put(kDispConsultationDate, ToOleDate(date));
//     const int quantity = m_proxy.Get(kDispQuantity).toInt();
//     m_proxy.Call(kDispSelectTimestamp, { date, true });
//
// Holds one reference; copies share the object. Calls on an empty driver
// return E_POINTER.
class COMPONENT_EXPORT DispatchDriver
{
public:
    DispatchDriver() = default;
    explicit DispatchDriver(ComPtr<IDispatch> dispatch);
    // Asks 'object' for its IDispatch (empty when it has none).
    explicit DispatchDriver(IUnknown *object);

    HRESULT Attach(IUnknown *object);
    void Release() { m_pDispatch.Reset(); }
    bool IsValid() const { return static_cast<bool>(m_pDispatch); }
    IDispatch *Dispatch() const { return m_pDispatch.Get(); }

    HRESULT Put(DISPID member, const QVariant &value) const;
    // The property's value; an invalid QVariant when the get fails.
    QVariant Get(DISPID member, HRESULT *result = nullptr) const;
    HRESULT Call(DISPID member, const QVariantList &arguments = {}, QVariant *result = nullptr) const;
    // For methods with out parameters, which are written back into 'arguments'.
    HRESULT Invoke(DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) const;

private:
    ComPtr<IDispatch> m_pDispatch;
};

} // namespace Component
