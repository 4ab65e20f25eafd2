#pragma once

#include "sylvan_export.h"

namespace Sylvan {

// The XML platform (Xerces-C) is initialised once when the program starts,
// before any document is loaded or saved, and terminated once at exit.
// Calls nest: every successful InitializePlatform needs one TerminatePlatform.
SYLVAN_EXPORT bool InitializePlatform();
SYLVAN_EXPORT void TerminatePlatform();
SYLVAN_EXPORT bool IsPlatformInitialized();

// Initialises the platform for the lifetime of the object.
class SYLVAN_EXPORT PlatformScope
{
public:
    PlatformScope();
    ~PlatformScope();
    PlatformScope(const PlatformScope &) = delete;
    PlatformScope &operator=(const PlatformScope &) = delete;
    bool isInitialized() const { return m_initialized; }

private:
    bool m_initialized = false;
};

} // namespace Sylvan
