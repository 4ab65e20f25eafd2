#pragma once

#include "messaging_export.h"

#include <QtCore/QString>

// The names of the window-message protocol on the D-Bus session bus, written
// down for the other side's developers in docs/repertory-link-protocol.md.

namespace Messaging::Bus {

// A window of class C owns the bus name NamePrefix + ClassNameElement(C) and
// exports the interface at ObjectPath.
inline constexpr char NamePrefix[] = "org.verdanta.Window.";
inline constexpr char ObjectPath[] = "/org/verdanta/Window";
// The window's adaptor repeats this name in its class information.
inline constexpr char Interface[] = "org.verdanta.Window";
// PostMessage(u message, t wParam, x lParam), no reply expected.
inline constexpr char PostMethod[] = "PostMessage";
// Restore() -> b restored.
inline constexpr char RestoreMethod[] = "Restore";
// Signal BroadcastMessage(u message, t wParam, x lParam), from any sender.
inline constexpr char BroadcastSignal[] = "BroadcastMessage";

// Longest class element that is used as it is; longer ones are hashed, so
// that the whole name stays within the bus's 255 characters.
inline constexpr int MaxClassElementLength = 235;

// The bus-name element of a window class. The class is case-folded and taken
// as UTF-8; ASCII letters and digits stay, except a digit in first place;
// every other byte becomes "_" and two lower-case hexadecimal digits. An
// element longer than MaxClassElementLength becomes "_h" and the 64
// hexadecimal digits of the SHA-256 of the folded class in UTF-8 (the escaped
// form never holds "_h"). Empty for an empty class.
MESSAGING_EXPORT QString ClassNameElement(const QString &windowClass);
// The well-known bus name of the window class; empty for an empty class.
MESSAGING_EXPORT QString BusNameForWindowClass(const QString &windowClass);

} // namespace Messaging::Bus
