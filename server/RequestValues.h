#pragma once

#include "SoapRequest.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace stowline::server {

// Readers of the request's values. Each throws a SoapFault (soap:Client) that names the
// element when the value is missing or unusable.

// A key: a whole number, surrounding white space allowed as for any XML Schema integer.
std::int64_t keyValue(const SoapRequest& request, std::string_view element);

enum class Blank { Allowed, Refused };

// A text of at most maxLength characters, kept exactly as sent. With Blank::Refused, a text
// of blanks only counts as empty and is refused.
const std::string& textValue(const SoapRequest& request, std::string_view element,
                             std::size_t maxLength, Blank blank);

// A value quoted for a faultstring.
std::string quoted(std::string_view value);

} // namespace stowline::server
