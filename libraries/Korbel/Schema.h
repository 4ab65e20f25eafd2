#pragma once

// The database schema: every table and field with the kind of value it holds,
// the seed rows of a new database and the versioned migrations. The kinds decide
// how a value is stored (typed) and how it is read and written as text.

#include "korbel_export.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <vector>

namespace Korbel {

enum class ColumnKind {
    Key, // the row's own ID, made by the database
    Id, // a reference to another row ("0" means none), signed 64-bit
    Integer, // signed 64-bit integer
    Text, // text; case-insensitive collation when marked so
    Money, // exact, whole ten-thousandths of a unit
    Real, // double (rates)
    Date, // calendar date
    DateTime, // date and time
    Bool, // yes/no
    Binary, // long binary, read only when asked for
};

struct ColumnDef
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    bool caseInsensitive = false; // text compared and indexed without regard to ASCII case
    QVariant defaultValue; // typed default of a new row, invalid for none
};

struct TableDef
{
    QString name;
    std::vector<ColumnDef> columns;
    // Created only when none of these tables exists (the media table of older
    // databases is AUDIO; MEDIA is not created beside it).
    QStringList absentWhenPresent;
    // Kept for reading older databases; never created.
    bool legacyOnly = false;

    const ColumnDef *column(const QString &name) const;
};

struct IndexDef
{
    QString name;
    QString table;
    QStringList columns;
    bool unique = false;
};

class KORBEL_EXPORT Schema
{
public:
    static const Schema &instance();

    const std::vector<TableDef> &tables() const { return m_tables; }
    const std::vector<IndexDef> &indexes() const { return m_indexes; }
    const TableDef *table(const QString &name) const;
    int version() const { return m_version; }

private:
    Schema();
    std::vector<TableDef> m_tables;
    std::vector<IndexDef> m_indexes;
    int m_version = 0;
};

// A row to insert when a database is created or upgraded (inserted only when no
// row with the same ID exists).
struct SeedRow
{
    QString table;
    std::vector<std::pair<QString, QVariant>> values;
};
KORBEL_EXPORT const std::vector<SeedRow> &SeedRows();

} // namespace Korbel
