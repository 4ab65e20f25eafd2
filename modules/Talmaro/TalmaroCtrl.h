#pragma once

#include "MediaManager.h"

#include "component/ControlObject.h"

#include <QtCore/QPointer>

#include <memory>

namespace Talmaro {

class CVideoControlsDlg;

// The media capture and playback control ("TALMARO.TalmaroCtrl.1"), driven
// through _DTalmaro and reporting through _DTalmaroEvents. It owns the media
// manager; its window is the transport dialog, which also receives the ticks
// of the running graph.
class CTalmaroCtrl : public Component::ControlObject
{
public:
    CTalmaroCtrl();
    ~CTalmaroCtrl() override;

    // For the dialog.
    IMediaManager *MediaManager() const { return m_pMediaManager.get(); }
    void OnRecordButton(bool pressed);
    void OnPlayButton(bool pressed);
    void OnMarkerChosen(int index);
    void OnChoicesChanged(const MediaChoices &choices);
    void OnPreviewToggled();
    void OnTick();
    void OnWindowDestroyed();

protected:
    QWidget *CreateWidget(QWidget *parent) override;

private:
    void AddMembers();
    void EnsureSetUp();
    void UpdateControls();
    QWidget *MessageParent() const;

    Component::HRESULT Play(const QString &fileName);
    Component::HRESULT Record(const QString &fileName);
    Component::HRESULT Pause();
    Component::HRESULT Stop();
    Component::HRESULT QueryCompressionLevel();
    Component::HRESULT SetVideoWindow(qint64 windowId, bool recording);

    std::unique_ptr<IMediaManager> m_pMediaManager;
    QPointer<CVideoControlsDlg> m_pDialog;
    bool m_bSetUp = false;
    bool m_bModified = false;
};

} // namespace Talmaro
