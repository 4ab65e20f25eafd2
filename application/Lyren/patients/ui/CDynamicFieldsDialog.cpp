#include "patients/ui/CDynamicFieldsDialog.h"

#include "patients/CLogicDynamicFields.h"

#include "core/CommandCodes.h"
#include "shell/CLogicMain.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

CDynamicFieldsDialog::CDynamicFieldsDialog(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, CLogicDynamicFields::BackgroundColor());
    setPalette(background);

    m_pHint = new QLabel(
        tr("Add here custom fields. Double click each column to modify. Select and hit 'Del' to delete."),
        this);
    m_pHint->setWordWrap(true);
    m_pList = new Korbel::CXListCtrl(this);
    m_pList->setObjectName(QStringLiteral("customFields"));
    m_pList->setShowGrid(true);
    m_pList->setProperty("verdantaCommand", CommandCode::CustomFields);
    connect(m_pList, &Korbel::CXListCtrl::checkboxClicked, this, &CDynamicFieldsDialog::OnCheckboxClicked);
    m_pList->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pHint);
    layout->addWidget(m_pList, 1);
}

CDynamicFieldsDialog::~CDynamicFieldsDialog()
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IDynamicFieldsView>(this);
}

Korbel::IXListCtrl *CDynamicFieldsDialog::FieldsList()
{
    return m_pList;
}

void CDynamicFieldsDialog::Attach(CLogicMain *hub)
{
    if (m_pHub)
        m_pHub->Services().Withdraw<IDynamicFieldsView>(this);
    m_pHub = hub;
    if (!m_pHub)
        return;
    m_pHub->Services().Provide<IDynamicFieldsView>(this);
    Send(CustomFieldsSubCommand::ShowCurrent);
    AdjustColumns();
}

void CDynamicFieldsDialog::Refresh()
{
    Korbel::ITable *main = m_pHub ? m_pHub->GetMainTable() : nullptr;
    const bool hasPatient = main && main->CurrentPosition() >= 0;
    m_pList->setEnabled(hasPatient && m_pHub->Reaches(CommandCode::CustomFields));
}

int CDynamicFieldsDialog::Send(int subCommand, qint64 id)
{
    if (!m_pHub)
        return 0;
    LogicCommand command;
    command.code = CommandCode::CustomFields;
    command.subCommand = subCommand;
    command.id = id;
    command.control = m_pList;
    command.window = window();
    return m_pHub->OnCommand(command);
}

void CDynamicFieldsDialog::OnCheckboxClicked(int row, int column)
{
    if (column == CLogicDynamicFields::CreateAlwaysColumn)
        Send(CustomFieldsSubCommand::CreateAlwaysClicked, row);
}

void CDynamicFieldsDialog::AdjustColumns()
{
    if (m_pList->GetColumnCount() <= CLogicDynamicFields::CreateAlwaysColumn)
        return;
    // "Name" and "Value" share what the check-box column leaves.
    const int boxes = m_pList->horizontalHeader()->fontMetrics().horizontalAdvance(
                          m_pList->GetColumnHeading(CLogicDynamicFields::CreateAlwaysColumn))
        + 24;
    const int half = std::max(40, (m_pList->ClientWidth() - boxes) / 2);
    m_pList->SetColumnWidth(CLogicDynamicFields::NameColumn, half);
    m_pList->SetColumnWidth(CLogicDynamicFields::ValueColumn, half);
    m_pList->SetColumnWidth(CLogicDynamicFields::CreateAlwaysColumn, boxes);
}

bool CDynamicFieldsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pList->viewport() && event->type() == QEvent::Resize)
        AdjustColumns();
    return QWidget::eventFilter(watched, event);
}
