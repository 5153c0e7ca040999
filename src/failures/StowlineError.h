#pragma once

#include "failures/ErrorInfo.h"

#include <exception>
#include <string>

namespace stowline {

// The one exception type that carries a failure to the catching procedure.
class StowlineError : public std::exception {
public:
    explicit StowlineError(ErrorInfo info);
    const ErrorInfo& info() const noexcept { return m_info; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    ErrorInfo m_info;
    std::string m_what;
};

// The name our own failures carry as their source.
inline constexpr char ProjectName[] = "prjStowline";

// Numbers of the failures the component raises itself; the same numbers the classic
// runtime used, so that log readers recognise them.
namespace error_number {
inline constexpr qint32 Overflow = 6;
inline constexpr qint32 SubscriptOutOfRange = 9;
inline constexpr qint32 TypeMismatch = 13;
inline constexpr qint32 ObjectNotSet = 91;
inline constexpr qint32 FileAccess = 75;
inline constexpr qint32 InvalidPropertyValue = 380;
inline constexpr qint32 IndexOutOfBounds = 35600;
inline constexpr qint32 ItemRemoved = 35605;
} // namespace error_number

[[noreturn]] void raiseError(qint32 number, const QString& description,
                             const QString& source = QString::fromLatin1(ProjectName));
[[noreturn]] void raiseOverflow();
[[noreturn]] void raiseTypeMismatch();
[[noreturn]] void raiseObjectNotSet();
[[noreturn]] void raiseInvalidPropertyValue();
[[noreturn]] void raiseIndexOutOfBounds();
// A reference to an item that a rebuild or a removal took from its list.
[[noreturn]] void raiseItemRemoved();
// A failure of the transport's own checks, which leave number and source as they were: 0 and
// empty.
[[noreturn]] void raiseTransportFailure(const QString& description);

// Describes the exception that is being handled (call only inside a catch block).
ErrorInfo currentErrorInfo();

} // namespace stowline
