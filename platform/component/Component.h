#pragma once

// The component layer: how the program and its companion modules meet.
//
// Servers are Qt plug-ins in the modules folder whose metadata lists their
// classes (Server.h); objects are made by class id or ProgID (Registry.h),
// counted by references (Unknown.h, Object.h) and driven late-bound by member
// number with plain values (Dispatch.h, DispatchDriver.h on the container side,
// DispatchTable.h and DispatchObject.h on the server side). Controls have a
// QWidget window (Control.h, ControlObject.h, ControlHost.h) and fire events to
// sinks (Events.h); property pages edit controls through their dispatch
// interface (PropertyPage.h); windowless objects draw into the container's
// painter and tell it when to repaint (ViewObject.h, WindowlessObject.h). See
// README.md.

#include "component/Control.h"
#include "component/ControlHost.h"
#include "component/ControlObject.h"
#include "component/Dispatch.h"
#include "component/DispatchDriver.h"
#include "component/DispatchObject.h"
#include "component/DispatchTable.h"
#include "component/Events.h"
#include "component/Object.h"
#include "component/PropertyPage.h"
#include "component/Registry.h"
#include "component/Result.h"
#include "component/Server.h"
#include "component/Unknown.h"
#include "component/Values.h"
#include "component/ViewObject.h"
#include "component/WindowlessObject.h"
