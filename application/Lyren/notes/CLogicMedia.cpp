#include "notes/CLogicMedia.h"

#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/FileCopy.h"
#include "core/Loggers.h"
#include "core/LogicContext.h"
#include "core/MediaControl.h"
#include "core/ProgressRunner.h"
#include "core/RecordAccess.h"
#include "core/Transaction.h"
#include "core/WaitCursor.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "desktop/Prompts.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <atomic>
#include <set>

using Component::InvokeKind;

namespace {

const QString MarkersTable = QStringLiteral("MARKERS");
const QString ParentFile = QStringLiteral("PARENT_FILE");
const QString Marker = QStringLiteral("MARKER");
const QString MarkerDesc = QStringLiteral("MARKER_DESC");

bool Succeeded(Component::HRESULT result)
{
    return Component::Succeeded(result) && result != Component::S_FALSE;
}

// The rows of table MARKERS of one file, found with a bound parameter so that
// any path (quotes included) selects exactly its own rows.
Records::TablePtr OpenMarkers(Korbel::IDataSource *source, const QString &path)
{
    if (!source)
        return {};
    Korbel::ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    if (!query)
        return {};
    query->SetTable(MarkersTable);
    query->Where(ParentFile, Korbel::Compare::Equal, path);
    return Records::TablePtr(query->Open());
}

} // namespace

CLogicMedia::CLogicMedia(LogicContext &context)
    : m_context(context)
{
    m_events.On(MediaEvent::OnStartRecord, [this](const QVariantList &) { OnStartRecordEvent(); });
    m_events.On(MediaEvent::OnStopRecord, [this](const QVariantList &) {
        if (IMediaPanel *panel = Panel())
            panel->ShowAudioDisplay(false);
    });
    m_nListener = m_context.ListenToMediaControl([this] { ConnectEvents(); });
    ConnectEvents();
}

CLogicMedia::~CLogicMedia()
{
    m_context.StopListeningToMediaControl(m_nListener);
    m_events.Disconnect();
}

QString CLogicMedia::StopRecordingQuestion()
{
    return tr("This will stop your current recording.\n\nDo you want to continue?");
}

QString CLogicMedia::ImportFailedMessage()
{
    return tr("Failed to import the media file.");
}

QString CLogicMedia::CopyingCaption()
{
    return tr("Copying media file");
}

Component::DispatchDriver CLogicMedia::Control() const
{
    return m_context.MediaControl();
}

void CLogicMedia::ConnectEvents()
{
    const Component::DispatchDriver control = Control();
    if (control.Dispatch() == m_pConnected)
        return;
    m_events.Disconnect();
    m_pConnected = control.Dispatch();
    if (m_pConnected)
        m_events.Connect(m_pConnected);
}

IMediaPanel *CLogicMedia::Panel() const
{
    return m_context.Services().Get<IMediaPanel>();
}

QWidget *CLogicMedia::DialogParent() const
{
    return m_context.DialogParent();
}

int CLogicMedia::Status() const
{
    QVariant status;
    if (!Succeeded(Control().Call(MediaDispid::GetStatus, {}, &status)))
        return 0;
    return status.toInt();
}

bool CLogicMedia::IsRecording() const
{
    const int status = Status();
    return status == MediaStatus::AudioRecording || status == MediaStatus::VideoRecording;
}

bool CLogicMedia::HasVideoInput() const
{
    QVariantList arguments { QVariant::fromValue<qint16>(0) };
    if (!Succeeded(Control().Invoke(MediaDispid::HasVideoInput, InvokeKind::Method, arguments, nullptr)))
        return false;
    return arguments.value(0).toInt() != 0;
}

QString CLogicMedia::CurrentFile() const
{
    QVariant name;
    if (!Succeeded(Control().Call(MediaDispid::GetFileName, {}, &name)))
        return QString();
    return name.toString();
}

QString CLogicMedia::NewMediaFileName(const QString &extension, const QDateTime &now) const
{
    return FreeName(m_context.Folders().GetMediaFolder(), extension, now);
}

