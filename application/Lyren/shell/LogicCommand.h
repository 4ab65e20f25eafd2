#pragma once

#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtCore/QString>

class CLogicMain;
class QWidget;

// The record every window hands to the hub: a command code, up to three
// arguments (a screen point, an identifier, a sub-command or a control), one
// text argument, and the results of the find dialog. Before a patient operation
// the hub sets 'hub', through which every logic object of the patient is
// reachable.
struct LogicCommand
{
    int code = 0;

    QPoint point; // a point on the screen (list clicks, pop-up menus)
    qint64 id = 0; // an identifier
    int subCommand = 0; // a sub-command (media transport, clipboard command, ...)
    QPointer<QWidget> control; // the control that sent the command (button, link)
    QString text; // a file path or a search text

    // Filled by the find dialog: the chosen patient's ID and display name.
    QString resultId;
    QString resultText1;
    QString resultText2;

    CLogicMain *hub = nullptr;
};

// Every logic object of the hub handles the commands routed to it.
class ILogicObject
{
public:
    virtual ~ILogicObject() = default;
    virtual int OnCommand(LogicCommand &command) = 0;
};

// Each workspace page: attached to the hub once, refreshed after every load.
class IPage
{
public:
    virtual ~IPage() = default;
    virtual void Attach(CLogicMain *hub) = 0;
    virtual void Refresh() = 0;
};
