#pragma once

#include <string>
#include <string_view>

namespace stowline::server {

// The service description (WSDL 1.1, document/literal, one SOAP 1.1 port) of every operation,
// with the endpoint address given. Self-contained: the schema is inline, nothing is imported.
std::string wsdlDocument(std::string_view endpointUrl);

} // namespace stowline::server
