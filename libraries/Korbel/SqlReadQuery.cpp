#include "Korbel/ReadQuery.h"

#include "Korbel/SqlDataSource.h"

#include <QtSql/QSqlQuery>
#include <QtSql/QSqlRecord>

namespace Korbel {

bool RunReadQuery(IDataSource *source, const QString &sql, const QVariantList &values, ReadResult *result)
{
    result->rows.clear();
    result->error.clear();
    auto *sqlSource = dynamic_cast<SqlDataSource *>(source);
    if (!sqlSource || !sqlSource->database().isOpen()) {
        result->error = QStringLiteral("The database is not open.");
        return false;
    }
    // Only reading is offered: anything but one SELECT is refused before it
    // reaches the database.
    const QString trimmed = sql.trimmed();
    if (!trimmed.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)
        || trimmed.chopped(trimmed.endsWith(QLatin1Char(';')) ? 1 : 0).contains(QLatin1Char(';'))) {
        result->error = QStringLiteral("Only a single SELECT statement can be run.");
        return false;
    }
    QSqlQuery query(sqlSource->database());
    query.setForwardOnly(true);
    if (!RunStatement(query, sql, values, &result->error))
        return false;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.push_back(ReadStored(query, i));
        result->rows.push_back(std::move(row));
    }
    return true;
}

} // namespace Korbel
