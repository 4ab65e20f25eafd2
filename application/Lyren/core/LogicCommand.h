#pragma once

#include <QtCore/QObject>
#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtCore/QString>

#include <functional>

class LogicContext;
class QWidget;

// The record every window hands to the hub: a command code, up to three
// arguments (a screen point, an identifier, a sub-command or a control), one
// text argument, and the results of the find dialog. The hub sets 'context',
// through which the logic objects of the patient are reachable.
struct LogicCommand
{
    int code = 0;

    QPoint point; // a point on the screen (list clicks, pop-up menus)
    qint64 id = 0; // an identifier
    int subCommand = 0; // a sub-command (media transport, clipboard command, ...)
    QPointer<QObject> control; // the control that sent the command (button, link)
    // The window that dialogs opened by the command belong to; windows fill it
    // in, logic only hands it on to prompts and presenters.
    QWidget *window = nullptr;
    QString text; // a file path or a search text

    // Filled by the find dialog: the chosen patient's ID and display name.
    QString resultId;
    QString resultText1;
    QString resultText2;

    LogicContext *context = nullptr;
};

// Every logic object that owns command codes handles the commands routed to it.
class ILogicObject
{
public:
    virtual ~ILogicObject() = default;
    virtual int OnCommand(LogicCommand &command) = 0;
};

// Receives a command and returns its result, as the hub's command handler does.
using CommandSink = std::function<int(LogicCommand &)>;

// Whatever receives a command and returns its result as the hub does: the
// hub itself, or a test standing in for it.
class ICommandSink
{
public:
    virtual int OnCommand(LogicCommand &command) = 0;

protected:
    ~ICommandSink() = default;
};
