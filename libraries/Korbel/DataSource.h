#pragma once

// Korbel, the data library: every database access of the program goes through
// these interfaces. Tables and fields are reached by name; values cross the
// interfaces as the text forms the program reads and writes (decimal
// identifiers, locale dates and money, "1"/"0" yes/no), while the database
// keeps them typed. Objects made by the library are given back with Release();
// ReleasePtr does that automatically.

#include "Korbel/ServerAddress.h"
#include "korbel_export.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <functional>
#include <memory>

class QObject;

namespace Korbel {

enum class ColumnKind;

// Move kinds of ITable::Move.
enum MoveKind : int {
    MoveFirst = 0,
    MoveNext = 1,
    MovePrevious = 2,
    MoveLast = 3,
    MoveToPosition = 4, // zero-based position given as n
};

// The comparison passed to every Locate call.
constexpr int LocateEqual = 2;

// Comparisons of the query builder. Prefix is the find dialog's pattern: the
// field starts with the text, without regard to ASCII case; the text has no
// wildcard characters (a '*' or '%' typed by the user matches itself).
enum class Compare {
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    Prefix,
    IsNull,
    IsNotNull,
};

class ITable;

// One named field of a table's current row.
class KORBEL_EXPORT IField
{
public:
    // Re-reads the value of the current row (values are always read fresh; kept
    // for callers that refresh before reading).
    virtual void Refresh() = 0;
    virtual void Release() = 0;

    virtual QString GetName() const = 0;
    // The value in its text form; NULL reads as "" (yes/no fields read "0").
    virtual QString GetAsString() const = 0;
    virtual bool IsNull() const = 0;
    // Stores the text into the pending edit or new row; false when no edit is
    // pending or the text cannot be read as the field's type (a date that is
    // not a date). Empty text stores NULL, except in text fields.
    virtual bool SetFromString(const QString &text) = 0;
    virtual bool SetNull() = 0;
    virtual bool SetNotNull() = 0;

    // Typed access for code that does not want the text forms: qint64 for
    // identifiers and integers, double for money and rates, QDate, QDateTime,
    // bool, QString, QByteArray; an invalid QVariant for NULL.
    virtual QVariant GetValue() const = 0;
    virtual bool SetValue(const QVariant &value) = 0;

    // Binds a control: every move of the table shows the value in it, and
    // Update() of a pending edit or new row takes it back (when writable).
    // The data source's control binder decides which controls can be bound
    // and how values show in them; without one nothing can be bound.
    virtual bool BindControl(QObject *control, int writable) = 0;

protected:
    virtual ~IField() = default;
};

// A record set with one current row.
class KORBEL_EXPORT ITable
{
public:
    virtual void Release() = 0;

    // 1 when a row is current after the move. A move that fails leaves the
    // current row as it was. A pending edit or new row is cancelled by a move.
    virtual int Move(int kind, int n = 0) = 0;
    // Writes the pending edit or new row; nonzero on success (also when nothing
    // is pending). A new row stays current after it is written.
    virtual int Update() = 0;
    // Starts a new row, which becomes current until it is written or cancelled.
    virtual int AddNew() = 0;
    // 1 when editing of the current row began.
    virtual int Edit() = 0;
    // Deletes the current row at once; greater than 0 on success. The next row
    // (or the previous one when it was the last) becomes current.
    virtual int Delete() = 0;
    // Drops a pending edit or new row (a dialog's Cancel).
    virtual void CancelUpdate() = 0;

    // 1 and a field object (to be released) for a field of this table.
    virtual int GetField(const QString &name, IField **field) = 0;

    // 1 when a row whose field equals the value text was found and made
    // current: Locate searches from the first row, LocateNext after the current
    // one. 'compare' is always LocateEqual.
    virtual int Locate(const QString &field, int compare, const QString &value) = 0;
    virtual int LocateNext(const QString &field, int compare, const QString &value) = 0;

    // Long binary fields are read only when asked for.
    virtual bool GetBinary(const QString &field, QByteArray *bytes) = 0;
    // Stores bytes into the pending edit or new row.
    virtual bool SetBinary(const QString &field, const QByteArray &bytes) = 0;

    virtual QString GetErrorDescription() const = 0;

