#include "safety/ServerMigration.h"

#include "safety/ServerLink.h"

#include "core/ProgressRunner.h"

#include "Korbel/Csv.h"
#include "Korbel/TableTransfer.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

using Record = std::vector<QByteArray>;

// The records of a CSV file; false with the reason.
bool ReadRecords(const QString &path, std::vector<Record> *records, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = ServerMigration::tr("%1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    Korbel::Csv::Reader reader(data.constData(), data.size());
    std::vector<Korbel::Csv::Field> fields;
    while (reader.Next(fields)) {
        Record record;
        record.reserve(fields.size());
        // A null value and an empty text stay apart.
        for (const Korbel::Csv::Field &field : fields)
            record.push_back(field.IsNull() ? QByteArray() : QByteArray("=") + field.text);
        records->push_back(std::move(record));
    }
    if (!reader.Error().isEmpty()) {
        *error = reader.Error();
        return false;
    }
    return true;
}

bool SameFileBytes(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly)
        || first.size() != second.size())
        return false;
    constexpr qint64 Chunk = 1 << 20;
    while (!first.atEnd()) {
        if (first.read(Chunk) != second.read(Chunk))
            return false;
    }
    return true;
}

// Scales the progress of one step into its share of the whole work.
Korbel::Progress Share(IProgress &progress, qint64 before, qint64 share, qint64 whole)
{
    return [&progress, before, share, whole](qint64 done, qint64 total) {
        const qint64 part = total > 0 ? done * share / total : 0;
        return progress.Continue(before + part, whole);
    };
}

} // namespace

ServerMigration::ServerMigration(
    const QString &databaseFile, const Korbel::ServerAddress &target, const QString &password)
    : m_file(databaseFile)
    , m_target(target)
    , m_password(password)
{ }

bool ServerMigration::Check(QString *error) const
{
    const Korbel::FileCheck check = Korbel::CheckDatabaseFile(m_file, Korbel::CheckDepth::Quick);
    if (!check.IsSound()) {
        *error = check.state == Korbel::FileCheck::State::Missing
            ? tr("There is no practice to move: %1 does not exist.").arg(QDir::toNativeSeparators(m_file))
            : tr("The database %1 cannot be moved: %2")
                  .arg(QDir::toNativeSeparators(m_file),
                      check.problems.isEmpty() ? check.error : check.problems.constFirst());
        return false;
    }
    ServerLink link(m_target, m_password);
    if (!link.Open(error))
        return false;
    qint64 tables = 0;
    qint64 rows = 0;
    if (!link.CountUserTables(&tables, &rows, error))
        return false;
    if (tables > 0) {
        *error = tr("The database %1 already holds %n table(s)", nullptr, static_cast<int>(tables))
                     .arg(m_target.ToString())
            + tr(" with %n row(s).", nullptr, static_cast<int>(qMin<qint64>(rows, INT_MAX)))
            + QLatin1Char(' ')
            + tr("A practice moves only into an empty database: create a new database on the server "
                 "(for instance with createdb) and name it.");
        return false;
    }
    return true;
}

Korbel::Outcome ServerMigration::Run(IProgress &progress, Summary *summary, QString *error) const
{
    auto fail = [error](const QString &text) {
        *error = text;
        return Korbel::Outcome::Failed;
    };
    if (!Check(error))
        return Korbel::Outcome::Failed;
    // The practice alone on the server while it moves in.
    ServerPracticeLock lock(m_target, m_password);
    if (lock.Acquire(ServerPracticeLock::Mode::Exclusive) != ServerPracticeLock::State::Held)
        return fail(lock.Error().isEmpty() ? lock.HeldElsewhereMessage() : lock.Error());

    QTemporaryDir work;
    if (!work.isValid())
        return fail(tr("No temporary folder can be made: %1").arg(work.errorString()));
    const QString source = work.filePath(QStringLiteral("source"));
    const QString copy = work.filePath(QStringLiteral("copy"));
    const QString address = m_target.ToString();
    const Korbel::ServerLogin login { m_target, m_password };
    QString reason;

    // Reading the file, writing the server, reading the server again.
    constexpr qint64 Steps = 3;
    constexpr qint64 Whole = Steps * 1000;
    progress.SetStep(tr("Reading the practice's database..."));
    Korbel::Outcome outcome = Korbel::ExportTables(m_file, source, Share(progress, 0, 1000, Whole), &reason);
    if (outcome != Korbel::Outcome::Done)
        return outcome == Korbel::Outcome::Cancelled ? outcome : fail(reason);
    Korbel::ExportManifest manifest;
    if (!Korbel::ReadExport(source, &manifest, &reason))
        return fail(reason);

    progress.SetStep(tr("Writing every table into %1...").arg(address));
    outcome = Korbel::ImportTables(source, login, Share(progress, 1000, 1000, Whole), &reason);
    if (outcome == Korbel::Outcome::Done) {
        progress.SetStep(tr("Comparing the copy with the practice's database..."));
        outcome = Korbel::ExportTables(login, copy, Share(progress, 2000, 1000, Whole), &reason);
    }

    QString difference;
    if (outcome == Korbel::Outcome::Done && SameExports(source, copy, &difference)) {
        if (summary) {
            summary->tables = static_cast<qint64>(manifest.tables.size());
            summary->rows = manifest.TotalRows();
        }
        return Korbel::Outcome::Done;
    }
    // The server's database empty again, as it was.
    QString dropped;
    ServerLink link(m_target, m_password);
    const bool emptied = link.Open(&dropped) && link.DropEverything(&dropped);
    if (outcome == Korbel::Outcome::Cancelled && emptied)
        return outcome;
    QString text = outcome == Korbel::Outcome::Done
        ? tr("The copy on the server differs from the practice's database: %1").arg(difference)
        : reason;
    if (!emptied)
        text += QStringLiteral("\n\n") + tr("The copy could not be removed again: %1").arg(dropped);
    return fail(text);
}

