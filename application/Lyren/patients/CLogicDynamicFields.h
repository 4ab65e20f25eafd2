#pragma once

#include "patients/CDynamicFieldsDictionary.h"

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QColor>

class LogicContext;

// The current patient's custom fields (DYNAMIC_FIELDS, filtered to the
// patient: free name/value pairs) and the dictionary of the names every new
// patient receives. The "Custom Data" tab's list shows one row per field with
// its name, its value and a "Create Always" box (checked while the name is in
// the dictionary), then the row "Add New Field" / "Set Field Value". Editing
// that last row's name adds a field whose name joins the dictionary at once;
// Del removes a field and its name from the dictionary. Code 81 carries the
// clicks on the "Create Always" boxes. The dictionary is written after every
// change, so that a name is never lost with the program.
class CLogicDynamicFields final : public ILogicObject,
                                  public IPatientParticipant,
                                  private Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicDynamicFields)

public:
    enum Column { NameColumn, ValueColumn, CreateAlwaysColumn };

    explicit CLogicDynamicFields(LogicContext &context);
    ~CLogicDynamicFields() override;
    CLogicDynamicFields(const CLogicDynamicFields &) = delete;
    CLogicDynamicFields &operator=(const CLogicDynamicFields &) = delete;

    // Reads the dictionary file (at the hub's open); a missing or unreadable
    // file leaves the dictionary empty.
    void OpenDictionary();
    // Writes the dictionary when it holds names not written yet (at the hub's
    // close); true when nothing is left unwritten.
    bool SaveDictionary();
    const CDynamicFieldsDictionary &Dictionary() const { return m_dictionary; }

    // 81: a "Create Always" box clicked (id: the row), or the tab asking to be
    // filled; any other: 0.
    int OnCommand(LogicCommand &command) override;
    // The current patient's fields, and the list filled.
    int Load() override;
    // A new patient: one empty field per dictionary name, in order.
    int PrepareNew() override;
    // Every field of the current patient (patient deletion).
    int DeletePatientRows() override;

    // What the list's edits do, usable without a list. AddField gives the
    // current patient a field with the trimmed name and no value and adds the
    // name to the dictionary; the new field's key, 0 when it could not be
    // added (no patient, an empty name, the database refused it).
    qint64 AddField(const QString &name);
    // Writes a field's trimmed name and value.
    bool UpdateField(qint64 id, const QString &name, const QString &value);
    // Deletes a field and takes its name out of the dictionary.
    bool DeleteField(qint64 id);
    // Adds the trimmed name to the dictionary or takes it out.
    void SetCreateAlways(const QString &name, bool always);

    static QString AddFieldText();
    static QString SetValueText();
    // The background of the tab and of the list's last row.
    static QColor BackgroundColor();

private:
    // IXListCtrlCallback
    void EndEdit(int row, int column, bool accepted) override;
    bool DeleteRow(int row) override;
    void AfterDelete() override { ShowCreateAlwaysBoxes(); }
    void ListDestroyed() override { m_pList = nullptr; }

    // The tab's list, set up the first time it is seen.
    Korbel::IXListCtrl *List();
    void FillList();
    void AppendAddRow();
    // Shows the field the table is on in a row, as a field row.
    void ShowRow(int row);
    void ShowCreateAlwaysBoxes();
    void EditRow(int row, int column);
    int CreateAlwaysClicked(int row);
    bool OpenTable();
    bool WriteField(bool isNew, qint64 id, const QString &name, const QString &value);
    void DictionaryChanged();

    LogicContext &m_context;
    CDynamicFieldsDictionary m_dictionary;
    Korbel::ReleasePtr<Korbel::ITable> m_pTable;
    qint64 m_tablePatient = 0;
    Korbel::IXListCtrl *m_pList = nullptr;
};
