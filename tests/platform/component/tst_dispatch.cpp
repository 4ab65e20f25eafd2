// Late-bound calls: the member table's checks and conversions, and the
// container's driver on a real object of the test server.
#include "TestHelpers.h"

#include "component/DispatchDriver.h"
#include "component/DispatchTable.h"
#include "component/Values.h"

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace Component;

TEST(Dispatch, ValuesAreConvertedToTheDeclaredType)
{
    struct Case
    {
        QVariant in;
        ValueType type;
        HRESULT hr;
        QVariant out;
    };
    const Case cases[] = {
        { 7, ValueType::Int16, S_OK, QVariant::fromValue<qint16>(7) },
        { 40000, ValueType::Int16, DISP_E_OVERFLOW, {} },
        { -1, ValueType::UInt32, DISP_E_OVERFLOW, {} },
        { 4294967295u, ValueType::Color, S_OK, QVariant::fromValue<quint32>(4294967295u) },
        { std::numeric_limits<qulonglong>::max(), ValueType::Int64, DISP_E_OVERFLOW, {} },
        { qint64(1) << 40, ValueType::Int32, DISP_E_OVERFLOW, {} },
        { 2.5, ValueType::Int32, S_OK, 2 }, // to the nearest even, as the component model rounds
        { 3.5, ValueType::Int32, S_OK, 4 },
        { std::nan(""), ValueType::Int32, DISP_E_OVERFLOW, {} },
        { true, ValueType::Int32, S_OK, -1 },
        { QStringLiteral("12"), ValueType::Int32, DISP_E_TYPEMISMATCH, {} },
        { QVariant(), ValueType::Int32, DISP_E_TYPEMISMATCH, {} },
        { 5, ValueType::Bool, S_OK, true },
        { 0.0, ValueType::Bool, S_OK, false },
        { QStringLiteral("true"), ValueType::Bool, DISP_E_TYPEMISMATCH, {} },
        { 3, ValueType::Date, S_OK, 3.0 },
        { true, ValueType::Double, DISP_E_TYPEMISMATCH, {} },
        { QStringLiteral("x"), ValueType::String, S_OK, QStringLiteral("x") },
        { 5, ValueType::String, DISP_E_TYPEMISMATCH, {} },
        { QStringLiteral("any"), ValueType::Any, S_OK, QStringLiteral("any") },
    };
    for (const Case &c : cases) {
        QVariant value = c.in;
        SCOPED_TRACE(testing::PrintToString(c.in));
        EXPECT_HR(c.hr, CoerceValue(value, c.type));
        if (c.hr == S_OK) {
            EXPECT_EQ(c.out.typeId(), value.typeId());
            EXPECT_EQ(c.out, value);
        }
    }
}

TEST(Dispatch, TableRefusesMalformedCallsWithoutRunningTheMember)
{
    DispatchTable table;
    int calls = 0;
    table.AddProperty(1, ValueType::Int16, [] { return QVariant(5); });
    table.AddProperty(
        2, ValueType::String, [] { return QVariant(QStringLiteral("s")); },
        [&calls](const QVariant &) {
            ++calls;
            return S_OK;
        });
    table.AddMethod(3, { ValueType::Int32, ValueType::String }, [&calls](QVariantList &, QVariant &) {
        ++calls;
        return S_OK;
    });
    QVariant result;
    QVariantList none;
    QVariantList one { 1 };
    QVariantList two { 1, 2 };
    QVariantList wrongType { QStringLiteral("1"), QStringLiteral("x") };

    EXPECT_HR(DISP_E_MEMBERNOTFOUND, table.Invoke(99, InvokeKind::Method, none, &result));
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, table.Invoke(1, InvokeKind::PropertyPut, one, nullptr)); // read-only
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, table.Invoke(3, InvokeKind::PropertyGet, none, &result));
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, table.Invoke(1, InvokeKind::Method, none, &result));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, table.Invoke(1, InvokeKind::PropertyGet, one, &result));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, table.Invoke(2, InvokeKind::PropertyPut, two, nullptr));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, table.Invoke(3, InvokeKind::Method, one, nullptr));
    EXPECT_HR(DISP_E_TYPEMISMATCH, table.Invoke(2, InvokeKind::PropertyPut, one, nullptr));
    EXPECT_HR(DISP_E_TYPEMISMATCH, table.Invoke(3, InvokeKind::Method, wrongType, nullptr));
    EXPECT_HR(E_POINTER, table.Invoke(1, InvokeKind::PropertyGet, none, nullptr));
    EXPECT_EQ(0, calls);

    // The getter's value comes out in the declared type.
    EXPECT_HR(S_OK, table.Invoke(1, InvokeKind::PropertyGet, none, &result));
    EXPECT_EQ(QMetaType::Short, result.typeId());
}

