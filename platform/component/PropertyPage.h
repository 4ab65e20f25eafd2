#pragma once

#include "component/ControlObject.h"
#include "component/DispatchDriver.h"

#include <QtCore/QList>

namespace Component {

// Offered by property pages: a page shows settings of the objects a container
// gives it and writes them back through the objects' IDispatch, never by
// reaching into them. The page's window comes from its IControl.
class IPropertyPage : public IUnknown
{
public:
    static constexpr QUuid IID { 0xB196B28D, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07 };

    // The objects to edit; the page shows the values of the first. Every one
    // must offer IDispatch (E_NOINTERFACE otherwise, and the page keeps none).
    // An empty list lets the page release the objects it held.
    virtual HRESULT SetObjects(const QList<IUnknown *> &objects) = 0;
    // S_OK when the page holds changes not yet applied, S_FALSE otherwise.
    virtual HRESULT IsPageDirty() = 0;
    // Writes the changed settings to every object. Every object is tried; the
    // first failure is the result.
    virtual HRESULT Apply() = 0;
};

// Base of a property page: the objects as dispatch drivers, the dirty flag and
// the window.
class COMPONENTCONTROLS_EXPORT PropertyPageObject : public DispatchObject<IControl, IPropertyPage>
{
public:
    HRESULT CreateControlWindow(QWidget *parent, QWidget **window) override;
    QWidget *ControlWindow() override { return m_pWindow.data(); }

    HRESULT SetObjects(const QList<IUnknown *> &objects) override;
    HRESULT IsPageDirty() override { return m_dirty ? S_OK : S_FALSE; }
    HRESULT Apply() override;

protected:
    PropertyPageObject();
    ~PropertyPageObject() override;

    // Makes the page's window, showing the values of the objects held.
    virtual QWidget *CreateWidget(QWidget *parent) = 0;
    // The objects changed: the window (when there is one) shows the first's values.
    virtual void ObjectsChanged() = 0;
    // Writes the changed settings to one object.
    virtual HRESULT ApplyTo(const DispatchDriver &object) = 0;

    const QList<DispatchDriver> &Objects() const { return m_objects; }
    void SetDirty(bool dirty) { m_dirty = dirty; }

private:
    QList<DispatchDriver> m_objects;
    QPointer<QWidget> m_pWindow;
    bool m_dirty = false;
};

} // namespace Component
