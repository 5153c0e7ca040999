#include "SoapResponse.h"

#include "XmlText.h"

#include <stowline/ServiceNamespace.h>

namespace stowline::server {
namespace {

constexpr std::string_view EnvelopeStart =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
    "<soap:Body>";
constexpr std::string_view EnvelopeEnd = "</soap:Body></soap:Envelope>";

void appendResponseStart(std::string& out, std::string_view operation) {
    out += '<';
    out += operation;
    out += "Response xmlns=\"";
    out += ServiceNamespace;
    out += '"';
}

} // namespace

std::string queryResponse(std::string_view operation, std::string&& resultText) {
    std::string start(EnvelopeStart);
    appendResponseStart(start, operation);
    start += "><";
    start += operation;
    start += "Result>";
    // The result can be tens of megabytes: the envelope is put around it where it lies.
    resultText.insert(0, start);
    resultText += "</";
    resultText += operation;
    resultText += "Result></";
    resultText += operation;
    resultText += "Response>";
    resultText += EnvelopeEnd;
    return std::move(resultText);
}

std::string emptyResponse(std::string_view operation) {
    std::string out(EnvelopeStart);
    appendResponseStart(out, operation);
    out += " />";
    out += EnvelopeEnd;
    return out;
}

std::string faultResponse(std::string_view faultCode, std::string_view faultString) {
    std::string out(EnvelopeStart);
    out += "<soap:Fault><faultcode>";
    out += faultCode;
    out += "</faultcode><faultstring>";
    appendEscaped(out, faultString);
    out += "</faultstring><detail /></soap:Fault>";
    out += EnvelopeEnd;
    return out;
}

} // namespace stowline::server
