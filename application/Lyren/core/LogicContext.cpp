#include "core/LogicContext.h"

#include "core/AtomicFile.h"
#include "core/Loggers.h"
#include "core/LogicCommand.h"
#include "core/RecordAccess.h"
#include "core/Views.h"

LogicContext::LogicContext(CLogicFolders &folders)
    : m_folders(folders)
{ }

qint64 LogicContext::CurrentPatientId() const
{
    return m_pMain && m_pMain->CurrentPosition() >= 0 ? Records::CurrentId(m_pMain) : 0;
}

QWidget *LogicContext::DialogParent() const
{
    return m_pHeaderBand ? m_pHeaderBand->DialogParent() : nullptr;
}

int LogicContext::SendCommand(LogicCommand &command) const
{
    return m_pCommandSink ? m_pCommandSink->OnCommand(command) : 0;
}

void LogicContext::SetData(
    Korbel::IDataSource *source, Korbel::ITable *main, Korbel::ITable *address, const QString &mediaTable)
{
    m_pDataSource = source;
    m_pMain = main;
    m_pAddress = address;
    m_strMediaTable = mediaTable;
}

void LogicContext::SetMediaControl(const Component::DispatchDriver &control)
{
    m_mediaControl = control;
    // A listener may stop listening while it is told.
    const auto listeners = m_mediaListeners;
    for (const auto &[id, changed] : listeners)
        changed();
}

int LogicContext::ListenToMediaControl(std::function<void()> changed)
{
    const int id = m_nextListener++;
    m_mediaListeners.emplace_back(id, std::move(changed));
    return id;
}

void LogicContext::StopListeningToMediaControl(int id)
{
    std::erase_if(m_mediaListeners, [id](const auto &listener) { return listener.first == id; });
}

void LogicContext::SetPatient(ICurrentPatient *patient, IPatientSteps *steps)
{
    m_pPatient = patient;
    m_pSteps = steps;
}

bool LogicContext::WriteFileAfterCommit(const QString &path, const QByteArray &bytes)
{
    auto write = [this, path, bytes] {
        QString error;
        if (Files::WriteAtomically(path, bytes, &error))
            return true;
        Loggers::Log(Loggers::Category::Folders, Loggers::Error,
            QStringLiteral("LogicContext::WriteFileAfterCommit() cannot write %1: %2").arg(path, error));
        m_fileFailures.push_back({ path, error });
        return false;
    };
    if (!m_bSaving)
        return write();
    m_afterCommit.push_back(std::move(write));
    return true;
}

std::vector<LogicContext::FileFailure> LogicContext::TakeFileFailures()
{
    std::vector<FileFailure> failures;
    failures.swap(m_fileFailures);
    return failures;
}

void LogicContext::AfterCommit(std::function<bool()> work)
{
    if (!work)
        return;
    if (!m_bSaving) {
        work();
        return;
    }
    m_afterCommit.push_back(std::move(work));
}

void LogicContext::OnRollback(std::function<void()> undo)
{
    if (m_bSaving && undo)
        m_onRollback.push_back(std::move(undo));
}

void LogicContext::BeginSave()
{
    m_bSaving = true;
    m_afterCommit.clear();
    m_onRollback.clear();
}

bool LogicContext::FinishSave(bool committed)
{
    m_bSaving = false;
    std::vector<std::function<bool()>> work;
    work.swap(m_afterCommit);
    std::vector<std::function<void()>> undos;
    undos.swap(m_onRollback);
    if (!committed) {
        for (auto undo = undos.rbegin(); undo != undos.rend(); ++undo)
            (*undo)();
        return false;
    }
    bool result = true;
    for (const auto &piece : work) {
        if (!piece())
            result = false;
    }
    return result;
}
