#include "LogLine.h"

namespace stowline::server {
namespace {

void appendHex(std::string& line, const char* prefix, unsigned value, int digits) {
    constexpr char Digits[] = "0123456789abcdef";
    line += prefix;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        line += Digits[(value >> shift) & 0xF];
    }
}

} // namespace

std::string logLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0U;
        if (byte == '\\') {
            line += "\\\\";
        } else if (byte == '\n') {
            line += "\\n";
        } else if (byte == '\r') {
            line += "\\r";
        } else if (byte == '\t') {
            line += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendHex(line, "\\x", byte, 2);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // U+0080 to U+009F in UTF-8; terminals take some of them for commands.
            appendHex(line, "\\u", next, 4);
            ++i;
        } else {
            line += static_cast<char>(byte);
        }
    }
    return line;
}

} // namespace stowline::server
