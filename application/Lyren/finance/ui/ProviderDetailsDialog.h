#pragma once

#include "finance/ReferenceDialogs.h"

#include <QtWidgets/QDialog>

class QLineEdit;
class QPlainTextEdit;

// "Add/Modify Provider".
class CProviderDetailsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CProviderDetailsDialog(QWidget *parent = nullptr);

    void SetDetails(const ProviderDetails &details);
    ProviderDetails GetDetails() const;

    // A provider needs a name: OK with an empty name says so and stays open.
    void accept() override;

private:
    QLineEdit *m_pName;
    QLineEdit *m_pAddress;
    QLineEdit *m_pEmail;
    QPlainTextEdit *m_pDescription;
};
