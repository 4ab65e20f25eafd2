#pragma once

// The practice's reports: each name of the REPORTS table maps to a definition
// that reads its parameters, runs its query (values bound, standard SQL) and
// lays out the result. What each report computes is written down for the
// practitioners in docs/reports.md.

#include "reports/ReportModel.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace Korbel {
class IDataSource;
}

namespace Reports {

// The parameter fields of a REPORTS row, typed.
struct Parameters
{
    QDate date; // DATE_PARAM1
    bool flag = false; // BOOL_PARAM1
    int int1 = 0; // INT_PARAM1
    int int2 = 0; // INT_PARAM2
    Verdanta::Money amount; // CURR_PARAM1
    qint64 long1 = 0; // LONG_INT_PARAM1
    qint64 long2 = 0; // LONG_INT_PARAM2
    QString str1; // STR_PARAM1
    QString str2; // STR_PARAM2
};

// Which dialog asks a report's parameters.
enum class Ask {
    Nothing,
    DateAfter,
    DateBefore,
    AgeRange,
    Gender,
    DateAndAmount,
    Remedy,
    CustomField,
};

// Where the reports read from.
struct Sources
{
    Korbel::IDataSource *data = nullptr;
    QString appointmentsPath; // the appointments file
    QDateTime now; // the moment "today" and "now" stand for
};

// The dialog of a report; Ask::Nothing also for names that are no report.
Ask AskFor(const QString &name);
bool IsReport(const QString &name);
QStringList ReportNames();

// Runs the named report with its parameters into table (title, parameter
// lines, columns, rows). False, with the reason, for an unknown name or when
// its data cannot be read.
bool BuildReport(
    const QString &name, const Parameters &parameters, const Sources &sources, Table *table, QString *error);

} // namespace Reports
