#include "reports/ui/ReportParameterDialogs.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

namespace {

// The largest amount the dialog takes: far beyond any payment, well within
// what money holds.
constexpr double kMaxAmount = 1e9;

void SelectData(QComboBox *combo, qint64 id)
{
    const int index = combo->findData(id);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

CReportParamBase::CReportParamBase(QWidget *parent, const QString &prompt)
    : QDialog(parent)
{
    setWindowTitle(tr("Report Parameters"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(prompt, this));
    m_pRows = new QVBoxLayout;
    layout->addLayout(m_pRows);
    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_pButtons);
}

QPushButton *CReportParamBase::OkButton() const
{
    return m_pButtons->button(QDialogButtonBox::Ok);
}

void CReportParamBase::AddRow(const QList<QWidget *> &widgets)
{
    auto *row = new QHBoxLayout;
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    m_pRows->addLayout(row);
}

QDateEdit *CReportParamBase::NewDateEdit(const QDate &date)
{
    auto *edit = new QDateEdit(date.isValid() ? date : QDate::currentDate(), this);
    edit->setCalendarPopup(true);
    return edit;
}

CReportParamDialog::CReportParamDialog(QWidget *parent, bool before, const QDate &date)
    : CReportParamBase(parent, tr("Please specify the time range:"))
    , m_pDate(NewDateEdit(date))
{
    AddRow({ new QLabel(before ? tr("Before:") : tr("After:"), this), m_pDate });
}

QDate CReportParamDialog::Date() const
{
    return m_pDate->date();
}

CReportParamAgeDlg::CReportParamAgeDlg(QWidget *parent, int from, int to)
    : CReportParamBase(parent, tr("Please specify the age range:"))
    , m_pFrom(new QSpinBox(this))
    , m_pTo(new QSpinBox(this))
{
    for (QSpinBox *box : { m_pFrom, m_pTo })
        box->setRange(0, 150);
    m_pFrom->setValue(from);
    m_pTo->setValue(to > 0 ? to : 150);
    AddRow({ new QLabel(tr("Between"), this), m_pFrom, new QLabel(tr("and"), this), m_pTo,
        new QLabel(tr("year(s)"), this) });
}

int CReportParamAgeDlg::From() const
{
    return m_pFrom->value();
}

int CReportParamAgeDlg::To() const
{
    return m_pTo->value();
}

CReportParamGenderDialog::CReportParamGenderDialog(QWidget *parent, bool male)
    : CReportParamBase(parent, tr("Preview all:"))
    , m_pMale(new QRadioButton(tr("Male patients"), this))
    , m_pFemale(new QRadioButton(tr("Female patients"), this))
{
    auto *group = new QButtonGroup(this);
    group->addButton(m_pMale);
    group->addButton(m_pFemale);
    (male ? m_pMale : m_pFemale)->setChecked(true);
    AddRow({ m_pMale });
    AddRow({ m_pFemale });
}

bool CReportParamGenderDialog::Male() const
{
    return m_pMale->isChecked();
}

CReportParamAmountDialog::CReportParamAmountDialog(QWidget *parent, const QDate &date, Verdanta::Money amount)
    : CReportParamBase(parent, tr("Please specify the time range and the amount:"))
    , m_pDate(NewDateEdit(date))
    , m_pAmount(new QDoubleSpinBox(this))
{
    m_pAmount->setDecimals(2);
    m_pAmount->setRange(0, kMaxAmount);
    m_pAmount->setGroupSeparatorShown(true);
    m_pAmount->setValue(amount.ToDouble());
    AddRow({ new QLabel(tr("After:"), this), m_pDate });
    AddRow({ new QLabel(tr("more than"), this), m_pAmount, new QLabel(CurrencyLabel(), this) });
}

QString CReportParamAmountDialog::CurrencyLabel()
{
    const QLocale locale;
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    return symbol.isEmpty() ? locale.currencySymbol(QLocale::CurrencyIsoCode) : symbol;
}

QDate CReportParamAmountDialog::Date() const
{
    return m_pDate->date();
}

Verdanta::Money CReportParamAmountDialog::Amount() const
{
    return Verdanta::Money::FromDouble(m_pAmount->value());
}

CReportParamRemedyDialog::CReportParamRemedyDialog(
    QWidget *parent, const Reports::Choices &choices, qint64 remedy, qint64 dilution)
    : CReportParamBase(parent, tr("Please specify the remedy:"))
    , m_pRemedy(new QComboBox(this))
    , m_pDilution(new QComboBox(this))
{
    for (const Reports::Choice &choice : choices.remedies)
        m_pRemedy->addItem(choice.name, choice.id);
    m_pDilution->addItem(tr("(any dilution)"), qint64(0));
    for (const Reports::Choice &choice : choices.dilutions)
        m_pDilution->addItem(choice.name, choice.id);
    SelectData(m_pRemedy, remedy);
    SelectData(m_pDilution, dilution);
    OkButton()->setEnabled(m_pRemedy->count() > 0);
    AddRow({ new QLabel(tr("Medicine"), this), m_pRemedy });
    AddRow({ new QLabel(tr("Dilution"), this), m_pDilution });
}

qint64 CReportParamRemedyDialog::Remedy() const
{
    return m_pRemedy->currentData().toLongLong();
}

qint64 CReportParamRemedyDialog::Dilution() const
{
    return m_pDilution->currentData().toLongLong();
}

CReportParamDFDialog::CReportParamDFDialog(
    QWidget *parent, const QStringList &fields, const QString &field, const QString &text)
    : CReportParamBase(parent, tr("Please specify the search criteria:"))
    , m_pField(new QComboBox(this))
    , m_pText(new QLineEdit(text, this))
{
    setWindowTitle(tr("Specify custom field search criteria"));
    m_pField->addItems(fields);
    if (fields.contains(field))
        m_pField->setCurrentText(field);
    AddRow({ m_pField, new QLabel(tr("which contains "), this), m_pText });
}

QString CReportParamDFDialog::Field() const
{
    return m_pField->currentText();
}

QString CReportParamDFDialog::Contains() const
{
    return m_pText->text();
}
