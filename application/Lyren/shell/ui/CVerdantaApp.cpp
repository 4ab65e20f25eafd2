#include "shell/ui/CVerdantaApp.h"

#include "core/Loggers.h"
#include "safety/CLogicPracticeData.h"
#include "safety/PracticeLock.h"
#include "safety/ServerLink.h"
#include "safety/StartupCheck.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CProgressWindow.h"
#include "shell/ui/SignalCloser.h"

#include "component/Registry.h"
#include "desktop/Prompts.h"
#include "desktop/widgets/WidgetDialogs.h"
#include "profile/IniFile.h"
#include "profile/WindowsDirectory.h"

#include "Korbel/Maintenance.h"
#include "Sylvan/XmlPlatform.h"
#include "messaging/MessageWindow.h"
#include "messaging/WindowMessenger.h"
#include "secrets/KeychainSecretStore.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QScopeGuard>
#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

const QString LinkConfigurationFile = QStringLiteral("RadarVerdanta.ini");
// A practice locked this recently may belong to a program still making its
// window: a second start waits this long for the window to come forward.
constexpr int RecentLockSeconds = 30;
constexpr int WaitForWindowMs = 5000;

// The component layer stands where the platform's object model is
// initialised: its registry reads the modules folder once.
bool InitializeComponentLayer()
{
    Component::Registry::Instance().Classes();
    return true;
}

} // namespace

CVerdantaApp::CVerdantaApp()
    : CVerdantaApp(Options {})
{ }

CVerdantaApp::CVerdantaApp(Options options)
    : m_options(std::move(options))
{ }

CVerdantaApp::~CVerdantaApp()
{
    ExitInstance();
}

