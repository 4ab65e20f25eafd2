#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>

class CMainFrame;
class SignalCloser;

namespace Desktop {
class WidgetDialogs;
}

// The application object: the start-up sequence up to the first patient
// shown, the media keys offered every key press first, and the exit sequence.
class CVerdantaApp : public QObject
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
    };

    CVerdantaApp();
    explicit CVerdantaApp(Options options);
    ~CVerdantaApp() override;
    CVerdantaApp(const CVerdantaApp &) = delete;
    CVerdantaApp &operator=(const CVerdantaApp &) = delete;

    // The start-up sequence; false ends the program (ExitInstance still runs).
    // A database that cannot be opened is reported with its file name and the
    // reason, and left as it was.
    bool InitInstance();
    // The exit sequence after the main window closed (or start-up failed);
    // returns the program's exit status, non-zero when start-up failed.
    int ExitInstance();
    void About();

    CMainFrame *GetMainFrame() const { return m_pMainFrame.get(); }
    QString GetRootFolder() const { return m_strRoot; }

    // The directory with exactly one trailing "/".
    static QString RootFolderFrom(const QString &directory);
    // Writes this program's section of "RadarVerdanta.ini" in the Windows
    // directory; false when the file cannot be written.
    static bool WriteLinkSection(const QString &rootFolder, const QString &windowsDirectory);

protected:
    // The media keys go to the main frame before any window sees them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Options m_options;
    QString m_strRoot;
    // The platform's message boxes, dialogs and menus for the program's life.
    std::unique_ptr<Desktop::WidgetDialogs> m_pWidgetDialogs;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<SignalCloser> m_pSignalCloser;
    bool m_xmlPlatform = false;
    bool m_started = false;
    bool m_failed = false;
};