    virtual int RecordCount() const = 0;
    // Zero-based position of the current row, -1 when none.
    virtual int CurrentPosition() const = 0;
    virtual bool IsEditing() const = 0; // an edit or a new row is pending
    virtual QString GetName() const = 0;

protected:
    virtual ~ITable() = default;
};

// Builder of filtered tables: conditions are joined with AND; every value
// reaches the database as a bound parameter.
class KORBEL_EXPORT IQuery
{
public:
    virtual void Release() = 0;
    virtual void SetTable(const QString &table) = 0;
    // The value is text in the field's text form (as SetFromString takes it).
    virtual void Where(const QString &field, Compare compare, const QString &value = QString()) = 0;
    virtual void OrderBy(const QString &field, bool ascending = true) = 0;
    // Opens the rows that meet every condition, in the given order (table
    // order when none); none and an error description on failure.
    virtual ITable *Open() = 0;
    virtual QString GetErrorDescription() const = 0;

protected:
    virtual ~IQuery() = default;
};

class KORBEL_EXPORT IDataSource
{
public:
    virtual void Release() = 0;
    // Opens the database file, or the database on a server when given a server
    // address (ServerAddress.h). A missing file, or an empty server database,
    // becomes a database with the current schema and its seed rows; an older
    // one is upgraded by the program through UpgradeSchema. A file that is not
    // a readable database, or a database whose schema is newer than this
    // program's, gives false and is never altered.
    virtual bool Open(const QString &pathOrAddress) = 0;
    virtual ITable *OpenTable(const QString &name) = 0;
    virtual bool TableExists(const QString &name) = 0;
    // Applies the migrations the database lacks; idempotent.
    virtual bool UpgradeSchema() = 0;
    virtual bool BeginTransaction() = 0;
    virtual int CommitTransaction() = 0;
    virtual bool RollbackTransaction() = 0;
    virtual bool RunStoredQuery(const QString &name, const QString &parameter) = 0;
    virtual IQuery *CreateQuery() = 0;
    // A consistent copy of the open database into a new file, safe while the
    // program holds the database open; the destination is replaced atomically.
    virtual bool BackupTo(const QString &path) = 0;
    virtual QString GetErrorDescription() const = 0;
    virtual QString GetPath() const = 0;
    virtual int SchemaVersion() const = 0;

protected:
    virtual ~IDataSource() = default;
};

// Shows stored values in controls and takes them back. The data library
// holds no window code: the program's window layer gives a binder to each
// data source whose fields it binds (Korbel/Binding/WidgetBinder.h binds the
// common widgets).
class KORBEL_EXPORT IControlBinder
{
public:
    virtual bool CanBind(const QObject *control) const = 0;
    virtual void Show(QObject *control, ColumnKind kind, const QVariant &stored) const = 0;
    // False when the control's content cannot be read as the kind (a typed
    // date that is not a date); the stored value is then left alone.
    virtual bool Take(const QObject *control, ColumnKind kind, QVariant *stored) const = 0;

protected:
    ~IControlBinder() = default;
};

// Gives a data source its control binder (not owned; it must outlive the
// bindings). None stops further binding.
KORBEL_EXPORT void SetControlBinder(IDataSource *source, const IControlBinder *binder);

// Handler of RunStoredQuery: the program registers what previews a stored
// report; without one the call fails.
using StoredQueryHandler = std::function<bool(IDataSource *, const QString &name, const QString &parameter)>;
KORBEL_EXPORT void SetStoredQueryHandler(IDataSource *source, StoredQueryHandler handler);

// The engine of a data source: the one its open database runs on, or the one
// its last Open named; SQLite for none.
KORBEL_EXPORT Engine EngineOf(IDataSource *source);

// The password for the next Open of a server address; without one the
// server's client library looks in the PostgreSQL password file (~/.pgpass).
// The library keeps it in memory only.
KORBEL_EXPORT void SetServerPassword(IDataSource *source, const QString &password);

// The schema version this library creates and upgrades to.
KORBEL_EXPORT int CurrentSchemaVersion();

struct Releaser
{
    template<typename T> void operator()(T *object) const
    {
        if (object)
            object->Release();
    }
};
template<typename T> using ReleasePtr = std::unique_ptr<T, Releaser>;

} // namespace Korbel

// The factory of the data library.
KORBEL_EXPORT Korbel::IDataSource *DataSourceFactory();
