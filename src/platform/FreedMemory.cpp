#include "platform/FreedMemory.h"

#include <QCoreApplication>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace stowline::platform {

void returnFreedMemorySoon() {
#if defined(__GLIBC__)
    QTimer::singleShot(0, QCoreApplication::instance(), [] { malloc_trim(0); });
#endif
}

} // namespace stowline::platform
