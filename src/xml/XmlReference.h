#pragma once

#include <cstddef>
#include <string_view>

namespace stowline::xml {

// Whether XML allows the character anywhere in a document.
bool isXmlChar(unsigned long c);

// A reference in XML text as the parser reads it: one of the five predefined entities or a
// character reference ("&#" decimal digits ";" or "&#x" hexadecimal digits ";") to a character
// XML allows, at most 32 characters before its ";".
struct XmlReference {
    // 0 when no such reference begins there, which includes entities of a DOCTYPE, since those
    // are never expanded.
    std::size_t length = 0;
    // The character it stands for.
    char32_t character = 0;
};

// The reference at text[at], which is an "&".
XmlReference readReference(std::string_view text, std::size_t at);

} // namespace stowline::xml
