#pragma once

#include "reports/ReportModel.h"

#include <QtCore/QAbstractTableModel>
#include <QtWidgets/QWidget>

#include <memory>

class QPushButton;
class QTableView;

// The lines of a laid-out report as a table: headings, subtotals and the
// total in bold, amounts right-aligned.
class CReportLinesModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    CReportLinesModel(const Reports::Layout &layout, QObject *parent);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const Reports::Layout &m_layout;
    QStringList m_headings;
};

// The preview of one report: its title and parameters, its lines, and Print,
// Print Preview, Export to PDF and Export to CSV.
class CReportPreviewWindow final : public QWidget
{
    Q_OBJECT

public:
    CReportPreviewWindow(QWidget *parent, std::shared_ptr<const Reports::Table> table);
    ~CReportPreviewWindow() override;

    const Reports::Table &Table() const { return *m_pTable; }
    QTableView *View() const { return m_pView; }
    QPushButton *PdfButton() const { return m_pPdf; }
    QPushButton *CsvButton() const { return m_pCsv; }

public Q_SLOTS:
    void Print();
    void PrintPreview();
    // Asks where to write the file and writes it; the person is told when it fails.
    void ExportPdf();
    void ExportCsv();

private:
    QString AskPath(const QString &caption, const QString &suffix, const QString &filter);

    std::shared_ptr<const Reports::Table> m_pTable;
    std::unique_ptr<Reports::Layout> m_pLayout;
    QTableView *m_pView;
    QPushButton *m_pPdf;
    QPushButton *m_pCsv;
};
