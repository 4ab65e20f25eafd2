#pragma once

class CActiveEditorPrescItem;
class QWidget;

// What the notes use of the prescriptions area when it is installed (looked
// up among the context's services each time; absent, the notes do without).

// The patient's prescription list: the items of the notes it shows, and the
// stock movements that follow them.
class IPrescriptionList
{
public:
    virtual ~IPrescriptionList() = default;
    virtual void AddToList(CActiveEditorPrescItem &item) = 0;
    // Also undoes the item's stock movement.
    virtual void RemoveFromList(CActiveEditorPrescItem &item) = 0;
    // After a load: the last row is selected and shown.
    virtual void SelectLast() = 0;
};

// The prescription dialog a new prescription item opens: true when the person
// confirmed it (the remedy, dilution, status, quantity, creation date and
// amounts are then written into the item).
class IPrescriptionEditor
{
public:
    virtual ~IPrescriptionEditor() = default;
    virtual bool Edit(QWidget *parent, CActiveEditorPrescItem &item) = 0;
};
