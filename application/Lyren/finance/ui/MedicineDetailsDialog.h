#pragma once

#include "finance/ReferenceDialogs.h"

#include <QtWidgets/QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// "Add/Modify Remedy".
class CMedicineDetailsDialog : public QDialog
{
    Q_OBJECT

public:
    // providerNames: the provider name list, "NoProvider" first.
    CMedicineDetailsDialog(const QStringList &providerNames, QWidget *parent = nullptr);

    // Presets the fields; the provider entry whose text equals the name is
    // selected, the first entry when none does.
    void SetDetails(const MedicineDetails &details);
    MedicineDetails GetDetails() const;

    // A remedy needs a name: OK with an empty name says so and stays open.
    void accept() override;

private:
    QLineEdit *m_pName;
    QLineEdit *m_pPrice;
    QLineEdit *m_pProviderPrice;
    QComboBox *m_pProvider;
    QPlainTextEdit *m_pDescription;
};
