#pragma once

#include "core/LogicCommand.h"
#include "core/LogicContext.h"
#include "core/Subsystem.h"

#include "component/DispatchDriver.h"
#include "profile/KeyValueStore.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtCore/QString>

#include <array>
#include <memory>
#include <vector>

class CLogicBackup;
class CLogicConfiguration;
class CLogicFolders;
class ICurrentPatient;
class IHeaderBand;
class IPage;
class QObject;
class QWidget;

namespace Korbel {
class ChangeWatcher;
class IControlBinder;
class IDataSource;
class ITable;
enum class StorageFailure;
} // namespace Korbel

// The hub. It owns the data source, the tables MAIN, ADDRESS, APELATIV and
// MARITAL_STATUS, the configuration, backup and folder services, the
// current-patient logic and every installed subsystem, and routes every
// command a window hands it by the command table (core/CommandTable.h) to the
// logic object that owns the code. Windows never reach the data source
// themselves.
//
// Adding a subsystem: its folder offers an installer (see core/Subsystem.h),
// which the program's assembly (DefaultSubsystems) lists; the hub knows
// nothing of its insides.
class CLogicMain : public ICommandSink
{
    Q_DECLARE_TR_FUNCTIONS(CLogicMain)

public:
    static constexpr int PageCount = 9;

    // rootFolder ends in "/"; windowsDirectory holds the configuration file
    // shared with the outside repertory program; store keeps "LastBackupTS"
    // (by default a file beside the database). The subsystems installed at
    // each open are the program's own unless others are given.
    CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
        std::unique_ptr<Profile::IKeyValueStore> store = nullptr);
    CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
        std::unique_ptr<Profile::IKeyValueStore> store, std::vector<SubsystemInstaller> subsystems);
    virtual ~CLogicMain();
    CLogicMain(const CLogicMain &) = delete;
    CLogicMain &operator=(const CLogicMain &) = delete;

    // The open sequence: the database (created when missing), the
    // configuration, MAIN and the folders of every patient, the look-up tables
    // and ADDRESS, the current-patient logic, every subsystem, the first
    // patient. False with the reason when the database cannot be used; nothing
    // is then left open.
    bool Open(QString *error = nullptr);
    // The password of the database server the folders name (from the
    // keyring), for the next Open and the weekly dumps; kept in memory only.
    // Without one the PostgreSQL password file is read.
    void SetServerPassword(const QString &password);
    // The close sequence: the current patient is saved, then every subsystem,
    // table and the data source are released.
    void Close();
    // The main window closes: the windows are forgotten, the weekly backup runs
    // while the database is open, then the close sequence.
    void OnMainWindowClosing(const QDateTime &now = QDateTime::currentDateTime());
    bool IsOpen() const { return m_pDataSource != nullptr; }

    // Routes a command by its code; 0 when nothing handles it. A write the
    // disk refused during the command (a full disk, a read-only folder) is
    // told to the person afterwards.
    int OnCommand(LogicCommand &command) override;
    // The texts of those failures.
    static QString StorageFailureMessage(Korbel::StorageFailure failure, const QString &reason);
    static QString FileFailureMessage(const QString &path, const QString &reason);
    // Whether a code reaches a logic object now; windows disable what does not.
    bool Reaches(int code) const;
    // Help menu "Send Feedback...".
    int SendFeedback();

    // The context every logic object works over: its routes and services.
    LogicContext &Context() { return m_context; }
    LogicServices &Services() { return m_context.Services(); }

    // Windows.
    void SetHeaderBand(IHeaderBand *band);
    IHeaderBand *GetHeaderBand() const { return m_context.HeaderBand(); }
    void RegisterPage(int index, IPage *page);
    IPage *GetPage(int index) const;
    // Every registered page refreshes (after the current patient is loaded).
    void RefreshPages();
    // Forgets the header band, the pages and the media control.
    void ForgetWindows();
    // The media control of the main view, for the configuration and the media
    // logic; an empty driver forgets it.
    void AttachMediaControl(const Component::DispatchDriver &control);
    const Component::DispatchDriver &GetMediaControl() const { return m_mediaControl; }
    // How bound controls show and give back field values (the window layer's;
    // not owned). Without one, BindField binds nothing.
    void SetControlBinder(const Korbel::IControlBinder *binder);

    // Data.
    Korbel::IDataSource *GetDataSource() const { return m_pDataSource; }
    Korbel::ITable *GetMainTable() const { return m_pMain; }
    Korbel::ITable *GetAddressTable() const { return m_pAddress; }
    Korbel::ITable *GetApelativTable() const { return m_pApelativ; }
    Korbel::ITable *GetMaritalStatusTable() const { return m_pMaritalStatus; }
    // "MEDIA", or "AUDIO" in older databases.
    QString GetMediaTableName() const { return m_context.MediaTableName(); }
    // Binds a page's control to a field of the current patient's MAIN or
    // ADDRESS row (writable 0: shown, never written back); false for other
    // tables or fields, or before the open.
    bool BindField(const QString &table, const QString &field, QObject *control, int writable);
    // The rows of a look-up table (APELATIV, MARITAL_STATUS) in table order:
    // each row's ID and text.
    QList<QPair<qint64, QString>> LookupRows(const QString &table) const;

    // Logic objects the hub owns itself.
    CLogicFolders *GetLogicFolders() const { return m_pLogicFolders.get(); }
    CLogicConfiguration *GetLogicConfiguration() const { return m_pLogicConfiguration.get(); }
    CLogicBackup *GetLogicBackup() const { return m_pLogicBackup.get(); }
    ICurrentPatient *GetLogicPatient() const { return m_pLogicPatient.get(); }
    // Installs the current-patient logic (codes 1-7, 26, 27 and the first
    // patient at open); by default the program's own is made at the open.
    void SetLogicPatient(std::unique_ptr<ICurrentPatient> patient);

    // The program's subsystems, in the order they are installed.
    static std::vector<SubsystemInstaller> DefaultSubsystems();

private:
    int RouteCommand(LogicCommand &command);
    void ReportStorageFailures(QWidget *parent);
    int RunPatientOperation(LogicCommand &command);
    void OpenPatientLogic();
    void InstallSubsystems();
    void ReleaseSubsystems();
    void ReleaseTables();
    // Another seat committed: the current patient is shown again when it
    // changed there, once no command is running (a dialog may be open).
    void OnOutsideChange(const QString &table, qint64 id);

    QString m_strRoot;
    std::unique_ptr<Profile::IKeyValueStore> m_pKeyValueStore;
    std::unique_ptr<CLogicConfiguration> m_pLogicConfiguration;
    std::unique_ptr<CLogicBackup> m_pLogicBackup;
    QString m_strServerPassword;
    std::unique_ptr<CLogicFolders> m_pLogicFolders;
    LogicContext m_context;
    std::vector<SubsystemInstaller> m_installers;

    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    Korbel::ITable *m_pAddress = nullptr;
    Korbel::ITable *m_pApelativ = nullptr;
    Korbel::ITable *m_pMaritalStatus = nullptr;
    const Korbel::IControlBinder *m_pBinder = nullptr;

    std::unique_ptr<ICurrentPatient> m_pLogicPatient;
    std::unique_ptr<Korbel::ChangeWatcher> m_pChangeWatcher;
    int m_commandDepth = 0;
    bool m_bOutsideChangePending = false;
    std::vector<std::unique_ptr<ISubsystem>> m_subsystems;

    Component::DispatchDriver m_mediaControl;
    std::array<IPage *, PageCount> m_pages {};
};
