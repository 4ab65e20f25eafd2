#pragma once

// Helpers of the grid controls' tests: a control made by class id in a shown
// window, the events it fires in order, out parameters, pixels.
#include "support/TestSupport.h"

#include "component/ControlHost.h"
#include "component/Events.h"
#include "component/PropertyPage.h"
#include "component/Registry.h"
#include "component/Server.h"
#include "component/Values.h"

#include "common/OleDate.h"

#include <QtCore/QJsonObject>
#include <QtCore/QPluginLoader>
#include <QtTest/QTest>
#include <QtWidgets/QLabel>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#define EXPECT_HR(expected, actual) EXPECT_EQ(Component::ResultName(expected), Component::ResultName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(Component::ResultName(expected), Component::ResultName(actual))

inline void PrintTo(const QVariant &value, std::ostream *os)
{
    *os << value.typeName() << "(" << value.toString().toStdString() << ")";
}

namespace GridTest {

inline double Ole(const QDate &day)
{
    return Verdanta::ToOleDate(day);
}

// One event as the container received it.
struct Fired
{
    Component::DISPID event;
    QVariantList arguments;
    bool operator==(const Fired &other) const = default;
};

inline void PrintTo(const Fired &fired, std::ostream *os)
{
    *os << "event " << fired.event << " (";
    for (const QVariant &argument : fired.arguments)
        *os << argument.toString().toStdString() << "; ";
    *os << ")";
}

// A control made by class id through the component layer, in a shown window
// of the given size, with every listed event recorded in order.
class HostedControl
{
public:
    HostedControl(const QUuid &classId, const QSize &size, std::initializer_list<Component::DISPID> events)
        : m_window(std::make_unique<QWidget>())
        , m_pHost(new Component::ControlHost(m_window.get()))
    {
        m_window->resize(size);
        m_pHost->resize(size);
        created = m_pHost->CreateControl(classId);
        if (Component::Failed(created))
            return;
        for (const Component::DISPID event : events)
            m_sink.On(event, [this, event](const QVariantList &arguments) {
                fired.append({ event, arguments });
                if (onEvent)
                    onEvent(event, arguments);
            });
        m_sink.Connect(m_pHost->Object().Get());
        m_window->show();
        QCoreApplication::processEvents();
    }

    const Component::DispatchDriver &Dispatch() const { return m_pHost->Dispatch(); }
    QWidget *Window() const { return m_pHost->ControlWindow(); }
    Component::ControlHost *Host() const { return m_pHost; }

    // A method's result; the test fails when the call does not return S_OK.
    QVariant Result(Component::DISPID member, const QVariantList &arguments = {}) const
    {
        QVariant result;
        EXPECT_HR(Component::S_OK, Dispatch().Call(member, arguments, &result)) << "member " << member;
        return result;
    }

    // A method's two out longs.
    QSize Extent(Component::DISPID member) const
    {
        QVariantList arguments { QVariant(), QVariant() };
        EXPECT_HR(
            Component::S_OK, Dispatch().Invoke(member, Component::InvokeKind::Method, arguments, nullptr));
        return QSize(arguments[0].toInt(), arguments[1].toInt());
    }

    QColor Pixel(const QPoint &point) const { return Window()->grab().toImage().pixelColor(point); }

    QLabel *ToolTip() const { return Window()->findChild<QLabel *>(QStringLiteral("TimeGridToolTip")); }

    Component::HRESULT created = Component::E_FAIL;
    QList<Fired> fired;
    std::function<void(Component::DISPID, const QVariantList &)> onEvent;

private:
    std::unique_ptr<QWidget> m_window;
    Component::ControlHost *m_pHost;
    Component::EventSink m_sink;
};

// A control's property page made by class id, given the objects to edit, with
// its window shown.
class PropertyPage
{
public:
    PropertyPage(const QUuid &pageId, const QList<Component::IUnknown *> &objects)
        : m_frame(std::make_unique<QWidget>())
    {
        page = Component::CreateInstance<Component::IPropertyPage>(pageId);
        if (!page)
            return;
        EXPECT_HR(Component::S_OK, page->SetObjects(objects));
        auto control = page.As<Component::IControl>();
        if (control && Component::Succeeded(control->CreateControlWindow(m_frame.get(), &window)))
            m_frame->show();
    }

    template<class T> T *Field(const char *name) const
    {
        T *field = window ? window->findChild<T *>(QLatin1String(name)) : nullptr;
        EXPECT_NE(nullptr, field) << name;
        return field;
    }

    Component::ComPtr<Component::IPropertyPage> page;
    QWidget *window = nullptr;

private:
    std::unique_ptr<QWidget> m_frame;
};

// A control's registration: what its plug-in metadata lists is what the
// server reports, the control and its "General" property page are found by
// their ProgIDs with their help strings, and the page opens with that title.
inline void ExpectControlRegistered(const QString &name, const QUuid &controlId, const QUuid &pageId)
{
    QString path;
    Component::ServerInfo listed;
    ASSERT_TRUE(Component::Registry::Instance().FindServer(controlId, &path, &listed));
    QPluginLoader loader(path);
    auto *server = qobject_cast<Component::IServer *>(loader.instance());
    ASSERT_NE(nullptr, server);
    Component::ServerInfo reported;
    ASSERT_HR(Component::S_OK, server->RegisterServer(&reported));
    EXPECT_TRUE(reported == listed) << "metadata and registration differ";

    const QString prefix = name.toUpper() + QLatin1Char('.') + name;
    QUuid classId;
    ASSERT_HR(Component::S_OK, Component::ClassIdFromProgId(prefix + QStringLiteral("Ctrl.1"), &classId));
    EXPECT_EQ(controlId, classId);
    ASSERT_HR(Component::S_OK, Component::ClassIdFromProgId(prefix + QStringLiteral("PropPage.1"), &classId));
    EXPECT_EQ(pageId, classId);
    Component::ClassInfo control;
    Component::ClassInfo page;
    ASSERT_TRUE(Component::Registry::Instance().FindClass(controlId, &control));
    ASSERT_TRUE(Component::Registry::Instance().FindClass(pageId, &page));
    EXPECT_EQ(name + QStringLiteral(" Control"), control.helpString);
    EXPECT_EQ(QStringLiteral("_D") + name, control.interfaceName);
    EXPECT_TRUE(control.control);
    EXPECT_EQ(name + QStringLiteral(" Property Page"), page.helpString);

    HostedControl pageHost(pageId, QSize(250, 62), {});
    ASSERT_HR(Component::S_OK, pageHost.created);
    EXPECT_EQ(QStringLiteral("General"), pageHost.Window()->windowTitle());
}

} // namespace GridTest