TEST(Dispatch, MembersReportTheirOwnStatusAndNeverThrow)
{
    DispatchTable table;
    table.AddMethod(1, {}, [](QVariantList &, QVariant &result) {
        result = 42;
        return S_FALSE;
    });
    table.AddMethod(2, {}, [](QVariantList &, QVariant &) -> HRESULT { throw std::runtime_error("broken"); });
    table.AddMethod(3, {}, [](QVariantList &, QVariant &) -> HRESULT { throw std::bad_alloc(); });
    QVariantList none;
    QVariant result;
    EXPECT_HR(S_FALSE, table.Invoke(1, InvokeKind::Method, none, &result));
    EXPECT_EQ(42, result.toInt());
    EXPECT_HR(S_FALSE, table.Invoke(1, InvokeKind::Method, none, nullptr));
    EXPECT_HR(E_FAIL, table.Invoke(2, InvokeKind::Method, none, nullptr));
    EXPECT_HR(E_OUTOFMEMORY, table.Invoke(3, InvokeKind::Method, none, nullptr));
}

TEST(Dispatch, DriverPutsGetsAndCallsOnAServerObject)
{
    HRESULT hr = E_FAIL;
    const DispatchDriver control(CreateInstance<IDispatch>(TestServer::kClsidControl, &hr));
    ASSERT_HR(S_OK, hr);
    ASSERT_TRUE(control.IsValid());

    EXPECT_HR(S_OK, control.Put(TestServer::kText, QStringLiteral("Arnica")));
    EXPECT_EQ(QStringLiteral("Arnica"), control.Get(TestServer::kText).toString());
    EXPECT_HR(S_OK, control.Put(TestServer::kShort, 17)); // an int is taken as a short
    EXPECT_EQ(QMetaType::Short, control.Get(TestServer::kShort).typeId());
    EXPECT_HR(DISP_E_OVERFLOW, control.Put(TestServer::kShort, 70000));
    EXPECT_EQ(17, control.Get(TestServer::kShort).toInt());
    EXPECT_HR(S_OK, control.Put(TestServer::kBig, qint64(1) << 40));
    EXPECT_EQ(qint64(1) << 40, control.Get(TestServer::kBig).toLongLong());
    EXPECT_HR(S_OK, control.Put(TestServer::kColour, Rgb(75, 250, 150)));
    EXPECT_EQ(0x0096FA4Bu, control.Get(TestServer::kColour).toUInt());
    EXPECT_HR(S_OK, control.Put(TestServer::kFlag, true));
    EXPECT_TRUE(control.Get(TestServer::kFlag).toBool());

    HRESULT getResult = S_OK;
    EXPECT_FALSE(control.Get(999, &getResult).isValid());
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, getResult);

    QVariant sum;
    EXPECT_HR(S_OK, control.Call(TestServer::kAdd, { 2, 3 }, &sum));
    EXPECT_EQ(5, sum.toInt());

    // Out parameters come back in the argument list; in parameters stay as given.
    QVariantList arguments { 17.0, 5, QVariant(), QVariant() };
    EXPECT_HR(S_OK, control.Invoke(TestServer::kDivide, InvokeKind::Method, arguments, nullptr));
    EXPECT_EQ(QVariantList({ 17.0, 5, 3, 2 }), arguments);
    QVariantList byZero { 1, 0, QVariant(), QVariant() };
    EXPECT_HR(E_INVALIDARG, control.Invoke(TestServer::kDivide, InvokeKind::Method, byZero, nullptr));

    const DispatchDriver empty;
    EXPECT_HR(E_POINTER, empty.Put(TestServer::kText, QStringLiteral("x")));
    EXPECT_HR(E_POINTER, empty.Call(TestServer::kAdd, { 1, 2 }));
}

TEST(Dispatch, ValueHelpersConvertLikeTheirWindowsNamesakes)
{
    EXPECT_EQ(3, MulDiv(5, 1, 2)); // 2.5 rounds away from zero
    EXPECT_EQ(-3, MulDiv(-5, 1, 2));
    EXPECT_EQ(-3, MulDiv(5, 1, -2));
    EXPECT_EQ(2, MulDiv(7, 1, 3));
    EXPECT_EQ(-1, MulDiv(1, 1, 0));
    EXPECT_EQ(-1, MulDiv(std::numeric_limits<int>::max(), 4, 2));
    EXPECT_EQ(13, MulDiv(10, 96, 72)); // a 10 point font on a 96 dpi screen

    for (int pixels = 0; pixels <= 4000; ++pixels) {
        const QSize size(pixels, pixels / 3);
        ASSERT_EQ(size, HimetricToPixels(PixelsToHimetric(size))) << pixels;
    }
    EXPECT_EQ(QSize(2540, 254), PixelsToHimetric(QSize(96, 96), 96, 960));

    EXPECT_EQ(0x0096FA4Bu, Rgb(75, 250, 150));
    EXPECT_EQ(QColor(75, 250, 150), ColorFromOle(0x8096FA4Bu)); // the high byte is ignored
    EXPECT_EQ(Rgb(220, 220, 220), OleFromColor(QColor(220, 220, 220)));
}
