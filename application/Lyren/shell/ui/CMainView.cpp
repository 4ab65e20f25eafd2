#include "shell/ui/CMainView.h"

#include "core/CommandCodes.h"
#include "core/MediaControl.h"
#include "core/UserSettings.h"
#include "shell/CLogicMain.h"
#include "shell/ui/CHyperLink.h"
#include "shell/ui/CPictureButton.h"
#include "shell/ui/CWorkspace.h"

#include "Korbel/XListCtrl/XListCtrl.h"
#include "component/ControlHost.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QCursor>
#include <QtGui/QDragEnterEvent>
#include <QtGui/QDropEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

QStringList LocalFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << url.toLocalFile();
    }
    return paths;
}

QPushButton *SmallButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(text) + 16);
    return button;
}

} // namespace

CMainView::CMainView(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);

    // The picture.
    m_pPicture = new CPictureButton(this);
    m_pPicture->setObjectName(QStringLiteral("pictureButton"));
    m_pPicture->setToolTip(tr("Click to set the patient's picture"));
    SetPicture(QString());
    connect(
        m_pPicture, &QPushButton::clicked, this, [this] { Send(CommandCode::PatientPicture, m_pPicture); });

    // Name, age and the chief complaints.
    m_pName = new QLabel(this);
    m_pName->setObjectName(QStringLiteral("nameLine"));
    m_pName->setTextFormat(Qt::PlainText);
    QFont nameFont = m_pName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    nameFont.setBold(true);
    m_pName->setFont(nameFont);
    m_pAge = new QLabel(this);
    m_pAge->setObjectName(QStringLiteral("ageLine"));
    m_pAge->setTextFormat(Qt::PlainText);

    m_pComesForButton = new QPushButton(tr("Chief Complaints:"), this);
    m_pComesForButton->setFlat(true);
    m_pComesForButton->setStyleSheet(
        QStringLiteral("text-align: left; font-weight: bold; padding: 1px 2px;"));
    // The button's menu opens below it.
    connect(m_pComesForButton, &QPushButton::clicked, this, [this] {
        Send(CommandCode::ChiefComplaintsButton, m_pComesForButton, QString(),
            m_pComesForButton->mapToGlobal(QPoint(0, m_pComesForButton->height())));
    });
    m_pComesFor = new Korbel::CXListCtrl(this);
    m_pComesFor->setObjectName(QStringLiteral("chiefComplaints"));
    m_pComesFor->setMinimumWidth(220);
    m_pComesFor->setMaximumHeight(72);
    // The list's clicks carry the cursor position for the pop-ups they may open.
    connect(m_pComesFor, &QAbstractItemView::clicked, this,
        [this] { Send(CommandCode::ChiefComplaintsClick, m_pComesFor, QString(), QCursor::pos()); });
    connect(m_pComesFor, &QAbstractItemView::doubleClicked, this,
        [this] { Send(CommandCode::ChiefComplaintsDoubleClick, m_pComesFor, QString(), QCursor::pos()); });

    auto *patientColumn = new QVBoxLayout;
    patientColumn->setSpacing(2);
    patientColumn->addWidget(m_pName);
    patientColumn->addWidget(m_pAge);
    patientColumn->addWidget(m_pComesForButton, 0, Qt::AlignLeft);
    patientColumn->addWidget(m_pComesFor, 1);

    // The record buttons and the contact links.
    m_pMedicalHistory = new QPushButton(tr("Medical History..."), this);
    m_pQuestionnaire = new QPushButton(tr("Questionnaire..."), this);
    m_pReports = new QPushButton(tr("Reports"), this);
    connect(m_pMedicalHistory, &QPushButton::clicked, this, [this] { Send(CommandCode::MedicalHistory); });
    connect(m_pQuestionnaire, &QPushButton::clicked, this, [this] { Send(CommandCode::Questionnaire); });
    connect(m_pReports, &QPushButton::clicked, this, [this] { Send(CommandCode::Reports, m_pReports); });

    m_pPhoneLink = new CHyperLink(this);
    m_pPhoneLink->setObjectName(QStringLiteral("phoneLink"));
    m_pPhoneLink->setCheckable(true);
    m_pPhoneLink->SetLink(tr("No current ph#"), false);
    m_pPhoneChoice = SmallButton(QStringLiteral("..."), tr("Choose the current phone"), this);
    m_pEmailLink = new CHyperLink(this);
    m_pEmailLink->setObjectName(QStringLiteral("emailLink"));
    m_pEmailLink->SetLink(tr("No current email"), false);
    m_pEmailChoice = SmallButton(QStringLiteral("..."), tr("Choose the current e-mail address"), this);
    connect(
        m_pPhoneLink, &QPushButton::clicked, this, [this] { Send(CommandCode::CallPhone, m_pPhoneLink); });
    // The choice buttons' menus open below them.
    connect(m_pPhoneChoice, &QPushButton::clicked, this, [this] {
        Send(CommandCode::PhoneChoice, m_pPhoneChoice, QString(),
            m_pPhoneChoice->mapToGlobal(QPoint(0, m_pPhoneChoice->height())));
    });
    connect(m_pEmailLink, &QPushButton::clicked, this, [this] { Send(CommandCode::MailTo, m_pEmailLink); });
    connect(m_pEmailChoice, &QPushButton::clicked, this, [this] {
        Send(CommandCode::EmailChoice, m_pEmailChoice, QString(),
            m_pEmailChoice->mapToGlobal(QPoint(0, m_pEmailChoice->height())));
    });

    auto *links = new QGridLayout;
    links->setContentsMargins(0, 0, 0, 0);
    links->addWidget(m_pPhoneLink, 0, 0);
    links->addWidget(m_pPhoneChoice, 0, 1);
    links->addWidget(m_pEmailLink, 1, 0);
    links->addWidget(m_pEmailChoice, 1, 1);
    links->setColumnStretch(0, 1);

    auto *recordColumn = new QVBoxLayout;
    recordColumn->setSpacing(4);
    recordColumn->addWidget(m_pMedicalHistory);
    recordColumn->addWidget(m_pQuestionnaire);
    recordColumn->addWidget(m_pReports);
    recordColumn->addStretch(1);
    recordColumn->addLayout(links);

    auto *band = new QHBoxLayout(this);
    band->setContentsMargins(4, 4, 4, 4);
    band->addWidget(m_pPicture, 0, Qt::AlignTop);
    band->addLayout(patientColumn, 3);
    band->addLayout(recordColumn, 2);
    band->addWidget(CreateLayoutGroup(), 0, Qt::AlignTop);
    CreateMediaControl(this);
    if (m_pMediaHost) {
        m_pAudioDisplay = new QLabel(tr("\u25CF Recording sound"), this);
        m_pAudioDisplay->setObjectName(QStringLiteral("audioDisplay"));
        m_pAudioDisplay->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
        m_pAudioDisplay->hide();
        m_pVideoWindow = new QWidget(this);
        m_pVideoWindow->setObjectName(QStringLiteral("videoWindow"));
        m_pVideoWindow->setFixedSize(128, 96);
        m_pVideoWindow->setStyleSheet(QStringLiteral("background: black;"));
        m_pVideoWindow->hide();
        auto *media = new QVBoxLayout;
        media->addWidget(m_pMediaHost, 1);
        media->addWidget(m_pAudioDisplay);
        band->addLayout(media, 2);
        band->addWidget(m_pVideoWindow, 0, Qt::AlignTop);
    }
    setFixedHeight(sizeHint().height());
}

