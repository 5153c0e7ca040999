#include "XmlText.h"

#include <cstdint>

namespace stowline::server {

namespace {

// The reference for a character that must be escaped, or an empty view for one that need not;
// escaped twice, the reference's own "&" is escaped too.
std::string_view referenceFor(char c, bool twice) {
    switch (c) {
    case '&':
        return twice ? "&amp;amp;" : "&amp;";
    case '<':
        return twice ? "&amp;lt;" : "&lt;";
    case '>':
        return twice ? "&amp;gt;" : "&gt;";
    default:
        return {};
    }
}

std::size_t escapedSize(std::string_view text, bool twice) {
    std::size_t size = text.size();
    for (const char c : text) {
        const std::string_view reference = referenceFor(c, twice);
        size += reference.empty() ? 0 : reference.size() - 1;
    }
    return size;
}

void appendEscaped(std::string& out, std::string_view text, bool twice) {
    // Runs without a character to escape are copied whole: the largest answers are mostly
    // markup, and copying them a character at a time was most of the time it took to answer.
    out.reserve(out.size() + escapedSize(text, twice));
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view reference = referenceFor(text[i], twice);
        if (!reference.empty()) {
            out.append(text.substr(runStart, i - runStart));
            out.append(reference);
            runStart = i + 1;
        }
    }
    out.append(text.substr(runStart));
}

} // namespace

void appendEscaped(std::string& out, std::string_view text) {
    appendEscaped(out, text, false);
}

void appendEscapedTwice(std::string& out, std::string_view text) {
    appendEscaped(out, text, true);
}

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

void appendAttributeEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == '"') {
            out += "&quot;";
        } else {
            appendEscaped(out, std::string_view(&c, 1));
        }
    }
}

std::optional<std::size_t> xmlCharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        if (lead < 0x80) {
            length = 1;
            codePoint = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > utf8.size()) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < smallest[length] || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
            codePoint > 0x10FFFF) {
            return std::nullopt;
        }
        if ((codePoint < 0x20 && codePoint != '\t' && codePoint != '\n' && codePoint != '\r') ||
            codePoint == 0xFFFE || codePoint == 0xFFFF) {
            return std::nullopt;
        }
        i += length;
        ++count;
    }
    return count;
}

} // namespace stowline::server
