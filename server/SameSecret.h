#pragma once

#include <string_view>

namespace stowline::server {

// Whether two secrets are equal, in a time that depends on the length of `given` only, so that
// timing the comparison tells a guesser nothing about `expected`.
bool sameSecret(std::string_view given, std::string_view expected);

} // namespace stowline::server