CMainView::~CMainView() = default;

QWidget *CMainView::CreateLayoutGroup()
{
    auto *group = new QGroupBox(tr("Workspace Layout"), this);
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(6);
    grid->addWidget(new QLabel(tr("Row:"), group), 0, 0);
    grid->addWidget(new QLabel(tr("Column:"), group), 1, 0);
    for (int i = 0; i < 4; ++i) {
        auto *row = new QCheckBox(QString::number(i + 1), group);
        row->setObjectName(QStringLiteral("rowToggle%1").arg(i));
        row->setToolTip(tr("Shows or hides pane %1 of the first row").arg(i + 1));
        auto *column = new QCheckBox(QString::number(i + 1), group);
        column->setObjectName(QStringLiteral("columnToggle%1").arg(i));
        column->setToolTip(tr("Shows or hides pane %1 of the first column").arg(i + 1));
        grid->addWidget(row, 0, i + 1);
        grid->addWidget(column, 1, i + 1);
        m_rowToggles[static_cast<size_t>(i)] = row;
        m_columnToggles[static_cast<size_t>(i)] = column;
        connect(row, &QCheckBox::toggled, this, [this, i](bool checked) { OnToggle(true, i, checked); });
        connect(column, &QCheckBox::toggled, this, [this, i](bool checked) { OnToggle(false, i, checked); });
    }
    return group;
}

