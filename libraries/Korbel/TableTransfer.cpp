#include "Korbel/TableTransfer.h"

#include "Korbel/Csv.h"
#include "Korbel/Migrations.h"
#include "Korbel/Schema.h"
#include "Korbel/SqlConnection.h"
#include "Korbel/ValueText.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QHash>
#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>
#include <QtCore/QSaveFile>
#include <QtCore/QSet>
#include <QtCore/QUuid>
#include <QtSql/QSqlError>
#include <QtSql/QSqlRecord>

#include <algorithm>
#include <limits>
#include <tuple>

namespace Korbel {

namespace {

constexpr int kFormat = 1;
constexpr int kProgressEvery = 512;
const QString kTablesFolder = QStringLiteral("tables");
const QString kManifestFile = QStringLiteral("manifest.csv");
const QString kTablesFile = QStringLiteral("tables.csv");
const QString kColumnsFile = QStringLiteral("columns.csv");

QString tr(const char *text)
{
    return QCoreApplication::translate("Korbel", text);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct KindName
{
    ColumnKind kind;
    const char *name;
};
constexpr KindName kKindNames[] = {
    { ColumnKind::Key, "key" },
    { ColumnKind::Id, "id" },
    { ColumnKind::Integer, "integer" },
    { ColumnKind::Text, "text" },
    { ColumnKind::Money, "money" },
    { ColumnKind::Real, "real" },
    { ColumnKind::Date, "date" },
    { ColumnKind::DateTime, "datetime" },
    { ColumnKind::Bool, "bool" },
    { ColumnKind::Binary, "binary" },
};

QByteArray kindName(ColumnKind kind)
{
    for (const KindName &k : kKindNames) {
        if (k.kind == kind)
            return k.name;
    }
    return "text";
}

bool kindFromName(QByteArrayView name, ColumnKind *kind)
{
    for (const KindName &k : kKindNames) {
        if (name == QByteArrayView(k.name)) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

// A connection of its own to a database file, for one thread.
class SideConnection
{
public:
    SideConnection(const QString &path, bool readOnly)
        : m_name(QStringLiteral("korbel-transfer-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        if (IsServerAddress(path)) {
            // The password comes from the PostgreSQL password file.
            ServerAddress address;
            if (!ServerAddress::Parse(path, &address, &m_error))
                return;
            OpenServerConnection(m_name, address, QString(), &m_error);
            return;
        }
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        database.setDatabaseName(path);
        database.setConnectOptions(readOnly
                ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!database.open())
            m_error = database.lastError().text();
    }
    ~SideConnection()
    {
        {
            QSqlDatabase database = QSqlDatabase::database(m_name, false);
            if (database.isOpen())
                database.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    SideConnection(const SideConnection &) = delete;
    SideConnection &operator=(const SideConnection &) = delete;

    bool IsOpen() const { return m_error.isEmpty(); }
    QString Error() const { return m_error; }
    QSqlDatabase Database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    QString m_error;
};

struct ColumnShape
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

struct TableShape
{
    QString name;
    std::vector<ColumnShape> columns;
    int keyColumn = -1;
};

bool readTableShape(QSqlDatabase database, const QString &table, TableShape *shape, QString *error)
{
    shape->name = table;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    const SqlDialect dialect = SqlDialect::of(database);
    // The server holds names folded to lower case.
    if (!RunStatement(
            query, dialect.tableColumnsQuery(), { dialect.onServer() ? table.toLower() : table }, error))
        return false;
    const TableDef *def = Schema::instance().table(table);
    while (query.next()) {
        ColumnShape column;
        column.name = query.value(0).toString();
        if (dialect.onServer()) {
            const ColumnDef *spelled = def ? def->column(column.name) : nullptr;
            column.name = spelled ? spelled->name : column.name.toUpper();
        }
        const bool primaryKey = query.value(2).toInt() != 0;
        const ColumnDef *known = def ? def->column(column.name) : nullptr;
        column.kind = known ? known->kind
            : primaryKey    ? ColumnKind::Key
                            : KindFromDeclaredType(query.value(1).toString());
        if (primaryKey && shape->keyColumn < 0)
            shape->keyColumn = static_cast<int>(shape->columns.size());
        shape->columns.push_back(std::move(column));
    }
    return true;
}

// The tables of the database, spelled as the program spells them.
QStringList userTables(QSqlDatabase database)
{
    const SqlDialect dialect = SqlDialect::of(database);
    QStringList tables;
    QSqlQuery query(database);
    QString error;
    if (!RunStatement(query, dialect.tablesQuery(), {}, &error))
        return tables;
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (dialect.isInternalTable(name))
            continue;
        const TableDef *def = dialect.onServer() ? Schema::instance().table(name) : nullptr;
        tables << (def ? def->name : dialect.onServer() ? name.toUpper() : name);
    }
    std::sort(tables.begin(), tables.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return tables;
}

// The file of a table: its name where that is a plain file name, else its place.
QString fileNameFor(const QString &table, int index)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]{1,100}$"));
    return plain.match(table).hasMatch() ? table + QStringLiteral(".csv")
                                         : QStringLiteral("table%1.csv").arg(index + 1);
}

bool isSafeFileName(const QString &name)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]{0,120}\\.csv$"));
    return safe.match(name).hasMatch();
}

QByteArray moneyText(qint64 units)
{
    const bool negative = units < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    QByteArray text = QByteArray::number(magnitude / 10000) + '.'
        + QByteArray::number(magnitude % 10000).rightJustified(4, '0');
    return negative ? '-' + text : text;
}

bool parseDigits(QByteArrayView digits, quint64 *value)
{
    if (digits.isEmpty())
        return false;
    quint64 result = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        const auto digit = static_cast<quint64>(c - '0');
        if (result > (std::numeric_limits<quint64>::max() - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

bool signedFrom(bool negative, quint64 magnitude, qint64 *value)
{
    constexpr auto limit = static_cast<quint64>(std::numeric_limits<qint64>::max());
    if (magnitude > limit + (negative ? 1 : 0))
        return false;
    *value = negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
    return true;
}

// "-12", in the strict form the export writes.
bool parseInteger(QByteArrayView text, qint64 *value)
{
    const bool negative = text.startsWith('-');
    quint64 magnitude = 0;
    return parseDigits(negative ? text.sliced(1) : text, &magnitude)
        && signedFrom(negative, magnitude, value);
}

// "-12.3400", in the strict form the export writes.
bool parseMoney(QByteArrayView text, qint64 *units)
{
    const bool negative = text.startsWith('-');
    const QByteArrayView body = negative ? text.sliced(1) : text;
    const qsizetype point = body.indexOf('.');
    quint64 whole = 0;
    quint64 fraction = 0;
    if (point < 0 || body.size() - point != 5 || !parseDigits(body.first(point), &whole)
        || !parseDigits(body.sliced(point + 1), &fraction)
        || whole > (std::numeric_limits<quint64>::max() - fraction) / 10000)
        return false;
    return signedFrom(negative, whole * 10000 + fraction, units);
}

void writeValue(Csv::Writer &writer, const QVariant &value, ColumnKind kind)
{
    if (value.isNull() || !value.isValid()) {
        writer.AddNull();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long: {
        const qint64 number = value.toLongLong();
        writer.Add(kind == ColumnKind::Money ? moneyText(number) : QByteArray::number(number));
        return;
    }
    case QMetaType::Double:
        writer.Add(QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1());
        return;
    case QMetaType::QByteArray:
        writer.Add(value.toByteArray().toBase64());
        return;
    default:
        writer.Add(value.toString().toUtf8());
        return;
    }
}

// The stored value of a field of the kind; a field not in the kind's form
// goes in as text, which the column takes as the engine's rules say.
QVariant readValue(const Csv::Field &field, ColumnKind kind)
{
    if (field.IsNull())
        return QVariant();
    switch (kind) {
    case ColumnKind::Key:
    case ColumnKind::Id:
    case ColumnKind::Integer:
    case ColumnKind::Bool: {
        qint64 number = 0;
        if (parseInteger(field.text, &number))
            return number;
        break;
    }
    case ColumnKind::Money: {
        qint64 units = 0;
        if (parseMoney(field.text, &units))
            return units;
        break;
    }
    case ColumnKind::Real: {
        bool ok = false;
        const double number = field.text.toDouble(&ok);
        if (ok && !field.text.contains(' '))
            return number;
        break;
    }
    case ColumnKind::Binary: {
        const QByteArray::FromBase64Result decoded
            = QByteArray::fromBase64Encoding(field.text, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return decoded.decoded.isNull() ? QByteArray("", 0) : decoded.decoded;
        break;
    }
    case ColumnKind::Text:
    case ColumnKind::Date:
    case ColumnKind::DateTime:
        break;
    }
    // An empty text is a value, never NULL.
    return field.text.isEmpty() ? QStringLiteral("") : QString::fromUtf8(field.text);
}

// A small file of the export read whole: its records after the header, which
// must be the expected one.
bool readSmallCsv(const QString &path, const QList<QByteArray> &header,
    std::vector<std::vector<Csv::Field>> *records, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("%1 cannot be read: %2").arg(native(path), file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    Csv::Reader reader(data.constData(), data.size());
    std::vector<Csv::Field> fields;
    bool first = true;
    while (reader.Next(fields)) {
        if (first) {
            QList<QByteArray> names;
            for (const Csv::Field &f : fields)
                names << f.text;
            if (names != header) {
                *error = tr("%1 does not begin with the expected header row.").arg(native(path));
                return false;
            }
            first = false;
            continue;
        }
        if (fields.size() != static_cast<size_t>(header.size())) {
            *error = tr("%1, line %2: %3 values instead of %4.")
                         .arg(native(path))
                         .arg(reader.Line())
                         .arg(fields.size())
                         .arg(header.size());
            return false;
        }
        records->push_back(fields);
    }
    if (!reader.Error().isEmpty() || first) {
        *error = reader.Error().isEmpty() ? tr("%1 is empty.").arg(native(path))
                                          : tr("%1, %2").arg(native(path), reader.Error());
        return false;
    }
    return true;
}

bool writeSmallCsv(const QString &path, const QList<QByteArray> &header,
    const std::vector<QList<QByteArray>> &records, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("%1 cannot be written: %2").arg(native(path), file.errorString());
        return false;
    }
    Csv::Writer writer(&file);
    for (const QByteArray &name : header)
        writer.Add(name);
    writer.EndRecord();
    for (const QList<QByteArray> &record : records) {
        for (const QByteArray &value : record) {
            if (value.isNull())
                writer.AddNull();
            else
                writer.Add(value);
        }
        writer.EndRecord();
    }
    if (!writer.Flush() || !file.commit()) {
        *error = tr("%1 cannot be written: %2").arg(native(path), file.errorString());
        return false;
    }
    return true;
}

// Everything an export wrote, removed again when it does not finish.
class ExportFiles
{
public:
    explicit ExportFiles(QString folder)
        : m_folder(std::move(folder))
        , m_folderExisted(QFileInfo::exists(m_folder))
    { }
    ~ExportFiles()
    {
        if (m_kept)
            return;
        for (const QString &path : std::as_const(m_files))
            QFile::remove(path);
        QDir(m_folder).rmdir(kTablesFolder);
        if (!m_folderExisted)
            QDir().rmdir(m_folder);
    }
    ExportFiles(const ExportFiles &) = delete;
    ExportFiles &operator=(const ExportFiles &) = delete;

    void Wrote(const QString &path) { m_files << path; }
    void Keep() { m_kept = true; }

private:
    QString m_folder;
    bool m_folderExisted;
    QStringList m_files;
    bool m_kept = false;
};

bool exportTable(QSqlDatabase database, const TableShape &shape, const QString &path, qint64 *done,
    qint64 total, const Progress &progress, bool *cancelled, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("%1 cannot be written: %2").arg(native(path), file.errorString());
        return false;
    }
    Csv::Writer writer(&file);
    QStringList columns;
    for (const ColumnShape &column : shape.columns) {
        writer.Add(column.name.toUtf8());
        columns << SqlDialect::of(database).quote(column.name);
    }
    writer.EndRecord();

    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(columns.join(QStringLiteral(", ")), SqlDialect::of(database).quote(shape.name));
    if (shape.keyColumn >= 0)
        sql += QStringLiteral(" ORDER BY ")
            + SqlDialect::of(database).quote(shape.columns[static_cast<size_t>(shape.keyColumn)].name);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!RunStatement(query, sql, {}, error))
        return false;
    const int count = static_cast<int>(shape.columns.size());
    while (query.next()) {
        for (int i = 0; i < count; ++i)
            writeValue(writer, ReadStored(query, i), shape.columns[static_cast<size_t>(i)].kind);
        writer.EndRecord();
        if (++*done % kProgressEvery == 0 && progress && !progress(*done, total)) {
            *cancelled = true;
            return false;
        }
    }
    if (query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    if (!writer.Flush() || !file.commit()) {
        *error = tr("%1 cannot be written: %2").arg(native(path), file.errorString());
        return false;
    }
    return true;
}

} // namespace

qint64 ExportManifest::TotalRows() const
{
    qint64 total = 0;
    for (const Table &table : tables)
        total += table.rows;
    return total;
}

int ExportFormat()
{
    return kFormat;
}

bool CountRows(const QString &databasePath, QMap<QString, qint64> *rows, QString *error)
{
    if (!IsServerAddress(databasePath) && !QFileInfo(databasePath).isFile()) {
        *error = tr("The file %1 does not exist.").arg(native(databasePath));
        return false;
    }
    SideConnection connection(databasePath, true);
    if (!connection.IsOpen()) {
        *error = connection.Error();
        return false;
    }
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);
    for (const QString &table : userTables(connection.Database())) {
        if (!RunStatement(query,
                QStringLiteral("SELECT count(*) FROM ") + SqlDialect::of(connection.Database()).quote(table),
                {}, error)
            || !query.next())
            return false;
        rows->insert(table, query.value(0).toLongLong());
        query.finish();
    }
    return true;
}

Outcome ExportTables(
    const QString &databasePath, const QString &folder, const Progress &progress, QString *error)
{
    QString reason;
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return Outcome::Failed;
    };
    if (!IsServerAddress(databasePath) && !QFileInfo(databasePath).isFile())
        return fail(tr("The file %1 does not exist.").arg(native(databasePath)));
    const QDir dir(folder);
    if (QFileInfo::exists(folder)
        && (!QFileInfo(folder).isDir()
            || !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)))
        return fail(
            tr("The folder %1 is not empty; an export goes into an empty folder.").arg(native(folder)));
    ExportFiles files(folder);
    if (!QDir().mkpath(dir.filePath(kTablesFolder)))
        return fail(tr("The folder %1 cannot be made.").arg(native(dir.filePath(kTablesFolder))));

    ExportManifest manifest;
    std::vector<QList<QByteArray>> columnRecords;
    {
        SideConnection connection(databasePath, true);
        if (!connection.IsOpen())
            return fail(
                tr("The database %1 cannot be read: %2").arg(native(databasePath), connection.Error()));
        QSqlDatabase database = connection.Database();
        // One read transaction: every table as of the same moment (on the
        // server a snapshot taken at its first statement, which other seats'
        // commits do not change).
        if (!database.transaction())
            return fail(database.lastError().text());
        if (SqlDialect::of(database).onServer()) {
            QSqlQuery snapshot(database);
            if (!RunStatement(snapshot,
                    QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"), {},
                    &reason)) {
                database.rollback();
                return fail(reason);
            }
        }
        std::vector<TableShape> shapes;
        const QStringList tables = userTables(database);
        qint64 total = 0;
        for (int i = 0; i < tables.size(); ++i) {
            TableShape shape;
            QSqlQuery count(database);
            count.setForwardOnly(true);
            if (!readTableShape(database, tables.at(i), &shape, &reason)
                || !RunStatement(count,
                    QStringLiteral("SELECT count(*) FROM ") + SqlDialect::of(database).quote(tables.at(i)),
                    {}, &reason)
                || !count.next()) {
                database.rollback();
                return fail(tr("The table %1 cannot be read: %2").arg(tables.at(i), reason));
            }
            ExportManifest::Table table { tables.at(i), fileNameFor(tables.at(i), i),
                count.value(0).toLongLong(), SqlDialect::of(database).lastKey(database, tables.at(i)) };
            total += table.rows;
            manifest.tables.push_back(table);
            shapes.push_back(std::move(shape));
        }
        qint64 done = 0;
        bool cancelled = false;
        for (size_t i = 0; i < shapes.size(); ++i) {
            const QString path = dir.filePath(kTablesFolder + QLatin1Char('/') + manifest.tables[i].file);
            files.Wrote(path);
            if (!exportTable(database, shapes[i], path, &done, total, progress, &cancelled, &reason)) {
                database.rollback();
                if (cancelled)
                    return Outcome::Cancelled;
                return fail(tr("The table %1 cannot be exported: %2").arg(shapes[i].name, reason));
            }
            for (const ColumnShape &column : shapes[i].columns)
                columnRecords.push_back(
                    { shapes[i].name.toUtf8(), column.name.toUtf8(), kindName(column.kind) });
        }
        database.rollback();
        if (progress && !progress(total, total))
            return Outcome::Cancelled;
    }

    std::vector<QList<QByteArray>> tableRecords;
    for (const ExportManifest::Table &table : manifest.tables) {
        tableRecords.push_back({ table.name.toUtf8(), table.file.toUtf8(), QByteArray::number(table.rows),
            table.lastKey >= 0 ? QByteArray::number(table.lastKey) : QByteArray() });
    }
    std::vector<QList<QByteArray>> manifestRecords {
        { "FORMAT", QByteArray::number(kFormat) },
        { "SCHEMA_VERSION", QByteArray::number(Schema::instance().version()) },
        { "CREATED", QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8() },
    };
    // The manifest last: an export without it is incomplete.
    for (const auto &[name, header, records] :
        { std::tuple { kColumnsFile, QList<QByteArray> { "TABLE", "COLUMN", "KIND" }, &columnRecords },
            std::tuple {
                kTablesFile, QList<QByteArray> { "TABLE", "FILE", "ROWS", "LAST_KEY" }, &tableRecords },
            std::tuple { kManifestFile, QList<QByteArray> { "KEY", "VALUE" }, &manifestRecords } }) {
        files.Wrote(dir.filePath(name));
        if (!writeSmallCsv(dir.filePath(name), header, *records, &reason))
            return fail(reason);
    }
    files.Keep();
    return Outcome::Done;
}

bool ReadExport(const QString &folder, ExportManifest *manifest, QString *error)
{
    const QDir dir(folder);
    QString reason;
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo::exists(dir.filePath(kManifestFile)))
        return fail(tr("The folder %1 holds no complete practice export (it has no %2).")
                        .arg(native(folder), kManifestFile));
    std::vector<std::vector<Csv::Field>> records;
    if (!readSmallCsv(dir.filePath(kManifestFile), { "KEY", "VALUE" }, &records, &reason))
        return fail(reason);
    QHash<QByteArray, QByteArray> values;
    for (const auto &record : records)
        values.insert(record[0].text, record[1].text);
    qint64 number = 0;
    manifest->format = parseInteger(values.value("FORMAT"), &number) ? static_cast<int>(number) : 0;
    manifest->schemaVersion
        = parseInteger(values.value("SCHEMA_VERSION"), &number) ? static_cast<int>(number) : 0;
    manifest->created = QDateTime::fromString(QString::fromUtf8(values.value("CREATED")), Qt::ISODate);
    if (manifest->format != kFormat)
        return fail(tr("The export in %1 has a format this program does not know.").arg(native(folder)));
    if (manifest->schemaVersion < 1 || manifest->schemaVersion > Schema::instance().version())
        return fail(tr("The export in %1 was made by a newer version of the program (schema %2, this program "
                       "knows up to %3).")
                        .arg(native(folder))
                        .arg(manifest->schemaVersion)
                        .arg(Schema::instance().version()));

