// The transport over a real loopback socket: what goes on the wire, how answers come back, and
// that every failure is reported exactly once.
#include "http/HttpExchange.h"
#include "service/ServiceClient.h"
#include "support/DataSetText.h"
#include "support/QtPrinters.h"
#include "support/QueryRequests.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace stowline::service {
namespace {

using namespace std::chrono_literals;
using test::RecordedRequest;
using test::RecordingHttpServer;
using test::ServerBehaviour;

const QByteArray Ns = "http://tempuri.org/TOVAStowlines/Service1";
const QByteArray PostedHead =
    R"(<?xml version="1.0"?>)"
    "\r\n"
    R"(<soap:Envelope xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"><soap:Body>)";
const QByteArray PostedTail = "</soap:Body></soap:Envelope>";

ServerBehaviour reply(int status, const QByteArray& body,
                      const QByteArray& contentType = "text/xml; charset=utf-8") {
    return ServerBehaviour::respond(status, body, contentType);
}

// The data set of a query answer as the result element carries it (escaped once) and as the
// clean-up gives it back, with its three rows once or more often.
QString dataSet(int copies = 1) {
    return "<Root>" +
           QString(
               R"(<Table><Description>A&amp;B</Description></Table><Table><Description>x&lt;y</Description></Table><Table><Description>Zürich "Süd"</Description></Table>)")
               .repeated(copies) +
           "</Root>";
}
const QString LongDeclarationCrLf =
    QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n");

QByteArray queryAnswer(const QByteArray& op, int copies = 1) {
    return test::soapAnswer(op, test::escaped(dataSet(copies).toUtf8()));
}