void CMainView::CreateMediaControl(QWidget *parent)
{
    // The media capture control is hosted when a server offers it.
    auto *host = new Component::ControlHost(parent);
    if (Component::Failed(host->CreateControl(MediaControlProgId))) {
        delete host;
        return;
    }
    host->setObjectName(QStringLiteral("mediaControl"));
    m_pMediaHost = host;
}

const Component::DispatchDriver &CMainView::GetMediaControl() const
{
    static const Component::DispatchDriver none;
    return m_pMediaHost ? m_pMediaHost->Dispatch() : none;
}

void CMainView::SetHub(CLogicMain *hub)
{
    if (m_pHub && m_pHub != hub) {
        m_pHub->Services().Withdraw<IMediaPanel>(this);
        m_pHub->AttachMediaControl({});
    }
    m_pHub = hub;
    if (m_pHub) {
        if (m_pVideoWindow) {
            // The control shows played and recorded video in the band's video window.
            const auto window = QVariant::fromValue<qint64>(qint64(m_pVideoWindow->winId()));
            GetMediaControl().Call(MediaDispid::SetPlaybackVideoWindow, { window });
            GetMediaControl().Call(MediaDispid::SetRecordingVideoWindow, { window });
            m_pHub->Services().Provide<IMediaPanel>(this);
        }
        m_pHub->AttachMediaControl(GetMediaControl());
    }
    UpdateCommandStates();
}

void CMainView::ShowAudioDisplay(bool shown)
{
    if (m_pAudioDisplay)
        m_pAudioDisplay->setVisible(shown);
}

void CMainView::ShowVideoWindow(bool shown)
{
    if (m_pVideoWindow)
        m_pVideoWindow->setVisible(shown);
}

void CMainView::UpdateCommandStates()
{
    const std::pair<QWidget *, int> controls[] = {
        { m_pPicture, CommandCode::PatientPicture },
        { m_pComesForButton, CommandCode::ChiefComplaintsButton },
        { m_pComesFor, CommandCode::ChiefComplaintsDoubleClick },
        { m_pMedicalHistory, CommandCode::MedicalHistory },
        { m_pQuestionnaire, CommandCode::Questionnaire },
        { m_pReports, CommandCode::Reports },
        { m_pPhoneChoice, CommandCode::PhoneChoice },
        { m_pEmailChoice, CommandCode::EmailChoice },
    };
    for (const auto &[control, code] : controls) {
        control->setProperty("verdantaCommand", code);
        control->setEnabled(m_pHub && m_pHub->Reaches(code));
    }
    // The links also need an address to be clicked.
    for (const auto &[link, code] : { std::pair { m_pPhoneLink, int(CommandCode::CallPhone) },
             std::pair { m_pEmailLink, int(CommandCode::MailTo) } }) {
        link->setProperty("verdantaCommand", code);
        link->SetReachable(m_pHub && m_pHub->Reaches(code));
    }
    setAcceptDrops(m_pHub && m_pHub->Reaches(CommandCode::FileDropped));
}

Korbel::IXListCtrl *CMainView::ChiefComplaintsList()
{
    return m_pComesFor;
}

void CMainView::SetPhoneLink(const QString &text, bool active)
{
    if (text != m_pPhoneLink->LinkText() || !active)
        m_pPhoneLink->setChecked(false);
    m_pPhoneLink->SetLink(text, active);
}

void CMainView::SetEmailLink(const QString &text, bool active)
{
    m_pEmailLink->SetLink(text, active);
}