    records.clear();
    if (!readSmallCsv(dir.filePath(kTablesFile), { "TABLE", "FILE", "ROWS", "LAST_KEY" }, &records, &reason))
        return fail(reason);
    QSet<QString> names;
    QSet<QString> fileNames;
    manifest->tables.clear();
    for (const auto &record : records) {
        ExportManifest::Table table;
        table.name = QString::fromUtf8(record[0].text);
        table.file = QString::fromUtf8(record[1].text);
        const bool rowsRead = parseInteger(record[2].text, &table.rows) && table.rows >= 0;
        const bool keyRead
            = record[3].IsNull() || (parseInteger(record[3].text, &table.lastKey) && table.lastKey >= 0);
        if (table.name.isEmpty() || SqlDialect(Engine::SQLite).isInternalTable(table.name)
            || SqlDialect(Engine::PostgreSQL).isInternalTable(table.name) || !rowsRead || !keyRead
            || !isSafeFileName(table.file) || names.contains(table.name.toUpper())
            || fileNames.contains(table.file.toUpper()))
            return fail(tr("%1 lists the table \"%2\" with values this program cannot use.")
                            .arg(native(dir.filePath(kTablesFile)), table.name));
        if (!QFileInfo(dir.filePath(kTablesFolder + QLatin1Char('/') + table.file)).isFile())
            return fail(tr("The file %1 of the export is missing.")
                            .arg(native(dir.filePath(kTablesFolder + QLatin1Char('/') + table.file))));
        names.insert(table.name.toUpper());
        fileNames.insert(table.file.toUpper());
        manifest->tables.push_back(std::move(table));
    }
    return true;
}

namespace {

bool importTable(QSqlDatabase database, const ExportManifest::Table &table,
    const std::vector<ColumnShape> &columns, const QString &path, qint64 *done, qint64 total,
    const Progress &progress, bool *cancelled, QString *error)
{
    std::vector<ColumnDef> definitions;
    const TableDef *known = Schema::instance().table(table.name);
    QStringList quoted;
    QStringList marks;
    for (const ColumnShape &column : columns) {
        const ColumnDef *def = known ? known->column(column.name) : nullptr;
        definitions.push_back(def ? *def : ColumnDef { column.name, column.kind, false, {} });
        quoted << SqlDialect::of(database).quote(column.name);
        marks << QStringLiteral("?");
    }
    if (!CreateTable(database, table.name, definitions, error))
        return false;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("%1 cannot be read: %2").arg(native(path), file.errorString());
        return false;
    }
    const qint64 size = file.size();
    const uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray read;
    if (size > 0 && !mapped)
        read = file.readAll();
    const char *data = mapped ? reinterpret_cast<const char *>(mapped) : read.constData();
    Csv::Reader reader(data, mapped ? size : read.size());

