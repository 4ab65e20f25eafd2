#pragma once

#include "reports/ReportModel.h"

class QPagedPaintDevice;

namespace Reports {

// Paints the report on a paged device (a PDF writer or a printer): the title
// and parameters on the first page, the column headings on every page, group
// headings, subtotals and the grand total in bold, and the page number and
// the date of printing at the foot of each page. Columns wider than the page
// are narrowed and their texts elided. False when painting could not start.
bool PaintReport(const Table &table, QPagedPaintDevice *device, const QLocale &locale = QLocale());

} // namespace Reports
