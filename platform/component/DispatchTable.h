#pragma once

#include "component/Dispatch.h"

#include <QtCore/QHash>

#include <functional>
#include <initializer_list>
#include <vector>

namespace Component {

// The declared type of a dispatch value; arguments are converted to it before a
// member sees them, as a typed interface would.
enum class ValueType {
    Any, // passed through untouched
    Bool, // bool; integers convert (non-zero is true)
    Int16,
    Int32,
    UInt32,
    Int64, // integers, bools (true is -1) and doubles (rounded to the nearest) convert
    Double,
    Date, // double (OLE automation date); integers convert
    Color, // quint32 0x00BBGGRR
    String, // QString only
};

// Converts 'value' in place to the type. DISP_E_TYPEMISMATCH for a value of
// another kind (text for a number, a fraction for an integer), DISP_E_OVERFLOW
// for a number outside the type's range.
COMPONENT_EXPORT HRESULT CoerceValue(QVariant &value, ValueType type);

struct Parameter
{
    ValueType type = ValueType::Any;
    bool out = false;

    Parameter(ValueType valueType) // NOLINT(google-explicit-constructor): reads as a type list
        : type(valueType)
    { }
    static Parameter Out(ValueType valueType)
    {
        Parameter parameter(valueType);
        parameter.out = true;
        return parameter;
    }
};

// Implements IDispatch::Invoke for a server object from a table of members:
//
//     m_dispatch.AddProperty(1, ValueType::String, [this] { return QVariant(m_name); },
//                            [this](const QVariant &v) { m_name = v.toString(); return S_OK; });
//     m_dispatch.AddMethod(3, { ValueType::Date, ValueType::Bool },
//                          [this](QVariantList &args, QVariant &) { return Select(args); });
//
// The table checks argument counts and converts arguments and results to their
// declared types, so members only see well-typed values. Nothing thrown by a
// member leaves Invoke (it becomes E_FAIL or E_OUTOFMEMORY).
class COMPONENT_EXPORT DispatchTable
{
public:
    using Getter = std::function<QVariant()>;
    using Setter = std::function<HRESULT(const QVariant &value)>;
    // Arguments arrive converted; out parameters are written into 'arguments'.
    using Method = std::function<HRESULT(QVariantList &arguments, QVariant &result)>;

    // A property; without a setter it is read-only (puts give DISP_E_MEMBERNOTFOUND).
    void AddProperty(DISPID member, ValueType type, Getter getter, Setter setter = {});
    void AddMethod(DISPID member, std::initializer_list<Parameter> parameters, Method method,
        ValueType resultType = ValueType::Any);

    bool Contains(DISPID member) const { return m_members.contains(member); }

    HRESULT Invoke(DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) const noexcept;

private:
    struct Member
    {
        ValueType type = ValueType::Any;
        Getter getter;
        Setter setter;
        std::vector<Parameter> parameters;
        Method method;
    };
    HRESULT InvokeMember(
        const Member &member, InvokeKind kind, QVariantList &arguments, QVariant *result) const;

    QHash<DISPID, Member> m_members;
};

} // namespace Component
