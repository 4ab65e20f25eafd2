#include "finance/ui/StockDetailsDialog.h"

#include "finance/LogicDilutions.h"
#include "finance/LogicMedicines.h"
#include "finance/ui/DialogParts.h"

#include "common/Identifiers.h"
#include "desktop/Prompts.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QRegularExpressionValidator>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

// Whole numbers of at most nine digits, so that the sums of order generation
// stay inside 32 bits; only the stock may be negative.
QLineEdit *countEdit(const QString &objectName, bool mayBeNegative, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    const QString pattern = mayBeNegative ? QStringLiteral("-?\\d{0,9}") : QStringLiteral("\\d{0,9}");
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    return edit;
}

} // namespace

CStockDetailsDialog::CStockDetailsDialog(
    CLogicMedicines *medicines, CLogicDilutions *dilutions, QWidget *parent)
    : QDialog(parent)
    , m_pLogicDilutions(dilutions)
    , m_pRemedy(new QComboBox(this))
    , m_pPotency(new QComboBox(this))
    , m_pStock(countEdit(QStringLiteral("stock"), true, this))
    , m_pThreshold(countEdit(QStringLiteral("threshold"), false, this))
    , m_pReplenish(countEdit(QStringLiteral("replenish"), false, this))
{
    setWindowTitle(tr("Add/Modify Stock"));
    m_pRemedy->setObjectName(QStringLiteral("remedy"));
    m_pPotency->setObjectName(QStringLiteral("potency"));
    m_pPotency->setEditable(true);
    m_pPotency->setInsertPolicy(QComboBox::NoInsert);

    qint64 id = 0;
    QString text;
    if (medicines) {
        for (bool more = medicines->First(&id, &text); more; more = medicines->Next(&id, &text))
            m_pRemedy->addItem(text, id);
    }
    if (dilutions) {
        for (bool more = dilutions->First(&id, &text); more; more = dilutions->Next(&id, &text))
            m_pPotency->addItem(text, id);
    }
    m_pRemedy->setCurrentIndex(-1);
    m_pPotency->setCurrentIndex(-1);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(tr("Remedy: (*)"), m_pRemedy);
    form->addRow(tr("Potency: (*)"), m_pPotency);
    form->addRow(tr("Stock: (*)"), m_pStock);
    form->addRow(tr("Stock threshold: (*)"), m_pThreshold);
    form->addRow(tr("Replenish quantity: (*)"), m_pReplenish);
    layout->addLayout(form);
    Finance::AddDialogButtons(this, layout);
}

void CStockDetailsDialog::SetDetails(const StockDetails &details)
{
    m_details = details;
    // A remedy deleted since the row was made is not offered: none is chosen.
    m_pRemedy->setCurrentIndex(m_pRemedy->findData(details.remedyId));
    m_pPotency->setCurrentIndex(m_pPotency->findData(details.dilutionId));
    if (m_pPotency->currentIndex() < 0)
        m_pPotency->setEditText(details.dilution);
    m_pStock->setText(QString::number(details.stock));
    m_pThreshold->setText(QString::number(details.threshold));
    m_pReplenish->setText(QString::number(details.replenish));
}

void CStockDetailsDialog::accept()
{
    const QString potency = m_pPotency->currentText().trimmed();
    if (m_pStock->text().trimmed().isEmpty() || m_pThreshold->text().trimmed().isEmpty()
        || m_pReplenish->text().trimmed().isEmpty() || m_pRemedy->currentIndex() < 0 || potency.isEmpty()) {
        Desktop::Inform(this, tr("Please fill all the fields!"), Desktop::Icon::Warning);
        return;
    }
    qint64 dilutionId = m_details.dilutionId;
    if (!m_pLogicDilutions || !m_pLogicDilutions->GetOrAdd(potency, &dilutionId))
        return;
    m_details.remedyId = m_pRemedy->currentData().toLongLong();
    m_details.dilutionId = dilutionId;
    m_details.dilution = potency;
    m_details.stock = Verdanta::AtoI(m_pStock->text());
    m_details.threshold = Verdanta::AtoI(m_pThreshold->text());
    m_details.replenish = Verdanta::AtoI(m_pReplenish->text());
    QDialog::accept();
}
