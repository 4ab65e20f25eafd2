#include "reports/ui/ReportPreviewWindow.h"

#include "reports/ReportPainter.h"

#include "desktop/FileDialogs.h"
#include "desktop/Prompts.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtGui/QFont>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrintPreviewDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

CReportLinesModel::CReportLinesModel(const Reports::Layout &layout, QObject *parent)
    : QAbstractTableModel(parent)
    , m_layout(layout)
    , m_headings(layout.Headings())
{ }

int CReportLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_layout.Lines().size());
}

int CReportLinesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant CReportLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Reports::Line &line = m_layout.Lines()[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return line.cells.value(index.column());
    case Qt::FontRole:
        if (line.kind != Reports::Line::Detail) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        break;
    case Qt::TextAlignmentRole:
        if (line.kind != Reports::Line::Heading && m_layout.RightAligned(index.column()))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break;
    }
    return {};
}

QVariant CReportLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headings.value(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && m_layout.RightAligned(section))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}

CReportPreviewWindow::CReportPreviewWindow(QWidget *parent, std::shared_ptr<const Reports::Table> table)
    : QWidget(parent, Qt::Window)
    , m_pTable(std::move(table))
    , m_pLayout(std::make_unique<Reports::Layout>(*m_pTable))
    , m_pView(new QTableView(this))
    , m_pPdf(new QPushButton(tr("Export to PDF..."), this))
    , m_pCsv(new QPushButton(tr("Export to CSV..."), this))
{
    setWindowTitle(tr("Report Preview - %1").arg(m_pTable->title));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(m_pTable->title, this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    layout->addWidget(title);
    for (const QString &parameter : m_pTable->parameters)
        layout->addWidget(new QLabel(parameter, this));

    m_pView->setModel(new CReportLinesModel(*m_pLayout, m_pView));
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->verticalHeader()->hide();
    m_pView->verticalHeader()->setDefaultSectionSize(m_pView->fontMetrics().height() + 6);
    m_pView->setWordWrap(false);
    // Group headings run across the whole line.
    const auto &lines = m_pLayout->Lines();
    const int columns = static_cast<int>(m_pLayout->ShownColumns().size());
    for (size_t row = 0; row < lines.size(); ++row) {
        if (lines[row].kind == Reports::Line::Heading && columns > 1)
            m_pView->setSpan(static_cast<int>(row), 0, 1, columns);
    }
    // Columns sized on the first lines: sizing on every line of a long report
    // would cost more than the report.
    m_pView->horizontalHeader()->setResizeContentsPrecision(200);
    m_pView->resizeColumnsToContents();
    // The first column (names, months, types) takes the room to spare.
    QHeaderView *header = m_pView->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_pView, 1);

    auto *buttons = new QHBoxLayout;
    auto *print = new QPushButton(tr("Print..."), this);
    auto *preview = new QPushButton(tr("Print Preview..."), this);
    auto *close = new QPushButton(tr("Close"), this);
    connect(print, &QPushButton::clicked, this, &CReportPreviewWindow::Print);
    connect(preview, &QPushButton::clicked, this, &CReportPreviewWindow::PrintPreview);
    connect(m_pPdf, &QPushButton::clicked, this, &CReportPreviewWindow::ExportPdf);
    connect(m_pCsv, &QPushButton::clicked, this, &CReportPreviewWindow::ExportCsv);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton *button : { print, preview, m_pPdf, m_pCsv })
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(900, 640);
}

CReportPreviewWindow::~CReportPreviewWindow() = default;

void CReportPreviewWindow::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_pTable->title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!Reports::PaintReport(*m_pTable, &printer))
        Desktop::Inform(this, tr("The report could not be printed."), Desktop::Icon::Error);
}

void CReportPreviewWindow::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_pTable->title);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
        [this](QPrinter *target) { Reports::PaintReport(*m_pTable, target); });
    dialog.exec();
}

QString CReportPreviewWindow::AskPath(const QString &caption, const QString &suffix, const QString &filter)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString proposed = QDir(folder).filePath(m_pTable->name.toLower() + suffix);
    QString path = Desktop::FileDialogs().GetSaveFileName(this, caption, proposed, filter);
    if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    return path;
}

void CReportPreviewWindow::ExportPdf()
{
    const QString path
        = AskPath(tr("Export to PDF"), QStringLiteral(".pdf"), tr("PDF files (*.pdf)|*.pdf||"));
    QString error;
    if (!path.isEmpty() && !Reports::ExportPdf(*m_pTable, path, &error))
        Desktop::Inform(this, tr("The report could not be exported to \"%1\": %2").arg(path, error),
            Desktop::Icon::Error);
}

void CReportPreviewWindow::ExportCsv()
{
    const QString path
        = AskPath(tr("Export to CSV"), QStringLiteral(".csv"), tr("Comma-separated values (*.csv)|*.csv||"));
    QString error;
    if (!path.isEmpty() && !Reports::ExportCsv(*m_pTable, path, &error))
        Desktop::Inform(this, tr("The report could not be exported to \"%1\": %2").arg(path, error),
            Desktop::Icon::Error);
}
