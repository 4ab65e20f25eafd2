#pragma once

class CActiveEditorPrescItem;
class QWidget;
struct RemedyRef;

// What the notes use of the prescriptions area when it is installed (looked
// up among the context's services each time; absent, the notes do without).

// The patient's prescription list: the items of the notes it shows, and the
// stock movements that follow them. A stock movement is written only with the
// save that writes (or deletes) the prescription's row, in the same
// transaction, so that stock and prescriptions never disagree after a crash
// or a save that rolled back.
class IPrescriptionList
{
public:
    virtual ~IPrescriptionList() = default;
    // A prescription entered the notes. A new one takes the status its stock
    // allows (from stock, or to be ordered), the low-stock warning is shown,
    // and its amounts are computed.
    virtual void AddToList(CActiveEditorPrescItem &item) = 0;
    // The item left the notes (its rows go with the next save).
    virtual void RemoveFromList(CActiveEditorPrescItem &item) = 0;
    // After a load: the last row is selected and shown.
    virtual void SelectLast() = 0;
    // The notes' items are about to be rebuilt: the list lets go of them all.
    virtual void Reset() = 0;
    // Inside the save, before a new prescription's row is written: its stock
    // movement. False when the stock could not be written (the save fails).
    virtual bool OnFirstSave(CActiveEditorPrescItem &item) = 0;
    // Inside the save, after a stored prescription's rows were deleted: a
    // prescription still to be ordered gives its quantity back to stock.
    virtual bool OnRowsDeleted(const CActiveEditorPrescItem &item) = 0;
};

// The prescription dialog a new prescription item opens: true when the person
// confirmed it (the remedy, dilution, status, quantity, creation date and
// amounts are then written into the item).
class IPrescriptionEditor
{
public:
    virtual ~IPrescriptionEditor() = default;
    virtual bool Edit(QWidget *parent, CActiveEditorPrescItem &item) = 0;
    // The same dialog titled "Treatment", for a treatment line: remedy and
    // potency only. True when the person confirmed it; remedy then holds the
    // chosen identifiers and names.
    virtual bool ChooseTreatmentRemedy(QWidget *parent, RemedyRef &remedy) = 0;
};
