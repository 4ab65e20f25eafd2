#pragma once

#include "core/CommandTable.h"
#include "core/LogicServices.h"

#include "component/DispatchDriver.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>
#include <vector>

class CLogicFolders;
class ICurrentPatient;
class IHeaderBand;
class IPatientSteps;
class QWidget;
struct LogicCommand;
class ICommandSink;

namespace Korbel {
class IDataSource;
class ITable;
} // namespace Korbel

// What every logic object of the program works over, made by the hub and
// handed to each subsystem when it is installed: the open data source with the
// MAIN and ADDRESS tables (the current patient is MAIN's current row), the
// current-patient logic and its ordered steps, the folders, the routes of the
// command codes, the services the subsystems offer one another, the header
// band, and the hub as a command sink. Nothing here is owned by the context.
class LogicContext
{
public:
    explicit LogicContext(CLogicFolders &folders);
    LogicContext(const LogicContext &) = delete;
    LogicContext &operator=(const LogicContext &) = delete;

    // Data (none before the hub's open sequence and after its close).
    Korbel::IDataSource *DataSource() const { return m_pDataSource; }
    Korbel::ITable *MainTable() const { return m_pMain; }
    Korbel::ITable *AddressTable() const { return m_pAddress; }
    // "MEDIA", or "AUDIO" in older databases.
    QString MediaTableName() const { return m_strMediaTable; }
    // The current patient's ID, 0 when there is none.
    qint64 CurrentPatientId() const;

    ICurrentPatient *Patient() const { return m_pPatient; }
    IPatientSteps *Steps() const { return m_pSteps; }
    CLogicFolders &Folders() const { return m_folders; }
    LogicRoutes &Routes() { return m_routes; }
    const LogicRoutes &Routes() const { return m_routes; }
    LogicServices &Services() { return m_services; }
    const LogicServices &Services() const { return m_services; }

    // The header band, none without windows.
    IHeaderBand *HeaderBand() const { return m_pHeaderBand; }
    // The media capture and playback control of the header band; empty
    // without windows. Those who listen to its events hear when it changes.
    const Component::DispatchDriver &MediaControl() const { return m_mediaControl; }
    void SetMediaControl(const Component::DispatchDriver &control);
    // Returns an id to stop listening with.
    int ListenToMediaControl(std::function<void()> changed);
    void StopListeningToMediaControl(int id);
    // The window dialogs of logic objects belong to when no command names
    // one: the header band's window, none without windows.
    QWidget *DialogParent() const;
    // Hands a command to the hub as a window would; 0 without a hub.
    int SendCommand(LogicCommand &command) const;
    // Every workspace page shows the current patient again (after a load).
    void RefreshPages() const
    {
        if (m_refreshPages)
            m_refreshPages();
    }

    // Side files of a patient save (XML, RTF) are written once the save's rows
    // are committed, each one atomically; outside a save the file is written
    // at once. False when the file could not be written (or, inside a save,
    // never: the failure is reported by the save itself).
    bool WriteFileAfterCommit(const QString &path, const QByteArray &bytes);
    // Any other work that must wait for the commit (removing a file whose rows
    // the save deletes); run at once outside a save.
    void AfterCommit(std::function<bool()> work);
    // What a logic object must undo in memory when the save's rows are rolled
    // back (keys it took from rows that are gone); nothing outside a save.
    void OnRollback(std::function<void()> undo);
    bool IsSaving() const { return m_bSaving; }

    // Side files that could not be written (a full disk, a read-only folder),
    // with the reason, since the hub last took them: the hub tells the
    // person after the command.
    struct FileFailure
    {
        QString path;
        QString reason;
    };
    std::vector<FileFailure> TakeFileFailures();

    // Set by the hub.
    void SetData(Korbel::IDataSource *source, Korbel::ITable *main, Korbel::ITable *address,
        const QString &mediaTable);
    void SetPatient(ICurrentPatient *patient, IPatientSteps *steps);
    void SetHeaderBand(IHeaderBand *band) { m_pHeaderBand = band; }
    void SetCommandSink(ICommandSink *sink) { m_pCommandSink = sink; }
    void SetPageRefresher(std::function<void()> refresh) { m_refreshPages = std::move(refresh); }

    // Run by the current-patient logic around a save (and a delete): after the
    // commit every queued piece of work runs in order (the AND of their
    // results); after a rollback it is dropped and the undos run, last first.
    void BeginSave();
    bool FinishSave(bool committed);

private:
    CLogicFolders &m_folders;
    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    Korbel::ITable *m_pAddress = nullptr;
    QString m_strMediaTable;
    ICurrentPatient *m_pPatient = nullptr;
    IPatientSteps *m_pSteps = nullptr;
    IHeaderBand *m_pHeaderBand = nullptr;
    Component::DispatchDriver m_mediaControl;
    std::vector<std::pair<int, std::function<void()>>> m_mediaListeners;
    int m_nextListener = 1;
    ICommandSink *m_pCommandSink = nullptr;
    std::function<void()> m_refreshPages;
    LogicRoutes m_routes;
    LogicServices m_services;
    bool m_bSaving = false;
    std::vector<std::function<bool()>> m_afterCommit;
    std::vector<std::function<void()>> m_onRollback;
    std::vector<FileFailure> m_fileFailures;
};