class Transport : public ::testing::Test {
protected:
    // A proxy in the environment, where nothing listens: the component must not use it.
    Transport() {
        http::setHttpTimeouts({2'000, 2});
        client.setServerName(server.baseUrl());
        qputenv("http_proxy", "http://127.0.0.1:9");
        qunsetenv("no_proxy");
    }
    ~Transport() override {
        http::setHttpTimeouts(saved);
        qunsetenv("http_proxy");
    }

    QString post(const QString& envelope, bool update = false) {
        return client.ReturnWebserviceXML(client.asmxUrl(), server.baseUrl(), Ns + "/GetFacilities",
                                          envelope, update);
    }
    void clearRecords() {
        boxes.clear();
        log.clear();
        server.clearRequests();
    }
    // Exactly one error box and one entry of six lines under the transport's name, saying why.
    void expectOneTransportReport(const char* cause) {
        EXPECT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.errorBoxes(), 1);
        EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")});
        const QStringList lines = log.entries().value(0).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.size(), 6);
        const QString description = lines.value(3);
        EXPECT_TRUE(description.startsWith(QStringLiteral("Error Description - ")) &&
                    description.contains(QString::fromUtf8(cause)))
            << description.toStdString();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    const http::HttpTimeouts saved = http::httpTimeouts();
    RecordingHttpServer server;
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    ServiceClient client;
};

// Every operation posts its element in the one envelope under its own SOAPAction: a query an
// empty element, an update its values (escaped; whitespace-only text is not sent), with Host
// first and no Accept or Expect header, also for a body over 1 MiB. A query comes back
// unwrapped; an update tells that the service accepted it.
TEST_F(Transport, EveryOperationPostsItsElementUnderItsOwnAction) {
    const QString big(1536 * 1024, 'x');
    const auto query = [this](QueryOperation operation, QString start) {
        return [=, this] { return test::queryText(client, operation) == start + dataSet(); };
    };
    const auto accepted = [](ExchangeOutcome outcome) {
        return outcome == ExchangeOutcome::Answered;
    };
    const struct {
        QByteArray op;
        std::function<bool()> call;
        QByteArray children; // null for a query
    } cases[] = {
        {"GetDeliveryRoute", query(QueryOperation::GetDeliveryRoute, LongDeclarationCrLf), {}},
        {"GetFacilities", query(QueryOperation::GetFacilities, "\r\n"), {}},
        {"GetRelativeData", query(QueryOperation::GetRelativeData, LongDeclarationCrLf), {}},
        {"GetStorageLocation", query(QueryOperation::GetStorageLocation, LongDeclarationCrLf), {}},
        {"AddDeliveryRoute", [&] { return accepted(client.AddRouteSOAP(3, "07", "North")); },
         "<FacilityID>3</FacilityID><Route>07</Route><Description>North</Description>"},
        {"UpdateDeliveryRoute",
         [&] {
             return accepted(client.UpdateRouteSOAP(32767, -32768, "R&D", "A&amp;B <x> \"q\" 'a'"));
         },
         R"(<FacilityID>32767</FacilityID><DeliveryRouteID>-32768</DeliveryRouteID><Route>R&amp;D</Route><Description>A&amp;amp;B &lt;x&gt; "q" 'a'</Description>)"},
        {"DeleteDeliveryRoute", [&] { return accepted(client.DeleteRouteSOAP(12)); },
         "<DeliveryRouteID>12</DeliveryRouteID>"},
        {"AddStorageLocation",
         [&] { return accepted(client.AddLocationSOAP("7", "Bay 4", " Cold store " + big)); },
         "<TOVAFacilityID>7</TOVAFacilityID><RouteName>Bay 4</RouteName><Description> Cold store " +
             big.toUtf8() + "</Description>"},
        {"UpdateStorageLocation",
         [&] { return accepted(client.UpdateStorageLocationSOAP(0, "", "B>1", "Zürich – Süd")); },
         "<StorageLocationID>0</StorageLocationID><TOVAFacilityID/><RouteName>B&gt;1</RouteName>"
         "<Description>Zürich – Süd</Description>"},
        {"DeleteStorageLocation", [&] { return accepted(client.DeleteLocationSOAP(-5)); },
         "<StorageLocationID>-5</StorageLocationID>"},
        {"UpdateCenterRouteAndStorageLocation",
         [&] { return accepted(client.UpdateCenterRouteAndStorageLocationSOAP(1, -2, 300, 0)); },
         "<FacilityID>1</FacilityID><CenterID>-2</CenterID><RouteID>300</RouteID>"
         "<StorageLocationID>0</StorageLocationID>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op.toStdString());
        clearRecords();
        server.setBehaviour(
            reply(200, c.children.isNull() ? queryAnswer(c.op) : test::soapEnvelope("")));
        EXPECT_TRUE(c.call());
        const std::vector<RecordedRequest> requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const RecordedRequest& r = requests.front();
        EXPECT_EQ(r.requestLine, "POST /WebServices/TOVAWebservice/TOVAWebservice.asmx HTTP/1.1");
        EXPECT_EQ(r.headers, (std::vector<std::pair<QByteArray, QByteArray>>{
                                 {"Host", "127.0.0.1:" + QByteArray::number(server.port())},
                                 {"Content-Type", "text/xml; charset=utf-8"},
                                 {"Content-Length", QByteArray::number(r.body.size())},
                                 {"SOAPAction", Ns + "/" + c.op}}));
        EXPECT_TRUE(r.complete);
        const QByteArray start = "<" + c.op + " xmlns=\"" + Ns + "\"";
        EXPECT_EQ(r.body, PostedHead +
                              (c.children.isNull() ? start + "/>"
                                                   : start + ">" + c.children + "</" + c.op + ">") +
                              PostedTail);
        EXPECT_TRUE(boxes.shown().empty());
    }
}

TEST_F(Transport, HostsGetTheAnswerWithoutItsEnvelopeAndNothingForAnUpdate) {
    // The first answer is slow but steady, above the floor of 1 KiB a second: about three
    // seconds in all, never more than a quarter second without a byte.
    server.queueBehaviour(ServerBehaviour::drip(200, queryAnswer("GetFacilities", 20), 400, 250ms));
    server.setBehaviour(reply(200, queryAnswer("GetFacilities")));
    EXPECT_EQ(post(test::queryEnvelope(QueryOperation::GetFacilities)),
              LongDeclarationCrLf + "<GetFacilitiesResponse xmlns=\"" + Ns +
                  "\"><GetFacilitiesResult>" + dataSet(20) +
                  "</GetFacilitiesResult></GetFacilitiesResponse>");
    EXPECT_EQ(post(test::queryEnvelope(QueryOperation::GetFacilities), true), QString());
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().empty());
}

// Every failure is reported once, as one entry of six lines saying why: a query gives empty
// text, and an update tells what became of it under the same answer: refused (a SOAP fault, a
// status that refuses before any service acts) or never sent, so the service did not act on it;
// or sent with its answer lost or answered by something other than the service (a gateway's
// page, an empty answer), so it may have.
TEST_F(Transport, EachFailureIsReportedOnceWithWhatBecameOfAnUpdate) {
    using enum ExchangeOutcome;
    // A connect time-out far beyond the stall window: a stall is caught by the exchange's own
    // pace, which must be checked while nothing moves, not by a later time-out.
    http::setHttpTimeouts({60'000, 2});
    const QByteArray overTheLimit(96 << 20, 'x');
    struct Case {
        const char* what;
        ServerBehaviour behaviour;
        QByteArray cause;
        ExchangeOutcome update = Failed;
        QString serverName = {};
        qsizetype sentAtMost = -1; // what the server could hand over before the client let go
    };
    std::vector<Case> cases = {
        {"500, SOAP fault", reply(500, test::soapFault("Route 07 exists")), "500: Route 07 exists"},
        // The service's text cannot forge an entry of its own (XML turns a bare CR into LF).
        {"500, fault of control characters",
         reply(500, test::soapFault("one&#13;\n&#13;\nError Number - 0\x1b[2J\ttwo")),
         "500: one\\r\\n\\r\\nError Number - 0\\x1B[2J\\ttwo"},
        {"200, SOAP fault", reply(200, test::soapFault("Facility locked")),
         "fault: Facility locked"},
        {"200, empty", reply(200, ""), "empty", AnswerLost},
        {"200, not XML", reply(200, "Service unavailable <b>", "text/plain"), "not XML",
         AnswerLost},
        {"200, HTML", reply(200, "<html><body>down<br></body></html>", "text/html"), "not XML",
         AnswerLost},
        {"200, XHTML", reply(200, "<html xmlns=\"http://www.w3.org/1999/xhtml\"/>"), "<html>",
         AnswerLost},
        {"200, entity", reply(200, "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>"), "entity",
         AnswerLost},
        {"closed", ServerBehaviour::closeWithoutAnswer(), "Empty reply", AnswerLost},
        // The whole body announced, and the connection closed before its end.
        {"half-way",
         ServerBehaviour::rawResponse(
             reply(200, queryAnswer("GetFacilities")).response.chopped(200)),
         "partial", AnswerLost},
        {"stall", ServerBehaviour::neverAnswer(), "less than 1024 bytes a second over 2 seconds",
         AnswerLost},
        {"stall mid-answer", ServerBehaviour::drip(200, queryAnswer("GetFacilities"), 300, 5min),
         "less than 1024 bytes", AnswerLost},
        // 160 bytes a second: steady, but slower than the floor.
        {"trickle", ServerBehaviour::drip(200, queryAnswer("GetFacilities"), 40, 250ms),
         "less than 1024 bytes", AnswerLost},
        // Refused as soon as the limit is passed, announced or not.
        {"announced over the limit",
         ServerBehaviour::rawResponse("HTTP/1.1 200 OK\r\nContent-Length: 67108865\r\n\r\n" +
                                      QByteArray(1024, 'x')),
         "larger than 67108864 bytes", AnswerLost},
        {"over the limit",
         ServerBehaviour::rawResponse("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" +
                                      overTheLimit),
         "larger than 67108864 bytes",
         AnswerLost,
         {},
         80 << 20},
        {"refused", {}, "connect", Failed, test::refusedBaseUrl()},
        {"not absolute", {}, "absolute", Failed, "127.0.0.1"},
    };
    // Only a status with which an HTTP server refuses a request before any service acts tells
    // that an update was not applied; any other is what a gateway may answer after the service
    // applied it.
    for (const int status : {400, 401, 402, 403, 404, 405, 406, 407, 408, 409, 410, 411,
                             412, 413, 414, 415, 416, 429, 431, 500, 501, 502, 503, 504}) {
        const bool refusing =
            QList{401, 403, 404, 405, 407, 411, 413, 414, 415, 431}.contains(status);
        cases.push_back({"a status",
                         reply(status, "<html><body>Refused</body></html>", "text/html"),
                         QByteArray::number(status), refusing ? Failed : AnswerLost});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what + (" " + c.cause.toStdString()));
        server.setBehaviour(c.behaviour);
        client.setServerName(c.serverName.isEmpty() ? server.baseUrl() : c.serverName);
        for (const bool update : {false, true}) {
            clearRecords();
            QElapsedTimer elapsed;
            elapsed.start();
            if (update) {
                EXPECT_EQ(client.AddRouteSOAP(3, "07", "North"), c.update);
            } else {
                EXPECT_EQ(test::queryText(client, QueryOperation::GetFacilities), QString());
            }
            // A generous bound: a stall not caught would last the connect time-out or forever.
            EXPECT_LT(elapsed.elapsed(), 20'000);
            expectOneTransportReport(c.cause.constData());
            EXPECT_EQ(log.entries().value(0).contains("may have applied it"),
                      update && c.update == AnswerLost);
            EXPECT_EQ(server.requests().size(), c.serverName.isEmpty() ? 1u : 0u);
            if (c.sentAtMost >= 0 && !server.requests().empty()) {
                EXPECT_LT(server.requests().front().answerBytesSent, c.sentAtMost);
            }
        }
    }
}

TEST_F(Transport, RequestsThatWouldBeMalformedAreReportedAndNotPosted) {
    // Host, SOAPAction and envelope; among the envelopes characters XML allows nowhere, as a
    // paste can bring them into a value, and a line break in the Host or SOAPAction argument
    // would add a header of its own.
    const QString host = server.baseUrl();
    const QString action = Ns + "/GetFacilities";
    const QString envelope = test::queryEnvelope(QueryOperation::GetFacilities);
    std::vector<std::array<QString, 3>> requests{
        {host, action, QString()},
        {host, action, QStringLiteral("<a>") + QChar(0xD800) + QStringLiteral("</a>")},
        {host + "\r\nX-Injected: 1", action, envelope},
        {host, action + "\r\nX-Injected: 1", envelope},
        {host, action + "\nX-Injected: 1", envelope}};
    // Text that is not well-formed in every other way: XmlStrictnessTests.
    for (const char* text : {"not XML", "<a>x\x01y</a>", "<a>\xEF\xBF\xBF</a>"}) {
        requests.push_back({host, action, QString::fromUtf8(text)});
    }
    for (const bool update : {false, true}) {
        for (const auto& [h, a, e] : requests) {
            SCOPED_TRACE((h + a + e).toStdString());
            clearRecords();
            EXPECT_EQ(client.ReturnWebserviceXML(client.asmxUrl(), h, a, e, update), QString());
            expectOneTransportReport("nothing was sent");
            EXPECT_TRUE(server.requests().empty());
        }
    }
}

} // namespace
} // namespace stowline::service
