#pragma once

#include "patients/PatientDocuments.h"

#include "core/LogicCommand.h"
#include "core/PatientSteps.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

class LogicContext;

// The patient's documents: the files directly in the current patient's Pdf
// folder (sub-folders are not documents), listed by name in the Patient tab's
// documents list. No table is involved: the folder is the store and a file's
// name its identity. Codes: 29 adds a file chosen in a dialog, 30 the first
// file dropped on the tab, 31 opens the selected document with the desktop's
// program (with PageSubCommand::ShowCurrent it fills the list), 80 removes it
// after asking. A document is never replaced without asking, and no name
// reaches outside the folder.
class CLogicDocuments final : public ILogicObject, public IPatientParticipant, public IPatientDocuments
{
    Q_DECLARE_TR_FUNCTIONS(CLogicDocuments)

public:
    explicit CLogicDocuments(LogicContext &context);

    // 29, 30, 31 and 80; any other code: 0.
    int OnCommand(LogicCommand &command) override;
    // The list shows the current patient's documents.
    int Load() override { return Fill(); }

    int Fill();
    // The file-open dialog, starting in the documents folder.
    int AddFromDialog(QWidget *parent);
    // Copies the file in under its own name. A document of that name is
    // replaced only when the person says so; they may keep both instead (the
    // new one under a free name) or add nothing. The list shows each name
    // once. 0 when nothing was added (a failed copy says nothing).
    int AddDocument(const QString &path, QWidget *parent) override;
    // The selected document with the desktop's program.
    int Open();
    // The selected document, after asking.
    int Remove(QWidget *parent);

    // The documents of a folder: its files, not its sub-folders, by name.
    static QStringList DocumentNames(const QString &folder);
    // A name a document may have: a plain file name, which cannot lead out of
    // its folder ("..", separators).
    static bool IsDocumentName(const QString &name);
    // A name like the given one that no file of the folder has: "name (2).ext", ...
    static QString FreeName(const QString &folder, const QString &name);
    static QString DialogFilter();
    static QString RemoveQuestion();
    static QString ReplaceQuestion();

private:
    Korbel::IXListCtrl *List() const;
    QWidget *DialogParent(const LogicCommand &command) const;
    // The path of a document of the current patient, empty when there is no
    // patient folder or the name is not a document's.
    QString DocumentPath(const QString &name) const;
    void ShowAdded(const QString &name);
    // Copies in blocks into a temporary file beside the target, renamed over
    // it once complete: a failed copy leaves any previous file whole.
    static bool CopyInto(const QString &source, const QString &target);

    LogicContext &m_context;
};
