#include "TalmaroCtrl.h"

#include "CompressionProfiles.h"
#include "MediaQualityDlg.h"
#include "TalmaroIds.h"
#include "VideoControlsDlg.h"

#include "desktop/Prompts.h"

#include <QtCore/QCoreApplication>

#include <climits>

using namespace Component;

namespace Talmaro {

namespace {

QString Text(const char *text)
{
    return QCoreApplication::translate("CTalmaroCtrl", text);
}

HRESULT Result(bool ok)
{
    return ok ? S_OK : E_FAIL;
}

QVariant Flag(bool value)
{
    return QVariant::fromValue<qint16>(value ? 1 : 0);
}

} // namespace

CTalmaroCtrl::CTalmaroCtrl()
    : ControlObject(kIidDTalmaro)
    , m_pMediaManager(CreateMediaManager())
{
    AddMembers();
}

CTalmaroCtrl::~CTalmaroCtrl()
{
    // A recording still running is ended properly before the events go.
    m_pMediaManager.reset();
}

void CTalmaroCtrl::AddMembers()
{
    const auto call = [this](DISPID member, std::function<HRESULT()> body) {
        m_dispatch.AddMethod(member, {}, [body](QVariantList &, QVariant &) { return body(); });
    };
    m_dispatch.AddMethod(kPlay, { ValueType::String },
        [this](QVariantList &args, QVariant &) { return Play(args[0].toString()); });
    m_dispatch.AddMethod(kRecord, { ValueType::String },
        [this](QVariantList &args, QVariant &) { return Record(args[0].toString()); });
    call(kPause, [this] { return Pause(); });
    call(kStop, [this] { return Stop(); });
    m_dispatch.AddMethod(
        kGetFileName, {},
        [this](QVariantList &, QVariant &result) {
            result = m_pMediaManager->FileName();
            return S_OK;
        },
        ValueType::String);
    m_dispatch.AddMethod(
        kGetMarkersNo, {},
        [this](QVariantList &, QVariant &result) {
            result = static_cast<quint32>(m_pMediaManager->Markers().Count());
            return S_OK;
        },
        ValueType::UInt32);
    // An index outside the list answers E_INVALIDARG with an empty value.
    const auto markerGetter = [this](DISPID member, ValueType type, QVariant (*part)(const Marker &)) {
        m_dispatch.AddMethod(
            member, { ValueType::UInt32 },
            [this, part](QVariantList &args, QVariant &result) {
                Marker marker;
                const uint index = args[0].toUInt();
                const bool found = index <= static_cast<uint>(INT_MAX)
                    && m_pMediaManager->Markers().At(static_cast<int>(index), &marker);
                result = part(found ? marker : Marker {});
                return found ? S_OK : E_INVALIDARG;
            },
            type);
    };
    markerGetter(kGetMarkerAt, ValueType::Int64,
        [](const Marker &m) { return QVariant::fromValue<qint64>(m.position); });
    markerGetter(
        kGetMarkerDescAt, ValueType::String, [](const Marker &m) { return QVariant(m.description); });
    call(kCleanMarkers, [this] {
        m_pMediaManager->Markers().Clear();
        UpdateControls();
        return S_OK;
    });
    m_dispatch.AddMethod(
        kAddMarker, { ValueType::Int64, ValueType::String }, [this](QVariantList &args, QVariant &) {
            m_pMediaManager->Markers().Insert(args[0].toLongLong(), args[1].toString());
            UpdateControls();
            return S_OK;
        });
    call(kClose, [this] {
        m_pMediaManager->Close();
        UpdateControls();
        return S_OK;
    });
    const auto markerCall = [this, &call](DISPID member, bool (IMediaManager::*operation)()) {
        call(member, [this, operation] {
            const bool ok = (m_pMediaManager.get()->*operation)();
            UpdateControls();
            return Result(ok);
        });
    };
    markerCall(kSetMarker, &IMediaManager::SetMarker);
    markerCall(kGoToNextMarker, &IMediaManager::GoToNextMarker);
    markerCall(kGoToPrevMarker, &IMediaManager::GoToPrevMarker);
    markerCall(kDelMarker, &IMediaManager::DelMarker);
    m_dispatch.AddMethod(
        kGetStatus, {},
        [this](QVariantList &, QVariant &result) {
            EnsureSetUp();
            result = QVariant::fromValue<qint16>(m_pMediaManager->Status());
            return S_OK;
        },
        ValueType::Int16);
    m_dispatch.AddProperty(
        kCompressionLevel, ValueType::Int16, [] { return QVariant::fromValue<qint16>(CompressionLevel()); },
        [this](const QVariant &value) {
            SetCompressionLevel(value.value<qint16>());
            m_bModified = true;
            return S_OK;
        });
    call(kQueryCompressionLevel, [this] { return QueryCompressionLevel(); });
    m_dispatch.AddMethod(kSetRecordingVideoWindow, { ValueType::Int64 },
        [this](QVariantList &args, QVariant &) { return SetVideoWindow(args[0].toLongLong(), true); });
    m_dispatch.AddMethod(
        kHasVideo, { Parameter::Out(ValueType::Int16) }, [this](QVariantList &args, QVariant &) {
            args[0] = Flag(m_pMediaManager->HasVideo());
            return S_OK;
        });
    m_dispatch.AddMethod(
        kPreviewVideo, { ValueType::Bool },
        [this](QVariantList &args, QVariant &result) {
            EnsureSetUp();
            const bool done = m_pMediaManager->Preview(args[0].toBool());
            UpdateControls();
            result = done ? 0 : 1;
            return done ? S_OK : S_FALSE;
        },
        ValueType::Int32);
    m_dispatch.AddMethod(kSetPlaybackVideoWindow, { ValueType::Int64 },
        [this](QVariantList &args, QVariant &) { return SetVideoWindow(args[0].toLongLong(), false); });
    m_dispatch.AddMethod(
        kHasVideoInput, { Parameter::Out(ValueType::Int16) }, [this](QVariantList &args, QVariant &) {
            EnsureSetUp();
            args[0] = Flag(m_pMediaManager->HasVideoInput());
            return S_OK;
        });
    call(kResizeVideoWindow, [this] {
        m_pMediaManager->ResizeVideoWindow();
        return S_OK;
    });
}

QWidget *CTalmaroCtrl::CreateWidget(QWidget *parent)
{
    // The device choices are read each time the window is made.
    m_pMediaManager->SetUp(ReadMediaChoices());
    m_bSetUp = true;
    auto *dialog = new CVideoControlsDlg(this, parent);
    m_pDialog = dialog;
    m_pMediaManager->SetNotifyWindow(dialog);
    dialog->OnDevicesChanged();
    return dialog;
}

void CTalmaroCtrl::OnWindowDestroyed()
{
    m_pMediaManager->SetNotifyWindow(nullptr);
    WriteMediaChoices(m_pMediaManager->Choices());
}

void CTalmaroCtrl::EnsureSetUp()
{
    if (m_bSetUp)
        return;
    m_pMediaManager->SetUp(ReadMediaChoices());
    m_bSetUp = true;
}

void CTalmaroCtrl::UpdateControls()
{
    if (m_pDialog)
        m_pDialog->OnUpdateControls();
}

QWidget *CTalmaroCtrl::MessageParent() const
{
    return m_pDialog ? m_pDialog->window() : nullptr;
}

HRESULT CTalmaroCtrl::Play(const QString &fileName)
{
    EnsureSetUp();
    const bool ok = m_pMediaManager->Play(fileName);
    UpdateControls();
    Fire(ok ? kOnStartPlay : kOnFinishPlay);
    return Result(ok);
}

HRESULT CTalmaroCtrl::Record(const QString &fileName)
{
    EnsureSetUp();
    const bool ok = m_pMediaManager->Record(fileName, CompressionLevel());
    UpdateControls();
    if (!ok) {
        Desktop::Prompts().Show(MessageParent(),
            Text("Error while starting recording.") + QStringLiteral("\n\n")
                + Text(
                    "Please make sure that the audio and video devices are working properly or they are not "
                    "already in use."),
            Desktop::Buttons::Ok, Desktop::Icon::Error, Text("Talmaro Control"));
        Fire(kOnStopRecord);
    }
    return Result(ok);
}

HRESULT CTalmaroCtrl::Pause()
{
    const bool ok = m_pMediaManager->Pause();
    UpdateControls();
    if (ok)
        Fire(kOnFinishPlay);
    return Result(ok);
}

HRESULT CTalmaroCtrl::Stop()
{
    const bool ok = m_pMediaManager->Stop();
    UpdateControls();
    Fire(kOnStopRecord);
    return Result(ok);
}

HRESULT CTalmaroCtrl::QueryCompressionLevel()
{
    CMediaQualityDlg dialog(CompressionLevel(), MessageParent());
    if (dialog.exec() != QDialog::Accepted)
        return E_FAIL;
    SetCompressionLevel(dialog.Level());
    m_bModified = true;
    return S_OK;
}

HRESULT CTalmaroCtrl::SetVideoWindow(qint64 windowId, bool recording)
{
    QWidget *window = nullptr;
    if (windowId != 0) {
        // Only a live window of this process is taken; a stale or foreign id
        // is refused rather than trusted.
        window = QWidget::find(static_cast<WId>(windowId));
        if (!window)
            return E_FAIL;
    }
    if (recording)
        m_pMediaManager->SetRecordingVideoWindow(window);
    else
        m_pMediaManager->SetPlaybackVideoWindow(window);
    return S_OK;
}

void CTalmaroCtrl::OnRecordButton(bool pressed)
{
    if (pressed) {
        // The container answers with Record and the file name it chooses.
        Fire(kOnStartRecord);
        UpdateControls();
        return;
    }
    m_pMediaManager->Stop();
    UpdateControls();
    Fire(kOnStopRecord);
}

void CTalmaroCtrl::OnPlayButton(bool pressed)
{
    if (!pressed) {
        m_pMediaManager->Pause();
        UpdateControls();
        Fire(kOnFinishPlay);
        return;
    }
    Fire(kOnStartPlay);
    // Resumes the open file, or opens the current one first.
    const bool ok = m_pMediaManager->Play(QString());
    UpdateControls();
    if (!ok)
        Fire(kOnFinishPlay);
}

void CTalmaroCtrl::OnMarkerChosen(int index)
{
    m_pMediaManager->GoToMarker(index);
    UpdateControls();
}

void CTalmaroCtrl::OnChoicesChanged(const MediaChoices &choices)
{
    m_pMediaManager->SetUp(choices);
    if (m_pDialog)
        m_pDialog->OnDevicesChanged();
}

void CTalmaroCtrl::OnPreviewToggled()
{
    m_pMediaManager->Preview(m_pMediaManager->Status() != kPreviewing);
    UpdateControls();
}

void CTalmaroCtrl::OnTick()
{
    switch (m_pMediaManager->OnTick()) {
    case IMediaManager::TickResult::PlaybackEnded:
    case IMediaManager::TickResult::PlaybackFailed:
        UpdateControls();
        Fire(kOnFinishPlay);
        return;
    case IMediaManager::TickResult::RecordingFailed:
        UpdateControls();
        Fire(kOnStopRecord);
        return;
    case IMediaManager::TickResult::Nothing:
        break;
    }
    UpdateControls();
}

} // namespace Talmaro
