#include "messaging/MessageWindow.h"

#include "messaging/MessageWindowBackend.h"

#include <QtCore/QCoreApplication>

namespace Messaging {

bool MessageWindowBackend::AnswerRestore(MessageWindow &window)
{
    return window.AnswerRestore();
}

MessageWindow::MessageWindow(QObject *parent)
    : QObject(parent)
    , m_backend(CreateMessageWindowBackend(*this))
{ }

MessageWindow::~MessageWindow()
{
    Unregister();
}

bool MessageWindow::Register(const QString &windowClass)
{
    Unregister();
    m_lastError.clear();
    if (windowClass.isEmpty()) {
        m_lastError = QCoreApplication::translate("Messaging", "No window class was given.");
        return false;
    }
    if (!m_backend->Register(windowClass, &m_lastError))
        return false;
    m_windowClass = windowClass;
    return true;
}

void MessageWindow::Unregister()
{
    if (m_backend->IsRegistered())
        m_backend->Unregister();
    m_windowClass.clear();
}

bool MessageWindow::IsRegistered() const
{
    return m_backend->IsRegistered();
}

bool MessageWindow::AnswerRestore()
{
    emit restoreRequested();
    return m_restoreHandler ? m_restoreHandler() : true;
}

} // namespace Messaging
