#pragma once

#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtCore/QString>
#include <QtCore/QStringList>

class QWidget;

namespace Korbel {
class IXListCtrl;
}

// What the prescription dialog shows and gives back: the remedies (ID and
// name, in name order), the potencies, and the choice (preset when the dialog
// opens, the person's when it is confirmed). A typed potency comes back as
// typed.
struct PrescriptionChoice
{
    QList<QPair<qint64, QString>> remedies;
    QStringList potencies;
    qint64 remedyId = 0;
    QString potency;
    int quantity = 1;
    bool providedByPatient = false;
};

// The prescription dialog as the prescriptions logic opens it, provided by the
// window layer among the services (tests provide their own or drive the real
// one).
class IPrescriptionDialogs
{
public:
    // Prescription: remedy, potency, quantity and "Provided by patient".
    // Treatment: titled "Treatment", remedy and potency only.
    enum class Mode { Prescription, Treatment };

    // True when the person confirmed the dialog.
    virtual bool ChoosePrescription(QWidget *parent, Mode mode, PrescriptionChoice &choice) = 0;

protected:
    ~IPrescriptionDialogs() = default;
};

// The prescription list of the finance page as its logic fills it: the list
// control and the "PAID" and "UNPAID" fields.
class IPrescriptionListView
{
public:
    virtual Korbel::IXListCtrl *List() = 0;
    virtual void ShowTotals(const QString &paid, const QString &unpaid) = 0;
    // The logic lets go of the view (it goes, or another view takes its place).
    virtual void Detached() = 0;

protected:
    ~IPrescriptionListView() = default;
};
