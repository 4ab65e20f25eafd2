#pragma once

#include "core/LogicCommand.h"
#include "patients/forms/FormInterfaces.h"

#include "Korbel/DataSource.h"

#include <QtCore/QStringList>

#include <memory>
#include <vector>

class LogicServices;
class QWidget;

// An intake form of the current patient: a fixed set of tables holding at most
// one row per patient (linked by CUSTOMER_REF = MAIN.ID) and the modal dialog
// that shows them. The open code opens the tables and shows the dialog; while
// it is open its controls are bound to the open rows; its OK code writes every
// table (the result is the AND), its Cancel code drops the pending edits, so
// that a new patient's rows are only written by OK.
//
// The current patient is the current row of the hub's MAIN table. Commands the
// dialog produces go to the command sink (the hub), which routes OK and Cancel
// back here; without a sink the form handles its own codes and drops the rest.
class CLogicIntakeForm : public ILogicObject, public IFormFieldBinder
{
public:
    struct Codes
    {
        int open;
        int ok;
        int cancel;
    };
    ~CLogicIntakeForm() override;
    CLogicIntakeForm(const CLogicIntakeForm &) = delete;
    CLogicIntakeForm &operator=(const CLogicIntakeForm &) = delete;

    // The data source and the open MAIN table (not owned); open form tables
    // are released.
    void Attach(Korbel::IDataSource *source, Korbel::ITable *main);
    void SetCommandSink(CommandSink sink) { m_commandSink = std::move(sink); }
    // The dialogs (not owned): those given here, else the IFormDialogs of the
    // services (not owned either).
    void SetDialogs(IFormDialogs *dialogs) { m_pDialogs = dialogs; }
    void SetServices(const LogicServices *services) { m_pServices = services; }
    // Parent of the dialog when the command names no window.
    void SetParentWindow(QWidget *parent) { m_pParentWindow = parent; }

    // Open code: the dialog (1 when it was shown); OK code: Commit(); Cancel
    // code: Cancel(); any other code: 0.
    int OnCommand(LogicCommand &command) override;

    // Opens every table of the form for the current patient: its row is
    // edited, or a new row holding CUSTOMER_REF is started (written only by
    // Commit). 0 when there is no current patient or a table cannot be opened.
    int Open();
    // Writes every open table in turn; the AND of the updates. A table already
    // written by an earlier, partly failed commit is edited again, so a retry
    // takes the controls' values once more.
    int Commit();
    // Drops the pending edit or new row of every open table.
    int Cancel();
    // Cancels what is pending and releases the tables.
    void Close();
    bool IsOpen() const { return !m_tables.empty(); }

    // Deletes every row of the current patient from every table of the form
    // (patient deletion). Every table is tried; the AND of the tables, 1 when
    // the patient had no rows.
    int DeletePatientRows();

    // IFormFieldBinder: binds to the open row of one of the form's tables.
    bool BindFormField(const QString &table, const QString &field, QObject *control) override;

    const QStringList &TableNames() const { return m_tableNames; }
    Codes GetCodes() const { return m_codes; }

protected:
    CLogicIntakeForm(Korbel::IDataSource *source, Korbel::ITable *main, QStringList tableNames, Codes codes);

    virtual IntakeForm Form() const = 0;

private:
    int ShowDialog(const LogicCommand &command);
    int Dispatch(LogicCommand &command);
    // The current patient's ID as decimal text, empty when there is none.
    QString CurrentPatientId() const;
    Korbel::ReleasePtr<Korbel::ITable> QueryPatientRows(const QString &table, const QString &patientId) const;

    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    QStringList m_tableNames;
    Codes m_codes;
    // Parallel to m_tableNames while the form is open.
    std::vector<Korbel::ReleasePtr<Korbel::ITable>> m_tables;

    CommandSink m_commandSink;
    IFormDialogs *m_pDialogs = nullptr;
    const LogicServices *m_pServices = nullptr;
    QWidget *m_pParentWindow = nullptr;
    bool m_bDialogOpen = false;
};
