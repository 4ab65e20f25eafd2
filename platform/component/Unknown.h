#pragma once

#include "component/Result.h"

#include <QtCore/QUuid>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace Component {

// The root of every component interface: reference counting and the question
// "do you offer this interface?". Each interface carries its id as IID.
//
// Rules, as in every reference-counted object model:
// - An object lives while it has references; the last Release() deletes it.
// - QueryInterface() adds a reference to what it hands out; on failure it sets
//   *object to null and returns E_NOINTERFACE.
// - Asking any interface of one object for IUnknown gives the same pointer (the
//   object's identity).
class IUnknown
{
public:
    static constexpr QUuid IID { 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 };

    virtual HRESULT QueryInterface(const QUuid &iid, void **object) = 0;
    virtual quint32 AddRef() = 0;
    virtual quint32 Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Owns one reference to an interface; the container side's way of holding
// objects. Copies add references, destruction releases.
template<class T> class ComPtr
{
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept { }
    // Takes a reference of its own.
    explicit ComPtr(T *pointer) noexcept
        : m_p(pointer)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr &other) noexcept
        : ComPtr(other.m_p)
    { }
    ComPtr(ComPtr &&other) noexcept
        : m_p(std::exchange(other.m_p, nullptr))
    { }
    template<class U>
    requires std::is_convertible_v<U *, T *> ComPtr(const ComPtr<U> &other)
    noexcept
        : ComPtr(other.Get())
    { }
    ~ComPtr() { Reset(); }

    ComPtr &operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    // Takes over a reference the caller already owns (no AddRef).
    static ComPtr Adopt(T *pointer) noexcept
    {
        ComPtr result;
        result.m_p = pointer;
        return result;
    }

    T *Get() const noexcept { return m_p; }
    T *operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // Releases what is held and gives the address to receive a new reference,
    // for calls such as QueryInterface(iid, ptr.PutVoid()).
    T **Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void **PutVoid() noexcept { return reinterpret_cast<void **>(Put()); }

    void Reset() noexcept
    {
        if (T *pointer = std::exchange(m_p, nullptr))
            pointer->Release();
    }
    // Hands the reference to the caller.
    [[nodiscard]] T *Detach() noexcept { return std::exchange(m_p, nullptr); }

    // Another interface of the same object; empty when it is not offered.
    template<class U> ComPtr<U> As(HRESULT *result = nullptr) const
    {
        ComPtr<U> other;
        const HRESULT hr = m_p ? m_p->QueryInterface(U::IID, other.PutVoid()) : E_POINTER;
        if (result)
            *result = hr;
        if (Failed(hr))
            other.Reset();
        return other;
    }

    friend bool operator==(const ComPtr &a, const ComPtr &b) noexcept { return a.m_p == b.m_p; }

private:
    T *m_p = nullptr;
};

// Whether two interface pointers belong to the same object.
inline bool IsSameObject(IUnknown *a, IUnknown *b)
{
    if (!a || !b)
        return a == b;
    ComPtr<IUnknown> identityA;
    ComPtr<IUnknown> identityB;
    a->QueryInterface(IUnknown::IID, identityA.PutVoid());
    b->QueryInterface(IUnknown::IID, identityB.PutVoid());
    return identityA && identityA == identityB;
}

} // namespace Component
