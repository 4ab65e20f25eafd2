#pragma once

#include "finance/ReferenceRecordSet.h"

#include <QtCore/QString>

// The dilutions (potencies) in which remedies are prescribed. The list grows
// on use: a value typed into a "Potency" combo becomes a row through GetOrAdd
// and is never edited elsewhere.
class CLogicDilutions : public CReferenceRecordSet
{
public:
    explicit CLogicDilutions(Korbel::IDataSource *source);

    // Open() gives the dilutions in table order; First/Next walk them (the
    // "Potency" combo boxes).
    bool GetValue(qint64 id, QString *value);
    // The ID of the dilution equal to value without regard to case, adding a
    // row when there is none. Blanks around the value are ignored; an empty
    // value gives false and leaves id as it was (the caller keeps its
    // previous dilution).
    bool GetOrAdd(const QString &value, qint64 *id);
};
