#pragma once

#include "component/Unknown.h"

#include <QtCore/QVariant>
#include <QtCore/QVariantList>

namespace Component {

using DISPID = qint32;

enum class InvokeKind {
    Method,
    PropertyGet,
    PropertyPut,
};

// Late-bound calls by member number (DISPID), the one way a container drives a
// component and a component calls back a container's event sink.
//
// Values are plain QVariants: QString for text, qint16 / qint32 / quint32 /
// qint64 as the member's type says, double, bool (true and false of a
// VARIANT_BOOL), dates as OLE automation dates (double, see common/OleDate.h),
// colours as 0x00BBGGRR (quint32, see Values.h).
//
// Invoke():
// - Method: 'arguments' in declaration order (not reversed); members with out
//   parameters write them back into 'arguments'. 'result' receives the return
//   value and may be null when the caller does not want it.
// - PropertyGet: no arguments; the value goes to 'result' (null gives E_POINTER).
// - PropertyPut: exactly one argument, the new value.
// Returns S_OK or the member's own status code (a member may report S_FALSE,
// E_FAIL or any code as its result), or a dispatch error:
// DISP_E_MEMBERNOTFOUND (unknown DISPID, or a kind the member does not have),
// DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW.
class IDispatch : public IUnknown
{
public:
    static constexpr QUuid IID { 0x00020400, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 };

    virtual HRESULT Invoke(DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) = 0;
};

} // namespace Component
