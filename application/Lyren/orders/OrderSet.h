#pragma once

#include "common/Money.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <vector>

// The orders being generated or edited, held in memory until they are stored
// (or dropped on Cancel).

// The statuses an order goes through; the same IDs name the statuses of the
// prescriptions that follow it.
namespace OrderStatus {
enum : int {
    New = 1, // for a prescription: to be ordered
    Ordered = 2, // prescriptions only: attached to a new order
    Sent = 3,
    Received = 4,
};
} // namespace OrderStatus

// A prescription waiting for the remedy of an order line.
struct AttachedPrescription
{
    qint64 id = 0;
    QString firstName;
    QString lastName;
    int quantity = 0;
    QString creationDate;
};

struct OrderLine
{
    enum class State { Stored, New, Deleted };

    qint64 id = 0; // 0 until stored
    qint64 remedyId = 0;
    qint64 dilutionId = 0;
    int quantity = 0;
    Verdanta::Money unitPrice; // the remedy's purchase price when the line was made
    State state = State::New;
    std::vector<AttachedPrescription> prescriptions;

    bool IsDeleted() const { return state == State::Deleted; }
};

struct Order
{
    qint64 id = 0; // 0 until stored
    qint64 providerId = 0;
    QString providerName;
    int statusId = OrderStatus::New;
    QString description;
    QDateTime creationDate;
    QDateTime sentDate; // null until sent
    std::vector<OrderLine> lines;

    // No line, or every line deleted.
    bool IsEmpty() const;
    // Quantity times unit price over the lines that are not deleted.
    Verdanta::Money EstimatedCost() const;
};

using OrderSet = std::vector<Order>;
