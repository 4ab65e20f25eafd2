#include "component/ControlObject.h"

namespace Component {

ControlObject::ControlObject(const QUuid &dualInterfaceId)
    : DispatchObject(dualInterfaceId)
{ }

ControlObject::~ControlObject() = default;

HRESULT ProvideObjectWindow(IUnknown *object, QPointer<QWidget> &window, QWidget *parent, QWidget **result,
    const std::function<QWidget *(QWidget *)> &create)
{
    if (!parent || !result)
        return E_POINTER;
    *result = nullptr;
    if (window) {
        window->setParent(parent);
        *result = window.data();
        return S_OK;
    }
    QWidget *created = create(parent);
    if (!created)
        return E_FAIL;
    if (created->parentWidget() != parent)
        created->setParent(parent);
    window = created;
    // The window holds the object while it exists.
    object->AddRef();
    QObject::connect(created, &QObject::destroyed, [object] { object->Release(); });
    *result = created;
    return S_OK;
}

HRESULT ControlObject::CreateControlWindow(QWidget *parent, QWidget **window)
{
    return ProvideObjectWindow(
        Identity(), m_pWindow, parent, window, [this](QWidget *owner) { return CreateWidget(owner); });
}

} // namespace Component
