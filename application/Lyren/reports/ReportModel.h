#pragma once

// A report as it is shown, printed and exported: its title, the parameters it
// was run with, its columns and rows, how rows are grouped and which columns
// are totalled. Cells are typed so that sums stay exact and every output
// (preview, paper, PDF, CSV) formats them the same way.

#include "common/Money.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <vector>

namespace Reports {

enum class CellKind {
    Text,
    Integer, // qint64
    Money, // qint64, whole ten-thousandths (Verdanta::Money units)
    Date, // QDate
    Time, // QTime
    YesNo, // bool
    Key, // qint64 identity of a group; never shown
};

struct Column
{
    QString title;
    CellKind kind = CellKind::Text;
    bool total = false; // summed in group subtotals and the grand total
};

// One report, ready to be shown. Rows hold one cell per column. When
// groupColumn is set, rows with the same group (groupKey when set, otherwise
// the group column's cell) must be adjacent: each group gets a heading
// (the group column's cell) and, when something is totalled, a subtotal line;
// the group column is then not repeated in its rows.
struct Table
{
    QString name; // the report's key, e.g. "MONEY_MADE"
    QString title;
    QStringList parameters; // one line per parameter, as the person chose it
    std::vector<Column> columns;
    std::vector<QVariantList> rows;
    int groupColumn = -1;
    int groupKey = -1; // a Key column telling groups apart (two patients of one name)
    QString countLabel; // "%n patient(s)": the count line of the grand total
};

// The lines of a laid-out report, in order.
struct Line
{
    enum Kind { Heading, Detail, Subtotal, Total };
    Kind kind = Detail;
    QStringList cells; // one per shown column
};

class Layout
{
    Q_DECLARE_TR_FUNCTIONS(Reports::Layout)

public:
    explicit Layout(const Table &table, const QLocale &locale = QLocale());

    // The columns that are printed (group and key columns left out), in order.
    const std::vector<int> &ShownColumns() const { return m_shown; }
    QStringList Headings() const;
    bool RightAligned(int shownIndex) const;
    const std::vector<Line> &Lines() const { return m_lines; }
    // The sum of a totalled column over every row (0 for other columns).
    qint64 GrandTotal(int column) const;

    static QString FormatCell(CellKind kind, const QVariant &value, const QLocale &locale);

private:
    void build();
    Line sumLine(Line::Kind kind, const QString &label, const std::vector<qint64> &sums) const;

    const Table &m_table;
    QLocale m_locale;
    std::vector<int> m_shown;
    std::vector<Line> m_lines;
    std::vector<qint64> m_grand;
};

// The report as comma-separated values (UTF-8, a heading row, then one record
// per row with every shown column and the group column first): money as plain
// decimals with two places, dates as yyyy-MM-dd, so that spreadsheets read the
// figures whatever the locale. Written atomically; false with the reason when
// the file cannot be written.
bool ExportCsv(const Table &table, const QString &path, QString *error);

// The report as a PDF document (A4), laid out as it is printed. Written
// atomically; false with the reason when the file cannot be written.
bool ExportPdf(const Table &table, const QString &path, QString *error);

} // namespace Reports
