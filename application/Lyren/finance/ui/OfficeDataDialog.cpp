#include "finance/ui/OfficeDataDialog.h"

#include "finance/ui/DialogParts.h"

#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

namespace {

// A rate edit followed by its "%" sign.
QWidget *rateRow(QLineEdit *edit, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(new QLabel(QStringLiteral("%"), row));
    layout->addStretch();
    return row;
}

} // namespace

COfficeDataDialog::COfficeDataDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Office data"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    const struct
    {
        const char *label;
        const char *objectName;
        QString OfficeRecord::*member;
    } lines[] = {
        { QT_TR_NOOP("Name:"), "name", &OfficeRecord::name },
        { QT_TR_NOOP("Address:"), "address", &OfficeRecord::address },
        { QT_TR_NOOP("Postal Code:"), "postalCode", &OfficeRecord::postalCode },
        { QT_TR_NOOP("State or Province:"), "state", &OfficeRecord::state },
        { QT_TR_NOOP("Country:"), "country", &OfficeRecord::country },
        { QT_TR_NOOP("Office Phone:"), "officePhone", &OfficeRecord::officePhone },
        { QT_TR_NOOP("Home Phone:"), "homePhone", &OfficeRecord::homePhone },
        { QT_TR_NOOP("Fax:"), "fax", &OfficeRecord::fax },
        { QT_TR_NOOP("Office Email:"), "email", &OfficeRecord::email },
    };
    for (const auto &line : lines) {
        QLineEdit *edit = addLine(QString::fromLatin1(line.objectName));
        form->addRow(tr(line.label), edit);
        m_lines.emplace_back(edit, line.member);
    }
    m_pFooter = new QPlainTextEdit(this);
    m_pFooter->setObjectName(QStringLiteral("emailFooter"));
    m_pFooter->setTabChangesFocus(true);
    form->addRow(tr("Email Signature:"), m_pFooter);

    auto *financial = new QGroupBox(tr("Financial:"), this);
    auto *taxes = new QFormLayout(financial);
    taxes->addRow(new QLabel(tr("Sales taxes"), financial));
    m_pTax1 = addLine(QStringLiteral("tax1"));
    m_pTax2 = addLine(QStringLiteral("tax2"));
    taxes->addRow(tr("Tax 1:"), rateRow(m_pTax1, financial));
    taxes->addRow(tr("Tax 2:"), rateRow(m_pTax2, financial));
    layout->addWidget(financial);

    Finance::AddDialogButtons(this, layout, true);
}

QLineEdit *COfficeDataDialog::addLine(const QString &objectName)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    return edit;
}

void COfficeDataDialog::SetRecord(const OfficeRecord &record)
{
    for (const auto &[edit, member] : m_lines)
        edit->setText(record.*member);
    m_pFooter->setPlainText(record.emailFooter);
    m_pTax1->setText(locale().toString(record.tax1, 'f', 2));
    m_pTax2->setText(locale().toString(record.tax2, 'f', 2));
}

OfficeRecord COfficeDataDialog::GetRecord() const
{
    OfficeRecord record;
    for (const auto &[edit, member] : m_lines)
        record.*member = edit->text();
    record.emailFooter = m_pFooter->toPlainText();
    record.tax1 = ParseRate(m_pTax1->text());
    record.tax2 = ParseRate(m_pTax2->text());
    return record;
}

double COfficeDataDialog::ParseRate(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    double rate = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        rate = QLocale::c().toDouble(trimmed, &ok);
    return ok && std::isfinite(rate) ? rate : 0.0;
}