QString CLogicMedia::FreeName(const QString &folder, const QString &extension, const QDateTime &now)
{
    const QString stem = now.toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString base = folder.isEmpty() ? stem : QDir(folder).filePath(stem);
    // Names have a resolution of one second: a second file of the same second
    // takes the next free number.
    QString name = base + QLatin1Char('.') + extension;
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1.").arg(n) + extension;
    return name;
}

bool CLogicMedia::Open(const QString &path)
{
    if (!Control().IsValid())
        return false;
    const WaitCursor wait;
    if (IsRecording()) {
        if (Desktop::Prompts().Show(
                DialogParent(), StopRecordingQuestion(), Desktop::Buttons::YesNo, Desktop::Icon::Question)
            != Desktop::Answer::Yes)
            return false;
        // The recording is finished properly before anything else plays.
        Control().Call(MediaDispid::Stop);
    }
    if (path.isEmpty())
        return StartRecording();
    if (path == CurrentFile())
        return Succeeded(Control().Call(MediaDispid::Play, { QString() }));
    StoreMarkers();
    LoadMarkers(path);
    return Succeeded(Control().Call(MediaDispid::Play, { path }));
}

bool CLogicMedia::Record(const QString &path)
{
    if (!Succeeded(Control().Call(MediaDispid::Record, { path })))
        return false;
    return true;
}

bool CLogicMedia::StartRecording()
{
    if (!Control().IsValid())
        return false;
    const WaitCursor wait;
    StoreMarkers();
    // The markers of the file before belong to it, not to the new recording.
    Control().Call(MediaDispid::CleanMarkers);
    const bool video = HasVideoInput();
    if (!video) {
        if (IMediaPanel *panel = Panel())
            panel->ShowAudioDisplay(true);
    }
    const QString folder = m_context.Folders().GetMediaFolder();
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    return Record(NewMediaFileName(video ? QStringLiteral("asf") : QStringLiteral("wma")));
}

bool CLogicMedia::Import(const QString &source, bool isVideo, QString *newPath)
{
    const WaitCursor wait;
    QString extension = QFileInfo(source).suffix().toLower();
    if (extension.isEmpty())
        extension = isVideo ? QStringLiteral("asf") : QStringLiteral("wma");
    const QString folder = m_context.Folders().GetMediaFolder();
    if (!folder.isEmpty())
        QDir().mkpath(folder);

    std::atomic_bool cancel = false;
    Files::CopyResult result = Files::CopyResult::Failed;
    QString destination;
    QString error;
    const auto copy = [&](IProgress *progress) {
        // A name taken between choosing it and the copy's end gets the next one.
        for (int attempt = 0; attempt < 5; ++attempt) {
            destination = FreeName(folder, extension, QDateTime::currentDateTime());
            result = Files::CopyToNewFile(
                source, destination,
                [&](qint64 copied, qint64 total) {
                    if (!progress)
                        return;
                    if (progress->IsCancelled())
                        cancel = true;
                    progress->SetProgress(copied, total);
                },
                &cancel, &error);
            if (result != Files::CopyResult::Failed || !QFileInfo::exists(destination))
                return;
        }
    };
    if (IProgressRunner *runner = m_context.Services().Get<IProgressRunner>())
        runner->Run(DialogParent(), CopyingCaption(), true, [&](IProgress &progress) {
            copy(&progress);
            return result == Files::CopyResult::Copied;
        });
    else
        copy(nullptr);

    if (result == Files::CopyResult::Failed) {
        Loggers::Log(Loggers::Category::Notes, Loggers::Error,
            QStringLiteral("CLogicMedia::Import() failed to copy %1 to %2: %3")
                .arg(source, destination, error));
        Desktop::Prompts().Show(
            DialogParent(), ImportFailedMessage(), Desktop::Buttons::Ok, Desktop::Icon::Error);
    }
    if (result != Files::CopyResult::Copied)
        return false;
    if (newPath)
        *newPath = destination;
    return true;
}

bool CLogicMedia::DeleteCurrent()
{
    if (!Control().IsValid())
        return false;
    const WaitCursor wait;
    const QString current = CurrentFile();
    StoreMarkers();
    Control().Call(MediaDispid::Close);
    return !current.isEmpty() && QFile::remove(current);
}

