#pragma once

#include <QtGlobal>

// For what cannot happen: says where in the log and takes the way out given
// (`return`, `return false`, ...) instead of aborting a debug build or running
// on with a broken value in a release one.
#define GK_ASSERT(cond, action)                                                                    \
    do {                                                                                           \
        if (Q_UNLIKELY(!(cond))) {                                                                 \
            qWarning("Soft assertion \"%s\" failed at %s:%d", #cond, __FILE__, __LINE__);          \
            action;                                                                                \
        }                                                                                          \
    } while (false)
