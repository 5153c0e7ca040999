#include "RequestValues.h"

#include "SoapFault.h"
#include "XmlText.h"

#include <charconv>

namespace stowline::server {
namespace {

constexpr std::string_view XmlWhitespace = " \t\r\n";

const std::string& requiredValue(const SoapRequest& request, std::string_view element) {
    const auto found = request.values.find(element);
    if (found == request.values.end()) {
        throw SoapFault(request.operation + " needs the element " + std::string(element));
    }
    return found->second;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(XmlWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(XmlWhitespace) - first + 1);
}

} // namespace

std::string quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

std::int64_t keyValue(const SoapRequest& request, std::string_view element) {
    const std::string& text = requiredValue(request, element);
    std::string_view digits = trimmed(text);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        throw SoapFault(std::string(element) + " must be a whole number, not " + quoted(text));
    }
    return value;
}

const std::string& textValue(const SoapRequest& request, std::string_view element,
                             std::size_t maxLength, Blank blank) {
    const std::string& text = requiredValue(request, element);
    const std::optional<std::size_t> length = xmlCharacterCount(text);
    if (!length) {
        throw SoapFault(std::string(element) + " holds a character that XML cannot carry");
    }
    if (*length > maxLength) {
        throw SoapFault(std::string(element) + " is " + std::to_string(*length) +
                        " characters long; at most " + std::to_string(maxLength) + " are allowed");
    }
    if (blank == Blank::Refused && trimmed(text).empty()) {
        throw SoapFault(std::string(element) + " must not be empty");
    }
    return text;
}

} // namespace stowline::server
