// The transport over a real loopback socket: what goes on the wire, how answers come back, and
// that every failure is reported exactly once.
#include "platform/HttpExchange.h"
#include "platform/XmlDocument.h"
#include "service/ServiceClient.h"
#include "service/Unwrapping.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace stowline::service {
namespace {

using test::RecordedRequest;
using test::RecordingHttpServer;
using test::ServerBehaviour;

const QString Ns = QStringLiteral("http://tempuri.org/TOVAStowlines/Service1");
const QByteArray PostedHead =
    R"(<?xml version="1.0"?>)"
    "\r\n"
    R"(<soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"><soap:Body>)";
const QByteArray PostedTail = "</soap:Body></soap:Envelope>";

// An answer as the service writes it: one line, namespaces in the order soap, xsi, xsd.
QByteArray serviceAnswer(const QByteArray& bodyContent) {
    return R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"><soap:Body>)" +
           bodyContent + "</soap:Body></soap:Envelope>";
}

QByteArray soapFault(const QByteArray& faultString) {
    return serviceAnswer("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" +
                         faultString + "</faultstring><detail /></soap:Fault>");
}

// The data set of a query answer as the result element carries it (escaped once) and as a
// reader sees it after the clean-up.
const QByteArray EscapedDataSet =
    R"(&lt;Root&gt;&lt;DataSet&gt;&lt;diffgr:diffgram xmlns:diffgr="urn:test:diffgram" xmlns:msdata="urn:test:msdata"&gt;&lt;NewDataSet&gt;&lt;Table diffgr:id="Table1" msdata:rowOrder="0"&gt;&lt;Description&gt;A&amp;amp;B&lt;/Description&gt;&lt;/Table&gt;&lt;Table diffgr:id="Table2" msdata:rowOrder="1"&gt;&lt;Description&gt;x&amp;lt;y&lt;/Description&gt;&lt;/Table&gt;&lt;Table diffgr:id="Table3" msdata:rowOrder="2"&gt;&lt;Description&gt;Zürich "Süd"&lt;/Description&gt;&lt;/Table&gt;&lt;/NewDataSet&gt;&lt;/diffgr:diffgram&gt;&lt;/DataSet&gt;&lt;/Root&gt;)";
const QString DataSet =
    R"(<Root><DataSet><diffgr:diffgram xmlns:diffgr="urn:test:diffgram" xmlns:msdata="urn:test:msdata"><NewDataSet><Table diffgr:id="Table1" msdata:rowOrder="0"><Description>A&amp;B</Description></Table><Table diffgr:id="Table2" msdata:rowOrder="1"><Description>x&lt;y</Description></Table><Table diffgr:id="Table3" msdata:rowOrder="2"><Description>Zürich "Süd"</Description></Table></NewDataSet></diffgr:diffgram></DataSet></Root>)";
const QString LongDeclarationCrLf =
    QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n");

QByteArray queryAnswer(const QByteArray& op) {
    return serviceAnswer("<" + op +
                         "Response xmlns=\"http://tempuri.org/TOVAStowlines/Service1\"><" + op +
                         "Result>" + EscapedDataSet + "</" + op + "Result></" + op + "Response>");
}

// The Description of every row, read the way the data-set readers walk the text.
QStringList descriptions(const QString& dataSetText) {
    platform::XmlDocument document;
    if (!document.loadXML(dataSetText)) {
        return {QStringLiteral("parse failure: ") + document.parseErrorReason()};
    }
    QStringList values;
    const pugi::xml_node rows =
        document.dom().child("Root").child("DataSet").child("diffgr:diffgram").child("NewDataSet");
    for (const pugi::xml_node& row : rows.children("Table")) {
        values << platform::nodeText(row.child("Description"));
    }
    return values;
}

class TimeoutsOverride {
public:
    explicit TimeoutsOverride(platform::HttpTimeouts timeouts) : m_saved(platform::httpTimeouts()) {
        platform::setHttpTimeouts(timeouts);
    }
    ~TimeoutsOverride() { platform::setHttpTimeouts(m_saved); }
    TimeoutsOverride(const TimeoutsOverride&) = delete;
    TimeoutsOverride& operator=(const TimeoutsOverride&) = delete;

private:
    platform::HttpTimeouts m_saved;
};

