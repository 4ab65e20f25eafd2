#pragma once

#include "finance/LogicOfficeData.h"

#include <QtWidgets/QDialog>

class QLineEdit;
class QPlainTextEdit;

// "Office data": the practice's particulars and its two sales-tax rates. The
// record is set before the dialog shows and read back after "Done".
class COfficeDataDialog : public QDialog
{
    Q_OBJECT

public:
    explicit COfficeDataDialog(QWidget *parent = nullptr);

    void SetRecord(const OfficeRecord &record);
    OfficeRecord GetRecord() const;

    // A rate as the user typed it: the locale's number form or the C form; text
    // that is not a number counts as 0.
    static double ParseRate(const QString &text);

private:
    QLineEdit *addLine(const QString &objectName);

    std::vector<std::pair<QLineEdit *, QString OfficeRecord::*>> m_lines;
    QPlainTextEdit *m_pFooter;
    QLineEdit *m_pTax1;
    QLineEdit *m_pTax2;
};
