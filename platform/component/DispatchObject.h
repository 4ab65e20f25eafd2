#pragma once

#include "component/DispatchTable.h"
#include "component/Object.h"

namespace Component {

// A server object driven through IDispatch, its members listed in m_dispatch
// (fill it in the constructor). 'dualInterfaceId', when given, is the id of the
// object's own interface; QueryInterface answers it with the IDispatch.
template<class... Extra> class DispatchObject : public Object<IDispatch, Extra...>
{
public:
    HRESULT Invoke(DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) override
    {
        return m_dispatch.Invoke(member, kind, arguments, result);
    }

protected:
    explicit DispatchObject(const QUuid &dualInterfaceId = {})
        : m_dualInterfaceId(dualInterfaceId)
    { }

    void *QueryOther(const QUuid &iid) override
    {
        if (!m_dualInterfaceId.isNull() && iid == m_dualInterfaceId)
            return static_cast<IDispatch *>(this);
        return nullptr;
    }

    DispatchTable m_dispatch;

private:
    QUuid m_dualInterfaceId;
};

} // namespace Component
