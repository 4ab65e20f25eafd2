#pragma once

#include <QtCore/QList>
#include <QtCore/QtGlobal>

// A prescription whose status (and order) was changed in the database by
// someone other than the notes that hold it: order generation, sending,
// receiving or deleting an order.
struct PrescriptionStatusChange
{
    qint64 prescriptionId;
    int statusId;
    qint64 orderId; // 0: attached to no order
};

// Told after such changes are committed, so that the open patient's
// prescription items and list take the stored status instead of writing
// their old one back at the next save. Offered among the logic services by
// the prescriptions' subsystem; when none is offered nobody is told.
class IPrescriptionStatusSink
{
public:
    virtual void PrescriptionStatusesChanged(const QList<PrescriptionStatusChange> &changes) = 0;

protected:
    ~IPrescriptionStatusSink() = default;
};
