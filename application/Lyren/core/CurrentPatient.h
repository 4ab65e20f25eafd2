#pragma once

#include <QtCore/QtGlobal>

struct LogicCommand;
class LogicContext;
class QString;

// The current-patient logic as the hub runs it: moves between patients, new,
// delete, find, save and the linked account. Every operation returns 1 on
// success and 0 otherwise.
class ICurrentPatient
{
public:
    virtual ~ICurrentPatient() = default;

    // Given the context (data source, MAIN and ADDRESS, services) at the hub's
    // open sequence, released at its close sequence.
    virtual bool Open(LogicContext &context) = 0;
    virtual void Close() = 0;

    virtual int First() = 0;
    virtual int Previous() = 0;
    virtual int Next() = 0;
    virtual int Last() = 0;
    virtual int New() = 0;
    virtual int Delete() = 0;
    virtual int GoTo(const QString &id) = 0;
    virtual int SaveAll() = 0;
    virtual int LoadAll() = 0;
    // The find dialog: 1 and the chosen patient in command.resultId (and its
    // display name) when the person chose one.
    virtual int Find(LogicCommand &command) = 0;
    // The linked-account search of the Patient page.
    virtual int LinkedAccount(LogicCommand &command) = 0;
    // The current patient's ID, 0 when there is none.
    virtual qint64 CurrentId() const = 0;
    // Another seat committed something: the current patient is shown again
    // when it changed there (what was typed here is kept, as a save would).
    // 1 when it was shown again.
    virtual int ShowOutsideChanges() { return 0; }
};
