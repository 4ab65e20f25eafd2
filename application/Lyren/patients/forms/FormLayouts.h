#pragma once

// The pages of the medical-history and questionnaire dialogs as data: each page
// is a list of topics (one group box each), each topic a list of fields in the
// order the page binds them. A field names its table and its stored field; the
// page builds the control from the kind and the label.

#include <QtCore/QCoreApplication>

#include <vector>

namespace PatientForms {

enum class FieldKind {
    Check, // a yes/no answer: check box
    Text, // a short free-text answer: one-line edit
    Notes, // a longer free-text answer: multi-line edit
    Value, // a year or a measurement: short one-line edit
    ValueBeside, // a Value shown on the row of the field before it
};

struct FormField
{
    const char *field;
    FieldKind kind;
    const char *label; // untranslated, context FormLayouts
    const char *table = nullptr; // none: the topic's table
};

struct FormTopic
{
    const char *title; // untranslated, context FormLayouts; may be empty
    const char *table;
    int columns; // check boxes per row
    std::vector<FormField> fields;
};

struct FormPageLayout
{
    std::vector<FormTopic> topics;
};

class FormLayouts
{
    Q_DECLARE_TR_FUNCTIONS(FormLayouts)

public:
    // The two pages of the medical history (table MEDICAL_HISTORY).
    static const std::vector<FormPageLayout> &MedicalHistory();
    // The seven pages of the questionnaire (tables QUESTIONARY_A to _H).
    static const std::vector<FormPageLayout> &Questionnaire();
};

} // namespace PatientForms
