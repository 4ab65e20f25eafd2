#include "patients/ui/CFindDlg.h"

#include <QtCore/QAbstractTableModel>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

// The rows found: first name, last name and a hidden column with the ID. A
// model of its own, so that a query listing every patient of a large practice
// shows at once.
class FoundPatientsModel final : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { FirstNameColumn, LastNameColumn, IdColumn, ColumnCount };

    void SetRows(FoundPatients rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    // The patient of a row, read when asked for; false outside the rows.
    bool Row(int row, FoundPatient *patient) const
    {
        if (row < 0 || row >= m_rows.Count())
            return false;
        *patient = m_rows.At(row);
        return true;
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : m_rows.Count(); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : ColumnCount; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        FoundPatient patient;
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !Row(index.row(), &patient))
            return {};
        switch (index.column()) {
        case FirstNameColumn:
            return patient.firstName;
        case LastNameColumn:
            return patient.lastName;
        case IdColumn:
            return patient.id;
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case FirstNameColumn:
            return CFindDlg::tr("First Name");
        case LastNameColumn:
            return CFindDlg::tr("Last Name");
        default:
            return {};
        }
    }

private:
    FoundPatients m_rows;
};

CFindDlg::CFindDlg(Search search, QWidget *parent)
    : QDialog(parent)
    , m_search(std::move(search))
{
    setWindowTitle(tr("Find"));
    setObjectName(QStringLiteral("findDialog"));

    m_pFirstName = new QLineEdit(this);
    m_pFirstName->setObjectName(QStringLiteral("firstName"));
    m_pLastName = new QLineEdit(this);
    m_pLastName->setObjectName(QStringLiteral("lastName"));
    m_pFind = new QPushButton(tr("Find"), this);
    m_pFind->setDefault(true);
    connect(m_pFind, &QPushButton::clicked, this, &CFindDlg::RunFind);

    auto *fields = new QGridLayout;
    auto *firstLabel = new QLabel(tr("First Name:"), this);
    firstLabel->setBuddy(m_pFirstName);
    auto *lastLabel = new QLabel(tr("Last Name:"), this);
    lastLabel->setBuddy(m_pLastName);
    fields->addWidget(firstLabel, 0, 0);
    fields->addWidget(m_pFirstName, 0, 1);
    fields->addWidget(lastLabel, 1, 0);
    fields->addWidget(m_pLastName, 1, 1);
    fields->addWidget(m_pFind, 0, 2, 2, 1, Qt::AlignVCenter);

    m_pModel = new FoundPatientsModel(this);
    m_pList = new QTableView(this);
    m_pList->setObjectName(QStringLiteral("results"));
    m_pList->setModel(m_pModel);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setShowGrid(true);
    m_pList->verticalHeader()->hide();
    m_pList->verticalHeader()->setDefaultSectionSize(m_pList->fontMetrics().height() + 6);
    m_pList->setColumnHidden(FoundPatientsModel::IdColumn, true);
    m_pList->setMinimumSize(360, 220);
    connect(m_pList, &QTableView::doubleClicked, this,
        [this](const QModelIndex &index) { ChooseRow(index.row()); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pOk = buttons->button(QDialogButtonBox::Ok);
    m_pOk->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    m_pFirstName->setFocus();
}

CFindDlg::~CFindDlg() = default;

void CFindDlg::RunFind()
{
    m_pModel->SetRows(m_search ? m_search(m_pFirstName->text(), m_pLastName->text()) : FoundPatients());
    m_pList->setColumnHidden(FoundPatientsModel::IdColumn, true);
    if (m_pModel->rowCount({}) > 0)
        m_pList->setFocus();
}

int CFindDlg::ResultCount() const
{
    return m_pModel->rowCount({});
}

void CFindDlg::SelectRow(int row)
{
    if (row < 0 || row >= m_pModel->rowCount({})) {
        m_pList->clearSelection();
        return;
    }
    m_pList->selectRow(row);
}

void CFindDlg::ChooseRow(int row)
{
    FoundPatient patient;
    if (!m_pModel->Row(row, &patient)) {
        reject();
        return;
    }
    m_chosen = patient;
    QDialog::accept();
}

void CFindDlg::accept()
{
    // The selected row is the chosen patient; without one OK is Cancel.
    const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    ChooseRow(rows.isEmpty() ? -1 : rows.last().row());
}

void CFindDlg::FitColumns()
{
    // Each visible column takes half the list less 6 pixels.
    const int width = m_pList->viewport()->width() / 2 - 6;
    m_pList->setColumnWidth(FoundPatientsModel::FirstNameColumn, std::max(width, 20));
    m_pList->setColumnWidth(FoundPatientsModel::LastNameColumn, std::max(width, 20));
}

void CFindDlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FitColumns();
}

void CFindDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FitColumns();
}
