#include "SameSecret.h"

#include <cstddef>

namespace stowline::server {

bool sameSecret(std::string_view given, std::string_view expected) {
    // Every byte of `given` is compared, with a byte of `expected` or with a stand-in where
    // that is shorter; the verdict is read once at the end.
    unsigned difference = given.size() == expected.size() ? 0U : 1U;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const unsigned char other =
            expected.empty() ? 0U : static_cast<unsigned char>(expected[i % expected.size()]);
        difference |= static_cast<unsigned char>(given[i]) ^ other;
    }
    return difference == 0;
}

} // namespace stowline::server
