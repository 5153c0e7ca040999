#include "reporting/Guarded.h"

namespace stowline {

void reportCurrentFailure(const QString& procedureName) noexcept {
    try {
        LogError(currentErrorInfo(), procedureName);
    } catch (...) {
    }
}

} // namespace stowline
