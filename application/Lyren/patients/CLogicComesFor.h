#pragma once

#include "core/LogicCommand.h"
#include "core/PatientImages.h"
#include "core/PatientSteps.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/IXListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QStringList>

class LogicContext;

// The chief complaints of the current patient (COMES_FOR, filtered to the
// patient) and the header band's list of them: one row per complaint with its
// description and an audio and an image icon, then the row "Double click here
// to add new...". Codes: 8 (a click; on an audio cell the recording is
// played), 28 (a double click edits the row, or adds a complaint on the last
// row) and 42 (the "Chief Complaints:" button's pop-up menu). Del removes a
// complaint. The complaint dialog is the window layer's IComplaintEditor.
class CLogicComesFor final : public ILogicObject,
                             public IPatientParticipant,
                             private Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicComesFor)

public:
    enum Column { DescriptionColumn, AudioColumn, ImageColumn };

    explicit CLogicComesFor(LogicContext &context);
    ~CLogicComesFor() override;
    CLogicComesFor(const CLogicComesFor &) = delete;
    CLogicComesFor &operator=(const CLogicComesFor &) = delete;

    // 8, 28 and 42; any other code: 0.
    int OnCommand(LogicCommand &command) override;
    // The complaints of the current patient, and the list refilled.
    int Load() override;
    // Every complaint of the current patient (patient deletion).
    int DeletePatientRows() override;

    // Edits the complaint of a list row; on the last row adds one. 1 when the
    // dialog was confirmed and the complaint written.
    int EditRow(int row);

    // Not owned; none returns to the image manager of the context's services.
    void SetImages(IPatientImages *images) { m_pImages = images; }

    // The description as one list line: line feeds, carriage returns, tabs
    // and vertical tabs become spaces.
    static QString ListText(const QString &description);
    // A menu entry: the first 40 characters, followed by "..." when the text
    // is longer.
    static QString MenuText(const QString &description);
    static QString AddRowText();
    static QString AddMenuText();

private:
    // IXListCtrlCallback
    bool DeleteRow(int row) override;
    void ListDestroyed() override { m_pList = nullptr; }

    // The header band's list, set up the first time it is seen.
    Korbel::IXListCtrl *List();
    void FillList();
    void ShowRow(int row);
    int ShowMenu(const LogicCommand &command);
    int PlayRecording(int row, int column);
    bool LocateRow(qint64 id);
    QString Field(const QString &name) const;

    IPatientMedia *Media() const;
    IPatientImages *Images() const;

    LogicContext &m_context;
    Korbel::ReleasePtr<Korbel::ITable> m_pTable;
    Korbel::IXListCtrl *m_pList = nullptr;
    IPatientImages *m_pImages = nullptr;
};
