#pragma once

#include "failures/StowlineError.h"
#include "reporting/LogError.h"

#include <QString>
#include <utility>

namespace stowline {

// Reports a failure under the procedure's name. Never throws: a failure of the reporter itself
// is dropped, since there is nobody left to tell.
void reportFailure(const ErrorInfo& error, const QString& procedureName) noexcept;
// The same for the exception being handled.
void reportCurrentFailure(const QString& procedureName) noexcept;

// Runs the body of a procedure that catches its own failures: any failure skips the rest of
// the body, is reported once under the procedure's name, and the procedure returns normally.
// The body receives the result by reference, so a function returns whatever its result held
// when the failure happened (its initial value unless the body had already set it).
template <typename Result, typename Body>
Result guarded(const QString& procedureName, Result initial, Body&& body) noexcept {
    Result result = std::move(initial);
    try {
        std::forward<Body>(body)(result);
    } catch (...) {
        reportCurrentFailure(procedureName);
    }
    return result;
}

template <typename Body> void guarded(const QString& procedureName, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        reportCurrentFailure(procedureName);
    }
}

} // namespace stowline
