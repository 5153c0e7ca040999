#include "ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <QUrl>
#include <httplib.h>
#include <pugixml.hpp>

#include <algorithm>
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

std::string escapedText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
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

std::string updateElement(const std::string& operation,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    std::string element = "<" + operation + " xmlns=\"" + ServiceNamespace + "\">";
    for (const auto& [name, value] : values) {
        element += "<" + name + ">" + escapedText(value) + "</" + name + ">";
    }
    return element + "</" + operation + ">";
}

std::string soapAction(const std::string& operation) {
    return std::string(ServiceNamespace) + "/" + operation;
}

HttpResult postUpdate(const StandInServer& server, const std::string& operation,
                      const std::vector<std::pair<std::string, std::string>>& values) {
    return postToEndpoint(server, requestEnvelope(updateElement(operation, values)),
                          soapAction(operation));
}

std::optional<SoapFaultParts> faultOf(const std::string& body) {
    pugi::xml_document document;
    if (!document.load_buffer(body.data(), body.size())) {
        return std::nullopt;
    }
    const pugi::xml_node fault =
        document.child("soap:Envelope").child("soap:Body").child("soap:Fault");
    if (!fault) {
        return std::nullopt;
    }
    return SoapFaultParts{fault.child("faultcode").text().get(),
                          fault.child("faultstring").text().get()};
}

std::vector<DataSetRow> dataSetRows(const QString& dataSetText) {
    pugi::xml_document document;
    const QByteArray utf8 = dataSetText.toUtf8();
    if (!document.load_buffer(utf8.constData(), static_cast<std::size_t>(utf8.size()),
                              pugi::parse_default | pugi::parse_ws_pcdata)) {
        throw std::runtime_error("the data-set text does not parse");
    }
    std::vector<DataSetRow> rows;
    const pugi::xml_node newDataSet =
        document.child("Root").child("DataSet").child("diffgr:diffgram").child("NewDataSet");
    for (const pugi::xml_node& table : newDataSet.children("Table")) {
        DataSetRow row;
        for (const pugi::xml_node& column : table.children()) {
            if (column.type() == pugi::node_element) {
                row[column.name()] = column.text().get();
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
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
    QStringList added;
    QStringList removed;
    for (const QString& line : after) {
        if (!before.contains(line)) {
            added << line;
        }
    }
    for (const QString& line : before) {
        if (!after.contains(line)) {
            removed << line;
        }
    }
    return {added, removed};
}

} // namespace stowline::test
