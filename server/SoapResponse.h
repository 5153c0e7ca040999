#pragma once

#include <string>
#include <string_view>

namespace stowline::server {

// The answers, each one line in the form the service's clients cut apart by exact text:
// declaration with encoding, envelope namespaces in the order soap, xsi, xsd.

// <OpResponse xmlns="..."><OpResult>the data-set text, escaped once</OpResult></OpResponse>,
// around the result text as given (already escaped); the text is moved into the answer.
std::string queryResponse(std::string_view operation, std::string&& resultText);

// <OpResponse xmlns="..." />
std::string emptyResponse(std::string_view operation);

// <soap:Fault> with faultcode (e.g. "soap:Client"), faultstring and an empty detail.
std::string faultResponse(std::string_view faultCode, std::string_view faultString);

} // namespace stowline::server