    std::vector<Csv::Field> fields;
    if (!reader.Next(fields)) {
        *error = tr("%1: %2").arg(
            native(path), reader.Error().isEmpty() ? tr("the header row is missing") : reader.Error());
        return false;
    }
    bool headerMatches = fields.size() == columns.size();
    for (size_t i = 0; headerMatches && i < fields.size(); ++i)
        headerMatches = QString::fromUtf8(fields[i].text) == columns[i].name;
    if (!headerMatches) {
        *error = tr("%1: the header row does not name the columns of the table %2.")
                     .arg(native(path), table.name);
        return false;
    }

    QSqlQuery insert(database);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(SqlDialect::of(database).quote(table.name),
                                quoted.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))) {
        *error = insert.lastError().text();
        return false;
    }
    qint64 rows = 0;
    while (reader.Next(fields)) {
        if (fields.size() != columns.size()) {
            *error = tr("%1, line %2: %3 values instead of %4.")
                         .arg(native(path))
                         .arg(reader.Line())
                         .arg(fields.size())
                         .arg(columns.size());
            return false;
        }
        for (size_t i = 0; i < fields.size(); ++i)
            insert.bindValue(static_cast<int>(i), readValue(fields[i], columns[i].kind));
        if (!insert.exec()) {
            *error
                = tr("%1, line %2: %3").arg(native(path)).arg(reader.Line()).arg(insert.lastError().text());
            return false;
        }
        ++rows;
        if (++*done % kProgressEvery == 0 && progress && !progress(*done, total)) {
            *cancelled = true;
            return false;
        }
    }
    if (!reader.Error().isEmpty()) {
        *error = tr("%1, %2").arg(native(path), reader.Error());
        return false;
    }
    if (rows != table.rows) {
        *error = tr("%1 holds %2 rows, but the export lists %3: the file is incomplete.")
                     .arg(native(path))
                     .arg(rows)
                     .arg(table.rows);
        return false;
    }
    const SqlDialect dialect = SqlDialect::of(database);
    if (!dialect.onServer())
        return table.lastKey < 0 || dialect.setLastKey(database, table.name, table.lastKey, error);
    // The server's sequence does not follow keys inserted as they are: it
    // goes on after the highest key handed out or present.
    const auto key = std::find_if(
        columns.begin(), columns.end(), [](const ColumnShape &c) { return c.kind == ColumnKind::Key; });
    if (key == columns.end())
        return true;
    QSqlQuery highest(database);
    if (!RunStatement(highest,
            QStringLiteral("SELECT MAX(%1) FROM %2").arg(dialect.quote(key->name), dialect.quote(table.name)),
            {}, error))
        return false;
    const qint64 last = std::max(table.lastKey, highest.next() ? highest.value(0).toLongLong() : 0);
    return last <= 0 || dialect.setLastKey(database, table.name, last, error);
}

