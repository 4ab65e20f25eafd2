#include "server/TestServer.h"

#include "server/TestServerIds.h"

#include "component/ControlObject.h"
#include "component/Values.h"
#include "component/WindowlessObject.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

#include <thread>

using namespace Component;
using namespace TestServer;

namespace {

class TestControl;

class TestControlWindow : public QWidget
{
public:
    TestControlWindow(TestControl *control, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    TestControl *m_pControl;
};

class TestControl : public ControlObject
{
public:
    TestControl()
        : ControlObject(kIidControl)
    {
        AddValue(kText, ValueType::String, QString());
        AddValue(kShort, ValueType::Int16, QVariant::fromValue<qint16>(0));
        AddValue(kLong, ValueType::Int32, 0);
        AddValue(kUnsigned, ValueType::UInt32, 0u);
        AddValue(kBig, ValueType::Int64, qint64(0));
        AddValue(kRatio, ValueType::Double, 0.0);
        AddValue(kWhen, ValueType::Date, 0.0);
        AddValue(kColour, ValueType::Color, Rgb(255, 255, 255));
        AddValue(kFlag, ValueType::Bool, false);
        m_dispatch.AddProperty(kWindowsMade, ValueType::Int32, [this] { return QVariant(m_windowsMade); });
        m_dispatch.AddMethod(
            kAdd, { ValueType::Int32, ValueType::Int32 },
            [](QVariantList &args, QVariant &result) {
                result = args[0].toInt() + args[1].toInt();
                return S_OK;
            },
            ValueType::Int32);
        m_dispatch.AddMethod(kDivide,
            { ValueType::Int32, ValueType::Int32, Parameter::Out(ValueType::Int32),
                Parameter::Out(ValueType::Int32) },
            [](QVariantList &args, QVariant &) {
                const int divisor = args[1].toInt();
                if (divisor == 0)
                    return E_INVALIDARG;
                args[2] = args[0].toInt() / divisor;
                args[3] = args[0].toInt() % divisor;
                return S_OK;
            });
        m_dispatch.AddMethod(
            kFire, { ValueType::Int32, ValueType::Any }, [this](QVariantList &args, QVariant &) {
                Fire(args[0].toInt(), { args[1] });
                return S_OK;
            });
        m_dispatch.AddMethod(kFireFromWorker, { ValueType::Int32 }, [this](QVariantList &args, QVariant &) {
            const DISPID event = args[0].toInt();
            std::thread worker([this, event] { Fire(event, { QStringLiteral("worker") }); });
            worker.join();
            return S_OK;
        });
    }

    QColor Colour() const { return ColorFromOle(m_values.value(kColour).toUInt()); }
    void Clicked(const QPoint &position) { Fire(kEventClicked, { position.x(), position.y() }); }

protected:
    QWidget *CreateWidget(QWidget *parent) override
    {
        ++m_windowsMade;
        return new TestControlWindow(this, parent);
    }

private:
    void AddValue(DISPID member, ValueType type, const QVariant &initial)
    {
        m_values.insert(member, initial);
        m_dispatch.AddProperty(
            member, type, [this, member] { return m_values.value(member); },
            [this, member](const QVariant &value) {
                m_values.insert(member, value);
                if (ControlWindow())
                    ControlWindow()->update();
                return S_OK;
            });
    }

    QHash<DISPID, QVariant> m_values;
    int m_windowsMade = 0;
};

TestControlWindow::TestControlWindow(TestControl *control, QWidget *parent)
    : QWidget(parent)
    , m_pControl(control)
{ }

void TestControlWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_pControl->Colour());
}

void TestControlWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pControl->Clicked(event->position().toPoint());
}

class TestView : public WindowlessObject
{
public:
    TestView()
    {
        SetExtentPixels(m_size);
        m_dispatch.AddProperty(
            kViewColour, ValueType::Color, [this] { return QVariant(m_colour); },
            [this](const QVariant &value) {
                m_colour = value.toUInt();
                NotifyViewChange();
                return S_OK;
            });
        AddSide(kViewWidth, &QSize::rwidth);
        AddSide(kViewHeight, &QSize::rheight);
        m_dispatch.AddProperty(kViewLastTarget, ValueType::Int32, [this] { return QVariant(m_lastTarget); });
    }

protected:
    void DrawContent(QPainter &painter, const QRect &bounds, DrawTarget target) override
    {
        m_lastTarget = target == DrawTarget::Paper ? 1 : 0;
        painter.fillRect(bounds, ColorFromOle(m_colour));
    }

private:
    void AddSide(DISPID member, int &(QSize::*side)())
    {
        m_dispatch.AddProperty(
            member, ValueType::Int32, [this, side] { return QVariant((m_size.*side)()); },
            [this, side](const QVariant &value) {
                (m_size.*side)() = value.toInt();
                SetExtentPixels(m_size);
                NotifyViewChange();
                return S_OK;
            });
    }

    OLE_COLOR m_colour = Rgb(0, 0, 255);
    QSize m_size { 20, 10 };
    int m_lastTarget = -1;
};

class TestCounter : public DispatchObject<>
{
public:
    TestCounter()
    {
        m_dispatch.AddProperty(
            kCounterValue, ValueType::Int32, [this] { return QVariant(m_value); },
            [this](const QVariant &value) {
                m_value = value.toInt();
                return S_OK;
            });
    }

private:
    int m_value = 0;
};

ClassInfo Describe(
    const QUuid &classId, const QString &name, const QString &threadingModel, bool control, bool insertable)
{
    ClassInfo info;
    info.classId = classId;
    info.progId = QStringLiteral("ComponentTest.%1.1").arg(name);
    info.versionIndependentProgId = QStringLiteral("ComponentTest.%1").arg(name);
    info.helpString = name + QStringLiteral(" Class");
    info.threadingModel = threadingModel;
    info.version = QStringLiteral("1.0");
    info.control = control;
    info.insertable = insertable;
    info.miscStatus = control ? 131473 : 0;
    return info;
}

ServerInfo Registration()
{
    ServerInfo info;
    info.name = QStringLiteral("ComponentTest");
    info.typeLibrary = { kLibId, QStringLiteral("ComponentTestLib"), QStringLiteral("1.0"),
        QStringLiteral("ComponentTest 1.0 Type Library") };
    ClassInfo control
        = Describe(kClsidControl, QStringLiteral("Control"), QStringLiteral("Apartment"), true, false);
    control.interfaceId = kIidControl;
    control.interfaceName = QStringLiteral("_DControl");
    control.interfaceHelpString = QStringLiteral("Dispatch interface for Control");
    info.classes = { control, Describe(kClsidView, QStringLiteral("View"), QString(), true, true),
        Describe(kClsidCounter, QStringLiteral("Counter"), QStringLiteral("Both"), false, false) };
    return info;
}

} // namespace

TestServerPlugin::TestServerPlugin()
    : Server(Registration())
{
    AddClass<TestControl>(kClsidControl);
    AddClass<TestView>(kClsidView);
    AddClass<TestCounter>(kClsidCounter);
}
