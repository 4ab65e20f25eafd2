#include "orders/ui/COrderDetailsDialog.h"

#include "orders/OrderDetails.h"

#include "common/LocaleDates.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

namespace {

// Where a tree item stands in the order set: its order, and its line (-1 for
// an order's heading and for a prescription).
constexpr int kOrderRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

// The sent date of an order that was not sent shows blank.
const QDate kNoDate(1900, 1, 1);

QDateTime WithTimeOf(const QDate &date, const QDateTime &original)
{
    if (original.isValid() && original.date() == date)
        return original;
    return QDateTime(date, QTime(0, 0));
}

} // namespace

COrderDetailsDialog::COrderDetailsDialog(COrderDetails &details, QWidget *parent)
    : QDialog(parent)
    , m_details(details)
    , m_pCreation(new QDateEdit(this))
    , m_pSent(new QDateEdit(this))
    , m_pCost(new QLineEdit(this))
    , m_pStatus(new QLineEdit(this))
    , m_pDescription(new QPlainTextEdit(this))
    , m_pProviders(new QListWidget(this))
    , m_pTree(new QTreeWidget(this))
{
    setWindowTitle(tr("Add/Modify Orders"));
    setSizeGripEnabled(true);
    resize(860, 600);
    for (QDateEdit *date : { m_pCreation, m_pSent }) {
        date->setCalendarPopup(true);
        date->setMinimumDate(kNoDate);
        date->setDisplayFormat(Verdanta::LocaleDateFormat());
    }
    m_pSent->setSpecialValueText(QStringLiteral(" "));
    const QDateTime creation = details.CreationDate();
    m_pCreation->setDate(creation.isValid() ? creation.date() : QDate::currentDate());
    const QDateTime sent = details.SentDate();
    m_pSent->setDate(sent.isValid() ? sent.date() : kNoDate);
    m_pCreation->setObjectName(QStringLiteral("creationDate"));
    m_pSent->setObjectName(QStringLiteral("sentDate"));
    m_pCost->setObjectName(QStringLiteral("estimatedCost"));
    m_pCost->setReadOnly(true);
    m_pStatus->setObjectName(QStringLiteral("status"));
    m_pStatus->setReadOnly(true);
    m_pStatus->setText(details.StatusName());
    m_pDescription->setObjectName(QStringLiteral("description"));
    m_pDescription->setPlainText(details.Description());
    m_pDescription->setTabChangesFocus(true);
    m_pDescription->setMaximumHeight(70);
    m_pProviders->setObjectName(QStringLiteral("providers"));
    m_pProviders->addItems(details.ProviderNames());
    m_pTree->setObjectName(QStringLiteral("orderItems"));
    m_pTree->setHeaderHidden(true);
    m_pTree->installEventFilter(this);

    auto *fields = new QFormLayout;
    fields->addRow(tr("Creation Date:"), m_pCreation);
    fields->addRow(tr("Sent Date:"), m_pSent);
    fields->addRow(tr("Estimated Cost:"), m_pCost);
    fields->addRow(tr("Status:"), m_pStatus);
    fields->addRow(tr("Additional information:"), m_pDescription);
    auto *providers = new QVBoxLayout;
    providers->addWidget(new QLabel(tr("Providers:"), this));
    providers->addWidget(m_pProviders);
    auto *top = new QHBoxLayout;
    top->addLayout(fields, 3);
    top->addLayout(providers, 2);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(tr("Order Items:"), this));
    layout->addWidget(m_pTree, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem *current) { showProviderOf(current); });
    connect(m_pProviders, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row == m_details.ProviderIndex(m_currentOrder))
            return;
        m_details.SetProvider(m_currentOrder, row);
        fillTree();
    });

    fillTree();
    m_pProviders->setCurrentRow(m_details.ProviderIndex(0));
}

int COrderDetailsDialog::orderOf(const QTreeWidgetItem *item) const
{
    return item ? item->data(0, kOrderRole).toInt() : 0;
}

void COrderDetailsDialog::showProviderOf(QTreeWidgetItem *item)
{
    m_currentOrder = orderOf(item);
    const QSignalBlocker blocker(m_pProviders);
    m_pProviders->setCurrentRow(m_details.ProviderIndex(m_currentOrder));
}

void COrderDetailsDialog::fillTree()
{
    const int order = m_currentOrder;
    m_pTree->setUpdatesEnabled(false);
    m_pTree->clear();
    QList<QTreeWidgetItem *> roots;
    QTreeWidgetItem *current = nullptr;
    for (const COrderDetails::TreeOrder &shown : m_details.Tree()) {
        QTreeWidgetItem *heading = nullptr;
        if (!shown.heading.isEmpty()) {
            heading = new QTreeWidgetItem(QStringList { shown.heading });
            QFont bold = heading->font(0);
            bold.setBold(true);
            heading->setFont(0, bold);
            roots << heading;
        }
        for (const COrderDetails::TreeLine &line : shown.lines) {
            auto *item = new QTreeWidgetItem(QStringList { line.text });
            item->setData(0, kOrderRole, line.order);
            item->setData(0, kLineRole, line.line);
            for (const QString &text : line.prescriptions) {
                auto *child = new QTreeWidgetItem(item, QStringList { text });
                child->setData(0, kOrderRole, line.order);
                child->setData(0, kLineRole, -1);
            }
            if (heading) {
                heading->setData(0, kOrderRole, line.order);
                heading->setData(0, kLineRole, -1);
                heading->addChild(item);
            } else {
                roots << item;
            }
            if (!current && line.order == order)
                current = heading ? heading : item;
        }
    }
    m_pTree->addTopLevelItems(roots);
    m_pTree->expandAll();
    m_pTree->setUpdatesEnabled(true);
    if (current) {
        const QSignalBlocker blocker(m_pTree);
        m_pTree->setCurrentItem(current);
    }
    m_pCost->setText(m_details.EstimatedCost());
}

void COrderDetailsDialog::DeleteCurrentItem()
{
    QTreeWidgetItem *item = m_pTree->currentItem();
    // Del on a prescription or a heading does nothing.
    if (!item || item->data(0, kLineRole).toInt() < 0)
        return;
    if (m_details.DeleteLine(this, orderOf(item), item->data(0, kLineRole).toInt()))
        fillTree();
}

bool COrderDetailsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pTree && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        DeleteCurrentItem();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void COrderDetailsDialog::accept()
{
    const QDateTime sent
        = m_pSent->date() == kNoDate ? QDateTime() : WithTimeOf(m_pSent->date(), m_details.SentDate());
    m_details.Accept(
        WithTimeOf(m_pCreation->date(), m_details.CreationDate()), sent, m_pDescription->toPlainText());
    QDialog::accept();
}
