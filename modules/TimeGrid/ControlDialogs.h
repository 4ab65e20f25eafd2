#pragma once

#include "component/PropertyPage.h"

#include <QtCore/QPointer>

#include <vector>

class QCheckBox;
class QDateEdit;
class QSpinBox;

namespace TimeGrid {

// One setting of a grid control on its "General" page, read and written
// through the control's dispatch interface.
struct PageField
{
    enum class Kind {
        Number, // a number property: shown as the control has it
        NumberText, // a text property holding a decimal number
        // Set by a method that the control cannot be asked back, so the page
        // offers the value and writes it only when the user ticks it:
        Pixels, // a width in pixels
        Day, // a day
        Flag, // yes or no (the box starts partly ticked: left as it is)
    };
    Kind kind;
    const char *name; // object name of the editor
    const char *label; // translated in the "TimeGrid" context
    Component::DISPID member;
    int minimum = 0;
    int maximum = 0;
    const char *minimumText = nullptr; // shown instead of the minimum
};

// The "General" property page of a grid control: the control-wide settings
// of its dispatch interface (zoom, first visible day, headers). Apply writes
// the settings the user changed to every object the page was given.
class GeneralPropertyPage : public Component::PropertyPageObject
{
public:
    explicit GeneralPropertyPage(std::vector<PageField> fields);
    ~GeneralPropertyPage() override;

protected:
    QWidget *CreateWidget(QWidget *parent) override;
    void ObjectsChanged() override;
    Component::HRESULT ApplyTo(const Component::DispatchDriver &object) override;

private:
    struct Editor
    {
        QPointer<QSpinBox> number;
        QPointer<QDateEdit> day;
        QPointer<QCheckBox> check; // the flag, or the tick that sets a value
        bool changed = false; // a property the user changed
    };
    // The first object's values into the editors.
    void Load();
    void Edited(size_t index);
    // Whether the field is to be written, and its value.
    bool Wanted(size_t index, QVariant *value) const;

    std::vector<PageField> m_fields;
    std::vector<Editor> m_editors;
    bool m_loading = false;
};

// Shows the control's about box, without blocking the caller: the box closes
// itself when the user dismisses it.
void ShowAboutBox(QWidget *parent, const QString &title, const QString &text);

} // namespace TimeGrid
