#pragma once

#include <QtCore/QString>

#include <memory>

namespace Messaging {

class MessageWindow;

// What a platform provides for MessageWindow: making the window known under its
// class and delivering what arrives to it. Not part of the library's interface.
class MessageWindowBackend
{
public:
    virtual ~MessageWindowBackend() = default;
    // False with the reason in 'error'.
    virtual bool Register(const QString &windowClass, QString *error) = 0;
    virtual void Unregister() = 0;
    virtual bool IsRegistered() const = 0;

protected:
    // For the platform's side: asks the window for its restore answer.
    static bool AnswerRestore(MessageWindow &window);
};

// The platform's backend for the window (defined by the platform's source file).
std::unique_ptr<MessageWindowBackend> CreateMessageWindowBackend(MessageWindow &window);

} // namespace Messaging
