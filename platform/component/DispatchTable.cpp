#include "component/DispatchTable.h"

#include <cmath>
#include <limits>
#include <new>

namespace Component {

namespace {

enum class Kind { Signed, Unsigned, Floating, Boolean, Text, Other };

Kind KindOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return Kind::Signed;
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return Kind::Unsigned;
    case QMetaType::Float:
    case QMetaType::Double:
        return Kind::Floating;
    case QMetaType::Bool:
        return Kind::Boolean;
    case QMetaType::QString:
        return Kind::Text;
    default:
        return Kind::Other;
    }
}

// A whole number read from any integer, bool or floating value, kept either as
// signed or (for large unsigned values) unsigned.
struct Whole
{
    bool isUnsigned = false;
    qint64 signedValue = 0;
    quint64 unsignedValue = 0;
};

HRESULT ReadWhole(const QVariant &value, Whole *whole)
{
    switch (KindOf(value)) {
    case Kind::Signed:
        whole->signedValue = value.toLongLong();
        return S_OK;
    case Kind::Unsigned:
        whole->unsignedValue = value.toULongLong();
        if (whole->unsignedValue <= static_cast<quint64>(std::numeric_limits<qint64>::max()))
            whole->signedValue = static_cast<qint64>(whole->unsignedValue);
        else
            whole->isUnsigned = true;
        return S_OK;
    case Kind::Boolean:
        whole->signedValue = value.toBool() ? -1 : 0;
        return S_OK;
    case Kind::Floating: {
        const double rounded = std::nearbyint(value.toDouble());
        // 2^63 is exactly representable; everything from there on is too large.
        if (!std::isfinite(rounded) || rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0)
            return DISP_E_OVERFLOW;
        whole->signedValue = static_cast<qint64>(rounded);
        return S_OK;
    }
    case Kind::Text:
    case Kind::Other:
        break;
    }
    return DISP_E_TYPEMISMATCH;
}

template<class T> HRESULT ToInteger(QVariant &value)
{
    Whole whole;
    const HRESULT hr = ReadWhole(value, &whole);
    if (Failed(hr))
        return hr;
    if (whole.isUnsigned) {
        if (whole.unsignedValue > static_cast<quint64>(std::numeric_limits<T>::max()))
            return DISP_E_OVERFLOW;
        value = QVariant::fromValue(static_cast<T>(whole.unsignedValue));
        return S_OK;
    }
    if constexpr (std::is_unsigned_v<T>) {
        if (whole.signedValue < 0 || static_cast<quint64>(whole.signedValue) > std::numeric_limits<T>::max())
            return DISP_E_OVERFLOW;
    } else {
        if (whole.signedValue < std::numeric_limits<T>::min()
            || whole.signedValue > std::numeric_limits<T>::max())
            return DISP_E_OVERFLOW;
    }
    value = QVariant::fromValue(static_cast<T>(whole.signedValue));
    return S_OK;
}

} // namespace

HRESULT CoerceValue(QVariant &value, ValueType type)
{
    const Kind kind = KindOf(value);
    switch (type) {
    case ValueType::Any:
        return S_OK;
    case ValueType::Bool:
        if (kind == Kind::Boolean)
            return S_OK;
        if (kind == Kind::Signed || kind == Kind::Unsigned || kind == Kind::Floating) {
            value = QVariant(value.toDouble() != 0.0);
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    case ValueType::Int16:
        return ToInteger<qint16>(value);
    case ValueType::Int32:
        return ToInteger<qint32>(value);
    case ValueType::UInt32:
    case ValueType::Color:
        return ToInteger<quint32>(value);
    case ValueType::Int64:
        return ToInteger<qint64>(value);
    case ValueType::Double:
    case ValueType::Date:
        if (kind == Kind::Signed || kind == Kind::Unsigned || kind == Kind::Floating) {
            value = QVariant(value.toDouble());
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    case ValueType::String:
        return kind == Kind::Text ? S_OK : DISP_E_TYPEMISMATCH;
    }
    return DISP_E_TYPEMISMATCH;
}

void DispatchTable::AddProperty(DISPID member, ValueType type, Getter getter, Setter setter)
{
    Member entry;
    entry.type = type;
    entry.getter = std::move(getter);
    entry.setter = std::move(setter);
    m_members.insert(member, std::move(entry));
}

void DispatchTable::AddMethod(
    DISPID member, std::initializer_list<Parameter> parameters, Method method, ValueType resultType)
{
    Member entry;
    entry.type = resultType;
    entry.parameters.assign(parameters.begin(), parameters.end());
    entry.method = std::move(method);
    m_members.insert(member, std::move(entry));
}

HRESULT DispatchTable::Invoke(
    DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) const noexcept
{
    try {
        const auto found = m_members.constFind(member);
        if (found == m_members.constEnd())
            return DISP_E_MEMBERNOTFOUND;
        return InvokeMember(found.value(), kind, arguments, result);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT DispatchTable::InvokeMember(
    const Member &member, InvokeKind kind, QVariantList &arguments, QVariant *result) const
{
    switch (kind) {
    case InvokeKind::PropertyGet: {
        if (!member.getter)
            return DISP_E_MEMBERNOTFOUND;
        if (!arguments.isEmpty())
            return DISP_E_BADPARAMCOUNT;
        if (!result)
            return E_POINTER;
        QVariant value = member.getter();
        // A getter handing out the wrong kind of value is the server's fault.
        if (Failed(CoerceValue(value, member.type)))
            return E_FAIL;
        *result = std::move(value);
        return S_OK;
    }
    case InvokeKind::PropertyPut: {
        if (!member.setter)
            return DISP_E_MEMBERNOTFOUND;
        if (arguments.size() != 1)
            return DISP_E_BADPARAMCOUNT;
        QVariant value = arguments.first();
        const HRESULT hr = CoerceValue(value, member.type);
        if (Failed(hr))
            return hr;
        return member.setter(value);
    }
    case InvokeKind::Method: {
        if (!member.method)
            return DISP_E_MEMBERNOTFOUND;
        if (static_cast<size_t>(arguments.size()) != member.parameters.size())
            return DISP_E_BADPARAMCOUNT;
        QVariantList converted = arguments;
        for (qsizetype i = 0; i < converted.size(); ++i) {
            const Parameter &parameter = member.parameters[static_cast<size_t>(i)];
            if (parameter.out) {
                converted[i] = QVariant();
                continue;
            }
            const HRESULT hr = CoerceValue(converted[i], parameter.type);
            if (Failed(hr))
                return hr;
        }
        QVariant value;
        const HRESULT hr = member.method(converted, value);
        for (qsizetype i = 0; i < converted.size(); ++i) {
            const Parameter &parameter = member.parameters[static_cast<size_t>(i)];
            if (parameter.out && converted[i].isValid()
                && Succeeded(CoerceValue(converted[i], parameter.type)))
                arguments[i] = converted[i];
        }
        if (result) {
            if (value.isValid() && Failed(CoerceValue(value, member.type)))
                return E_FAIL;
            *result = std::move(value);
        }
        return hr;
    }
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace Component
