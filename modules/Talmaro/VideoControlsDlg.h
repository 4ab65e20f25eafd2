#pragma once

#include "MediaSettings.h"

#include <QtWidgets/QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;

namespace Talmaro {

class CProSliderCtrl;
class CTalmaroCtrl;
class IMediaManager;

// The control's own window: the record and play toggles, the marker buttons
// and list, the position slider, the status text and the options menu with
// the "Audio Source" and "Video Source" choices. It also receives the graph's
// ticks (kTickEvent) and hands them to the control.
class CVideoControlsDlg : public QWidget
{
    Q_OBJECT

public:
    CVideoControlsDlg(CTalmaroCtrl *control, QWidget *parent);
    ~CVideoControlsDlg() override;

    // The status text, padded as the dialog shows it.
    static QString StatusText(short status);

    // Brings every control in line with the media manager.
    void OnUpdateControls();
    // Rebuilds the source menus after the devices or the choices changed.
    void OnDevicesChanged();

protected:
    bool event(QEvent *event) override;

private:
    void BuildLayout();
    void BuildMenu();
    void OnBtnClickedRecord(bool pressed);
    void OnBtnClickedPlay(bool pressed);
    void OnMarkerBoxActivated(int index);
    void OnSliderMoved(int position);
    void ChangeChoices(const std::function<void(MediaChoices &)> &change);
    void OnSourceChosen(bool audio, int index);
    void OnToggleAudio();
    void OnToggleVideo();
    void UpdateMarkers();
    void UpdatePosition();
    void UpdateMenuCaptions();

    CTalmaroCtrl *m_pControl;
    IMediaManager *m_pIMediaManager;

    QToolButton *m_pRecordButton = nullptr;
    QToolButton *m_pPlayButton = nullptr;
    QToolButton *m_pSetMarkerButton = nullptr;
    QToolButton *m_pPrevMarkerButton = nullptr;
    QToolButton *m_pNextMarkerButton = nullptr;
    QToolButton *m_pDelMarkerButton = nullptr;
    QToolButton *m_pOptionsButton = nullptr;
    QComboBox *m_pMarkerBox = nullptr;
    CProSliderCtrl *m_pSlider = nullptr;
    QLabel *m_pTimeText = nullptr;
    QLabel *m_pStatusText = nullptr;

    QMenu *m_pAudioSourceMenu = nullptr;
    QMenu *m_pVideoSourceMenu = nullptr;
    QActionGroup *m_pAudioSources = nullptr;
    QActionGroup *m_pVideoSources = nullptr;
    QAction *m_pAudioToggle = nullptr;
    QAction *m_pVideoToggle = nullptr;
    QAction *m_pPreviewToggle = nullptr;

    quint64 m_markerRevision = ~quint64(0);
};

} // namespace Talmaro