bool ServerMigration::SameExports(const QString &expected, const QString &actual, QString *difference)
{
    Korbel::ExportManifest first;
    Korbel::ExportManifest second;
    QString reason;
    if (!Korbel::ReadExport(expected, &first, &reason) || !Korbel::ReadExport(actual, &second, &reason)) {
        *difference = reason;
        return false;
    }
    if (first.tables.size() != second.tables.size()) {
        *difference = tr("%1 tables instead of %2.").arg(second.tables.size()).arg(first.tables.size());
        return false;
    }
    const QDir expectedDir(expected);
    const QDir actualDir(actual);
    if (!SameFileBytes(expectedDir.filePath(QStringLiteral("columns.csv")),
            actualDir.filePath(QStringLiteral("columns.csv")))) {
        *difference = tr("The tables' columns differ.");
        return false;
    }
    std::vector<Record> columns;
    if (!ReadRecords(expectedDir.filePath(QStringLiteral("columns.csv")), &columns, &reason)) {
        *difference = reason;
        return false;
    }
    for (size_t i = 0; i < first.tables.size(); ++i) {
        const Korbel::ExportManifest::Table &want = first.tables[i];
        const Korbel::ExportManifest::Table &have = second.tables[i];
        if (want.name.compare(have.name, Qt::CaseInsensitive) != 0) {
            *difference = tr("The table %1 is missing.").arg(want.name);
            return false;
        }
        if (want.rows != have.rows) {
            *difference = tr("The table %1 holds %2 rows instead of %3.")
                              .arg(want.name)
                              .arg(have.rows)
                              .arg(want.rows);
            return false;
        }
        if (want.lastKey != have.lastKey) {
            *difference = tr("The next key of the table %1 differs (%2 instead of %3).")
                              .arg(want.name)
                              .arg(have.lastKey)
                              .arg(want.lastKey);
            return false;
        }
        const QString wantFile = expectedDir.filePath(QStringLiteral("tables/") + want.file);
        const QString haveFile = actualDir.filePath(QStringLiteral("tables/") + have.file);
        if (SameFileBytes(wantFile, haveFile))
            continue;
        std::vector<Record> wantRows;
        std::vector<Record> haveRows;
        if (!ReadRecords(wantFile, &wantRows, &reason) || !ReadRecords(haveFile, &haveRows, &reason)) {
            *difference = reason;
            return false;
        }
        // A table without a key has no order of its own: its rows compare as a set.
        const bool keyed = std::any_of(columns.begin(), columns.end(), [&want](const Record &column) {
            return column.size() == 3
                && QString::fromUtf8(column[0].mid(1)).compare(want.name, Qt::CaseInsensitive) == 0
                && column[2] == "=key";
        });
        if (!keyed && !wantRows.empty() && !haveRows.empty()) {
            std::sort(wantRows.begin() + 1, wantRows.end());
            std::sort(haveRows.begin() + 1, haveRows.end());
        }
        for (size_t row = 0; row < std::min(wantRows.size(), haveRows.size()); ++row) {
            const Record &a = wantRows[row];
            const Record &b = haveRows[row];
            for (size_t column = 0; column < std::max(a.size(), b.size()); ++column) {
                const QByteArray left = column < a.size() ? a[column] : QByteArray();
                const QByteArray right = column < b.size() ? b[column] : QByteArray();
                if (left != right) {
                    const QByteArray name
                        = column < wantRows[0].size() ? wantRows[0][column].mid(1) : QByteArray();
                    *difference = tr("The table %1, row %2, column %3: \"%4\" instead of \"%5\".")
                                      .arg(want.name)
                                      .arg(row)
                                      .arg(QString::fromUtf8(name), QString::fromUtf8(right.mid(1)).left(80),
                                          QString::fromUtf8(left.mid(1)).left(80));
                    return false;
                }
            }
        }
        if (wantRows.size() != haveRows.size()) {
            *difference = tr("The table %1 differs in its number of rows.").arg(want.name);
            return false;
        }
    }
    return true;
}
