#include "reports/ReportModel.h"

#include "reports/ReportPainter.h"

#include "Korbel/Csv.h"
#include "common/LocaleDates.h"

#include <QtCore/QSaveFile>
#include <QtCore/QTime>
#include <QtGui/QPdfWriter>

#include <algorithm>

namespace Reports {

namespace {

bool IsSummed(const Column &column)
{
    return column.total && (column.kind == CellKind::Integer || column.kind == CellKind::Money);
}

// Money rounded half away from zero to cents, as plain decimal text.
QString PlainMoney(qint64 units)
{
    const bool negative = units < 0;
    const qint64 cents = ((negative ? -units : units) + 50) / 100;
    return QStringLiteral("%1%2.%3")
        .arg(negative && cents != 0 ? QStringLiteral("-") : QString())
        .arg(cents / 100)
        .arg(cents % 100, 2, 10, QLatin1Char('0'));
}

QString PlainCell(CellKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case CellKind::Money:
        return PlainMoney(value.toLongLong());
    case CellKind::Date:
        return value.toDate().toString(Qt::ISODate);
    case CellKind::Time:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case CellKind::YesNo:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case CellKind::Integer:
    case CellKind::Key:
        return QString::number(value.toLongLong());
    case CellKind::Text:
        break;
    }
    return value.toString();
}

} // namespace

Layout::Layout(const Table &table, const QLocale &locale)
    : m_table(table)
    , m_locale(locale)
    , m_grand(table.columns.size(), 0)
{
    for (int c = 0; c < static_cast<int>(table.columns.size()); ++c) {
        if (c != table.groupColumn && table.columns[static_cast<size_t>(c)].kind != CellKind::Key)
            m_shown.push_back(c);
    }
    build();
}

QStringList Layout::Headings() const
{
    QStringList headings;
    for (int c : m_shown)
        headings << m_table.columns[static_cast<size_t>(c)].title;
    return headings;
}

bool Layout::RightAligned(int shownIndex) const
{
    const CellKind kind = m_table.columns[static_cast<size_t>(m_shown[static_cast<size_t>(shownIndex)])].kind;
    return kind == CellKind::Integer || kind == CellKind::Money;
}

qint64 Layout::GrandTotal(int column) const
{
    return column >= 0 && column < static_cast<int>(m_grand.size()) ? m_grand[static_cast<size_t>(column)]
                                                                    : 0;
}

QString Layout::FormatCell(CellKind kind, const QVariant &value, const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case CellKind::Integer:
        return locale.toString(value.toLongLong());
    case CellKind::Money:
        return Verdanta::FormatMoneyForDisplay(Verdanta::Money::FromUnits(value.toLongLong()), locale);
    case CellKind::Date:
        return Verdanta::FormatLocaleDate(value.toDate(), locale);
    case CellKind::Time:
        return locale.toString(value.toTime(), QLocale::ShortFormat);
    case CellKind::YesNo:
        return value.toBool() ? tr("Yes") : tr("No");
    case CellKind::Key:
        return {};
    case CellKind::Text:
        break;
    }
    return value.toString();
}

Line Layout::sumLine(Line::Kind kind, const QString &label, const std::vector<qint64> &sums) const
{
    Line line { kind, {} };
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const auto c = static_cast<size_t>(m_shown[i]);
        if (IsSummed(m_table.columns[c]))
            line.cells << FormatCell(m_table.columns[c].kind, sums[c], m_locale);
        else
            line.cells << (i == 0 ? label : QString());
    }
    return line;
}

void Layout::build()
{
    const auto &columns = m_table.columns;
    const bool sums = std::any_of(columns.begin(), columns.end(), IsSummed);
    const bool grouped = m_table.groupColumn >= 0 && m_table.groupColumn < static_cast<int>(columns.size());
    const int keyColumn = m_table.groupKey >= 0 ? m_table.groupKey : m_table.groupColumn;
    std::vector<qint64> groupSums(columns.size(), 0);
    QVariant currentGroup;
    bool inGroup = false;
    m_lines.reserve(m_table.rows.size() + 2);

    for (const QVariantList &row : m_table.rows) {
        if (grouped) {
            const QVariant key = row.value(keyColumn);
            if (!inGroup || key != currentGroup) {
                if (inGroup && sums)
                    m_lines.push_back(sumLine(Line::Subtotal, tr("Subtotal"), groupSums));
                std::fill(groupSums.begin(), groupSums.end(), 0);
                const auto g = static_cast<size_t>(m_table.groupColumn);
                m_lines.push_back(Line { Line::Heading,
                    { FormatCell(columns[g].kind, row.value(m_table.groupColumn), m_locale) } });
                currentGroup = key;
                inGroup = true;
            }
        }
        Line line { Line::Detail, {} };
        for (int c : m_shown)
            line.cells << FormatCell(columns[static_cast<size_t>(c)].kind, row.value(c), m_locale);
        m_lines.push_back(std::move(line));
        for (size_t c = 0; c < columns.size(); ++c) {
            if (IsSummed(columns[c])) {
                const qint64 value = row.value(static_cast<int>(c)).toLongLong();
                groupSums[c] += value;
                m_grand[c] += value;
            }
        }
    }
    if (inGroup && sums)
        m_lines.push_back(sumLine(Line::Subtotal, tr("Subtotal"), groupSums));

    QString label = tr("Total");
    if (!m_table.countLabel.isEmpty())
        label = m_table.countLabel.arg(m_locale.toString(static_cast<qint64>(m_table.rows.size())));
    m_lines.push_back(sumLine(Line::Total, label, m_grand));
}

bool ExportCsv(const Table &table, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // A byte-order mark tells spreadsheets that the text is UTF-8.
    file.write("\xEF\xBB\xBF");
    Korbel::Csv::Writer writer(&file);
    std::vector<int> order;
    if (table.groupColumn >= 0)
        order.push_back(table.groupColumn);
    const Layout layout(table);
    order.insert(order.end(), layout.ShownColumns().begin(), layout.ShownColumns().end());
    for (int c : order)
        writer.Add(table.columns[static_cast<size_t>(c)].title.toUtf8());
    writer.EndRecord();
    for (const QVariantList &row : table.rows) {
        for (int c : order)
            writer.Add(PlainCell(table.columns[static_cast<size_t>(c)].kind, row.value(c)).toUtf8());
        writer.EndRecord();
    }
    if (!writer.Flush() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool ExportPdf(const Table &table, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(table.title);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        if (!PaintReport(table, &writer)) {
            *error = QCoreApplication::translate("Reports::Layout", "The report could not be drawn.");
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Reports
