#include "patients/CLogicDynamicQuest.h"

#include "patients/CustomDataViews.h"
#include "patients/SideFiles.h"

#include "core/AtomicFile.h"
#include "core/CLogicFolders.h"
#include "core/CommandCodes.h"
#include "core/Loggers.h"
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
    int result = 1;
    if (!ReadFile(TemplatePath(), &bytes) || !editor->SetRichText(bytes)) {
        // Without a template the questionnaire starts empty; a template that
        // cannot be read is a failure, but the patient still gets an empty one.
        editor->Clear();
        result = QFileInfo::exists(TemplatePath()) ? 0 : 1;
    }
    RememberShown(editor, false);
    return result;
}

void CLogicDynamicQuest::RememberShown(IQuestionnaireEditor *editor, bool fromFile)
{
    m_shown.clear();
    editor->GetRichText(&m_shown);
    m_bShownFromFile = fromFile;
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
    if (ReadFile(path, &bytes) && editor->SetRichText(bytes)) {
        RememberShown(editor, true);
        return 1;
    }
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
    // Text that was not changed is not written: moving through the patients
    // costs no writes, a file another program wrote stays as it is until the
    // practitioner changes it (an unreadable one too), and a patient who was
    // only shown the template gets no copy of it.
    if (rtf == m_shown && (!m_bShownFromFile || QFileInfo::exists(path)))
        return 1;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written once the save is committed, to a temporary file renamed over
    // the previous one: a failed write keeps the previous questionnaire, the
    // editor keeps the text, and the save reports failure.
    auto write = [this, path, rtf, patient, unreadable = m_bUnreadable] {
        if (unreadable && !SideFiles::SetAsideUnreadable(path))
            return false;
        QString error;
        if (!Files::WriteAtomically(path, rtf, &error)) {
            Loggers::Log(Loggers::Category::Folders, Loggers::Error,
                QStringLiteral("CLogicDynamicQuest::Save() cannot write %1: %2").arg(path, error));
            return false;
        }
        if (m_loadedFor == patient) {
            m_shown = rtf;
            m_bShownFromFile = true;
            m_bUnreadable = false;
        }
        return true;
    };
    if (!m_context.IsSaving())
        return write() ? 1 : 0;
    m_context.AfterCommit(std::move(write));
    return 1;
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
