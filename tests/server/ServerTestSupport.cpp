#include "ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <QUrl>
#include <httplib.h>
#include <pugixml.hpp>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace stowline::test {
namespace {

httplib::Client clientFor(const StandInServer& server) {
    const QUrl url(server.serverName());
    httplib::Client client(url.host().toStdString(), url.port());
    client.set_connection_timeout(10);
    client.set_read_timeout(60);
    return client;
}

HttpResult resultOf(const httplib::Result& result) {
    if (!result) {
        throw std::runtime_error("HTTP exchange failed: " + httplib::to_string(result.error()));
    }
    return {result->status, result->body, result->get_header_value("Content-Type")};
}

} // namespace

HttpResult postToEndpoint(const StandInServer& server, const std::string& body,
                          const std::optional<std::string>& action) {
    httplib::Client client = clientFor(server);
    httplib::Headers headers;
    if (action) {
        headers.emplace("SOAPAction", *action);
    }
    return resultOf(client.Post(AsmxPath, headers, body, "text/xml; charset=utf-8"));
}

HttpResult getPath(const StandInServer& server, const std::string& pathAndQuery) {
    httplib::Client client = clientFor(server);
    return resultOf(client.Get(pathAndQuery));
}

HttpResult query(const StandInServer& server, const std::string& operation) {
    return postToEndpoint(server, requestEnvelope(queryElement(operation)), soapAction(operation));
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

std::string requestEnvelope(const std::string& operationElement) {
    return "<?xml version=\"1.0\"?>\r\n<soap:Envelope"
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
           " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>" +
           operationElement + "</soap:Body></soap:Envelope>";
}

std::string queryElement(const std::string& operation) {
    return "<" + operation + " xmlns=\"" + ServiceNamespace + "\"/>";
}

std::string updateElement(const std::string& operation, const Values& values) {
    std::string element = "<" + operation + " xmlns=\"" + ServiceNamespace + "\">";
    for (const auto& [name, value] : values) {
        element += "<" + name + ">" + xmlEscaped(value) + "</" + name + ">";
    }
    return element + "</" + operation + ">";
}

std::string soapAction(const std::string& operation) {
    return std::string(ServiceNamespace) + "/" + operation;
}

HttpResult postUpdate(const StandInServer& server, const std::string& operation,
                      const Values& values) {
    return postToEndpoint(server, requestEnvelope(updateElement(operation, values)),
                          soapAction(operation));
}

std::string faultOf(const std::string& body) {
    pugi::xml_document document;
    const pugi::xml_node fault =
        document.load_buffer(body.data(), body.size())
            ? document.child("soap:Envelope").child("soap:Body").child("soap:Fault")
            : pugi::xml_node();
    return fault ? std::string(fault.child_value("faultcode")) + " " +
                       fault.child_value("faultstring")
                 : "(no fault)";
}

QStringList databaseDump(const StandInServer& server) {
    QStringList lines = server.queryColumn(QStringLiteral(
        "SELECT 'facility|' || facility_id || '|' || quote(name) FROM facilities"
        " UNION ALL SELECT 'route|' || route_id || '|' || facility_id || '|' || quote(code)"
        "   || '|' || quote(description) FROM routes"
        " UNION ALL SELECT 'bay|' || storage_location_id || '|' || facility_id || '|'"
        "   || quote(name) || '|' || quote(description) FROM storage_locations"
        " UNION ALL SELECT 'center|' || center_id || '|' || quote(name) || '|' || facility_id"
        "   || '|' || quote(route_id) || '|' || quote(storage_location_id) || '|'"
        "   || quote(status) FROM centers"));
    lines.sort();
    return lines;
}

std::pair<QStringList, QStringList> dumpDifference(const QStringList& before,
                                                   const QStringList& after) {
    const auto onlyIn = [](const QStringList& lines, const QStringList& others) {
        QStringList only;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(only),
                     [&](const QString& line) { return !others.contains(line); });
        return only;
    };
    return {onlyIn(after, before), onlyIn(before, after)};
}

} // namespace stowline::test
