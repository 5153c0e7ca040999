#include "xml/ReferenceTurnBack.h"

#include "xml/XmlReference.h"

#include <algorithm>
#include <cstring>

namespace stowline::xml {
namespace {

// Moves [from, to) down to `write`, which lies at or before it; returns the end of what was
// written.
template <typename Char> Char* moveDown(Char* from, Char* to, Char* write) {
    std::memmove(write, from, static_cast<std::size_t>(to - from) * sizeof(Char));
    return write + (to - from);
}

template <typename Char> Char* turnBack(Char* begin, Char* end) {
    const auto nextAmpersand = [end](Char* from) {
        if constexpr (sizeof(Char) == 1) {
            return static_cast<Char*>(std::memchr(from, '&', static_cast<std::size_t>(end - from)));
        } else {
            Char* found = std::find(from, end, Char('&'));
            return found == end ? nullptr : found;
        }
    };
    Char* write = begin;
    Char* read = begin;
    for (Char* amp = nextAmpersand(begin); amp != nullptr;) {
        const CommonReference reference = commonReference(amp, end);
        if (reference.length == 0) {
            amp = nextAmpersand(amp + 1);
            continue;
        }
        write = moveDown(read, amp, write);
        *write++ = static_cast<Char>(reference.character);
        read = amp + reference.length;
        amp = nextAmpersand(read);
    }
    return moveDown(read, end, write);
}

} // namespace

char* turnBackReferences(char* begin, char* end) {
    return turnBack(begin, end);
}

char16_t* turnBackReferences(char16_t* begin, char16_t* end) {
    return turnBack(begin, end);
}

} // namespace stowline::xml
