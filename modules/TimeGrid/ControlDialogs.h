#pragma once

#include "component/ControlObject.h"

namespace TimeGrid {

// The "General" property page of a grid control. The controls keep nothing
// a user would set there, so the page is an empty window with that title; it
// exists so that containers find the page the controls name.
class GeneralPropertyPage : public Component::ControlObject
{
public:
    GeneralPropertyPage();

protected:
    QWidget *CreateWidget(QWidget *parent) override;
};

// Shows the control's about box, without blocking the caller: the box closes
// itself when the user dismisses it.
void ShowAboutBox(QWidget *parent, const QString &title, const QString &text);

} // namespace TimeGrid
