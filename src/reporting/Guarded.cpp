#include "reporting/Guarded.h"

namespace stowline {

void reportFailure(const ErrorInfo& error, const QString& procedureName) noexcept {
    try {
        LogError(error, procedureName);
    } catch (...) {
    }
}

void reportCurrentFailure(const QString& procedureName) noexcept {
    try {
        reportFailure(currentErrorInfo(), procedureName);
    } catch (...) {
    }
}

} // namespace stowline
