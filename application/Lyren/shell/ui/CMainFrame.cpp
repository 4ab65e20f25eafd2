#include "shell/ui/CMainFrame.h"

#include "shell/CLogicMain.h"
#include "shell/ui/CAboutDlg.h"
#include "shell/ui/CMainView.h"
#include "shell/ui/CPageContainer.h"
#include "shell/ui/CTitleBar.h"
#include "shell/ui/CWorkspace.h"
#include "shell/ui/CWorkspaceView.h"
#include "shell/ui/WindowPresenters.h"

#include "contacts/ui/CMailSettingsDlg.h"
#include "safety/ui/CDatabaseConnectionDlg.h"

#include "core/CommandCodes.h"
#include "patients/ui/CGeneralDialog.h"

#include "AppInfo.h"
#include "Korbel/Binding/WidgetBinder.h"
#include "desktop/Prompts.h"
#include "desktop/Shell.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>

#include <QtGui/QAction>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTextEdit>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

namespace {

// The media keys and the sub-commands they send with code 32.
struct MediaKey
{
    int key;
    int subCommand;
};
constexpr MediaKey MediaKeys[] = {
    { Qt::Key_Up, MediaSubCommand::SetMarker },
    { Qt::Key_Right, MediaSubCommand::NextMarker },
    { Qt::Key_P, MediaSubCommand::Play },
    { Qt::Key_Left, MediaSubCommand::PreviousMarker },
    { Qt::Key_R, MediaSubCommand::Record },
    { Qt::Key_Space, MediaSubCommand::Stop },
};

QWidget *Stacked(QWidget *parent, QWidget *caption, QWidget *content)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(caption);
    layout->addWidget(content, 1);
    return box;
}

} // namespace

CMainFrame::CMainFrame(const QString &rootFolder, const QString &windowsDirectory, QWidget *parent)
    : CMainFrame(std::make_unique<CLogicMain>(rootFolder, windowsDirectory), parent)
{ }

CMainFrame::CMainFrame(std::unique_ptr<CLogicMain> hub, QWidget *parent)
    : QMainWindow(parent)
    , m_pHub(std::move(hub))
    , m_pPageContainer(std::make_unique<CPageContainer>())
    , m_pPresenters(std::make_unique<CWindowPresenters>(m_pHub->Services()))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(AppInfo::ProductName());
    setWindowIcon(QIcon(QStringLiteral(":/shell/verdanta.png")));
    CreateMenusAndToolBar();
    statusBar()->showMessage(tr("Ready"));

    m_pSplitter = new QSplitter(Qt::Vertical, this);
    m_pSplitter->setChildrenCollapsible(false);
    m_pTitleBars[0] = new CTitleBar(tr("Patient"), this);
    m_pTitleBars[1] = new CTitleBar(tr("Workspace"), this);
    m_pMainView = new CMainView(this);
    m_pWorkspace = new CWorkspace(m_pPageContainer.get(), this);
    QWidget *top = Stacked(m_pSplitter, m_pTitleBars[0], m_pMainView);
    QWidget *bottom = Stacked(m_pSplitter, m_pTitleBars[1], m_pWorkspace);
    m_pSplitter->addWidget(top);
    m_pSplitter->addWidget(bottom);
    // The header band keeps its natural height; the workspace takes the rest.
    top->setFixedHeight(top->sizeHint().height());
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->handle(1)->setEnabled(false);
    m_pSplitter->setHandleWidth(1);
    setCentralWidget(m_pSplitter);
    m_pMainView->SetPageContainer(m_pPageContainer.get());
    m_pMainView->SetWorkspace(m_pWorkspace);
}

CMainFrame::~CMainFrame()
{
    if (!m_closed)
        m_pHub->ForgetWindows();
    m_pMainView->SetHub(nullptr);
}

QAction *CMainFrame::AddCommand(
    const QString &name, const QString &text, const QKeySequence &key, const QString &prompt)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    if (!key.isEmpty())
        action->setShortcut(key);
    action->setStatusTip(prompt);
    action->setToolTip(QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    addAction(action); // the shortcut works wherever the focus is in the window
    m_actions.insert(name, action);
    return action;
}

