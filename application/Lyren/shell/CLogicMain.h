#pragma once

#include "shell/CommandRouting.h"
#include "shell/LogicCommand.h"

#include "component/DispatchDriver.h"
#include "profile/KeyValueStore.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <array>
#include <memory>
#include <span>

class CLogicBackup;
class CLogicComesFor;
class CLogicConfiguration;
class CLogicDilutions;
class CLogicFolders;
class CLogicMedicalHistory;
class CLogicMedicines;
class CLogicOfficeData;
class CLogicPatientPicture;
class CLogicProviders;
class CLogicQuestionnaire;
class CLogicStocks;
class CMainView;
class ICurrentPatient;
class QComboBox;

namespace Korbel {
class IDataSource;
class ITable;
} // namespace Korbel

// The hub. It owns the data source, the tables MAIN, ADDRESS, APELATIV and
// MARITAL_STATUS and one instance of every logic object, and routes every
// command a window hands it to the logic object that owns the code. Windows
// never reach the data source themselves.
//
// Adding a logic object: one member, one creation line (in the constructor,
// or in Open() when it is made over the open data source), one routing line
// per code in Routes().
class CLogicMain
{
    Q_DECLARE_TR_FUNCTIONS(CLogicMain)

public:
    static constexpr int PageCount = 9;

    // rootFolder ends in "/"; windowsDirectory holds the configuration file
    // shared with the outside repertory program; store keeps "LastBackupTS"
    // (by default a file beside the database).
    CLogicMain(const QString &rootFolder, const QString &windowsDirectory,
        std::unique_ptr<Profile::IKeyValueStore> store = nullptr);
    virtual ~CLogicMain();
    CLogicMain(const CLogicMain &) = delete;
    CLogicMain &operator=(const CLogicMain &) = delete;

    // The open sequence: the database (created when missing), the
    // configuration, MAIN and the folders of every patient, the look-up tables
    // and ADDRESS, every logic object, the media table, the first patient.
    // False with the reason when the database cannot be used; nothing is then
    // left open.
    bool Open(QString *error = nullptr);
    // The close sequence: the current patient is saved, then every logic object,
    // table and the data source are released.
    void Close();
    // The main window closes: the windows are forgotten, the weekly backup runs
    // while the database is open, then the close sequence.
    void OnMainWindowClosing(const QDateTime &now = QDateTime::currentDateTime());
    bool IsOpen() const { return m_pDataSource != nullptr; }

    // Routes a command by its code; 0 when nothing handles it.
    virtual int OnCommand(LogicCommand &command);
    // Help menu "Send Feedback...".
    int SendFeedback();

    // Windows.
    void SetMainView(CMainView *view);
    CMainView *GetMainView() const { return m_pMainView; }
    void RegisterPage(int index, IPage *page);
    IPage *GetPage(int index) const;
    // Every registered page refreshes (after the current patient is loaded).
    void RefreshPages();
    // Forgets the main view, the pages and the media control.
    void ForgetWindows();
    // The media control of the main view, for the configuration and the media
    // logic; an empty driver forgets it.
    void AttachMediaControl(const Component::DispatchDriver &control);
    const Component::DispatchDriver &GetMediaControl() const { return m_mediaControl; }

    // Data.
    Korbel::IDataSource *GetDataSource() const { return m_pDataSource; }
    Korbel::ITable *GetMainTable() const { return m_pMain; }
    Korbel::ITable *GetAddressTable() const { return m_pAddress; }
    Korbel::ITable *GetApelativTable() const { return m_pApelativ; }
    Korbel::ITable *GetMaritalStatusTable() const { return m_pMaritalStatus; }
    // "MEDIA", or "AUDIO" in older databases.
    QString GetMediaTableName() const { return m_strMediaTable; }
    // Binds a page's control to a field of the current patient's MAIN or
    // ADDRESS row (writable 0: shown, never written back); false for other
    // tables or fields, or before the open.
    bool BindField(const QString &table, const QString &field, QWidget *control, int writable);
    // Fills a combo with the rows of a look-up table (APELATIV,
    // MARITAL_STATUS) in table order, each item's data its ID.
    bool FillLookupCombo(const QString &table, QComboBox *combo);

