#pragma once

#include <map>
#include <string>
#include <string_view>

namespace stowline::server {

// A SOAP 1.1 request reduced to what the operations need: the operation element's local name
// and the text of each of its child elements, by local name. Texts are kept exactly as sent
// (entities resolved, blanks kept).
struct SoapRequest {
    std::string operation;
    std::map<std::string, std::string, std::less<>> values;
};

// Throws NotXml when the body does not parse, and SoapFault when it is XML but not a SOAP 1.1
// request for an operation of the service's namespace.
SoapRequest parseSoapRequest(std::string_view body);

} // namespace stowline::server
