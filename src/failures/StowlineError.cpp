#include "failures/StowlineError.h"

#include <new>

namespace stowline {

StowlineError::StowlineError(ErrorInfo info)
    : m_info(std::move(info)), m_what(m_info.Description.toStdString()) {}

void raiseError(qint32 number, const QString& description, const QString& source) {
    throw StowlineError(ErrorInfo{number, description, source});
}

void raiseOverflow() {
    raiseError(error_number::Overflow, QStringLiteral("Overflow"));
}

void raiseTypeMismatch() {
    raiseError(error_number::TypeMismatch, QStringLiteral("Type mismatch"));
}

void raiseObjectNotSet() {
    raiseError(error_number::ObjectNotSet,
               QStringLiteral("Object variable or With block variable not set"));
}

void raiseInvalidPropertyValue() {
    raiseError(error_number::InvalidPropertyValue, QStringLiteral("Invalid property value"));
}

void raiseIndexOutOfBounds() {
    raiseError(error_number::IndexOutOfBounds, QStringLiteral("Index out of bounds"));
}

void raiseItemRemoved() {
    raiseError(error_number::ItemRemoved,
               QStringLiteral("The list item has been removed from its list"));
}

void raiseTransportFailure(const QString& description) {
    raiseError(0, description, QString());
}

ErrorInfo currentErrorInfo() {
    try {
        throw;
    } catch (const StowlineError& e) {
        return e.info();
    } catch (const std::bad_alloc&) {
        return {7, QStringLiteral("Out of memory"), QString::fromLatin1(ProjectName)};
    } catch (const std::exception& e) {
        return {0, QString::fromUtf8(e.what()), QString::fromLatin1(ProjectName)};
    } catch (...) {
        return {0, QStringLiteral("Unknown failure"), QString::fromLatin1(ProjectName)};
    }
}

} // namespace stowline
