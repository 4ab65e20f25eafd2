#pragma once

#include <QtCore/QString>

namespace Bench {

struct PracticeOptions
{
    int patients = 10000;
    // Child rows in every patient table (addresses, contacts, questionnaires,
    // consultations, items, prescriptions, finance) and notes text.
    bool childRows = true;
    int averageNotesBytes = 4000;
    int remedies = 5000;
    int dilutions = 300;
    int providers = 200;
    int stockRows = 20000;
    unsigned seed = 20261207;
};

// Creates (replacing) a database file holding a synthetic practice, through the
// data library's schema. Returns false and an error text on failure.
bool CreateSyntheticPractice(const QString &path, const PracticeOptions &options, QString *error);

// A practice of that many patients (with or without their child rows) in a
// new database file; false with the reason printed on failure.
bool MakePractice(const QString &path, int patients, bool childRows);

// Typical first names, as the generator uses them (for prefix searches).
const char *const *FirstNames(int *count);

} // namespace Bench
