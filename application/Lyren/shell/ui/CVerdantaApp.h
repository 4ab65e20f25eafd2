#pragma once

#include "core/PracticeSession.h"
#include "safety/PracticeConnection.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QObject>
#include <QtCore/QRect>
#include <QtCore/QString>

#include <memory>
#include <optional>

class CMainFrame;
class CProgressWindow;
class PracticeLock;
class ServerPracticeLock;
class SignalCloser;
class StartupCheck;

namespace Desktop {
class WidgetDialogs;
}

namespace Korbel {
struct FileCheck;
}

namespace Messaging {
class MessageWindow;
}

namespace Secrets {
class ISecretStore;
}

// The application object: the start-up sequence up to the first patient
// shown, the media keys offered every key press first, and the exit sequence.
// It holds the practice for the program's life: one program per practice (a
// second start brings this one's window forward), the quick check of the
// database at start (a damaged database is offered its newest good backup),
// and the session in which work that needs the practice closed runs
// (restoring a backup, importing a practice): the main window closes, the
// work runs, and a new main window opens the practice again.
class CVerdantaApp : public QObject, public IPracticeSession
{
    Q_OBJECT

public:
    struct Options
    {
        // The program's current directory, which becomes the root folder
        // (the process's current directory when empty).
        QString currentDirectory;
        // The folder of the configuration file shared with the outside
        // repertory program (the Windows directory when empty).
        QString windowsDirectory;
        bool showWindow = true;
        // The database server for this run (the command line's --database),
        // in place of this computer's setting; empty: the setting.
        QString databaseAddress = {};
        // The keyring the server's password is read from (not owned); the
        // desktop keyring when none is given.
        Secrets::ISecretStore *keyring = nullptr;
    };

    CVerdantaApp();
    explicit CVerdantaApp(Options options);
    ~CVerdantaApp() override;
    CVerdantaApp(const CVerdantaApp &) = delete;
    CVerdantaApp &operator=(const CVerdantaApp &) = delete;

    // The start-up sequence; false ends the program (ExitInstance still runs).
    // A database that cannot be opened is reported with its file name and the
    // reason, and left as it was, unless it is damaged and the person
    // restores a good backup in its place. A practice that another program
    // holds is left alone: that program's window comes forward (the exit
    // status is then 0), or the person is told it is open.
    bool InitInstance();
    // The exit sequence after the main window closed (or start-up failed);
    // returns the program's exit status, non-zero when start-up failed.
    int ExitInstance();
    void About();

    CMainFrame *GetMainFrame() const { return m_pMainFrame.get(); }
    QString GetRootFolder() const { return m_strRoot; }
    // Where this program found its practice (a server address, the shared
    // folder), as the setting and the command line said.
    const PracticeConnection &Connection() const { return m_connection; }

    // Queues work that needs the practice closed; it runs once the current
    // command has returned (RunClosedWork).
    bool ReopenAfter(ClosedWork work) override;
    bool HasClosedWork() const { return m_pendingWork.has_value(); }
    // Runs the queued work: the main window closes (the current patient is
    // saved, no weekly backup), the work runs under a progress window, a new
    // main window opens the practice and the person is told the outcome.
    void RunClosedWork();
    // Whether the quick check of the database at start has ended.
    bool StartCheckFinished() const;

    // The directory with exactly one trailing "/".
    static QString RootFolderFrom(const QString &directory);
    // Writes this program's section of "RadarVerdanta.ini" in the Windows
    // directory; false when the file cannot be written.
    static bool WriteLinkSection(const QString &rootFolder, const QString &windowsDirectory);

protected:
    // The media keys go to the main frame before any window sees them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Makes the main window over the practice; false with the reason.
    bool OpenPractice(QString *reason);
    void RegisterWindow();
    // What the quick check at start found, once the practice is open.
    void OnStartCheckFinished();
    // The practice did not open and its database is damaged: the newest good
    // backup is offered and restored; true when it was.
    bool RecoverAtStart(const Korbel::FileCheck &check);
    // Reads where the practice is (setting, command line, keyring); false
    // with the reason when the address cannot be used.
    bool FindPractice(const QString &currentDirectory, QString *reason);
    // The practice for this program: the lock file beside the database, or
    // the lock the seats of a server share; false ends the start.
    bool HoldPractice();
    // After work that changed this computer's connection (the practice moved
    // to a server): the practice is found and held where it is now; 'message'
    // gets why not.
    void FollowConnection(QString *message);

    Options m_options;
    QString m_strRoot;
    QString m_strWindowsDirectory;
    QString m_currentDirectory;
    PracticeConnection m_connection;
    Korbel::ServerAddress m_serverAddress;
    QString m_serverPassword; // from the keyring, in memory only
    std::unique_ptr<Secrets::ISecretStore> m_pKeyring; // made when the options give none
    std::unique_ptr<PracticeLock> m_pLock;
    std::unique_ptr<ServerPracticeLock> m_pServerLock;
    std::unique_ptr<Messaging::MessageWindow> m_pWindowLink;
    std::unique_ptr<StartupCheck> m_pStartCheck;
    std::unique_ptr<CProgressWindow> m_pProgress;
    std::optional<ClosedWork> m_pendingWork;
    QRect m_lastGeometry;
    // The platform's message boxes, dialogs and menus for the program's life.
    std::unique_ptr<Desktop::WidgetDialogs> m_pWidgetDialogs;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<SignalCloser> m_pSignalCloser;
    bool m_xmlPlatform = false;
    bool m_started = false;
    bool m_failed = false;
};