bool CLogicMedia::DeleteFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    if (Control().IsValid() && path == CurrentFile()) {
        if (!DeleteCurrent())
            return false;
        return DeleteMarkers(path);
    }
    // Only recordings of the program: other files are left where they are.
    if (!path.endsWith(QStringLiteral(".wma"), Qt::CaseInsensitive))
        return false;
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return false;
    return DeleteMarkers(path);
}

void CLogicMedia::StoreMarkers()
{
    if (!Control().IsValid())
        return;
    const QString current = CurrentFile();
    if (!current.isEmpty())
        StoreMarkers(current);
}

bool CLogicMedia::LoadMarkers(const QString &path)
{
    const Component::DispatchDriver control = Control();
    if (!control.IsValid())
        return false;
    control.Call(MediaDispid::CleanMarkers);
    Records::TablePtr rows = OpenMarkers(m_context.DataSource(), path);
    if (!rows)
        return false;
    for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext)) {
        const qint64 position = Verdanta::ParseId(Records::ReadText(rows.get(), Marker));
        control.Call(MediaDispid::AddMarker,
            { QVariant::fromValue<qint64>(position), Records::ReadText(rows.get(), MarkerDesc) });
    }
    return true;
}

bool CLogicMedia::StoreMarkers(const QString &path)
{
    const Component::DispatchDriver control = Control();
    if (path.trimmed().isEmpty() || !control.IsValid())
        return false;
    ScopedTransaction transaction(m_context.DataSource());
    Records::TablePtr rows = OpenMarkers(m_context.DataSource(), path);
    if (!rows)
        return false;
    // The rows there are, by their position text.
    std::map<QString, qint64> stored;
    for (int more = rows->Move(Korbel::MoveFirst); more == 1; more = rows->Move(Korbel::MoveNext))
        stored.emplace(Records::ReadText(rows.get(), Marker), Records::CurrentId(rows.get()));

    QVariant count;
    control.Call(MediaDispid::GetMarkersNo, {}, &count);
    std::set<QString> current;
    bool written = true;
    for (quint32 i = 0; i < count.toUInt(); ++i) {
        QVariant position;
        QVariant description;
        control.Call(MediaDispid::GetMarkerAt, { QVariant::fromValue(i) }, &position);
        control.Call(MediaDispid::GetMarkerDescAt, { QVariant::fromValue(i) }, &description);
        const QString text = Verdanta::FormatId(position.toLongLong());
        current.insert(text);
        const auto found = stored.find(text);
        const bool isNew = found == stored.end();
        if (!Records::BeginAddOrEdit(rows.get(), isNew, isNew ? 0 : found->second)) {
            written = false;
            continue;
        }
        const bool set = (!isNew || Records::WriteText(rows.get(), Marker, text))
            && Records::WriteText(rows.get(), MarkerDesc, description.toString())
            && Records::WriteText(rows.get(), ParentFile, path);
        written = Records::FinishWrite(rows.get(), set) && written;
    }
    // Every row of a marker the file no longer has goes.
    for (const auto &[text, id] : stored) {
        if (current.count(text) == 0)
            written = Records::LocateId(rows.get(), id) && rows->Delete() > 0 && written;
    }
    return written && transaction.Commit();
}

bool CLogicMedia::DeleteMarkers(const QString &path)
{
    Records::TablePtr rows = OpenMarkers(m_context.DataSource(), path);
    if (!rows)
        return false;
    bool deleted = true;
    while (rows->Move(Korbel::MoveFirst) == 1) {
        if (rows->Delete() <= 0) {
            deleted = false;
            break;
        }
    }
    return deleted;
}

bool CLogicMedia::InsertRecording()
{
    return m_newRecording && m_newRecording(HasVideoInput());
}

void CLogicMedia::OnStartRecordEvent()
{
    // The control's own record button: the recording starts here, for the
    // chief complaint being edited or as a new item of the notes.
    if (m_bComplaint) {
        if (StartRecording())
            m_strComplaintFile = CurrentFile();
        return;
    }
    InsertRecording();
}

