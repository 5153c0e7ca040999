#include "xml/ReferenceTurnBack.h"

#include <cstring>
#include <string_view>

namespace stowline::xml {

char* turnBackReferences(char* begin, char* end) {
    const auto nextAmpersand = [end](const char* from) {
        return static_cast<const char*>(
            std::memchr(from, '&', static_cast<std::size_t>(end - from)));
    };
    char* write = begin;
    const char* read = begin;
    for (const char* amp = nextAmpersand(begin); amp != nullptr;) {
        const std::string_view rest(amp, static_cast<std::size_t>(end - amp));
        char replacement = 0;
        std::size_t length = 0;
        if (rest.starts_with("&lt;")) {
            replacement = '<';
            length = 4;
        } else if (rest.starts_with("&gt;")) {
            replacement = '>';
            length = 4;
        } else if (rest.starts_with("&amp;")) {
            replacement = '&';
            length = 5;
        }
        if (length == 0) {
            amp = nextAmpersand(amp + 1);
            continue;
        }
        std::memmove(write, read, static_cast<std::size_t>(amp - read));
        write += amp - read;
        *write++ = replacement;
        read = amp + length;
        amp = nextAmpersand(read);
    }
    std::memmove(write, read, static_cast<std::size_t>(end - read));
    return write + (end - read);
}

} // namespace stowline::xml
