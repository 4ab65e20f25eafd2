#pragma once

#include "core/LogicCommand.h"

#include <QtCore/QString>

#include <span>
#include <vector>

// Who owns each command code, as one table: every code a window may send, the
// areas of the program that handle it, and how the command travels between
// them. The hub routes by this table; each subsystem says which logic object
// stands for which owner when it is installed (LogicRoutes).

// The owners of command codes: one per area that handles commands.
enum class Owner {
    CurrentPatient, // moves, new, delete, find, save, linked account: run by the hub itself
    ChiefComplaints,
    PatientPicture, // the picture and the files dropped on the header band
    Notes,
    DuePayments,
    Payments,
    MedicalHistory,
    Questionnaires,
    MonthlyFee,
    Documents,
    Media,
    Prescriptions,
    Remedies,
    Phones,
    Emails,
    Orders,
    Providers,
    Stocks,
    Reports,
    OfficeData,
    Configuration,
    RadarLink,
    Rubrics,
    Wellness,
    Appointments,
    Invoices,
    CustomFields,
    DynamicQuestionnaire,
    ImageInsertion, // answers the notes before an image is inserted
    PracticeData, // restore, check, export and import of the whole practice
};

// How a routed code reaches its owners.
enum class RouteKind {
    Single, // the one owner handles it
    ThenOnSuccess, // the first owner handles it; when it returns 1, the others get the same command in order
    SavePatientFirst, // the current patient is saved, then the owner handles it
};

struct CommandRoute
{
    int code;
    RouteKind kind;
    std::vector<Owner> owners; // the first handles the command; the others follow it
};

// Every routed code in code order; any other code reaches nothing.
std::span<const CommandRoute> CommandRoutes();
// The route of a code, null when the code is not routed.
const CommandRoute *FindRoute(int code);

// Owners whose logic objects are not part of the program yet. Their codes
// reach nothing, and the windows disable whatever would send them.
std::span<const Owner> PendingOwners();
bool IsPending(Owner owner);
// Codes whose owner is installed but whose handling is not built yet: they
// reach nothing either.
std::span<const int> PendingCodes();
bool IsPendingCode(int code);

QString OwnerName(Owner owner);

// The objects that stand for the owners, as the subsystems install them.
class LogicRoutes
{
public:
    // Names the object that handles an owner's codes (not owned); false when
    // the owner already has one, which is left in place.
    bool Own(Owner owner, ILogicObject *object);
    void Forget(Owner owner);
    void Clear();
    // The object of an owner, null when none was installed.
    ILogicObject *Target(Owner owner) const;
    // How many objects tried to own the owner (the routing test checks one).
    int Claims(Owner owner) const;

private:
    struct Entry
    {
        Owner owner;
        ILogicObject *object;
        int claims;
    };
    std::vector<Entry> m_entries;
};
