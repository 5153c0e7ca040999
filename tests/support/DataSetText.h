#pragma once

#include <QByteArray>
#include <QStringList>
#include <utility>
#include <vector>

namespace stowline::test {

using Row = std::vector<std::pair<QString, QString>>;

// A data-set text as the readers receive it, with the given rows (values already escaped).
inline QByteArray dataSetText(const std::vector<Row>& rows) {
    QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?><Root><DataSet>"
        "<xs:schema id=\"NewDataSet\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"/>"
        "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\" "
        "xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"><NewDataSet>");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        text += QStringLiteral("<Table diffgr:id=\"Table%1\" msdata:rowOrder=\"%2\">")
                    .arg(i + 1)
                    .arg(i);
        for (const auto& [name, value] : rows[i]) {
            text += QStringLiteral("<%1>%2</%1>").arg(name, value);
        }
        text += QStringLiteral("</Table>");
    }
    return (text + QStringLiteral("</NewDataSet></diffgr:diffgram></DataSet></Root>")).toUtf8();
}

// A row with the named cells in this order.
inline Row cells(const QStringList& names, const QStringList& values) {
    Row row;
    for (qsizetype i = 0; i < names.size(); ++i) {
        row.emplace_back(names[i], values.value(i));
    }
    return row;
}

// Key, code, description, facility, facility key.
inline Row route(const QStringList& values) {
    return cells({"DeliveryRouteID", "Route", "Description", "Facility", "TOVAFacilityID"}, values);
}

inline Row facility(const QString& id, const QString& name) {
    return {{"Description", name}, {"TOVAFacilityID", id}};
}

// An answer envelope as the service writes it (one line, namespaces in the order soap, xsi,
// xsd) around the body's content.
inline QByteArray soapEnvelope(const QByteArray& bodyContent) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body>" +
           bodyContent + "</soap:Body></soap:Envelope>";
}

inline QByteArray soapFault(const QByteArray& faultString) {
    return soapEnvelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" +
                        faultString + "</faultstring><detail /></soap:Fault>");
}

// A SOAP answer of the operation whose result element holds the given text as it goes on the
// wire.
inline QByteArray soapAnswer(const QByteArray& operation, const QByteArray& wireResult) {
    return soapEnvelope("<" + operation +
                        "Response xmlns=\"http://tempuri.org/TOVAStowlines/Service1\"><" +
                        operation + "Result>" + wireResult + "</" + operation + "Result></" +
                        operation + "Response>");
}

// &, < and > as references, as the service escapes a data set into its result.
inline QByteArray escaped(QByteArray text) {
    return text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

// The rows as a data set escaped into the result, as the service writes it; the service's data
// set carries no declaration.
inline QByteArray serviceAnswer(const QByteArray& operation, const std::vector<Row>& rows,
                                const QByteArray& doctype = {}) {
    return soapAnswer(operation, escaped(doctype + dataSetText(rows).mid(39)));
}

} // namespace stowline::test