Outcome importInto(
    const QString &folder, const QString &databasePath, const Progress &progress, QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return Outcome::Failed;
    };
    ExportManifest manifest;
    QString reason;
    if (!ReadExport(folder, &manifest, &reason))
        return fail(reason);
    const QDir dir(folder);
    std::vector<std::vector<Csv::Field>> records;
    if (!readSmallCsv(dir.filePath(kColumnsFile), { "TABLE", "COLUMN", "KIND" }, &records, &reason))
        return fail(reason);
    QHash<QString, std::vector<ColumnShape>> columns;
    for (const auto &record : records) {
        ColumnShape column { QString::fromUtf8(record[1].text), ColumnKind::Text };
        if (column.name.isEmpty() || !kindFromName(record[2].text, &column.kind))
            return fail(tr("%1 describes a column with values this program cannot use.")
                            .arg(native(dir.filePath(kColumnsFile))));
        columns[QString::fromUtf8(record[0].text).toUpper()].push_back(std::move(column));
    }

    {
        SideConnection connection(databasePath, false);
        if (!connection.IsOpen())
            return fail(
                tr("The database %1 cannot be made: %2").arg(native(databasePath), connection.Error()));
        QSqlDatabase database = connection.Database();
        if (!SqlDialect::of(database).prepareBulkLoad(database, &reason) || !database.transaction())
            return fail(reason.isEmpty() ? database.lastError().text() : reason);
        qint64 done = 0;
        const qint64 total = manifest.TotalRows();
        for (const ExportManifest::Table &table : manifest.tables) {
            const auto found = columns.constFind(table.name.toUpper());
            if (found == columns.constEnd() || found->empty()) {
                database.rollback();
                return fail(tr("%1 does not describe the columns of the table %2.")
                                .arg(native(dir.filePath(kColumnsFile)), table.name));
            }
            bool cancelled = false;
            if (!importTable(database, table, *found,
                    dir.filePath(kTablesFolder + QLatin1Char('/') + table.file), &done, total, progress,
                    &cancelled, &reason)) {
                database.rollback();
                if (cancelled)
                    return Outcome::Cancelled;
                return fail(reason);
            }
        }
        if (!CreateIndexes(database, &reason)
            || !StoreSchemaVersion(database, manifest.schemaVersion, &reason) || !database.commit()) {
            if (reason.isEmpty())
                reason = database.lastError().text();
            database.rollback();
            return fail(reason);
        }
    }
    if (!IsServerAddress(databasePath))
        SyncFileToDisk(databasePath);
    if (manifest.schemaVersion < Schema::instance().version()) {
        ReleasePtr<IDataSource> upgraded(DataSourceFactory());
        if (!upgraded->Open(databasePath) || !upgraded->UpgradeSchema())
            return fail(upgraded->GetErrorDescription());
    }
    if (progress && !progress(manifest.TotalRows(), manifest.TotalRows()))
        return Outcome::Cancelled;
    return Outcome::Done;
}

} // namespace

Outcome ImportTables(
    const QString &folder, const QString &databasePath, const Progress &progress, QString *error)
{
    if (IsServerAddress(databasePath)) {
        // A server database must be empty; a failed import is undone by its
        // transaction (the server's schema changes are transactional).
        QMap<QString, qint64> rows;
        QString reason;
        if (!CountRows(databasePath, &rows, &reason) || !rows.isEmpty()) {
            if (error)
                *error = reason.isEmpty()
                    ? tr("The database %1 is not empty; an export is read into an empty "
                         "database.")
                          .arg(databasePath)
                    : reason;
            return Outcome::Failed;
        }
        return importInto(folder, databasePath, progress, error);
    }
    if (QFileInfo::exists(databasePath)) {
        if (error)
            *error = tr("The file %1 exists already.").arg(native(databasePath));
        return Outcome::Failed;
    }
    const Outcome outcome = importInto(folder, databasePath, progress, error);
    if (outcome != Outcome::Done)
        RemoveDatabaseFile(databasePath);
    return outcome;
}

} // namespace Korbel
