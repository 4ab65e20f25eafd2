#pragma once

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include <QtCore/QByteArray>
#include <QtCore/QCoreApplication>
#include <QtCore/QString>

class IQuestionnaireEditor;
class LogicContext;
class QWidget;

// The patient's own questionnaire: a rich-text document per patient, the file
// "DynamicQuestionnaire.rtf" in the patient's folder, shown in the "My
// Questionnaire" tab's editor. A patient without one starts from the
// practice's template, the file of that name in the root folder. The file is
// written by the patient's save when the text was changed, after the save's
// rows are committed and in one piece, so that a failed write keeps the
// previous file and fails the save. Code 74 opens the template for editing.
class CLogicDynamicQuest final : public ILogicObject, public IPatientParticipant
{
    Q_DECLARE_TR_FUNCTIONS(CLogicDynamicQuest)

public:
    explicit CLogicDynamicQuest(LogicContext &context);

    // 74: the template edited, or the tab's editor attached (it then shows the
    // current patient's questionnaire); any other: 0.
    int OnCommand(LogicCommand &command) override;
    // The current patient's questionnaire into the editor, or the template
    // when the patient has none. 0 when the patient's file exists but cannot
    // be read (the editor then shows the template, and the file is kept aside
    // before it is ever replaced).
    int Load() override;
    // The editor's text to the patient's file once the save is committed,
    // when it was changed since it was shown. Without an editor, or while the
    // editor does not hold this patient's questionnaire, nothing is written.
    int Save() override;
    // A new patient: the template into the editor.
    int PrepareNew() override { return New(); }
    // The patient's file goes once the delete is committed; errors are
    // ignored.
    int DeletePatientRows() override;

    // The template into the editor; an empty editor without one. 1 when the
    // editor shows the template (or is empty because there is none).
    int New();
    // Lets the person edit the template and writes it (in one piece); 1 when
    // it was saved.
    int EditTemplate(QWidget *parent);

    QString PatientFilePath() const;
    QString TemplatePath() const;
    static QString FileName() { return QStringLiteral("DynamicQuestionnaire.rtf"); }
    static QString TemplateNotSavedMessage();

private:
    IQuestionnaireEditor *Editor() const;
    // Reads a file whole; false when it does not exist or cannot be read.
    static bool ReadFile(const QString &path, QByteArray *bytes);
    int ShowTemplate(IQuestionnaireEditor *editor);
    void RememberShown(IQuestionnaireEditor *editor, bool fromFile);

    LogicContext &m_context;
    // The patient whose questionnaire the editor holds; -1 for none.
    qint64 m_loadedFor = -1;
    // That patient's file exists but could not be read.
    bool m_bUnreadable = false;
    // The editor's text as it was loaded or last written, as rich text, and
    // whether it came from the patient's file (or from the template).
    QByteArray m_shown;
    bool m_bShownFromFile = false;
};
