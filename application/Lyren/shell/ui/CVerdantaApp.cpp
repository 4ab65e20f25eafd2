#include "shell/ui/CVerdantaApp.h"

#include "core/Loggers.h"
#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/SignalCloser.h"

#include "component/Registry.h"
#include "desktop/Prompts.h"
#include "desktop/widgets/WidgetDialogs.h"
#include "profile/IniFile.h"
#include "profile/WindowsDirectory.h"

#include "Sylvan/XmlPlatform.h"

#include <QtCore/QDir>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

const QString LinkConfigurationFile = QStringLiteral("RadarVerdanta.ini");

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
    m_strRoot = RootFolderFrom(current);
    const QString windows
        = m_options.windowsDirectory.isEmpty() ? Profile::WindowsDirectory() : m_options.windowsDirectory;

    Loggers::Create(m_strRoot);
    m_xmlPlatform = Sylvan::InitializePlatform();

    if (!WriteLinkSection(m_strRoot, windows))
        qWarning("An error has occurred while updating Radar configuration file");

    m_pMainFrame = std::make_unique<CMainFrame>(m_strRoot, windows);
    if (m_options.showWindow) {
        // Without a window manager to maximise it, the frame still fills the screen.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            m_pMainFrame->setGeometry(screen->availableGeometry());
        m_pMainFrame->showMaximized();
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString reason;
    const bool initialized = m_pMainFrame->Initialize(&reason);
    QApplication::restoreOverrideCursor();
    if (!initialized) {
        m_pMainFrame->hide();
        const QString database = QDir::toNativeSeparators(m_strRoot + QStringLiteral("data.mdb"));
        Desktop::Prompts().Show(nullptr,
            tr("The database %1 cannot be opened.\n\n%2\n\nVerdanta closes without changing it.")
                .arg(database, reason),
            Desktop::Buttons::Ok, Desktop::Icon::Error);
        m_pMainFrame.reset();
        return false;
    }
    qApp->installEventFilter(this);
    m_pSignalCloser = std::make_unique<SignalCloser>(m_pMainFrame.get());
    m_failed = false;
    return true;
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
    if (m_pMainFrame) {
        // A frame that was not closed (the program is ending otherwise) still
        // runs its exit sequence.
        m_pMainFrame->close();
        m_pMainFrame.reset();
    }
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
