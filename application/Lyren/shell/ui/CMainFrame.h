#pragma once

#include <QtCore/QHash>
#include <QtWidgets/QMainWindow>

#include <memory>

class CLogicMain;
class CMainView;
class CWindowPresenters;
class CPageContainer;
class CTitleBar;
class CWorkspace;
class QKeyEvent;
class QSplitter;

// The main window: the menus, the toolbar, the status bar with the command
// prompts, two caption strips, and a splitter with the header band on top and
// the workspace below. It owns the hub and the page container; every command
// becomes a LogicCommand handed to the hub.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // rootFolder ends in "/"; windowsDirectory holds the configuration file
    // shared with the outside repertory program.
    CMainFrame(const QString &rootFolder, const QString &windowsDirectory, QWidget *parent = nullptr);
    // A frame owning the given hub.
    explicit CMainFrame(std::unique_ptr<CLogicMain> hub, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // After creation: the hub opens the database and every logic object, the
    // header band and the hub are linked, and the pages are made. False with
    // the reason when the database cannot be used.
    bool Initialize(QString *error = nullptr);

    CLogicMain *GetHub() const { return m_pHub.get(); }
    CMainView *GetMainView() const { return m_pMainView; }
    CWorkspace *GetWorkspace() const { return m_pWorkspace; }
    CPageContainer *GetPageContainer() const { return m_pPageContainer.get(); }
    // The dialogs the logic objects open, as the window layer shows them.
    CWindowPresenters *GetPresenters() const { return m_pPresenters.get(); }
    CTitleBar *GetTitleBar(int index) const;
    // A command by its object name ("actionFirst", "actionMediaQuality", ...).
    QAction *GetAction(const QString &name) const { return m_actions.value(name); }

    // The media keys, offered every key press of the program first: a match is
    // sent as code 32 with its sub-command and consumed, unless the focus is
    // in a text field (the keys then belong to it) or the media logic is not
    // there to receive it.
    // receiver: the widget the key goes to (the focus widget when none is given).
    bool TranslateAccelerator(const QKeyEvent *event, const QWidget *receiver = nullptr);
    // Each command is enabled while its code reaches a logic object.
    void UpdateCommandStates();
    // The help document: "VerdantaHelp.pdf" beside the program or in its
    // share folder; empty when it is not installed.
    static QString HelpDocumentPath();
    // Hands a command to the hub; 0 when there is none.
    int SendCommand(int code, int subCommand = 0);
    // Closes the practice for work that needs it closed (restoring a backup,
    // importing): the current patient is saved and the hub closes, without
    // the weekly backup; the frame is then done.
    void CloseWithoutBackup();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *AddCommand(
        const QString &name, const QString &text, const QKeySequence &key, const QString &prompt);
    void CreateMenusAndToolBar();
    void OnHelp();
    // After New: the Patient tab shows and "First Name:" takes the focus.
    void FocusFirstName();
    void OnAbout();
    void OnMailSettings();
    // Options > Database Connection...
    void OnDatabaseConnection();

    QSplitter *m_pSplitter = nullptr;
    CTitleBar *m_pTitleBars[2] = { nullptr, nullptr };
    std::unique_ptr<CLogicMain> m_pHub;
    std::unique_ptr<CPageContainer> m_pPageContainer;
    std::unique_ptr<CWindowPresenters> m_pPresenters;
    CMainView *m_pMainView = nullptr;
    CWorkspace *m_pWorkspace = nullptr;
    QHash<QString, QAction *> m_actions;
    bool m_closed = false;
};
