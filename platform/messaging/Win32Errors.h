#pragma once

// Shared by the Windows sources of the window messages. Built only there.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QtCore/QString>

namespace Messaging {

// The system's text for an error code, in the user's default language.
inline QString SystemErrorText(DWORD code)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text;
    if (length > 0 && buffer)
        text = QString::fromWCharArray(buffer, static_cast<qsizetype>(length)).trimmed();
    if (buffer)
        LocalFree(buffer);
    return text.isEmpty() ? QStringLiteral("Error %1").arg(code) : text;
}

} // namespace Messaging