QString CVerdantaApp::RootFolderFrom(const QString &directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

bool CVerdantaApp::WriteLinkSection(const QString &rootFolder, const QString &windowsDirectory)
{
    const QStringList entries = {
        QStringLiteral("Directory=") + rootFolder,
        QStringLiteral("Exe=Verdanta.exe"),
        QStringLiteral("Class=AFX"),
        QStringLiteral("Title=Verdanta"),
        QStringLiteral("TitleExact=1"),
    };
    return Profile::WriteProfileSection(
        QStringLiteral("Verdanta"), entries, windowsDirectory + QLatin1Char('/') + LinkConfigurationFile);
}

bool CVerdantaApp::InitInstance()
{
    m_started = true;
    m_failed = true;
    if (!m_pWidgetDialogs)
        m_pWidgetDialogs = std::make_unique<Desktop::WidgetDialogs>();
    if (!InitializeComponentLayer())
        return false;

    const QString current = m_options.currentDirectory.isEmpty()
        ? QDir::currentPath()
        : QDir::cleanPath(m_options.currentDirectory);
    m_strWindowsDirectory
        = m_options.windowsDirectory.isEmpty() ? Profile::WindowsDirectory() : m_options.windowsDirectory;
    QString where;
    if (!FindPractice(current, &where)) {
        Desktop::Prompts().Show(nullptr,
            tr("The practice's database cannot be found:\n\n%1\n\nCorrect it in Options > Database "
               "Connection... or start Verdanta with --database <address>.")
                .arg(where),
            Desktop::Buttons::Ok, Desktop::Icon::Error);
        return false;
    }

    // One program per practice, before anything is written into its folder.
    if (!HoldPractice())
        return false;

    Loggers::Create(m_strRoot);
    m_xmlPlatform = Sylvan::InitializePlatform();

    if (!WriteLinkSection(m_strRoot, m_strWindowsDirectory))
        qWarning("An error has occurred while updating Radar configuration file");

    // The quick check of the database file runs beside the open; a server
    // checks its own pages.
    m_pProgress = std::make_unique<CProgressWindow>();
    if (!m_connection.IsServer()) {
        m_pStartCheck = std::make_unique<StartupCheck>();
        m_pStartCheck->Start(m_strRoot + QStringLiteral("data.mdb"));
    }

    QString reason;
    bool opened = OpenPractice(&reason);
    if (!opened && m_pStartCheck && RecoverAtStart(m_pStartCheck->Wait())) {
        // The restored database is the one to check now.
        m_pStartCheck->Start(m_strRoot + QStringLiteral("data.mdb"));
        opened = OpenPractice(&reason);
    }
    if (!opened) {
        const QString database = m_connection.IsServer()
            ? m_serverAddress.ToString()
            : QDir::toNativeSeparators(m_strRoot + QStringLiteral("data.mdb"));
        Desktop::Prompts().Show(nullptr,
            tr("The database %1 cannot be opened.\n\n%2\n\nVerdanta closes without changing it.")
                .arg(database, reason),
            Desktop::Buttons::Ok, Desktop::Icon::Error);
        return false;
    }
    qApp->installEventFilter(this);
    RegisterWindow();
    if (!m_pStartCheck || m_pStartCheck->IsFinished())
        OnStartCheckFinished();
    else
        connect(m_pStartCheck.get(), &StartupCheck::finished, this, &CVerdantaApp::OnStartCheckFinished);
    m_failed = false;
    return true;
}

bool CVerdantaApp::FindPractice(const QString &currentDirectory, QString *reason)
{
    m_currentDirectory = currentDirectory;
    m_connection = PracticeConnection::Load();
    m_connection.Override(m_options.databaseAddress);
    m_strRoot = RootFolderFrom(m_connection.FilesFolder(currentDirectory));
    if (!m_connection.IsServer())
        return true;
    if (!m_connection.ServerAddressOf(&m_serverAddress, reason))
        return false;
    if (!QFileInfo(m_strRoot).isDir()) {
        *reason = tr("The shared folder %1 cannot be reached.").arg(QDir::toNativeSeparators(m_strRoot));
        return false;
    }
    if (!m_options.keyring && !m_pKeyring)
        m_pKeyring = std::make_unique<Secrets::KeychainSecretStore>();
    QString keyringError;
    m_serverPassword = ServerPasswords::Read(
        m_options.keyring ? *m_options.keyring : *m_pKeyring, m_serverAddress, &keyringError);
    if (!keyringError.isEmpty())
        qInfo("The keyring holds no password for the database server: %s", qPrintable(keyringError));
    return true;
}

bool CVerdantaApp::HoldPractice()
{
    if (m_connection.IsServer()) {
        // Seats share the practice on a server: each holds it shared, the
        // work that needs it alone waits until every seat has let it go.
        m_pServerLock = std::make_unique<ServerPracticeLock>(m_serverAddress, m_serverPassword);
        switch (m_pServerLock->Acquire(ServerPracticeLock::Mode::Shared)) {
        case ServerPracticeLock::State::Held:
            return true;
        case ServerPracticeLock::State::HeldElsewhere:
            Desktop::Prompts().Show(nullptr, m_pServerLock->HeldElsewhereMessage(), Desktop::Buttons::Ok,
                Desktop::Icon::Information);
            break;
        case ServerPracticeLock::State::Unavailable:
            Desktop::Prompts().Show(nullptr,
                tr("The practice's database cannot be opened.\n\n%1\n\nVerdanta closes without changing "
                   "anything. To work on this computer's database file meanwhile, start Verdanta with "
                   "--database file.")
                    .arg(m_pServerLock->Error()),
                Desktop::Buttons::Ok, Desktop::Icon::Error);
            break;
        }
        m_pServerLock.reset();
        return false;
    }
    m_pLock = std::make_unique<PracticeLock>(m_strRoot);
    switch (m_pLock->Acquire()) {
    case PracticeLock::State::Held:
        break;
    case PracticeLock::State::HeldElsewhere: {
        const bool recent = QFileInfo(m_pLock->LockPath()).lastModified().secsTo(QDateTime::currentDateTime())
            < RecentLockSeconds;
        const std::unique_ptr<Messaging::IWindowMessenger> messenger = Messaging::CreateWindowMessenger();
        const bool forward
            = messenger && PracticeLock::BringForward(*messenger, m_strRoot, recent ? WaitForWindowMs : 0);
        if (!forward)
            Desktop::Prompts().Show(
                nullptr, m_pLock->HeldElsewhereMessage(), Desktop::Buttons::Ok, Desktop::Icon::Information);
        m_pLock.reset();
        m_failed = !forward;
        return false;
    }
    case PracticeLock::State::Unavailable:
        // A folder no lock can be made in cannot hold a practice's changes
        // either: opening the database says what is wrong.
        qWarning("%s", qPrintable(m_pLock->Error()));
        m_pLock.reset();
        break;
    }
    return true;
}

void CVerdantaApp::FollowConnection(QString *message)
{
    const PracticeConnection before = m_connection;
    const QString root = m_strRoot;
    const Korbel::ServerAddress address = m_serverAddress;
    const QString password = m_serverPassword;
    auto keep = [&] {
        m_connection = before;
        m_strRoot = root;
        m_serverAddress = address;
        m_serverPassword = password;
    };
    QString reason;
    if (!FindPractice(m_currentDirectory, &reason)) {
        keep();
        *message += QStringLiteral("\n\n") + reason;
        return;
    }
    if (m_connection.address == before.address && m_strRoot == root)
        return;
    std::unique_ptr<PracticeLock> fileLock = std::move(m_pLock);
    std::unique_ptr<ServerPracticeLock> serverLock = std::move(m_pServerLock);
    if (!HoldPractice()) {
        keep();
        m_pLock = std::move(fileLock);
        m_pServerLock = std::move(serverLock);
    }
}

bool CVerdantaApp::OpenPractice(QString *reason)
{
    m_pMainFrame = std::make_unique<CMainFrame>(m_strRoot, m_strWindowsDirectory);
    m_pMainFrame->GetHub()->Services().Provide<IPracticeSession>(this);
    if (m_connection.IsServer()) {
        m_pMainFrame->GetHub()->GetLogicFolders()->SetDatabaseAddress(m_serverAddress.ToString());
        m_pMainFrame->GetHub()->SetServerPassword(m_serverPassword);
    }
    if (m_options.showWindow) {
        // Without a window manager to maximise it, the frame still fills the screen.
        if (!m_lastGeometry.isEmpty())
            m_pMainFrame->setGeometry(m_lastGeometry);
        else if (const QScreen *screen = QGuiApplication::primaryScreen())
            m_pMainFrame->setGeometry(screen->availableGeometry());
        m_pMainFrame->showMaximized();
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool initialized = m_pMainFrame->Initialize(reason);
    QApplication::restoreOverrideCursor();
    if (!initialized) {
        m_pMainFrame->hide();
        m_pMainFrame.reset();
        return false;
    }
    m_pSignalCloser = std::make_unique<SignalCloser>(m_pMainFrame.get());
    return true;
}

void CVerdantaApp::RegisterWindow()
{
    // Another start on this practice finds the window by its class and asks
    // it to come forward. Without a session bus it cannot; the second start
    // then says that the practice is open.
    if (m_pWindowLink)
        return;
    m_pWindowLink = std::make_unique<Messaging::MessageWindow>();
    m_pWindowLink->SetRestoreHandler([this] {
        if (!m_pMainFrame)
            return false;
        if (m_pMainFrame->isMinimized())
            m_pMainFrame->showMaximized();
        m_pMainFrame->show();
        m_pMainFrame->raise();
        m_pMainFrame->activateWindow();
        return true;
    });
    if (!m_pWindowLink->Register(PracticeLock::WindowClassFor(m_strRoot)))
        qInfo(
            "The main window cannot be found by other programs: %s", qPrintable(m_pWindowLink->LastError()));
}

bool CVerdantaApp::StartCheckFinished() const
{
    return !m_pStartCheck || m_pStartCheck->IsFinished();
}

void CVerdantaApp::OnStartCheckFinished()
{
    if (!m_pStartCheck || !m_pMainFrame)
        return;
    const Korbel::FileCheck check = m_pStartCheck->Wait();
    if (check.state != Korbel::FileCheck::State::Damaged)
        return;
    const std::optional<BackupCopy> newest
        = CLogicPracticeData::OfferNewestGood(m_pMainFrame.get(), m_strRoot, check, *m_pProgress);
    if (newest)
        ReopenAfter(CLogicPracticeData::RestoreWork(m_strRoot, *newest, PracticeRestore::Reason::Damage));
}

bool CVerdantaApp::RecoverAtStart(const Korbel::FileCheck &check)
{
    if (check.state != Korbel::FileCheck::State::Damaged)
        return false;
    // Without a good backup the message that the practice cannot be opened
    // says it all.
    const std::optional<BackupCopy> newest
        = CLogicPracticeData::OfferNewestGood(nullptr, m_strRoot, check, *m_pProgress, false);
    if (!newest)
        return false;
    const ClosedWork work
        = CLogicPracticeData::RestoreWork(m_strRoot, *newest, PracticeRestore::Reason::Damage);
    QString message;
    const bool restored = m_pProgress->Run(
        nullptr, work.caption, false, [&](IProgress &progress) { return work.run(progress, &message); });
    Desktop::Prompts().Show(nullptr, message, Desktop::Buttons::Ok,
        restored ? Desktop::Icon::Information : Desktop::Icon::Warning);
    return restored;
}

bool CVerdantaApp::ReopenAfter(ClosedWork work)
{
    if (m_pendingWork || !work.run)
        return false;
    m_pendingWork = std::move(work);
    // After the command that asked has returned and its windows are gone.
    QTimer::singleShot(0, this, &CVerdantaApp::RunClosedWork);
    return true;
}

void CVerdantaApp::RunClosedWork()
{
    if (!m_pendingWork)
        return;
    const ClosedWork work = std::move(*m_pendingWork);
    m_pendingWork.reset();
    // For a moment no main window is there: the program must not end then.
    const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const auto restoreQuit
        = qScopeGuard([quitOnClose] { QGuiApplication::setQuitOnLastWindowClosed(quitOnClose); });
    m_pSignalCloser.reset();
    if (m_pMainFrame) {
        m_lastGeometry = m_pMainFrame->normalGeometry();
        m_pMainFrame->CloseWithoutBackup();
        m_pMainFrame->hide();
        m_pMainFrame.reset();
    }

    // On a server the work takes the practice alone: this seat lets it go
    // meanwhile.
    if (m_pServerLock)
        m_pServerLock->Release();
    QString message;
    const bool done = m_pProgress->Run(
        nullptr, work.caption, false, [&](IProgress &progress) { return work.run(progress, &message); });
    if (m_pServerLock
        && m_pServerLock->Acquire(ServerPracticeLock::Mode::Shared) != ServerPracticeLock::State::Held)
        qWarning("%s", qPrintable(m_pServerLock->Error()));
    if (done)
        FollowConnection(&message);
    QString reason;
    bool opened = OpenPractice(&reason);
    if (!opened && done && work.undo) {
        QString undone;
        const bool putBack = work.undo(&undone);
        message += QStringLiteral("\n\n") + undone;
        opened = putBack && OpenPractice(&reason);
    }
    if (!opened) {
        Desktop::Prompts().Show(nullptr,
            message + QStringLiteral("\n\n")
                + tr("The practice cannot be opened: %1\n\nVerdanta closes.").arg(reason),
            Desktop::Buttons::Ok, Desktop::Icon::Error);
        m_failed = true;
        QCoreApplication::exit(1);
        return;
    }
    Desktop::Prompts().Show(m_pMainFrame.get(), message, Desktop::Buttons::Ok,
        done ? Desktop::Icon::Information : Desktop::Icon::Warning);
}

bool CVerdantaApp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_pMainFrame && watched->isWidgetType()
        && m_pMainFrame->TranslateAccelerator(
            static_cast<QKeyEvent *>(event), static_cast<QWidget *>(watched)))
        return true;
    return QObject::eventFilter(watched, event);
}

int CVerdantaApp::ExitInstance()
{
    if (!m_started)
        return m_failed ? 1 : 0;
    m_started = false;
    qApp->removeEventFilter(this);
    m_pSignalCloser.reset();
    m_pendingWork.reset();
    if (m_pMainFrame) {
        // A frame that was not closed (the program is ending otherwise) still
        // runs its exit sequence.
        m_pMainFrame->close();
        m_pMainFrame.reset();
    }
    m_pWindowLink.reset();
    m_pStartCheck.reset();
    m_pProgress.reset();
    // The practice is free for the next program only once everything is closed.
    m_pLock.reset();
    m_pServerLock.reset();
    if (m_xmlPlatform) {
        Sylvan::TerminatePlatform();
        m_xmlPlatform = false;
    }
    Loggers::Release();
    return m_failed ? 1 : 0;
}

void CVerdantaApp::About()
{
    CAboutDlg about(m_pMainFrame.get());
    about.exec();
}
