// The server's answers byte for byte, and how it treats requests at the HTTP and SOAP level.
#include "ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <gtest/gtest.h>

using namespace stowline::test;

namespace {

const std::string Namespace = stowline::ServiceNamespace;

const std::string EnvelopeStart =
    R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"><soap:Body>)";
const std::string EnvelopeEnd = "</soap:Body></soap:Envelope>";

// The schema and diffgram lines every data set shares.
const std::string SchemaStart =
    R"(<Root><DataSet><xs:schema id="NewDataSet" xmlns="" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:msdata="urn:schemas-microsoft-com:xml-msdata">)"
    R"(<xs:element name="NewDataSet" msdata:IsDataSet="true" msdata:UseCurrentLocale="true">)"
    R"(<xs:complexType><xs:choice minOccurs="0" maxOccurs="unbounded"><xs:element name="Table">)"
    R"(<xs:complexType><xs:sequence>)";
const std::string SchemaEndAndDiffgramStart =
    R"(</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType></xs:element></xs:schema>)"
    R"(<diffgr:diffgram xmlns:msdata="urn:schemas-microsoft-com:xml-msdata" xmlns:diffgr="urn:schemas-microsoft-com:xml-diffgram-v1"><NewDataSet>)";
const std::string DataSetEnd = "</NewDataSet></diffgr:diffgram></DataSet></Root>";

// A small fixed operation with values that need escaping, a non-ASCII name, and a center
// without route, bay or status.
const char* FixedData = R"sql(
INSERT INTO facilities VALUES (1, 'North & South'), (2, 'Zürich <Ost>');
INSERT INTO routes VALUES (1, 1, '07', 'A&B', '2024-05-01T08:30:00'),
                          (2, 2, 'Z1', 'x > y', '2024-05-02T09:00:00');
INSERT INTO storage_locations VALUES (1, 1, 'A-01', 'Chilled <4 °C>'), (2, 2, '', 'Floor');
INSERT INTO centers VALUES (10, 'Café 10', 1, 1, 1, '2'), (11, 'Unassigned', 2, NULL, NULL, NULL);
)sql";

// What the result element holds: the data-set text with &, < and > escaped once more.
std::string escapedOnce(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

std::string queryAnswer(const std::string& operation, const std::string& dataSet) {
    return EnvelopeStart + "<" + operation + "Response xmlns=\"" + Namespace + "\"><" + operation +
           "Result>" + escapedOnce(dataSet) + "</" + operation + "Result></" + operation +
           "Response>" + EnvelopeEnd;
}

HttpResult query(const StandInServer& server, const std::string& operation) {
    return postToEndpoint(server, requestEnvelope(queryElement(operation)), soapAction(operation));
}

class ServerProtocol : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new StandInServer(StandInServer::Data::Empty);
        server->execute(QString::fromUtf8(FixedData));
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static StandInServer* server;
};
StandInServer* ServerProtocol::server = nullptr;

} // namespace

TEST_F(ServerProtocol, FacilitiesAnswerIsExactOnTheWire) {
    const HttpResult answer = query(*server, "GetFacilities");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
    // Values are escaped inside the data set, and the data set once more inside the result.
    EXPECT_EQ(
        answer.body,
        R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"><soap:Body>)"
        R"(<GetFacilitiesResponse xmlns="http://tempuri.org/TOVAStowlines/Service1"><GetFacilitiesResult>)"
        R"(&lt;Root&gt;&lt;DataSet&gt;&lt;xs:schema id="NewDataSet" xmlns="" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:msdata="urn:schemas-microsoft-com:xml-msdata"&gt;)"
        R"(&lt;xs:element name="NewDataSet" msdata:IsDataSet="true" msdata:UseCurrentLocale="true"&gt;)"
        R"(&lt;xs:complexType&gt;&lt;xs:choice minOccurs="0" maxOccurs="unbounded"&gt;&lt;xs:element name="Table"&gt;)"
        R"(&lt;xs:complexType&gt;&lt;xs:sequence&gt;)"
        R"(&lt;xs:element name="Description" type="xs:string" minOccurs="0" /&gt;)"
        R"(&lt;xs:element name="TOVAFacilityID" type="xs:int" minOccurs="0" /&gt;)"
        R"(&lt;/xs:sequence&gt;&lt;/xs:complexType&gt;&lt;/xs:element&gt;&lt;/xs:choice&gt;&lt;/xs:complexType&gt;&lt;/xs:element&gt;&lt;/xs:schema&gt;)"
        R"(&lt;diffgr:diffgram xmlns:msdata="urn:schemas-microsoft-com:xml-msdata" xmlns:diffgr="urn:schemas-microsoft-com:xml-diffgram-v1"&gt;&lt;NewDataSet&gt;)"
        R"(&lt;Table diffgr:id="Table1" msdata:rowOrder="0"&gt;&lt;Description&gt;North &amp;amp; South&lt;/Description&gt;&lt;TOVAFacilityID&gt;1&lt;/TOVAFacilityID&gt;&lt;/Table&gt;)"
        R"(&lt;Table diffgr:id="Table2" msdata:rowOrder="1"&gt;&lt;Description&gt;Zürich &amp;lt;Ost&amp;gt;&lt;/Description&gt;&lt;TOVAFacilityID&gt;2&lt;/TOVAFacilityID&gt;&lt;/Table&gt;)"
        R"(&lt;/NewDataSet&gt;&lt;/diffgr:diffgram&gt;&lt;/DataSet&gt;&lt;/Root&gt;)"
        R"(</GetFacilitiesResult></GetFacilitiesResponse></soap:Body></soap:Envelope>)");
}

