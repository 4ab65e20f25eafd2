#pragma once

// Several seats (programs on other computers, or other processes) working on
// one database at once: row versions that tell a save whether another seat
// changed a row since it was read, row locks and counter updates that stay
// exact when seats write at the same moment, and a watcher that tells when
// another seat committed something.

#include "korbel_export.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>
#include <utility>
#include <vector>

class QTimer;

namespace Korbel {

class IDataSource;
class ITable;

// The column that counts the saves of a row (MAIN has it).
KORBEL_EXPORT QString RowVersionField();

enum class RowState {
    Unchanged, // the row still has the version read
    Changed, // another seat saved it since
    Gone, // another seat deleted it
    Failed, // the database could not be asked
};

// Compares the row's version with the one read when it was loaded. With
// lock, inside a transaction, the row is also locked against other seats'
// writes until the transaction ends (on SQLite the transaction itself keeps
// other writers out).
enum class RowLock { None, UntilCommit };
KORBEL_EXPORT RowState CheckRowVersion(IDataSource *source, const QString &table, qint64 id,
    qint64 loadedVersion, RowLock lock = RowLock::None, qint64 *currentVersion = nullptr,
    QString *error = nullptr);
// Counts a save of the row: adds one to its version when it still is
// 'expected'. False when another seat changed or deleted the row meanwhile.
KORBEL_EXPORT bool BumpRowVersion(
    IDataSource *source, const QString &table, qint64 id, qint64 expected, QString *error = nullptr);
// Inside a transaction: locks a row so that other seats doing the same wait
// until this transaction ends (a no-op on SQLite, whose write transactions
// already run one at a time). False when the row does not exist.
KORBEL_EXPORT bool LockRow(IDataSource *source, const QString &table, qint64 id, QString *error = nullptr);

// A change of a counter column, applied by the database to the value it holds
// at that moment (never a value read earlier), so that concurrent changes
// add up. With a floor, the result never goes below it.
struct CountChange
{
    QString field;
    qint64 delta = 0;
    bool hasFloor = false;
    qint64 floor = 0;
};
// False when the row does not exist or the database refused the change.
KORBEL_EXPORT bool AddToCounts(IDataSource *source, const QString &table, qint64 id,
    const std::vector<CountChange> &changes, QString *error = nullptr);

// Rows written (added, changed, deleted) through the data source since it was
// opened; a difference tells whether a piece of work wrote anything.
KORBEL_EXPORT quint64 RowsWritten(IDataSource *source);

// The values a person can have changed in a table's current row: the fields of
// a pending edit or new row, and what each writable bound control holds (a
// control wins), as field name and text form, in column order.
KORBEL_EXPORT std::vector<std::pair<QString, QString>> TypedValues(ITable *table);

// Tells when another seat committed something. On a database server the other
// seats' saves announce their rows (table and key) the moment they commit; on
// SQLite the database file is looked at on a timer. The same look happens at
// every move of a table, so that nothing cached hides another seat's rows.
class KORBEL_EXPORT ChangeWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the data source's open database (until it closes); intervalMs
    // is the time between two looks.
    explicit ChangeWatcher(IDataSource *source, int intervalMs = 1000, QObject *parent = nullptr);
    ~ChangeWatcher() override;

    // Looks now (also what the timer does).
    void Poll();

signals:
    // table and id name the row when the other seat announced it; an empty
    // table means that something changed, not known what.
    void Changed(const QString &table, qint64 id);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Korbel
