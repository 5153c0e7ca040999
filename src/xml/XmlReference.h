#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace stowline::xml {

// Whether XML allows the character anywhere in a document.
bool isXmlChar(unsigned long c);

// One of the three references an escaped data set is made of: &lt;, &gt; or &amp;.
struct CommonReference {
    // "<", ">" or "&"; 0 when none of the three begins there.
    char character = 0;
    std::uint8_t length = 0;
};

// Four bytes of text as one word read in the machine's order.
constexpr std::uint32_t wordOf(const char (&text)[5]) {
    return std::bit_cast<std::uint32_t>(std::array<char, 4>{text[0], text[1], text[2], text[3]});
}

// The common reference at `at`, reading nothing at or after `end`. The one decoder of &lt;,
// &gt; and &amp; of the component, for UTF-8 text and for UTF-16 text. Answers run to many
// megabytes of them, so UTF-8 text is compared four bytes at a time.
template <typename Char> CommonReference commonReference(const Char* at, const Char* end) {
    if (end - at < 4) {
        return {};
    }
    if constexpr (sizeof(Char) == 1) {
        std::uint32_t read = 0;
        std::memcpy(&read, at, 4);
        if (read == wordOf("&lt;")) {
            return {'<', 4};
        }
        if (read == wordOf("&gt;")) {
            return {'>', 4};
        }
        const bool ampersand = read == wordOf("&amp") && end - at > 4 && at[4] == ';';
        return ampersand ? CommonReference{'&', 5} : CommonReference{};
    } else {
        if (at[0] != '&') {
            return {};
        }
        if (at[3] == ';' && at[2] == 't' && (at[1] == 'l' || at[1] == 'g')) {
            return {at[1] == 'l' ? '<' : '>', 4};
        }
        const bool ampersand =
            end - at > 4 && at[1] == 'a' && at[2] == 'm' && at[3] == 'p' && at[4] == ';';
        return ampersand ? CommonReference{'&', 5} : CommonReference{};
    }
}

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