TEST_F(ServerProtocol, RoutesAnswerIsExact) {
    const std::string dataSet =
        SchemaStart +
        R"(<xs:element name="DeliveryRouteID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="Route" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="Description" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="Facility" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="TOVAFacilityID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="RecordLastUpdated" type="xs:dateTime" minOccurs="0" />)" +
        SchemaEndAndDiffgramStart +
        R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><DeliveryRouteID>1</DeliveryRouteID><Route>07</Route>)"
        R"(<Description>A&amp;B</Description><Facility>North &amp; South</Facility><TOVAFacilityID>1</TOVAFacilityID>)"
        R"(<RecordLastUpdated>2024-05-01T08:30:00</RecordLastUpdated></Table>)"
        R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><DeliveryRouteID>2</DeliveryRouteID><Route>Z1</Route>)"
        R"(<Description>x &gt; y</Description><Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID>)"
        R"(<RecordLastUpdated>2024-05-02T09:00:00</RecordLastUpdated></Table>)" +
        DataSetEnd;
    const HttpResult answer = query(*server, "GetDeliveryRoute");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, queryAnswer("GetDeliveryRoute", dataSet));
}

TEST_F(ServerProtocol, StorageLocationsAnswerIsExact) {
    // An empty bay name is a value, written as an empty element.
    const std::string dataSet =
        SchemaStart +
        R"(<xs:element name="StorageLocationID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="RouteName" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="Description" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="Facility" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="TOVAFacilityID" type="xs:int" minOccurs="0" />)" +
        SchemaEndAndDiffgramStart +
        R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><StorageLocationID>1</StorageLocationID><RouteName>A-01</RouteName>)"
        R"(<Description>Chilled &lt;4 °C&gt;</Description><Facility>North &amp; South</Facility><TOVAFacilityID>1</TOVAFacilityID></Table>)"
        R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><StorageLocationID>2</StorageLocationID><RouteName></RouteName>)"
        R"(<Description>Floor</Description><Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID></Table>)" +
        DataSetEnd;
    const HttpResult answer = query(*server, "GetStorageLocation");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, queryAnswer("GetStorageLocation", dataSet));
}

TEST_F(ServerProtocol, CentersAnswerIsExactAndLeavesOutNullColumns) {
    const std::string dataSet =
        SchemaStart +
        R"(<xs:element name="CenterID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="CenterName" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="CenterLocation" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="CenterRoute" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="Facility" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="DeliveryRouteID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="Route" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="StorageLocationID" type="xs:int" minOccurs="0" />)"
        R"(<xs:element name="Status" type="xs:string" minOccurs="0" />)"
        R"(<xs:element name="TOVAFacilityID" type="xs:int" minOccurs="0" />)" +
        SchemaEndAndDiffgramStart +
        R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><CenterID>10</CenterID><CenterName>Café 10</CenterName>)"
        R"(<CenterLocation>Chilled &lt;4 °C&gt;</CenterLocation><CenterRoute>A&amp;B</CenterRoute>)"
        R"(<Facility>North &amp; South</Facility><DeliveryRouteID>1</DeliveryRouteID><Route>07</Route>)"
        R"(<StorageLocationID>1</StorageLocationID><Status>2</Status><TOVAFacilityID>1</TOVAFacilityID></Table>)"
        R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><CenterID>11</CenterID><CenterName>Unassigned</CenterName>)"
        R"(<Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID></Table>)" +
        DataSetEnd;
    const HttpResult answer = query(*server, "GetRelativeData");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, queryAnswer("GetRelativeData", dataSet));
}

TEST_F(ServerProtocol, UpdateAndFaultAnswersAreExact) {
    const HttpResult added =
        postUpdate(*server, "AddStorageLocation",
                   {{"TOVAFacilityID", "1"}, {"RouteName", "B-02"}, {"Description", "Second bay"}});
    EXPECT_EQ(added.status, 200);
    EXPECT_EQ(added.body, EnvelopeStart + "<AddStorageLocationResponse xmlns=\"" + Namespace +
                              "\" />" + EnvelopeEnd);
    server->execute(QStringLiteral("DELETE FROM storage_locations WHERE name = 'B-02'"));

    const HttpResult refused =
        postUpdate(*server, "DeleteDeliveryRoute", {{"DeliveryRouteID", "99"}});
    EXPECT_EQ(refused.status, 500);
    EXPECT_EQ(refused.contentType, "text/xml; charset=utf-8");
    EXPECT_EQ(refused.body, EnvelopeStart +
                                "<soap:Fault><faultcode>soap:Client</faultcode><faultstring>"
                                "There is no route with DeliveryRouteID 99</faultstring>"
                                "<detail /></soap:Fault>" +
                                EnvelopeEnd);
}

