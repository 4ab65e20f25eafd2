#pragma once

#include "componentcontrols_export.h"

#include "component/DispatchDriver.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

namespace Component {

// A place in the container's window for one control, made by class id: the
// control's window fills the host. The host holds the control; deleting the
// host (or calling DestroyControl) removes the window and releases the control.
//
//     auto *host = new Component::ControlHost(headerBand);
//     if (Succeeded(host->CreateControl(kClsidTalmaro)))
//         m_media = host->Dispatch();
class COMPONENTCONTROLS_EXPORT ControlHost : public QWidget
{
    Q_OBJECT

public:
    explicit ControlHost(QWidget *parent = nullptr);
    ~ControlHost() override;

    // Makes the control (replacing one made before). REGDB_E_CLASSNOTREG for an
    // unknown class, E_NOINTERFACE when the class is not a control.
    HRESULT CreateControl(const QUuid &classId);
    HRESULT CreateControl(const QString &progId);
    void DestroyControl();

    bool HasControl() const { return static_cast<bool>(m_pObject); }
    ComPtr<IUnknown> Object() const { return m_pObject; }
    const DispatchDriver &Dispatch() const { return m_dispatch; }
    QWidget *ControlWindow() const { return m_pWindow.data(); }

private:
    ComPtr<IUnknown> m_pObject;
    DispatchDriver m_dispatch;
    QPointer<QWidget> m_pWindow;
};

} // namespace Component
