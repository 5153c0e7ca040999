#include "system/FreedMemory.h"

#include <QCoreApplication>
#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace stowline::system {

void returnFreedMemorySoon() {
#if defined(__GLIBC__)
    QTimer::singleShot(0, QCoreApplication::instance(), [] { malloc_trim(0); });
#endif
}

void releaseBuffer(QByteArray& buffer) {
    // Shared, it is not this holder's to shrink; glibc maps blocks from 128 KiB on at first.
    if (buffer.isDetached() && buffer.capacity() >= 128 * 1024) {
        buffer.resize(1);
        buffer.squeeze();
    }
    buffer.clear();
}

} // namespace stowline::system
