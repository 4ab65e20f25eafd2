#pragma once

#include "component_export.h"

#include <QtCore/QString>

#include <cstdint>

namespace Component {

// Result codes of every call across the component layer. The values are those
// of the Windows component model, so that codes read in logs and peers mean the
// same everywhere. Negative values are failures.
using HRESULT = std::int32_t;

constexpr HRESULT MakeResult(std::uint32_t code)
{
    return static_cast<HRESULT>(code);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeResult(0x80004003);
inline constexpr HRESULT E_FAIL = MakeResult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeResult(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = MakeResult(0x80020005);
inline constexpr HRESULT DISP_E_OVERFLOW = MakeResult(0x8002000A);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeResult(0x8002000E);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeResult(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeResult(0x80040154);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = MakeResult(0x80040200);
inline constexpr HRESULT CO_E_CLASSSTRING = MakeResult(0x800401F3);
inline constexpr HRESULT CO_E_ERRORINDLL = MakeResult(0x800401F9);
inline constexpr HRESULT RPC_E_WRONG_THREAD = MakeResult(0x8001010E);

constexpr bool Succeeded(HRESULT hr)
{
    return hr >= 0;
}

constexpr bool Failed(HRESULT hr)
{
    return hr < 0;
}

// The constant's name ("E_POINTER"), or the code in hexadecimal, for logs and
// test failure messages.
COMPONENT_EXPORT QString ResultName(HRESULT hr);

} // namespace Component
