#include "component/ControlObject.h"

namespace Component {

ControlObject::ControlObject(const QUuid &dualInterfaceId)
    : DispatchObject(dualInterfaceId)
{ }

ControlObject::~ControlObject() = default;

HRESULT ControlObject::CreateControlWindow(QWidget *parent, QWidget **window)
{
    if (!parent || !window)
        return E_POINTER;
    *window = nullptr;
    if (m_pWindow) {
        m_pWindow->setParent(parent);
        *window = m_pWindow.data();
        return S_OK;
    }
    QWidget *created = CreateWidget(parent);
    if (!created)
        return E_FAIL;
    if (created->parentWidget() != parent)
        created->setParent(parent);
    m_pWindow = created;
    // The window holds the control while it exists.
    AddRef();
    QObject::connect(created, &QObject::destroyed, [this] { Release(); });
    *window = created;
    return S_OK;
}

} // namespace Component
