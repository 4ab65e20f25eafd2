#pragma once

// The parameter dialogs of the reports, all titled "Report Parameters" with
// OK and Cancel.

#include "reports/ReportsPresenter.h"

#include <QtWidgets/QDialog>

class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

// The frame every parameter dialog shares: the prompt, the dialog's own
// fields, then OK and Cancel.
class CReportParamBase : public QDialog
{
    Q_OBJECT

public:
    CReportParamBase(QWidget *parent, const QString &prompt);

protected:
    // Adds a row of the dialog's fields under the prompt.
    void AddRow(const QList<QWidget *> &widgets);
    QDateEdit *NewDateEdit(const QDate &date);
    QPushButton *OkButton() const;

private:
    QVBoxLayout *m_pRows;
    QDialogButtonBox *m_pButtons;
};

// "Please specify the time range:" with "After:" or "Before:" and a date.
class CReportParamDialog final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamDialog(QWidget *parent, bool before, const QDate &date);
    QDate Date() const;
    QDateEdit *DateEdit() const { return m_pDate; }

private:
    QDateEdit *m_pDate;
};

// "Between" [from] "and" [to] "year(s)".
class CReportParamAgeDlg final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamAgeDlg(QWidget *parent, int from, int to);
    int From() const;
    int To() const;
    QSpinBox *FromEdit() const { return m_pFrom; }
    QSpinBox *ToEdit() const { return m_pTo; }

private:
    QSpinBox *m_pFrom;
    QSpinBox *m_pTo;
};

// "Preview all:" "Male patients" or "Female patients".
class CReportParamGenderDialog final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamGenderDialog(QWidget *parent, bool male);
    bool Male() const;
    QRadioButton *MaleButton() const { return m_pMale; }
    QRadioButton *FemaleButton() const { return m_pFemale; }

private:
    QRadioButton *m_pMale;
    QRadioButton *m_pFemale;
};

// "After:" date, "more than" [amount] in the locale's currency; the amount
// keeps its cents.
class CReportParamAmountDialog final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamAmountDialog(QWidget *parent, const QDate &date, Verdanta::Money amount);
    QDate Date() const;
    Verdanta::Money Amount() const;
    QDateEdit *DateEdit() const { return m_pDate; }
    QDoubleSpinBox *AmountEdit() const { return m_pAmount; }
    // The currency the amount is in, as the locale writes it.
    static QString CurrencyLabel();

private:
    QDateEdit *m_pDate;
    QDoubleSpinBox *m_pAmount;
};

// "Medicine" and "Dilution" combos; item data are the IDs. The dilution list
// starts with "(any dilution)" (ID 0). Without remedies there is nothing to
// choose and OK stays disabled.
class CReportParamRemedyDialog final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamRemedyDialog(
        QWidget *parent, const Reports::Choices &choices, qint64 remedy, qint64 dilution);
    qint64 Remedy() const;
    qint64 Dilution() const;
    QComboBox *RemedyCombo() const { return m_pRemedy; }
    QComboBox *DilutionCombo() const { return m_pDilution; }

private:
    QComboBox *m_pRemedy;
    QComboBox *m_pDilution;
};

// "Specify custom field search criteria": a custom field and the text its
// value contains.
class CReportParamDFDialog final : public CReportParamBase
{
    Q_OBJECT

public:
    CReportParamDFDialog(
        QWidget *parent, const QStringList &fields, const QString &field, const QString &text);
    QString Field() const;
    QString Contains() const;
    QComboBox *FieldCombo() const { return m_pField; }
    QLineEdit *TextEdit() const { return m_pText; }

private:
    QComboBox *m_pField;
    QLineEdit *m_pText;
};
