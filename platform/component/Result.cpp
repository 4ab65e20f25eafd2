#include "component/Result.h"

namespace Component {

QString ResultName(HRESULT hr)
{
    struct Name
    {
        HRESULT code;
        const char *text;
    };
    static constexpr Name kNames[] = {
        { S_OK, "S_OK" },
        { S_FALSE, "S_FALSE" },
        { E_NOTIMPL, "E_NOTIMPL" },
        { E_NOINTERFACE, "E_NOINTERFACE" },
        { E_POINTER, "E_POINTER" },
        { E_FAIL, "E_FAIL" },
        { E_UNEXPECTED, "E_UNEXPECTED" },
        { E_OUTOFMEMORY, "E_OUTOFMEMORY" },
        { E_INVALIDARG, "E_INVALIDARG" },
        { DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND" },
        { DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH" },
        { DISP_E_OVERFLOW, "DISP_E_OVERFLOW" },
        { DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT" },
        { CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE" },
        { REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG" },
        { CONNECT_E_NOCONNECTION, "CONNECT_E_NOCONNECTION" },
        { CO_E_CLASSSTRING, "CO_E_CLASSSTRING" },
        { CO_E_ERRORINDLL, "CO_E_ERRORINDLL" },
        { RPC_E_WRONG_THREAD, "RPC_E_WRONG_THREAD" },
    };
    for (const Name &name : kNames) {
        if (name.code == hr)
            return QString::fromLatin1(name.text);
    }
    return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'));
}

} // namespace Component
