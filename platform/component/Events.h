#pragma once

#include "component/Dispatch.h"

#include <QtCore/QObject>

#include <functional>
#include <memory>
#include <vector>

namespace Component {

// Offered by objects that fire events. A container hands it an event sink (an
// IDispatch of its own) and gets a cookie to disconnect with; the object then
// calls the sink's Invoke(event DISPID, InvokeKind::Method, arguments, nullptr)
// for every event, on the user-interface thread.
class IConnectionPoint : public IUnknown
{
public:
    static constexpr QUuid IID { 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07 };

    virtual HRESULT Advise(IDispatch *sink, quint32 *cookie) = 0;
    // CONNECT_E_NOCONNECTION for an unknown cookie.
    virtual HRESULT Unadvise(quint32 cookie) = 0;
};

// Server side: the sinks of one object and the firing of its events. Create it
// on the user-interface thread (with the object). Fire() may be called from a
// worker thread; the event is then queued to the user-interface thread and is
// dropped if the source is destroyed first (stop workers before that).
class COMPONENT_EXPORT EventSource
{
public:
    EventSource();
    ~EventSource();
    EventSource(const EventSource &) = delete;
    EventSource &operator=(const EventSource &) = delete;

    HRESULT Advise(IDispatch *sink, quint32 *cookie);
    HRESULT Unadvise(quint32 cookie);
    void Fire(DISPID event, const QVariantList &arguments = {});
    int SinkCount() const { return static_cast<int>(m_sinks.size()); }

private:
    void FireNow(DISPID event, const QVariantList &arguments);

    std::unique_ptr<QObject> m_pContext; // lives on the user-interface thread
    std::vector<std::pair<quint32, ComPtr<IDispatch>>> m_sinks;
    quint32 m_nextCookie = 1;
};

// Container side: receives the events of one object by DISPID.
//
//     m_events.On(1, [this](const QVariantList &args) { OnSequenceNew(args.value(0).toString()); });
//     m_events.Connect(control.Get());
//
// Disconnects when destroyed. Events without a handler are ignored.
class COMPONENT_EXPORT EventSink
{
public:
    using Handler = std::function<void(const QVariantList &arguments)>;

    EventSink();
    ~EventSink();
    EventSink(const EventSink &) = delete;
    EventSink &operator=(const EventSink &) = delete;

    void On(DISPID event, Handler handler);
    // Connects to the object's IConnectionPoint (after disconnecting from a
    // previous one). E_NOINTERFACE when the object fires no events.
    HRESULT Connect(IUnknown *source);
    void Disconnect();
    bool IsConnected() const { return m_cookie != 0; }

private:
    class Receiver;
    ComPtr<Receiver> m_pReceiver;
    ComPtr<IConnectionPoint> m_pSource;
    quint32 m_cookie = 0;
};

} // namespace Component