int CLogicMedia::Transport(int subCommand)
{
    const Component::DispatchDriver control = Control();
    IMediaPanel *panel = Panel();
    switch (subCommand) {
    case 0: // play
        if (IsRecording()) {
            if (panel)
                panel->ShowAudioDisplay(false);
            control.Call(MediaDispid::Stop);
        }
        return Succeeded(control.Call(MediaDispid::Play, { QString() })) ? 1 : 0;
    case 1: // record, or stop a recording
        if (panel)
            panel->ShowVideoWindow(false);
        if (!IsRecording()) {
            if (m_bComplaint)
                OnStartRecordEvent();
            else
                InsertRecording();
            return 1;
        }
        if (panel)
            panel->ShowAudioDisplay(false);
        return Succeeded(control.Call(MediaDispid::Stop)) ? 1 : 0;
    case 2: // a new recording
        if (panel)
            panel->ShowVideoWindow(false);
        InsertRecording();
        return 1;
    case 3:
        return Succeeded(control.Call(MediaDispid::SetMarker)) ? 1 : 0;
    case 4:
        return Succeeded(control.Call(MediaDispid::GoToPrevMarker)) ? 1 : 0;
    case 5:
        return Succeeded(control.Call(MediaDispid::GoToNextMarker)) ? 1 : 0;
    case 6:
        return Succeeded(control.Call(MediaDispid::DelMarker)) ? 1 : 0;
    case 7: {
        QVariantList arguments { QVariant::fromValue<qint16>(0) };
        control.Invoke(MediaDispid::HasVideo, InvokeKind::Method, arguments, nullptr);
        const bool video = arguments.value(0).toInt() != 0;
        if (panel)
            panel->ShowVideoWindow(video);
        return video ? 0 : 1;
    }
    default:
        return 0;
    }
}

int CLogicMedia::OnCommand(LogicCommand &command)
{
    if (!Control().IsValid())
        return 0;
    ConnectEvents();
    switch (command.code) {
    case CommandCode::MediaTransport:
        return Transport(command.subCommand);
    case CommandCode::MediaPause:
        Control().Call(MediaDispid::Pause);
        if (IMediaPanel *panel = Panel())
            panel->ShowVideoWindow(false);
        return 0;
    case CommandCode::MediaResizeVideo:
        Control().Call(MediaDispid::ResizeVideoWindow);
        return 0;
    case CommandCode::ImportMediaAsked:
        return 1;
    default:
        return 0;
    }
}

void CLogicMedia::StopPlayer()
{
    const int status = Status();
    if (status == 0 || status == MediaStatus::AudioReady || status == MediaStatus::VideoReady)
        return;
    // A recording ends with the patient it was made for.
    StoreMarkers();
    Control().Call(MediaDispid::Stop);
    if (IMediaPanel *panel = Panel())
        panel->ShowAudioDisplay(false);
}

void CLogicMedia::DetachFromPatient()
{
    if (!Control().IsValid())
        return;
    StoreMarkers();
    Control().Call(MediaDispid::Close);
}

void CLogicMedia::PrepareComplaintRecording()
{
    m_bComplaint = true;
    m_strComplaintFile.clear();
}

void CLogicMedia::ResetComplaintRecording()
{
    if (m_bComplaint && IsRecording())
        Control().Call(MediaDispid::Stop);
    // A recording made for a complaint that was cancelled is dropped.
    if (!m_strComplaintFile.isEmpty()) {
        if (m_strComplaintFile == CurrentFile())
            DeleteCurrent();
        else
            QFile::remove(m_strComplaintFile);
        DeleteMarkers(m_strComplaintFile);
    }
    m_bComplaint = false;
    m_strComplaintFile.clear();
}

QString CLogicMedia::ComplaintRecording()
{
    if (m_bComplaint && IsRecording())
        Control().Call(MediaDispid::Stop);
    m_bComplaint = false;
    return std::exchange(m_strComplaintFile, QString());
}

void CLogicMedia::PlayComplaint(const QString &path)
{
    Open(path);
}
