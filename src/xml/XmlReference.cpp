#include "xml/XmlReference.h"

namespace stowline::xml {

bool isXmlChar(unsigned long c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

XmlReference readReference(std::string_view text, std::size_t at) {
    // The escaped data set of an answer is full of these: decided without a search.
    if (const CommonReference common = commonReference(text.data() + at, text.data() + text.size());
        common.length != 0) {
        return {common.length, static_cast<char32_t>(common.character)};
    }
    const std::size_t end = text.find(';', at);
    if (end == std::string_view::npos || end - at > 32) {
        return {};
    }
    const std::string_view name = text.substr(at + 1, end - at - 1);
    if (name == "quot") {
        return {end - at + 1, U'"'};
    }
    if (name == "apos") {
        return {end - at + 1, U'\''};
    }
    if (!name.starts_with('#')) {
        return {};
    }
    const bool hex = name.starts_with("#x");
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) {
        return {};
    }
    unsigned long code = 0;
    for (const char c : digits) {
        const int value = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (value < 0) {
            return {};
        }
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
        if (code > 0x10FFFF) {
            return {};
        }
    }
    return isXmlChar(code) ? XmlReference{end - at + 1, static_cast<char32_t>(code)}
                           : XmlReference{};
}

} // namespace stowline::xml
