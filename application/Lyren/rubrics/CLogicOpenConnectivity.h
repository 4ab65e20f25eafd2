#pragma once

#include "rubrics/MetaWord.h"

#include "core/LogicCommand.h"

#include "Sylvan/Document.h"

#include <QtCore/QString>

#include <memory>

class CLogicMetaWords;
class LogicContext;

namespace Messaging {
class IWindowMessenger;
}

// Hands possible rubrics to the outside repertory program (code 64): writes
// the request "VerdantaReq.xml" into the folder the program names in the
// shared configuration file, puts the keywords on the clipboard, and tells
// the program's main window (found by its class) with message 0x503, or
// every window when it is not found.
class CLogicOpenConnectivity final : public ILogicObject
{
public:
    // The request message: "read the request file".
    static constexpr quint32 RequestMessage = 0x503;

    // messenger: the window messages to use; none makes the platform's when
    // the first request is sent.
    explicit CLogicOpenConnectivity(
        LogicContext &context, std::unique_ptr<Messaging::IWindowMessenger> messenger = {});
    ~CLogicOpenConnectivity() override;
    CLogicOpenConnectivity(const CLogicOpenConnectivity &) = delete;
    CLogicOpenConnectivity &operator=(const CLogicOpenConnectivity &) = delete;

    // Replaces the window messages (a person's or another program's side in
    // tests).
    void SetMessenger(std::unique_ptr<Messaging::IWindowMessenger> messenger);
    // The lines the requests are made of (not owned; none: nothing is sent).
    void SetMetaWords(const CLogicMetaWords *metaWords) { m_pLogicMetaWords = metaWords; }

    // Code 64: id is the line's position among the lines, subCommand the flag.
    int OnCommand(LogicCommand &command) override;
    // Sends one line (flag 1) or every line of its consultation (flag 0).
    // 1 when the request reached the program: broadcast, or posted and the
    // window restored.
    int OnBroadcastData(const MetaWord &line, int flag);

    // Where the request is written: the configured folder with a separator,
    // then "VerdantaReq.xml"; the program's own folder when none is set.
    QString RequestFilePath() const;
    // The request for a line (flag 1) or its consultation (flag 0) and the
    // text for the clipboard; null when no request is made.
    Sylvan::DocumentPtr BuildRequest(const MetaWord &line, int flag, QString *clipboardText) const;

private:
    void AppendPatient(Sylvan::IElement *root) const;
    Messaging::IWindowMessenger &Messenger();

    LogicContext &m_context;
    const CLogicMetaWords *m_pLogicMetaWords = nullptr;
    std::unique_ptr<Messaging::IWindowMessenger> m_pMessenger;
};
