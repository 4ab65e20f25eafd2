#pragma once

#include "core/MediaControl.h"
#include "core/Views.h"
#include "shell/ui/CWorkspace.h"

#include "component/DispatchDriver.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <array>

class CHyperLink;
class CLogicMain;
class CPageContainer;
class CWorkspace;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;

namespace Component {
class ControlHost;
}
namespace Korbel {
class CXListCtrl;
}

// The header band above the workspace: the current patient's picture, name
// and age, the chief complaints, the medical history, questionnaire and
// reports buttons, the phone and e-mail links with their choice buttons, the
// "Workspace Layout" toggles and the hosted media control. Every control sends
// its command to the hub and is enabled only while its code reaches a logic
// object; the patient logic fills the band's values (IHeaderBand).
class CMainView : public QWidget, public IHeaderBand, public IMediaPanel
{
    Q_OBJECT

public:
    explicit CMainView(QWidget *parent = nullptr);
    ~CMainView() override;

    // Links the view to the hub (none unlinks it), hands the hub the media
    // control and enables the controls whose codes reach a logic object.
    void SetHub(CLogicMain *hub);
    // Each control is enabled when the hub routes its code to a logic object.
    void UpdateCommandStates();
    CLogicMain *GetHub() const { return m_pHub; }
    void SetPageContainer(CPageContainer *container) { m_pPageContainer = container; }
    // The workspace whose panes the "Workspace Layout" toggles show and hide.
    void SetWorkspace(CWorkspace *workspace);
    // Shows the panes the user last chose (the workspace layout settings).
    void RestoreLayout();

    // IHeaderBand. An empty picture path shows "no_photo.gif".
    void SetPicture(const QString &path) override;
    QString GetPicture() const override { return m_strPicture; }
    void SetNameLine(const QString &text) override;
    void SetAgeLine(const QString &text) override;
    Korbel::IXListCtrl *ChiefComplaintsList() override;
    // A new phone link shows released.
    void SetPhoneLink(const QString &text, bool active) override;
    void SetEmailLink(const QString &text, bool active) override;
    QWidget *DialogParent() const override { return window(); }
    QString GetNameLine() const;
    QString GetAgeLine() const;

    // The controls the logic objects fill and read.
    Korbel::CXListCtrl *GetChiefComplaintsList() const { return m_pComesFor; }
    CHyperLink *GetPhoneLink() const { return m_pPhoneLink; }
    CHyperLink *GetEmailLink() const { return m_pEmailLink; }
    QAbstractButton *GetPictureButton() const;
    QPushButton *GetChiefComplaintsButton() const { return m_pComesForButton; }
    QPushButton *GetMedicalHistoryButton() const { return m_pMedicalHistory; }
    QPushButton *GetQuestionnaireButton() const { return m_pQuestionnaire; }
    QPushButton *GetReportsButton() const { return m_pReports; }
    QPushButton *GetPhoneChoiceButton() const { return m_pPhoneChoice; }
    QPushButton *GetEmailChoiceButton() const { return m_pEmailChoice; }
    // The toggles of the first row's and the first column's panes.
    QCheckBox *GetRowToggle(int index) const;
    QCheckBox *GetColumnToggle(int index) const;

    // The hosted media control; empty when the component layer offers none.
    const Component::DispatchDriver &GetMediaControl() const;
    // IMediaPanel: beside the media control, the sign shown while sound is
    // recorded and the window the control shows video in.
    void ShowAudioDisplay(bool shown) override;
    void ShowVideoWindow(bool shown) override;
    QWidget *GetVideoWindow() const { return m_pVideoWindow; }
    QLabel *GetAudioDisplay() const { return m_pAudioDisplay; }

    // Sends the paths of dropped files, one command per file.
    void DropFiles(const QStringList &paths);

    static QString NoPhotoPicture() { return QStringLiteral(":/shell/no_photo.gif"); }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int Send(int code, QWidget *control = nullptr, const QString &text = QString(),
        const QPoint &point = QPoint());
    QWidget *CreateLayoutGroup();
    void CreateMediaControl(QWidget *parent);
    void OnToggle(bool row, int index, bool checked);
    int PaneMask(CWorkspace::Line line) const;
    void SyncToggles();

    CLogicMain *m_pHub = nullptr;
    CPageContainer *m_pPageContainer = nullptr;
    QPointer<CWorkspace> m_pWorkspace;

    QString m_strPicture;
    class CPictureButton *m_pPicture = nullptr;
    QLabel *m_pName = nullptr;
    QLabel *m_pAge = nullptr;
    QPushButton *m_pComesForButton = nullptr;
    Korbel::CXListCtrl *m_pComesFor = nullptr;
    QPushButton *m_pMedicalHistory = nullptr;
    QPushButton *m_pQuestionnaire = nullptr;
    QPushButton *m_pReports = nullptr;
    CHyperLink *m_pPhoneLink = nullptr;
    QPushButton *m_pPhoneChoice = nullptr;
    CHyperLink *m_pEmailLink = nullptr;
    QPushButton *m_pEmailChoice = nullptr;
    std::array<QCheckBox *, 4> m_rowToggles {};
    std::array<QCheckBox *, 4> m_columnToggles {};
    Component::ControlHost *m_pMediaHost = nullptr;
    QWidget *m_pVideoWindow = nullptr;
    QLabel *m_pAudioDisplay = nullptr;
};
