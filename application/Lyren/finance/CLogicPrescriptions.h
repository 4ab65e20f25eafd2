#pragma once

#include "finance/PrescriptionCharge.h"
#include "finance/PrescriptionDialogs.h"
#include "finance/PrescriptionStatusSink.h"
#include "finance/PrescriptionSums.h"
#include "notes/NotesServices.h"

#include "core/LogicCommand.h"
#include "core/LogicServices.h"

#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QStringList>

#include <vector>

class IPrescriptionListView;
class LogicContext;

// The open patient's prescriptions: the prescription items of the notes in
// the finance page's list (creation-date order, coloured by status, the
// status chosen in place), their amounts and the paid and unpaid totals, the
// stock they take, and the prescription dialog of new items.
//
// Stock moves with the save that stores a prescription (or deletes its rows),
// in that save's transaction: at insertion the status is worked out from the
// stock as it will be (the stored stock less the unsaved prescriptions of the
// same remedy and dilution) and the low-stock warning is shown, but nothing
// is written. A prescription that never reaches storage never moved stock.
class CLogicPrescriptions final : public ILogicObject,
                                  public IPrescriptionList,
                                  public IPrescriptionEditor,
                                  public IPrescriptionSums,
                                  public IPrescriptionStatusSink,
                                  public Korbel::IXListCtrlCallback,
                                  public LogicServiceUser
{
    Q_DECLARE_TR_FUNCTIONS(CLogicPrescriptions)

public:
    enum Column { RemedyColumn, StatusColumn, RemedyPriceColumn, PriceColumn, QuantityColumn, DateColumn };

    explicit CLogicPrescriptions(LogicContext &context);
    ~CLogicPrescriptions() override;
    CLogicPrescriptions(const CLogicPrescriptions &) = delete;
    CLogicPrescriptions &operator=(const CLogicPrescriptions &) = delete;

    // The patient's list starts empty (the notes then add their items); the
    // statuses are read again.
    bool Open(qint64 patientId);
    // The list of the finance page (null: none); its columns are made and it
    // is filled with the rows.
    void SetView(IPrescriptionListView *view);

    // IPrescriptionList
    void AddToList(CActiveEditorPrescItem &item) override;
    void RemoveFromList(CActiveEditorPrescItem &item) override;
    void SelectLast() override;
    void Reset() override;
    bool OnFirstSave(CActiveEditorPrescItem &item) override;
    bool OnRowsDeleted(const CActiveEditorPrescItem &item) override;

    // IPrescriptionEditor
    bool Edit(QWidget *parent, CActiveEditorPrescItem &item) override;
    bool ChooseTreatmentRemedy(QWidget *parent, RemedyRef &remedy) override;

    // IPrescriptionSums
    PrescriptionSums Sums() const override { return m_sums; }
    void SetSumsChangedHandler(std::function<void()> handler) override { m_sumsChanged = std::move(handler); }

    // The status chosen in a row's combo; false for a row out of range. A
    // name that matches no status keeps the status and refills the row.
    bool StatusChanged(int row);
    // Statuses moved elsewhere (orders): the matching items take them.
    void RefreshFromNotes(const QList<PrescriptionStatusChange> &changes);
    // IPrescriptionStatusSink: the orders changed stored statuses.
    void PrescriptionStatusesChanged(const QList<PrescriptionStatusChange> &changes) override
    {
        RefreshFromNotes(changes);
    }
    // Recomputes the paid, unpaid and total sums and shows them.
    void Totals();
    PrescriptionAmounts Amounts(const CActiveEditorPrescItem &item);

    // The patient's prescription rows and their charges (the patient is being
    // deleted).
    int DeletePatientRows();

    int RowCount() const { return int(m_rows.size()); }
    CActiveEditorPrescItem *ItemAt(int row) const;
    // The status names in ID order, and the colour of a status (white when the
    // status has none).
    const QStringList &StatusNames() const { return m_statusNames; }
    quint32 StatusColour(qint64 statusId) const { return m_statusColours.value(statusId, 0xFFFFFFu); }

    static QStringList ColumnTitles();
    static QString LowStockMessage();

    // 33: the status of row command.id was chosen; 60 with ShowCurrent: the
    // list is filled again.
    int OnCommand(LogicCommand &command) override;

    // IXListCtrlCallback
    void ComboSelection(int row, int column) override;
    void ListDestroyed() override;

private:
    struct Row
    {
        CActiveEditorPrescItem *item = nullptr;
        QDate created;
    };

    void ReadStatus();
    int RowOf(const CActiveEditorPrescItem &item) const;
    void FillRow(int row);
    void FillList();
    void SetStockStatus(CActiveEditorPrescItem &item);
    // Adds the changes to the counts of the item's remedy and dilution
    // (a row is made when there is none).
    bool MoveStock(const CActiveEditorPrescItem &item, int stockChange, int predictedChange);
    // The prescription dialog preset with a remedy; chosen takes the remedy
    // and dilution confirmed (a typed potency becomes a dilution).
    bool Choose(QWidget *parent, IPrescriptionDialogs::Mode mode, const RemedyRef &preset,
        PrescriptionChoice &choice, RemedyRef &chosen);
    Verdanta::Money RemedyPrice(qint64 remedyId);
    Korbel::IXListCtrl *List() const;

    LogicContext &m_context;
    IPrescriptionListView *m_pView = nullptr;
    std::vector<Row> m_rows;
    QHash<qint64, QString> m_statusNameOf;
    QHash<qint64, quint32> m_statusColours;
    QList<qint64> m_statusIds; // in ID order
    QStringList m_statusNames; // in ID order
    QHash<qint64, Verdanta::Money> m_prices; // while the notes load
    qint64 m_nPatientId = 0;
    bool m_bLoading = false;
    PrescriptionSums m_sums;
    std::function<void()> m_sumsChanged;
};
