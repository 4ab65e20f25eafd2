#pragma once

struct LogicCommand;
class QString;

namespace Korbel {
class IDataSource;
class ITable;
} // namespace Korbel

class CLogicMain;

// The current-patient logic as the hub runs it: moves between patients, new,
// delete, find, save and the linked account. Every operation returns 1 on
// success and 0 otherwise.
class ICurrentPatient
{
public:
    virtual ~ICurrentPatient() = default;

    // Given the data source and the open MAIN table at the hub's open sequence,
    // released at its close sequence.
    virtual bool Open(Korbel::IDataSource *source, Korbel::ITable *main, CLogicMain *hub) = 0;
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
};
