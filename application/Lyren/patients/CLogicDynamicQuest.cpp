#include "patients/CLogicDynamicQuest.h"

#include "patients/CustomDataViews.h"
#include "patients/SideFiles.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/LogicContext.h"

#include "desktop/Prompts.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

// A questionnaire is a few pages of text; a file far beyond that is not one,
// and reading it whole could take the program's memory.
constexpr qint64 MaximumFileSize = qint64(64) * 1024 * 1024;

} // namespace

CLogicDynamicQuest::CLogicDynamicQuest(LogicContext &context)
    : m_context(context)
{ }

QString CLogicDynamicQuest::PatientFilePath() const
{
    const QString folder = m_context.Folders().GetPatientFolder();
    return folder.isEmpty() ? QString() : folder + FileName();
}

QString CLogicDynamicQuest::TemplatePath() const
{
    return m_context.Folders().GetRootFolder() + FileName();
}

QString CLogicDynamicQuest::TemplateNotSavedMessage()
{
    return tr("The default questionnaire could not be saved:\n%1");
}

IQuestionnaireEditor *CLogicDynamicQuest::Editor() const
{
    return m_context.Services().Get<IQuestionnaireEditor>();
}

bool CLogicDynamicQuest::ReadFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > MaximumFileSize)
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

int CLogicDynamicQuest::OnCommand(LogicCommand &command)
{
    if (command.code != CommandCode::DynamicQuestionnaireButton)
        return 0;
    switch (command.subCommand) {
    case DynamicQuestSubCommand::EditTemplate:
        return EditTemplate(command.window ? command.window : m_context.DialogParent());
    case DynamicQuestSubCommand::ShowCurrent:
        return Editor() ? Load() : 0;
    default:
        return 0;
    }
}

int CLogicDynamicQuest::ShowTemplate(IQuestionnaireEditor *editor)
{
    QByteArray bytes;
    if (ReadFile(TemplatePath(), &bytes) && editor->SetRichText(bytes))
        return 1;
    // Without a template the questionnaire starts empty; a template that
    // cannot be read is a failure, but the patient still gets an empty one.
    editor->Clear();
    return QFileInfo::exists(TemplatePath()) ? 0 : 1;
}

int CLogicDynamicQuest::New()
{
    IQuestionnaireEditor *editor = Editor();
    if (!editor)
        return 1;
    const qint64 patient = m_context.CurrentPatientId();
    m_loadedFor = patient > 0 ? patient : -1;
    m_bUnreadable = false;
    return ShowTemplate(editor);
}

int CLogicDynamicQuest::Load()
{
    IQuestionnaireEditor *editor = Editor();
    if (!editor) {
        m_loadedFor = -1;
        return 1;
    }
    const qint64 patient = m_context.CurrentPatientId();
    m_bUnreadable = false;
    if (patient <= 0) {
        editor->Clear();
        m_loadedFor = -1;
        return 1;
    }
    m_loadedFor = patient;
    const QString path = PatientFilePath();
    const QFileInfo file(path);
    // An empty file holds nothing to keep (a write that never happened); the
    // patient starts again from the template.
    if (!file.exists() || file.size() == 0)
        return ShowTemplate(editor);
    QByteArray bytes;
    if (ReadFile(path, &bytes) && editor->SetRichText(bytes))
        return 1;
    m_bUnreadable = true;
    ShowTemplate(editor);
    return 0;
}

int CLogicDynamicQuest::Save()
{
    IQuestionnaireEditor *editor = Editor();
    const qint64 patient = m_context.CurrentPatientId();
    if (!editor || patient <= 0 || patient != m_loadedFor)
        return 1;
    const QString path = PatientFilePath();
    QByteArray rtf;
    if (path.isEmpty() || !editor->GetRichText(&rtf))
        return 0;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (m_bUnreadable) {
        m_context.AfterCommit([this, path] {
            const bool keptAside = SideFiles::SetAsideUnreadable(path);
            if (keptAside)
                m_bUnreadable = false;
            return keptAside;
        });
    }
    // Written to a temporary file renamed over the previous one once the save
    // is committed: a failed write keeps the previous questionnaire and makes
    // the save report failure.
    return m_context.WriteFileAfterCommit(path, rtf) ? 1 : 0;
}

int CLogicDynamicQuest::DeletePatientRows()
{
    const QString path = PatientFilePath();
    if (!path.isEmpty()) {
        m_context.AfterCommit([path] {
            QFile::remove(path);
            return true;
        });
    }
    return 1;
}

int CLogicDynamicQuest::EditTemplate(QWidget *parent)
{
    auto *templateEditor = m_context.Services().Get<IQuestionnaireTemplateEditor>();
    if (!templateEditor)
        return 0;
    QByteArray rtf;
    ReadFile(TemplatePath(), &rtf);
    if (templateEditor->Edit(parent, &rtf) != 1)
        return 0;
    QString error;
    if (!Files::WriteAtomically(TemplatePath(), rtf, &error)) {
        Desktop::Prompts().Show(
            parent, TemplateNotSavedMessage().arg(error), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return 0;
    }
    return 1;
}