    // Logic objects.
    CLogicFolders *GetLogicFolders() const { return m_pLogicFolders.get(); }
    CLogicConfiguration *GetLogicConfiguration() const { return m_pLogicConfiguration.get(); }
    CLogicBackup *GetLogicBackup() const { return m_pLogicBackup.get(); }
    ICurrentPatient *GetLogicPatient() const { return m_pLogicPatient.get(); }
    CLogicMedicines *GetLogicMedicines() const { return m_pLogicMedicines.get(); }
    CLogicDilutions *GetLogicDilutions() const { return m_pLogicDilutions.get(); }
    CLogicProviders *GetLogicProviders() const { return m_pLogicProviders.get(); }
    CLogicStocks *GetLogicStocks() const { return m_pLogicStocks.get(); }
    CLogicOfficeData *GetLogicOfficeData() const { return m_pLogicOfficeData.get(); }
    CLogicComesFor *GetLogicComesFor() const { return m_pLogicComesFor.get(); }
    CLogicPatientPicture *GetLogicPatientPicture() const { return m_pLogicPatientPicture.get(); }
    CLogicMedicalHistory *GetLogicMedicalHistory() const { return m_pLogicMedicalHistory.get(); }
    CLogicQuestionnaire *GetLogicQuestionnaire() const { return m_pLogicQuestionnaire.get(); }
    // Installs the current-patient logic (codes 1-7, 26, 27 and the first
    // patient at open); until one is installed those codes reach nothing.
    void SetLogicPatient(std::unique_ptr<ICurrentPatient> patient);

private:
    using Handler = int (*)(CLogicMain &, LogicCommand &);
    struct Route
    {
        int code;
        Handler handler;
    };
    static std::span<const Route> Routes();

    template<auto... Members> static int Send(CLogicMain &hub, LogicCommand &command);
    template<auto... Members> static int SendThenOnSuccess(CLogicMain &hub, LogicCommand &command);
    template<auto Member> static int SavePatientThenSend(CLogicMain &hub, LogicCommand &command);
    static int Accept(CLogicMain &hub, LogicCommand &command);
    static int RunPatientOperation(CLogicMain &hub, LogicCommand &command);

    void CreateDataLogic();
    void ReleaseDataLogic();
    void ReleaseTables();

    QString m_strRoot;
    std::unique_ptr<Profile::IKeyValueStore> m_pKeyValueStore;

    Korbel::IDataSource *m_pDataSource = nullptr;
    Korbel::ITable *m_pMain = nullptr;
    Korbel::ITable *m_pAddress = nullptr;
    Korbel::ITable *m_pApelativ = nullptr;
    Korbel::ITable *m_pMaritalStatus = nullptr;
    QString m_strMediaTable;

    std::unique_ptr<CLogicConfiguration> m_pLogicConfiguration;
    std::unique_ptr<CLogicBackup> m_pLogicBackup;
    std::unique_ptr<CLogicFolders> m_pLogicFolders;
    std::unique_ptr<ICurrentPatient> m_pLogicPatient;
    // Made over the open data source, released with it.
    std::unique_ptr<CLogicMedicines> m_pLogicMedicines;
    std::unique_ptr<CLogicDilutions> m_pLogicDilutions;
    std::unique_ptr<CLogicProviders> m_pLogicProviders;
    std::unique_ptr<CLogicStocks> m_pLogicStocks;
    std::unique_ptr<CLogicOfficeData> m_pLogicOfficeData;
    std::unique_ptr<CLogicComesFor> m_pLogicComesFor;
    std::unique_ptr<CLogicPatientPicture> m_pLogicPatientPicture;
    std::unique_ptr<CLogicMedicalHistory> m_pLogicMedicalHistory;
    std::unique_ptr<CLogicQuestionnaire> m_pLogicQuestionnaire;

    CMainView *m_pMainView = nullptr;
    Component::DispatchDriver m_mediaControl;
    std::array<IPage *, PageCount> m_pages {};
};