QString refusedUrl() {
    const RecordingHttpServer closed;
    return closed.url(); // the port is free again once the server is gone
}

class Transport : public ::testing::Test {
protected:
    Transport() { client.setServerName(server.baseUrl()); }

    QString post(const QString& envelope, bool update = false, QString url = QString()) {
        return client.ReturnWebserviceXML(url.isEmpty() ? server.url() : url, server.baseUrl(),
                                          Ns + QStringLiteral("/GetFacilities"), envelope, update);
    }
    void clearRecords() {
        boxes.clear();
        log.clear();
        server.clearRequests();
    }
    // Exactly one error box and one entry under the transport's name, with a description.
    void expectOneTransportReport(const char* what, const char* inDescription = nullptr) {
        EXPECT_EQ(boxes.shown().size(), 1u) << what;
        EXPECT_EQ(boxes.errorBoxes(), 1) << what;
        EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")}) << what;
        const QString description = log.entries().value(0).split(QStringLiteral("\r\n")).value(3);
        EXPECT_TRUE(description.startsWith(QStringLiteral("Error Description - ")) &&
                    description.size() > 20)
            << what << ": " << description.toStdString();
        if (inDescription != nullptr) {
            EXPECT_TRUE(description.contains(QString::fromUtf8(inDescription)))
                << what << ": " << description.toStdString();
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << what;
    }

    RecordingHttpServer server;
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    ServiceClient client;
};

TEST_F(Transport, SendsTheRequestLineHeadersAndSerialisedEnvelope) {
    const QByteArray big(1536 * 1024, 'x');
    struct Case {
        const char* what;
        QString envelope;
        QByteArray expectedBody;
    };
    const std::vector<Case> cases = {
        {"query", client.GetFacilitiesSOAPEnvelope(),
         PostedHead + R"(<GetFacilities xmlns="http://tempuri.org/TOVAStowlines/Service1"/>)" +
             PostedTail},
        {"non-ASCII text and attribute",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<e>\n  <v a=\"Süd\">Zürich – ☺</v>\n</e>",
         "<?xml version=\"1.0\"?>\r\n<e><v a=\"Süd\">Zürich – ☺</v></e>"},
        {"declared in another encoding, sent as UTF-8",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><e>Zürich</e>",
         "<?xml version=\"1.0\"?>\r\n<e>Zürich</e>"},
        {"over 1 MiB without a declaration", "<e>" + big + "</e>", "<e>" + big + "</e>"},
    };
    for (const Case& c : cases) {
        clearRecords();
        post(c.envelope);
        const std::vector<RecordedRequest> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << c.what;
        const RecordedRequest& r = requests.front();
        EXPECT_EQ(r.requestLine, "POST /WebServices/TOVAWebservice/TOVAWebservice.asmx HTTP/1.1");
        // Host first (from the URL, not the scheme-carrying server name), no Accept, no Expect.
        EXPECT_EQ(r.headerNames(),
                  (QList<QByteArray>{"Host", "Content-Type", "Content-Length", "SOAPAction"}))
            << c.what;
        EXPECT_EQ(r.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
        EXPECT_EQ(r.header("Content-Type"), "text/xml; charset=utf-8");
        EXPECT_EQ(r.header("Content-Length"), QByteArray::number(c.expectedBody.size())) << c.what;
        EXPECT_EQ(r.header("SOAPAction"),
                  "http://tempuri.org/TOVAStowlines/Service1/GetFacilities");
        EXPECT_TRUE(r.complete) << c.what;
        EXPECT_EQ(r.body.size(), c.expectedBody.size()) << c.what;
        EXPECT_TRUE(r.body == c.expectedBody) << c.what << ": " << r.body.left(400).toStdString();
        EXPECT_TRUE(boxes.shown().empty()) << c.what;
    }
}

TEST_F(Transport, QueryAnswersComeBackWithoutEnvelopeAndAsMarkup) {
    struct Case {
        QByteArray op;
        QueryOperation operation;
        QString (*unwrap)(QString);
        QString expectedUnwrapped;
    };
    const std::vector<Case> cases = {
        {"GetDeliveryRoute", QueryOperation::GetDeliveryRoute, &ReplaceGetDeliveryRouteSOAPTags,
         LongDeclarationCrLf + DataSet},
        {"GetFacilities", QueryOperation::GetFacilities, &ReplaceGetFacilitiesSOAPTags,
         "\r\n" + DataSet},
        {"GetRelativeData", QueryOperation::GetRelativeData, &ReplaceGetRelativeDataSOAPTags,
         LongDeclarationCrLf + DataSet},
        {"GetStorageLocation", QueryOperation::GetStorageLocation,
         &ReplaceGetStorageLocationSOAPTags, LongDeclarationCrLf + DataSet},
    };
    for (const Case& c : cases) {
        const QString op = QString::fromLatin1(c.op);
        clearRecords();
        server.setBehaviour(ServerBehaviour::respond(200, queryAnswer(c.op)));
        const QString answer = client.ReturnWebserviceXML(client.asmxUrl(), client.serverName(),
                                                          client.serviceNamespace() + op,
                                                          client.queryEnvelope(c.operation), false);
        EXPECT_EQ(answer, LongDeclarationCrLf + "<" + op + "Response xmlns=\"" + Ns + "\"><" + op +
                              "Result>" + DataSet + "</" + op + "Result></" + op + "Response>");
        const QString unwrapped = c.unwrap(answer);
        EXPECT_EQ(unwrapped, c.expectedUnwrapped);
        EXPECT_EQ(descriptions(unwrapped),
                  (QStringList{QStringLiteral("A&B"), QStringLiteral("x<y"),
                               QStringLiteral("Zürich \"Süd\"")}))
            << c.op.toStdString();
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests().front().header("SOAPAction"),
                  "http://tempuri.org/TOVAStowlines/Service1/" + c.op);
        EXPECT_TRUE(boxes.shown().empty());
    }
}

TEST_F(Transport, EachFailedQueryIsReportedOnceAndGivesEmptyText) {
    const TimeoutsOverride quick({2000, 2});
    struct Case {
        const char* what;
        std::optional<ServerBehaviour> behaviour; // none: nobody listens
        const char* inDescription;
        QString url;
    };
    const std::vector<Case> cases = {
        {"HTTP 500 with a SOAP fault",
         ServerBehaviour::respond(500, soapFault("Route 07 already exists")),
         "Route 07 already exists",
         {}},
        {"HTTP 500 with an HTML page",
         ServerBehaviour::respond(500, "<html><body><h1>Server Error</h1></body></html>",
                                  "text/html"),
         "500",
         {}},
        {"HTTP 404 with plain text",
         ServerBehaviour::respond(404, "Not Found", "text/plain"),
         "404",
         {}},
        {"200 with a SOAP fault",
         ServerBehaviour::respond(200, soapFault("Facility locked")),
         "Facility locked",
         {}},
        {"200 with an empty body", ServerBehaviour::respond(200, ""), nullptr, {}},
        {"200 with text that is not XML",
         ServerBehaviour::respond(200, "Service unavailable <b>", "text/plain"),
         nullptr,
         {}},
        {"200 with an HTML page that is not well-formed",
         ServerBehaviour::respond(200, "<html><body>down<br></body></html>", "text/html"),
         nullptr,
         {}},
        {"closed without an answer", ServerBehaviour::closeWithoutAnswer(), nullptr, {}},
        {"answer stops half-way",
         ServerBehaviour::halfThenClose(200, queryAnswer("GetFacilities")),
         nullptr,
         {}},
        {"stall", ServerBehaviour::neverAnswer(), nullptr, {}},
        {"connection refused", std::nullopt, nullptr, refusedUrl()},
        {"URL that is not absolute", std::nullopt, nullptr,
         QStringLiteral("127.0.0.1/WebServices/TOVAWebservice/TOVAWebservice.asmx")},
    };
    for (const Case& c : cases) {
        clearRecords();
        if (c.behaviour) {
            server.setBehaviour(*c.behaviour);
        }
        EXPECT_EQ(post(client.GetFacilitiesSOAPEnvelope(), false, c.url), QString()) << c.what;
        expectOneTransportReport(c.what, c.inDescription);
    }
}

TEST_F(Transport, EnvelopesThatAreNotWellFormedAreReportedAndNotPosted) {
    const std::vector<QString> envelopes = {
        QString(),
        QStringLiteral("not XML"),
        QStringLiteral("<soap:Envelope><soap:Body>"),
        QStringLiteral("<a>A & B</a>"),
        QStringLiteral("<a>x<b></a>"),
        QStringLiteral("<a/><b/>"),
        QStringLiteral("<a>&nbsp;</a>"),
        QStringLiteral("<a v=\"<\"/>"),
        // Characters XML allows nowhere, as a paste can bring them into a typed value.
        QStringLiteral("<a>x\u0001y</a>"),
        QStringLiteral("<a>\uFFFF</a>"),
        QStringLiteral("<a>") + QChar(0xD800) + QStringLiteral("</a>"),
    };
    for (const QString& envelope : envelopes) {
        for (const bool update : {false, true}) {
            clearRecords();
            EXPECT_EQ(post(envelope, update), QString());
            expectOneTransportReport(qPrintable(envelope));
        }
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(Transport, UpdatesReturnEmptyTextEvenWhenTheServiceAnswersData) {
    server.setBehaviour(ServerBehaviour::respond(200, queryAnswer("GetFacilities")));
    EXPECT_EQ(post(client.GetFacilitiesSOAPEnvelope(), true), QString());
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().empty());
}

TEST_F(Transport, ASlowButSteadyAnswerIsNotAStall) {
    const TimeoutsOverride quick({2000, 2});
    // About three seconds in all, never more than a quarter second without a byte.
    server.setBehaviour(ServerBehaviour::drip(200, queryAnswer("GetFacilities"), 80,
                                              std::chrono::milliseconds(250)));
    const QString answer = post(client.GetFacilitiesSOAPEnvelope());
    EXPECT_EQ(ReplaceGetFacilitiesSOAPTags(answer), "\r\n" + DataSet);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Transport, SendersPostTheirElementAndTellThatTheServiceAccepted) {
    struct Case {
        const char* op;
        std::function<bool(ServiceClient&)> send;
        QByteArray element; // as posted: whitespace-only text is not sent
    };
    const std::vector<Case> cases = {
        {"AddDeliveryRoute", [](ServiceClient& s) { return s.AddRouteSOAP(3, "07", "North"); },
         R"(<AddDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1"><FacilityID>3</FacilityID><Route>07</Route><Description>North</Description></AddDeliveryRoute>)"},
        {"AddDeliveryRoute", [](ServiceClient& s) { return s.AddRouteSOAP(-1, " 07 ", ""); },
         R"(<AddDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1"><FacilityID>-1</FacilityID><Route> 07 </Route><Description/></AddDeliveryRoute>)"},
        {"UpdateDeliveryRoute",
         [](ServiceClient& s) { return s.UpdateRouteSOAP(32767, -32768, "R&D", "A&B <x>"); },
         R"(<UpdateDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1"><FacilityID>32767</FacilityID><DeliveryRouteID>-32768</DeliveryRouteID><Route>R&amp;D</Route><Description>A&amp;B &lt;x&gt;</Description></UpdateDeliveryRoute>)"},
        {"DeleteDeliveryRoute", [](ServiceClient& s) { return s.DeleteRouteSOAP(12); },
         R"(<DeleteDeliveryRoute xmlns="http://tempuri.org/TOVAStowlines/Service1"><DeliveryRouteID>12</DeliveryRouteID></DeleteDeliveryRoute>)"},
        {"AddStorageLocation",
         [](ServiceClient& s) { return s.AddLocationSOAP("7", "Bay 4", " Cold store "); },
         R"(<AddStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1"><TOVAFacilityID>7</TOVAFacilityID><RouteName>Bay 4</RouteName><Description> Cold store </Description></AddStorageLocation>)"},
        {"UpdateStorageLocation",
         [](ServiceClient& s) { return s.UpdateStorageLocationSOAP(0, "", "B>1", "Zürich – Süd"); },
         R"(<UpdateStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1"><StorageLocationID>0</StorageLocationID><TOVAFacilityID/><RouteName>B&gt;1</RouteName><Description>Zürich – Süd</Description></UpdateStorageLocation>)"},
        {"DeleteStorageLocation", [](ServiceClient& s) { return s.DeleteLocationSOAP(-5); },
         R"(<DeleteStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1"><StorageLocationID>-5</StorageLocationID></DeleteStorageLocation>)"},
        {"UpdateCenterRouteAndStorageLocation",
         [](ServiceClient& s) { return s.UpdateCenterRouteAndStorageLocationSOAP(1, -2, 300, 0); },
         R"(<UpdateCenterRouteAndStorageLocation xmlns="http://tempuri.org/TOVAStowlines/Service1"><FacilityID>1</FacilityID><CenterID>-2</CenterID><RouteID>300</RouteID><StorageLocationID>0</StorageLocationID></UpdateCenterRouteAndStorageLocation>)"},
    };
    server.setBehaviour(ServerBehaviour::respond(200, serviceAnswer("")));
    for (const Case& c : cases) {
        clearRecords();
        EXPECT_TRUE(c.send(client)) << c.op;
        const std::vector<RecordedRequest> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u) << c.op;
        EXPECT_EQ(requests.front().header("SOAPAction"),
                  "http://tempuri.org/TOVAStowlines/Service1/" + QByteArray(c.op));
        EXPECT_EQ(requests.front().body, PostedHead + c.element + PostedTail);
        EXPECT_EQ(requests.front().header("Content-Length"),
                  QByteArray::number(requests.front().body.size()));
        EXPECT_TRUE(boxes.shown().empty()) << c.op;
    }
}

TEST_F(Transport, ARejectedOrUnsentUpdateIsReportedOnceAndGivesFalse) {
    struct Case {
        const char* what;
        std::optional<ServerBehaviour> behaviour;
        const char* inDescription;
    };
    const std::vector<Case> cases = {
        {"HTTP 500 with a SOAP fault",
         ServerBehaviour::respond(500, soapFault("Route 07 already exists")),
         "Route 07 already exists"},
        {"HTTP 500 with an HTML page",
         ServerBehaviour::respond(500, "<html><body>Server Error</body></html>", "text/html"),
         "500"},
        {"200 with a SOAP fault", ServerBehaviour::respond(200, soapFault("Bay in use")),
         "Bay in use"},
        // A 200 answer that is not the service's says nothing was done.
        {"200 with an empty body", ServerBehaviour::respond(200, ""), "empty"},
        {"200 with plain text", ServerBehaviour::respond(200, "OK", "text/plain"), "not XML"},
        {"200 with an HTML page",
         ServerBehaviour::respond(200, "<html><body>Saved<br></body></html>", "text/html"),
         "not XML"},
        {"200 with an XHTML page",
         ServerBehaviour::respond(200, "<html xmlns=\"http://www.w3.org/1999/xhtml\"/>"), "<html>"},
        {"connection refused", std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        clearRecords();
        if (c.behaviour) {
            server.setBehaviour(*c.behaviour);
            client.setServerName(server.baseUrl());
        } else {
            client.setServerName(refusedUrl().chopped(
                QStringLiteral("/WebServices/TOVAWebservice/TOVAWebservice.asmx").size()));
        }
        EXPECT_FALSE(client.AddRouteSOAP(3, "07", "North")) << c.what;
        expectOneTransportReport(c.what, c.inDescription);
    }
}

} // namespace
} // namespace stowline::service
