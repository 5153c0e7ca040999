#pragma once

#include <string>
#include <string_view>

namespace stowline::server {

// The text as one log line that shows what it holds: control characters (C0, DEL and the C1
// range) become escapes such as "\r", "\n" or "\x1b", and a backslash becomes "\\", so that
// what a client sends can neither start a line of its own nor drive the terminal. Everything
// else, UTF-8 included, is kept.
std::string logLine(std::string_view text);

} // namespace stowline::server
