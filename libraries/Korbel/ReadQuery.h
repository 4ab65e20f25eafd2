#pragma once

// Read-only statements over the open database, for the reports: one SELECT
// with bound values, its rows handed back as the database keeps them (keys
// and integers as qint64, money as whole ten-thousandths, dates as ISO text,
// yes/no as integers). Nothing is written.

#include "korbel_export.h"

#include <QtCore/QString>
#include <QtCore/QVariant>

#include <vector>

namespace Korbel {

class IDataSource;

struct ReadResult
{
    std::vector<QVariantList> rows;
    QString error; // why the statement failed; empty on success
};

// Runs the statement with the values bound in order. False, with the reason
// in result->error, when the database is not open, the statement is not a
// single SELECT or it fails.
KORBEL_EXPORT bool RunReadQuery(
    IDataSource *source, const QString &sql, const QVariantList &values, ReadResult *result);

} // namespace Korbel
