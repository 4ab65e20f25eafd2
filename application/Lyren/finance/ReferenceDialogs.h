#pragma once

#include "finance/LogicOfficeData.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class CLogicDilutions;
class CLogicMedicines;
class QWidget;

namespace Korbel {
class IXListCtrl;
}

// The fields of one remedy as the details dialog shows them; prices are the
// texts the user typed (stored as typed, read as money).
struct MedicineDetails
{
    QString name;
    QString price;
    QString providerPrice;
    QString providerName;
    QString description;
};

// The fields of one provider as the details dialog shows them.
struct ProviderDetails
{
    QString name;
    QString address;
    QString email;
    QString description;
};

// One stock row as the details dialog edits it.
struct StockDetails
{
    qint64 remedyId = 0;
    qint64 dilutionId = 0;
    QString dilution; // the potency text
    int stock = 0;
    int threshold = 0;
    int replenish = 0;
};

// The windows of the reference data as their logic objects show them: the
// management dialogs around a list the logic fills, and the details dialogs
// over plain values. The window layer provides them through the context's
// services; tests provide their own.
class IReferenceDialogs
{
public:
    enum class Management { Remedies, Providers, Stocks };
    struct ManagementHooks
    {
        // The dialog's list as it opens, and null as it closes.
        std::function<void(Korbel::IXListCtrl *list)> attach;
        // The list changed size: its columns may be laid out again.
        std::function<void()> resized;
        // The remedies dialog's "Stocks" button, with the dialog's window.
        std::function<void(QWidget *dialog)> stocks;
    };

    virtual ~IReferenceDialogs() = default;
    // Shows a management dialog modally; returns when it is closed.
    virtual void ShowManagement(Management kind, QWidget *parent, const ManagementHooks &hooks) = 0;
    // The details dialogs: true when the person confirmed them, the values
    // then being what was entered.
    virtual bool EditRemedy(QWidget *parent, const QStringList &providerNames, MedicineDetails *details) = 0;
    virtual bool EditProvider(QWidget *parent, ProviderDetails *details) = 0;
    virtual bool EditStock(
        QWidget *parent, CLogicMedicines *medicines, CLogicDilutions *dilutions, StockDetails *details)
        = 0;
    virtual bool EditOfficeData(QWidget *parent, OfficeRecord *record) = 0;
};
