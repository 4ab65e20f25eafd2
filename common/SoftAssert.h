#pragma once

#include <QtCore/QtGlobal>

// An assertion that logs and recovers instead of ending the program:
//   VERDANTA_ASSERT(table, return false);
#define VERDANTA_ASSERT(cond, action)                                                                        \
    if (Q_LIKELY(cond)) {                                                                                    \
    } else {                                                                                                 \
        qWarning("Soft assertion \"%s\" failed in %s:%d", #cond, __FILE__, __LINE__);                        \
        action;                                                                                              \
    }                                                                                                        \
    do {                                                                                                     \
    } while (false)
