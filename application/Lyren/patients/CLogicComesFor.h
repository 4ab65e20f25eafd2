#pragma once

#include "patients/PatientImages.h"
#include "patients/PatientParticipant.h"
#include "shell/LogicCommand.h"

#include "Korbel/DataSource.h"
#include "Korbel/XListCtrl/XListCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtCore/QStringList>

#include <functional>

class CComesForDialog;

// The chief complaints of the current patient (COMES_FOR, filtered to the
// patient) and the header band's list of them: one row per complaint with its
// description and an audio and an image icon, then the row "Double click here
// to add new...". Codes: 8 (a click; on an audio cell the recording is
// played), 28 (a double click edits the row, or adds a complaint on the last
// row) and 42 (the "Chief Complaints:" button's pop-up menu). Del removes a
// complaint.
class CLogicComesFor final : public ILogicObject,
                             public IPatientParticipant,
                             private Korbel::IXListCtrlCallback
{
    Q_DECLARE_TR_FUNCTIONS(CLogicComesFor)

public:
    // Shows the dialog modally and returns its result; tests drive it through
    // one of these instead of a person.
    using DialogPresenter = std::function<int(CComesForDialog &dialog)>;
    // Shows the pop-up menu at a point of the screen; the index of the chosen
    // entry, -1 when none was chosen.
    using MenuPresenter = std::function<int(const QStringList &entries, const QPoint &at, QWidget *parent)>;

    enum Column { DescriptionColumn, AudioColumn, ImageColumn };

    explicit CLogicComesFor(CLogicMain *hub);
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

    void SetMedia(IPatientMedia *media) { m_pMedia = media; }
    // Not owned; none returns to the image manager.
    void SetImages(IPatientImages *images) { m_images.Set(images); }
    void SetDialogPresenter(DialogPresenter presenter) { m_dialogPresenter = std::move(presenter); }
    void SetMenuPresenter(MenuPresenter presenter) { m_menuPresenter = std::move(presenter); }

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

    // The header band's list, set up the first time it is seen.
    Korbel::CXListCtrl *List();
    void FillList();
    void ShowRow(int row);
    int ShowMenu(const LogicCommand &command);
    int PlayRecording(int row, int column);
    bool LocateRow(qint64 id);
    QString Field(const QString &name) const;

    CLogicMain *m_pHub;
    Korbel::ReleasePtr<Korbel::ITable> m_pTable;
    QPointer<Korbel::CXListCtrl> m_pList;
    IPatientMedia *m_pMedia = nullptr;
    PatientImagesSource m_images;
    DialogPresenter m_dialogPresenter;
    MenuPresenter m_menuPresenter;
};
