#include "reporting/Guarded.h"

#include "controls/ActionScope.h"

namespace stowline {

void reportFailure(const ErrorInfo& error, const QString& procedureName) noexcept {
    // An action whose component was deleted ends without a word: its remaining steps fail only
    // because they were skipped, and nobody is left to tell.
    if (controls::actionAbandoned()) {
        return;
    }
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
