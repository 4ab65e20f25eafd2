#pragma once

#include "component/Unknown.h"

#include <atomic>
#include <tuple>

namespace Component {

// The reference count and QueryInterface of an object implementing the given
// interfaces; a server's classes derive from it and implement the interfaces'
// own members:
//
//     class Counter : public Component::Object<Component::IDispatch> { ... };
//
// An object starts with no reference: the first ComPtr or QueryInterface takes
// it, and the last Release() deletes the object. Extra interface ids that map to
// one of the implemented interfaces (a dual interface that is IDispatch under its
// own id) are answered by QueryOther().
template<class... Interfaces> class Object : public Interfaces...
{
    static_assert(sizeof...(Interfaces) > 0, "an object implements at least one interface");
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    Object() = default;
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    HRESULT QueryInterface(const QUuid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        void *found = nullptr;
        if (iid == IUnknown::IID)
            found = Identity();
        else
            ((iid == Interfaces::IID ? (found = static_cast<Interfaces *>(this), true) : false) || ...);
        if (!found)
            found = QueryOther(iid);
        if (!found)
            return E_NOINTERFACE;
        AddRef();
        *object = found;
        return S_OK;
    }

    quint32 AddRef() override { return ++m_references; }

    quint32 Release() override
    {
        const quint32 remaining = --m_references;
        if (remaining == 0)
            delete this;
        return remaining;
    }

    // The object's IUnknown (its identity), without adding a reference.
    IUnknown *Identity() { return static_cast<IUnknown *>(static_cast<First *>(this)); }

protected:
    ~Object() override = default;

    // Interface ids beyond the implemented ones; the pointer handed out must be
    // one of this object's interfaces. No reference is added here.
    virtual void *QueryOther(const QUuid &iid)
    {
        Q_UNUSED(iid);
        return nullptr;
    }

private:
    std::atomic<quint32> m_references { 0 };
};

} // namespace Component
