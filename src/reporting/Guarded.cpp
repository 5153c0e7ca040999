#include "reporting/Guarded.h"

#include "controls/ActionScope.h"

namespace stowline {

void reportCurrentFailure(const QString& procedureName) noexcept {
    // An action whose component was deleted ends without a word: its remaining steps fail only
    // because they were skipped, and nobody is left to tell.
    if (controls::actionAbandoned()) {
        return;
    }
    try {
        LogError(currentErrorInfo(), procedureName);
    } catch (...) {
    }
}

} // namespace stowline
