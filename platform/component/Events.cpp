#include "component/Events.h"

#include "component/Object.h"

#include <QtCore/QHash>
#include <QtCore/QThread>

#include <algorithm>

namespace Component {

EventSource::EventSource()
    : m_pContext(std::make_unique<QObject>())
{ }

EventSource::~EventSource() = default;

HRESULT EventSource::Advise(IDispatch *sink, quint32 *cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = m_nextCookie++;
    m_sinks.emplace_back(*cookie, ComPtr<IDispatch>(sink));
    return S_OK;
}

HRESULT EventSource::Unadvise(quint32 cookie)
{
    const auto found = std::find_if(
        m_sinks.begin(), m_sinks.end(), [cookie](const auto &entry) { return entry.first == cookie; });
    if (found == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    // Released outside the list, in case the sink's destruction calls back.
    ComPtr<IDispatch> released = std::move(found->second);
    m_sinks.erase(found);
    return S_OK;
}

void EventSource::Fire(DISPID event, const QVariantList &arguments)
{
    if (QThread::currentThread() == m_pContext->thread()) {
        FireNow(event, arguments);
        return;
    }
    QMetaObject::invokeMethod(
        m_pContext.get(), [this, event, arguments] { FireNow(event, arguments); }, Qt::QueuedConnection);
}

void EventSource::FireNow(DISPID event, const QVariantList &arguments)
{
    // A handler may connect or disconnect sinks, so fire on a copy of the list.
    const auto sinks = m_sinks;
    for (const auto &entry : sinks) {
        QVariantList copy = arguments;
        entry.second->Invoke(event, InvokeKind::Method, copy, nullptr);
    }
}

class EventSink::Receiver final : public Object<IDispatch>
{
public:
    HRESULT Invoke(DISPID member, InvokeKind kind, QVariantList &arguments, QVariant *result) override
    {
        Q_UNUSED(result);
        if (kind != InvokeKind::Method)
            return DISP_E_MEMBERNOTFOUND;
        const auto found = m_handlers.constFind(member);
        if (found == m_handlers.constEnd())
            return DISP_E_MEMBERNOTFOUND;
        // Copied so that a handler may replace or drop itself while it runs.
        const Handler handler = found.value();
        handler(arguments);
        return S_OK;
    }

    QHash<DISPID, Handler> m_handlers;
};

EventSink::EventSink()
    : m_pReceiver(new Receiver)
{ }

EventSink::~EventSink()
{
    Disconnect();
    // The source may still hold the receiver for a moment; it must not reach us.
    m_pReceiver->m_handlers.clear();
}

void EventSink::On(DISPID event, Handler handler)
{
    m_pReceiver->m_handlers.insert(event, std::move(handler));
}

HRESULT EventSink::Connect(IUnknown *source)
{
    Disconnect();
    if (!source)
        return E_POINTER;
    HRESULT hr = source->QueryInterface(IConnectionPoint::IID, m_pSource.PutVoid());
    if (Failed(hr))
        return hr;
    hr = m_pSource->Advise(m_pReceiver.Get(), &m_cookie);
    if (Failed(hr)) {
        m_pSource.Reset();
        m_cookie = 0;
    }
    return hr;
}

void EventSink::Disconnect()
{
    if (m_pSource && m_cookie != 0)
        m_pSource->Unadvise(m_cookie);
    m_pSource.Reset();
    m_cookie = 0;
}

} // namespace Component