void CMainFrame::CreateMenusAndToolBar()
{
    struct Command
    {
        const char *name;
        QString text;
        QKeySequence key;
        QString prompt;
        int code;
        int subCommand;
        QStyle::StandardPixmap icon;
    };
    constexpr auto NoIcon = QStyle::SP_CustomBase;
    const Command commands[] = {
        { "actionFind", tr("&Find..."), QKeySequence(tr("Ctrl+F")), tr("Find a patient"),
            CommandCode::FindPatient, 0, QStyle::SP_FileDialogContentsView },
        { "actionNew", tr("&New"), QKeySequence(tr("Ctrl+N")), tr("New Patient"), CommandCode::NewPatient, 0,
            QStyle::SP_FileIcon },
        { "actionFirst", tr("F&irst"), QKeySequence(tr("Ctrl+I")), tr("Moves to first record"),
            CommandCode::First, 0, QStyle::SP_MediaSkipBackward },
        { "actionLast", tr("&Last"), QKeySequence(tr("Ctrl+L")), tr("Moves to last record"),
            CommandCode::Last, 0, QStyle::SP_MediaSkipForward },
        { "actionPrevious", tr("&Previous"), QKeySequence(tr("Ctrl+E")), tr("Moves to previous record"),
            CommandCode::Previous, 0, QStyle::SP_ArrowLeft },
        { "actionNext", tr("Nex&t"), QKeySequence(tr("Ctrl+T")), tr("Moves to next record"),
            CommandCode::Next, 0, QStyle::SP_ArrowRight },
        { "actionDelete", tr("&Delete"), QKeySequence(tr("Ctrl+D")), tr("Delete a patient"),
            CommandCode::DeletePatient, 0, QStyle::SP_TrashIcon },
        { "actionSave", tr("&Save"), QKeySequence(tr("Ctrl+S")), tr("Save patient data"),
            CommandCode::SavePatient, 0, QStyle::SP_DialogSaveButton },
        { "actionAppointments", tr("&Appointments..."), QKeySequence(tr("Ctrl+A")),
            tr("Open Appointments Window"), CommandCode::Appointments, 0, QStyle::SP_FileDialogDetailedView },
        { "actionRemedies", tr("Remedies"), {}, tr("Manage remedies"), CommandCode::Remedies, 0, NoIcon },
        { "actionOrders", tr("Orders"), {}, tr("Manage orders"), CommandCode::Orders, 0, NoIcon },
        { "actionProviders", tr("Providers"), {}, tr("Manage providers"), CommandCode::Providers, 0, NoIcon },
        { "actionOfficeData", tr("Office Data"), {}, tr("Manage office data"), CommandCode::OfficeData, 0,
            NoIcon },
        { "actionStocks", tr("Stocks"), {}, tr("Manage stocks"), CommandCode::Stocks, 0, NoIcon },
        { "actionCut", tr("Cut"), QKeySequence(tr("Ctrl+X")), QString(), CommandCode::Clipboard,
            FrameCommand::EditCut, NoIcon },
        { "actionCopy", tr("Copy"), QKeySequence(tr("Ctrl+C")), QString(), CommandCode::Clipboard,
            FrameCommand::EditCopy, NoIcon },
        { "actionPaste", tr("Paste"), QKeySequence(tr("Ctrl+V")), QString(), CommandCode::Clipboard,
            FrameCommand::EditPaste, NoIcon },
        { "actionPrint", tr("Print"), {}, QString(), CommandCode::Print, 0, NoIcon },
        { "actionMediaQuality", tr("&Media Quality..."), {}, QString(), CommandCode::Options,
            FrameCommand::MediaQuality, NoIcon },
        { "actionImagesQuality", tr("&Images Quality..."), {}, QString(), CommandCode::Options,
            FrameCommand::ImagesQuality, NoIcon },
        { "actionRestoreBackup", tr("&Restore from backup..."), {},
            tr("Restore the practice's database from a backup"), CommandCode::RestoreBackup, 0, NoIcon },
        { "actionCheckDatabase", tr("Chec&k database..."), {}, tr("Check the whole database for damage"),
            CommandCode::CheckDatabase, 0, NoIcon },
        { "actionExportPractice", tr("E&xport practice..."), {},
            tr("Export every table and the patient folders into a folder"), CommandCode::ExportPractice, 0,
            NoIcon },
        { "actionImportPractice", tr("I&mport practice..."), {},
            tr("Import an exported practice into this empty one"), CommandCode::ImportPractice, 0, NoIcon },
        { "actionMovePracticeToServer", tr("Move Practice to &Server..."), {},
            tr("Move the practice's database into the server named in Options > Database Connection"),
            CommandCode::MovePracticeToServer, 0, NoIcon },
    };
    for (const Command &command : commands) {
        QAction *action = AddCommand(QLatin1String(command.name), command.text, command.key, command.prompt);
        if (command.icon != NoIcon)
            action->setIcon(style()->standardIcon(command.icon));
        const int code = command.code;
        const int subCommand = command.subCommand;
        action->setProperty("verdantaCommand", code);
        connect(action, &QAction::triggered, this, [this, code, subCommand] {
            const int result = SendCommand(code, subCommand);
            if (code == CommandCode::NewPatient && result == 1)
                FocusFirstName();
        });
    }
    QAction *mail = AddCommand(QStringLiteral("actionMailSettings"), tr("Ma&il Settings..."), {},
        tr("Choose how mail leaves the program"));
    connect(mail, &QAction::triggered, this, &CMainFrame::OnMailSettings);
    QAction *database = AddCommand(QStringLiteral("actionDatabaseConnection"), tr("&Database Connection..."),
        {}, tr("Choose where this computer finds the practice's database"));
    connect(database, &QAction::triggered, this, &CMainFrame::OnDatabaseConnection);
    QAction *exit = AddCommand(QStringLiteral("actionExit"), tr("Exit"), {}, tr("Quit the application"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QAction *help = AddCommand(QStringLiteral("actionHelp"), tr("&Help"), {}, tr("Help"));
    connect(help, &QAction::triggered, this, &CMainFrame::OnHelp);
    QAction *feedback
        = AddCommand(QStringLiteral("actionSendFeedback"), tr("&Send Feedback..."), {}, QString());
    connect(feedback, &QAction::triggered, this, [this] { m_pHub->SendFeedback(); });
    QAction *about = AddCommand(QStringLiteral("actionAbout"), tr("&About Verdanta..."), {}, QString());
    connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);

    auto add = [this](QWidget *to, const char *name) { to->addAction(m_actions.value(QLatin1String(name))); };
    QMenu *patient = menuBar()->addMenu(tr("&Patient"));
    for (const char *name : { "actionFind", "actionNew", "actionFirst", "actionLast", "actionPrevious",
             "actionNext", "actionDelete", "actionSave", "actionAppointments" })
        add(patient, name);
    patient->addSeparator();
    for (const char *name : { "actionRestoreBackup", "actionCheckDatabase", "actionExportPractice",
             "actionImportPractice", "actionMovePracticeToServer" })
        add(patient, name);
    patient->addSeparator();
    add(patient, "actionExit");
    QMenu *options = menuBar()->addMenu(tr("&Options"));
    add(options, "actionMediaQuality");
    add(options, "actionImagesQuality");
    add(options, "actionMailSettings");
    add(options, "actionDatabaseConnection");
    QMenu *helpMenu = menuBar()->addMenu(tr("&Help"));
    add(helpMenu, "actionHelp");
    add(helpMenu, "actionSendFeedback");
    helpMenu->addSeparator();
    add(helpMenu, "actionAbout");

    QToolBar *toolBar = addToolBar(tr("Standard"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(20, 20));
    const std::initializer_list<const char *> groups[] = {
        { "actionFirst", "actionPrevious", "actionNext", "actionLast" },
        { "actionNew", "actionDelete", "actionFind", "actionSave" },
        { "actionRemedies", "actionOrders", "actionProviders", "actionOfficeData", "actionStocks" },
        { "actionAppointments" },
        { "actionCut", "actionCopy", "actionPaste", "actionPrint" },
        { "actionHelp" },
    };
    for (const auto &group : groups) {
        if (!toolBar->actions().isEmpty())
            toolBar->addSeparator();
        for (const char *name : group)
            add(toolBar, name);
    }
}

CTitleBar *CMainFrame::GetTitleBar(int index) const
{
    return index == 0 || index == 1 ? m_pTitleBars[index] : nullptr;
}

bool CMainFrame::Initialize(QString *error)
{
    // The header band is known before the open, so that the first patient
    // loaded fills it; the pages' controls are bound through the widget binder.
    m_pHub->SetHeaderBand(m_pMainView);
    m_pHub->SetControlBinder(&Korbel::WidgetBinder::Instance());
    if (!m_pHub->Open(error))
        return false;
    m_pMainView->SetHub(m_pHub.get());
    m_pPageContainer->CreatePages(m_pWorkspace, m_pHub.get());
    m_pMainView->RestoreLayout();
    m_pWorkspace->ShowPages();
    UpdateCommandStates();
    return true;
}

void CMainFrame::UpdateCommandStates()
{
    for (QAction *action : std::as_const(m_actions)) {
        const QVariant code = action->property("verdantaCommand");
        if (code.isValid())
            action->setEnabled(m_pHub->Reaches(code.toInt()));
    }
    if (QAction *help = GetAction(QStringLiteral("actionHelp")))
        help->setEnabled(!HelpDocumentPath().isEmpty());
    m_pMainView->UpdateCommandStates();
}

void CMainFrame::FocusFirstName()
{
    // A new patient is typed in from the first name on: the Patient tab is
    // shown in the first visible pane and its first field takes the keys.
    auto *page = qobject_cast<CGeneralDialog *>(m_pPageContainer->GetPageWindow(CGeneralDialog::PageIndex));
    QWidget *firstName = page ? page->FieldControl(QStringLiteral("FIRST_NAME")) : nullptr;
    if (!firstName)
        return;
    if (!page->isVisible()) {
        for (CWorkspace::Line line : { CWorkspace::Line::Row, CWorkspace::Line::Column }) {
            for (int i = 0; i < 4 && !page->isVisible(); ++i) {
                if (m_pWorkspace->IsPaneVisible(line, i))
                    m_pWorkspace->Pane(line, i)->SetCurrentTab(CGeneralDialog::PageIndex);
            }
        }
    }
    firstName->setFocus(Qt::OtherFocusReason);
}

int CMainFrame::SendCommand(int code, int subCommand)
{
    LogicCommand command;
    command.code = code;
    command.subCommand = subCommand;
    command.control = this;
    command.window = this; // dialogs opened by the command belong to the main window
    return m_pHub->OnCommand(command);
}

namespace {

// Fields that take text: the media keys are theirs (Ctrl+arrows jump words).
bool IsTextField(const QWidget *widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget))
        return true;
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    return false;
}

} // namespace

