#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stowline::server {

// Appends text as XML character data: &, < and > become references.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);
// Appends text escaped as character data and the result escaped once more, as a value stands
// in a data set that is itself the text of an element: "&" becomes "&amp;amp;".
void appendEscapedTwice(std::string& out, std::string_view text);

// Appends text for a double-quoted attribute value: also escapes the quotation mark.
void appendAttributeEscaped(std::string& out, std::string_view text);

// The number of characters of UTF-8 text, or nothing when the text is not valid UTF-8 or
// holds a character XML 1.0 cannot carry (control characters other than tab, LF and CR).
std::optional<std::size_t> xmlCharacterCount(std::string_view utf8);

} // namespace stowline::server
