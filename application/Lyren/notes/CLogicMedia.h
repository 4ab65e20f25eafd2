#pragma once

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include "component/DispatchDriver.h"
#include "component/Events.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QString>

#include <functional>

class IMediaPanel;
class LogicContext;

// The patient's media: recording, playing, importing and deleting the media
// files of the notes' audio and video items, and the markers of each file
// (table MARKERS), through the media capture and playback control of the
// header band (reached by member numbers, never linked). Answers the media
// commands of the hub (32, 71, 73, 83) and what the patient record asks of
// the player (IPatientMedia).
class CLogicMedia final : public ILogicObject, public IPatientMedia
{
    Q_DECLARE_TR_FUNCTIONS(CLogicMedia)

public:
    explicit CLogicMedia(LogicContext &context);
    ~CLogicMedia() override;
    CLogicMedia(const CLogicMedia &) = delete;
    CLogicMedia &operator=(const CLogicMedia &) = delete;

    // Plays a file (the current one resumes); an empty path starts a new
    // recording. A running recording is stopped only when the person agrees.
    bool Open(const QString &path);
    // A new recording into a new file of the patient's media folder (audio
    // without a camera, video with one).
    bool StartRecording();
    // Copies a file into the patient's media folder under a new name, with the
    // progress window; newPath receives the copy's path. The copy keeps the
    // file's own extension (lower case), so that the player and any other
    // program read it by its real format; a file without one takes "asf" for
    // video and "wma" for audio.
    bool Import(const QString &source, bool isVideo, QString *newPath);
    // Closes the current file (its markers stored first) and deletes it.
    bool DeleteCurrent();
    // Deletes a media file with its markers: the current file, or a ".wma"
    // recording; other files are left alone.
    bool DeleteFile(const QString &path);
    QString CurrentFile() const;
    // Stores the markers of the current file.
    void StoreMarkers();

    // The markers of a file in table MARKERS.
    bool LoadMarkers(const QString &path);
    bool StoreMarkers(const QString &path);
    bool DeleteMarkers(const QString &path);

    int OnCommand(LogicCommand &command) override;

    // IPatientMedia
    void StopPlayer() override;
    void DetachFromPatient() override;
    void PrepareComplaintRecording() override;
    void ResetComplaintRecording() override;
    QString ComplaintRecording() override;
    void PlayComplaint(const QString &path) override;

    // How a new recording item gets into the notes (the notes view's
    // callback): video or audio; true when the recording started.
    void SetNewRecordingSink(std::function<bool(bool video)> sink) { m_newRecording = std::move(sink); }
    // The name of a new media file: "%Y%m%d%H%M%S" and the extension in the
    // patient's media folder; a name in use gets "-1", "-2", ... before the
    // extension.
    QString NewMediaFileName(
        const QString &extension, const QDateTime &now = QDateTime::currentDateTime()) const;

    bool IsRecording() const;
    bool HasVideoInput() const;
    Component::DispatchDriver Control() const;

    static QString StopRecordingQuestion();
    static QString ImportFailedMessage();
    static QString CopyingCaption();

private:
    // Called on the copy's worker thread too: no database access.
    static QString FreeName(const QString &folder, const QString &extension, const QDateTime &now);
    int Status() const;
    IMediaPanel *Panel() const;
    QWidget *DialogParent() const;
    bool Record(const QString &path);
    void ConnectEvents();
    void OnStartRecordEvent();
    int Transport(int subCommand);
    bool InsertRecording();

    LogicContext &m_context;
    Component::EventSink m_events;
    Component::IDispatch *m_pConnected = nullptr;
    int m_nListener = 0;
    std::function<bool(bool)> m_newRecording;
    bool m_bComplaint = false;
    QString m_strComplaintFile;
};