bool CMainFrame::TranslateAccelerator(const QKeyEvent *event, const QWidget *receiver)
{
    if (m_closed || event->type() != QEvent::KeyPress || event->modifiers() != Qt::ControlModifier)
        return false;
    if (!m_pHub->Reaches(CommandCode::MediaTransport)
        || IsTextField(receiver ? receiver : QApplication::focusWidget()))
        return false;
    for (const MediaKey &media : MediaKeys) {
        if (event->key() == media.key) {
            SendCommand(CommandCode::MediaTransport, media.subCommand);
            return true;
        }
    }
    return false;
}

QString CMainFrame::HelpDocumentPath()
{
    const QString name = QStringLiteral("VerdantaHelp.pdf");
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString &candidate : { programFolder + QLatin1Char('/') + name,
             programFolder + QStringLiteral("/../share/verdanta/") + name }) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QString();
}

void CMainFrame::OnHelp()
{
    const QString path = HelpDocumentPath();
    if (path.isEmpty() || !Desktop::Shell().Open(path, QStringLiteral("open")))
        Desktop::Inform(
            this, tr("The help document \"VerdantaHelp.pdf\" cannot be opened."), Desktop::Icon::Warning);
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::CloseWithoutBackup()
{
    if (m_closed)
        return;
    m_closed = true;
    m_pMainView->SetHub(nullptr);
    m_pHub->ForgetWindows();
    m_pHub->Close();
    m_pPageContainer->Close();
}

void CMainFrame::OnMailSettings()
{
    // The keyring among the services is the one the mail composer reads.
    Secrets::ISecretStore *keyring = m_pHub->Services().Get<Secrets::ISecretStore>();
    CMailSettingsDlg dialog(keyring ? *keyring : m_pPresenters->Keyring(), this);
    dialog.exec();
}

void CMainFrame::OnDatabaseConnection()
{
    Secrets::ISecretStore *keyring = m_pHub->Services().Get<Secrets::ISecretStore>();
    CDatabaseConnectionDlg dialog(keyring ? *keyring : m_pPresenters->Keyring(), this);
    dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // Closing is never refused: the backup runs while the database is open,
    // then the current patient is saved and everything is closed.
    if (!m_closed) {
        m_closed = true;
        m_pMainView->SetHub(nullptr);
        m_pHub->OnMainWindowClosing();
        m_pPageContainer->Close();
    }
    event->accept();
}