void CMainView::SetWorkspace(CWorkspace *workspace)
{
    if (m_pWorkspace)
        disconnect(m_pWorkspace, nullptr, this, nullptr);
    m_pWorkspace = workspace;
    if (m_pWorkspace)
        connect(m_pWorkspace, &CWorkspace::PaneVisibilityChanged, this, &CMainView::SyncToggles);
    SyncToggles();
}

void CMainView::OnToggle(bool row, int index, bool checked)
{
    if (!m_pWorkspace)
        return;
    const CWorkspace::Line line = row ? CWorkspace::Line::Row : CWorkspace::Line::Column;
    m_pWorkspace->SetPaneVisible(line, index, checked);
    // A refused change, or the top-left pane's other toggle, is shown as it is.
    SyncToggles();
    // The layout is the user's: it comes back at the next start.
    SetWorkspaceRowPanes(PaneMask(CWorkspace::Line::Row));
    SetWorkspaceColumnPanes(PaneMask(CWorkspace::Line::Column));
}

int CMainView::PaneMask(CWorkspace::Line line) const
{
    int mask = 0;
    for (int i = 0; i < CWorkspace::LineLength; ++i) {
        if (m_pWorkspace && m_pWorkspace->IsPaneVisible(line, i))
            mask |= 1 << i;
    }
    return mask;
}

void CMainView::RestoreLayout()
{
    if (!m_pWorkspace)
        return;
    // Panes are shown first and hidden after, so that no line is ever left
    // without one; a stored layout that hides everything keeps the top-left pane.
    const int rows = GetWorkspaceRowPanes();
    const int columns = GetWorkspaceColumnPanes();
    for (bool show : { true, false }) {
        for (int i = 0; i < CWorkspace::LineLength; ++i) {
            if (bool((rows >> i) & 1) == show)
                m_pWorkspace->SetPaneVisible(CWorkspace::Line::Row, i, show);
            if (bool((columns >> i) & 1) == show)
                m_pWorkspace->SetPaneVisible(CWorkspace::Line::Column, i, show);
        }
    }
    SyncToggles();
}

void CMainView::SyncToggles()
{
    for (int i = 0; i < 4; ++i) {
        for (bool row : { true, false }) {
            QCheckBox *toggle
                = row ? m_rowToggles[static_cast<size_t>(i)] : m_columnToggles[static_cast<size_t>(i)];
            const bool shown = m_pWorkspace
                && m_pWorkspace->IsPaneVisible(row ? CWorkspace::Line::Row : CWorkspace::Line::Column, i);
            const QSignalBlocker blocker(toggle);
            toggle->setChecked(shown);
        }
    }
}

QCheckBox *CMainView::GetRowToggle(int index) const
{
    return index >= 0 && index < 4 ? m_rowToggles[static_cast<size_t>(index)] : nullptr;
}

QCheckBox *CMainView::GetColumnToggle(int index) const
{
    return index >= 0 && index < 4 ? m_columnToggles[static_cast<size_t>(index)] : nullptr;
}

QAbstractButton *CMainView::GetPictureButton() const
{
    return m_pPicture;
}

void CMainView::SetPicture(const QString &path)
{
    m_strPicture = path.isEmpty() ? NoPhotoPicture() : path;
    m_pPicture->SetFilename(m_strPicture);
}

void CMainView::SetNameLine(const QString &text)
{
    m_pName->setText(text);
}

void CMainView::SetAgeLine(const QString &text)
{
    m_pAge->setText(text);
}

QString CMainView::GetNameLine() const
{
    return m_pName->text();
}

QString CMainView::GetAgeLine() const
{
    return m_pAge->text();
}

int CMainView::Send(int code, QWidget *control, const QString &text, const QPoint &point)
{
    if (!m_pHub)
        return 0;
    LogicCommand command;
    command.code = code;
    command.control = control;
    command.window = window();
    command.text = text;
    command.point = point;
    return m_pHub->OnCommand(command);
}

void CMainView::DropFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        Send(CommandCode::FileDropped, nullptr, path);
}

void CMainView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainView::dropEvent(QDropEvent *event)
{
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    DropFiles(paths);
}