TEST_F(ServerProtocol, DispatchesOnTheSoapActionInEveryFormOrOnTheBody) {
    const std::string facilities = requestEnvelope(queryElement("GetFacilities"));
    const std::string expected = query(*server, "GetFacilities").body;
    struct Case {
        const char* label;
        std::optional<std::string> action;
        std::string fault; // empty: the facilities answer
    };
    const Case cases[] = {
        {"unquoted", soapAction("GetFacilities"), ""},
        {"quoted", "\"" + soapAction("GetFacilities") + "\"", ""},
        {"absent", std::nullopt, ""},
        {"empty quotes", "\"\"", ""},
        {"another operation", soapAction("GetDeliveryRoute"),
         "The SOAPAction names GetDeliveryRoute but the body holds GetFacilities"},
        {"unknown operation", soapAction("DropEverything"),
         "The SOAPAction \"" + soapAction("DropEverything") +
             "\" names no operation of this service"},
        {"another namespace", "urn:other/GetFacilities",
         "The SOAPAction \"urn:other/GetFacilities\" names no operation of this service"},
    };
    for (const Case& c : cases) {
        const HttpResult answer = postToEndpoint(*server, facilities, c.action);
        if (c.fault.empty()) {
            EXPECT_EQ(answer.status, 200) << c.label;
            EXPECT_EQ(answer.body, expected) << c.label;
        } else {
            EXPECT_EQ(answer.status, 500) << c.label;
            const auto fault = faultOf(answer.body);
            ASSERT_TRUE(fault) << c.label;
            EXPECT_EQ(fault->code, "soap:Client") << c.label;
            EXPECT_EQ(fault->text, c.fault) << c.label;
        }
    }
}

TEST_F(ServerProtocol, AnswersBodiesThatAreNotServiceRequests) {
    // Not XML at all: 400 without a body.
    for (const std::string body : {"", "hello", "<soap:Envelope><soap:Body>", "\xFF\xFE<"}) {
        const HttpResult answer = postToEndpoint(*server, body, soapAction("GetFacilities"));
        EXPECT_EQ(answer.status, 400) << body;
        EXPECT_EQ(answer.body, "") << body;
    }
    // XML, but not a request of this service: a fault.
    struct Case {
        std::string body;
        const char* code;
        const char* text;
    };
    const Case cases[] = {
        {"<order/>", "soap:Client", "The request is not a SOAP 1.1 envelope"},
        {requestEnvelope("<Frobnicate xmlns=\"" + Namespace + "\"/>"), "soap:Client",
         "The service has no operation Frobnicate"},
        {R"(<e:Envelope xmlns:e="http://www.w3.org/2003/05/soap-envelope"><e:Body/></e:Envelope>)",
         "soap:VersionMismatch", "This service speaks SOAP 1.1 only"},
    };
    for (const Case& c : cases) {
        const HttpResult answer = postToEndpoint(*server, c.body, std::nullopt);
        EXPECT_EQ(answer.status, 500) << c.body;
        const auto fault = faultOf(answer.body);
        ASSERT_TRUE(fault) << c.body;
        EXPECT_EQ(fault->code, c.code);
        EXPECT_EQ(fault->text, c.text);
    }
}

TEST_F(ServerProtocol, AcceptsBodiesUpToOneMebibyte) {
    constexpr std::size_t Limit = std::size_t{1} << 20;
    // Trailing white space after the envelope keeps the body well-formed at any length.
    std::string body = requestEnvelope(queryElement("GetFacilities"));
    body.resize(Limit, ' ');
    EXPECT_EQ(postToEndpoint(*server, body, soapAction("GetFacilities")).status, 200);
    body.push_back(' ');
    const HttpResult tooLarge = postToEndpoint(*server, body, soapAction("GetFacilities"));
    EXPECT_EQ(tooLarge.status, 413);
    // The server is still there for the next client.
    EXPECT_EQ(query(*server, "GetFacilities").status, 200);
}

TEST_F(ServerProtocol, ServesItsDescriptionWhereItWasReached) {
    const std::string endpoint = server->serverName().toStdString() + stowline::AsmxPath;
    for (const char* query : {"?WSDL", "?wsdl"}) {
        const HttpResult wsdl = getPath(*server, std::string(stowline::AsmxPath) + query);
        EXPECT_EQ(wsdl.status, 200) << query;
        EXPECT_EQ(wsdl.contentType, "text/xml; charset=utf-8");
        EXPECT_NE(wsdl.body.find("<soap:address location=\"" + endpoint + "\" />"),
                  std::string::npos)
            << wsdl.body;
    }
    const HttpResult page = getPath(*server, stowline::AsmxPath);
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(endpoint + "?WSDL"), std::string::npos) << page.body;

    EXPECT_EQ(getPath(*server, "/WebServices/TOVAWebservice/TOVAWebserviceXasmx?WSDL").status, 404);
}
