// The server's answers byte for byte, and how it treats requests at the HTTP and SOAP level.
#include "support/ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <gtest/gtest.h>

using namespace stowline::test;

namespace {

const std::string Namespace = stowline::ServiceNamespace;

const std::string EnvelopeStart =
    R"(<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"><soap:Body>)";
const std::string EnvelopeEnd = "</soap:Body></soap:Envelope>";

// A query's answer: the data set of `columns` ("Name:type") and `rows`, escaped once more
// inside the result element.
std::string queryAnswer(const std::string& operation, const std::vector<std::string>& columns,
                        const std::string& rows) {
    std::string dataSet =
        R"(<Root><DataSet><xs:schema id="NewDataSet" xmlns="" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:msdata="urn:schemas-microsoft-com:xml-msdata">)"
        R"(<xs:element name="NewDataSet" msdata:IsDataSet="true" msdata:UseCurrentLocale="true">)"
        R"(<xs:complexType><xs:choice minOccurs="0" maxOccurs="unbounded"><xs:element name="Table">)"
        R"(<xs:complexType><xs:sequence>)";
    for (const std::string& column : columns) {
        const std::size_t colon = column.find(':');
        dataSet += "<xs:element name=\"" + column.substr(0, colon) +
                   "\" type=\"xs:" + column.substr(colon + 1) + "\" minOccurs=\"0\" />";
    }
    dataSet +=
        R"(</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType></xs:element></xs:schema>)"
        R"(<diffgr:diffgram xmlns:msdata="urn:schemas-microsoft-com:xml-msdata" xmlns:diffgr="urn:schemas-microsoft-com:xml-diffgram-v1"><NewDataSet>)" +
        rows + "</NewDataSet></diffgr:diffgram></DataSet></Root>";
    return EnvelopeStart + "<" + operation + "Response xmlns=\"" + Namespace + "\"><" + operation +
           "Result>" + xmlEscaped(dataSet) + "</" + operation + "Result></" + operation +
           "Response>" + EnvelopeEnd;
}

// Values that need escaping (one that reads as a reference), a non-ASCII name, an empty bay name,
// and a center without route, bay or status.
const char* FixedData = R"sql(
INSERT INTO facilities VALUES (1, 'North & South'), (2, 'Zürich <Ost>');
INSERT INTO routes VALUES (1, 1, '07', 'A&amp;B', '2024-05-01T08:30:00'),
                          (2, 2, 'Z1', 'x <&> y', '2024-05-02T09:00:00');
INSERT INTO storage_locations VALUES (1, 1, 'A-01', 'Chilled <4 °C>'), (2, 2, '', 'Floor');
INSERT INTO centers VALUES (10, 'Café 10', 1, 1, 1, '2'), (11, 'Unassigned', 2, NULL, NULL, NULL);
)sql";

class ServerProtocol : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<StandInServer>(StandInServer::Data::Empty,
                                                 StandInServer::Extras{{}, true});
        server->execute(QString::fromUtf8(FixedData));
    }
    static void TearDownTestSuite() { server.reset(); }
    static inline std::unique_ptr<StandInServer> server;
};

} // namespace

TEST_F(ServerProtocol, QueryAnswersAreExactAndLeaveOutNullColumns) {
    struct Case {
        const char* operation;
        std::vector<std::string> columns;
        std::string rows;
    };
    const Case cases[] = {
        {"GetFacilities",
         {"Description:string", "TOVAFacilityID:int"},
         R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><Description>North &amp; South</Description><TOVAFacilityID>1</TOVAFacilityID></Table>)"
         R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><Description>Zürich &lt;Ost&gt;</Description><TOVAFacilityID>2</TOVAFacilityID></Table>)"},
        {"GetDeliveryRoute",
         {"DeliveryRouteID:int", "Route:string", "Description:string", "Facility:string",
          "TOVAFacilityID:int", "RecordLastUpdated:dateTime"},
         R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><DeliveryRouteID>1</DeliveryRouteID><Route>07</Route>)"
         R"(<Description>A&amp;amp;B</Description><Facility>North &amp; South</Facility><TOVAFacilityID>1</TOVAFacilityID>)"
         R"(<RecordLastUpdated>2024-05-01T08:30:00</RecordLastUpdated></Table>)"
         R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><DeliveryRouteID>2</DeliveryRouteID><Route>Z1</Route>)"
         R"(<Description>x &lt;&amp;&gt; y</Description><Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID>)"
         R"(<RecordLastUpdated>2024-05-02T09:00:00</RecordLastUpdated></Table>)"},
        {"GetStorageLocation",
         {"StorageLocationID:int", "RouteName:string", "Description:string", "Facility:string",
          "TOVAFacilityID:int"},
         R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><StorageLocationID>1</StorageLocationID><RouteName>A-01</RouteName>)"
         R"(<Description>Chilled &lt;4 °C&gt;</Description><Facility>North &amp; South</Facility><TOVAFacilityID>1</TOVAFacilityID></Table>)"
         R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><StorageLocationID>2</StorageLocationID><RouteName></RouteName>)"
         R"(<Description>Floor</Description><Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID></Table>)"},
        {"GetRelativeData",
         {"CenterID:int", "CenterName:string", "CenterLocation:string", "CenterRoute:string",
          "Facility:string", "DeliveryRouteID:int", "Route:string", "StorageLocationID:int",
          "Status:string", "TOVAFacilityID:int"},
         R"(<Table diffgr:id="Table1" msdata:rowOrder="0"><CenterID>10</CenterID><CenterName>Café 10</CenterName>)"
         R"(<CenterLocation>Chilled &lt;4 °C&gt;</CenterLocation><CenterRoute>A&amp;amp;B</CenterRoute>)"
         R"(<Facility>North &amp; South</Facility><DeliveryRouteID>1</DeliveryRouteID><Route>07</Route>)"
         R"(<StorageLocationID>1</StorageLocationID><Status>2</Status><TOVAFacilityID>1</TOVAFacilityID></Table>)"
         R"(<Table diffgr:id="Table2" msdata:rowOrder="1"><CenterID>11</CenterID><CenterName>Unassigned</CenterName>)"
         R"(<Facility>Zürich &lt;Ost&gt;</Facility><TOVAFacilityID>2</TOVAFacilityID></Table>)"},
    };
    for (const Case& c : cases) {
        const HttpResult answer = query(*server, c.operation);
        EXPECT_EQ(answer.status, 200) << c.operation;
        EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
        EXPECT_EQ(answer.body, queryAnswer(c.operation, c.columns, c.rows));
    }
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

// The facilities request under every form of SOAPAction, and bodies that are not requests of
// this service: not XML at all is 400 without a body, other XML a fault; both are logged.
TEST_F(ServerProtocol, AnswersEachRequestByItsSoapActionAndBody) {
    const std::string facilities = requestEnvelope(queryElement("GetFacilities"));
    const std::string expected = query(*server, "GetFacilities").body;
    const std::string unknown = soapAction("DropEverything");
    struct Case {
        std::string body;
        std::optional<std::string> action;
        int status;
        std::string answer; // for 500, the fault's code and text
    };
    const Case cases[] = {
        {facilities, soapAction("GetFacilities"), 200, expected},
        {facilities, "\"" + soapAction("GetFacilities") + "\"", 200, expected},
        {facilities, std::nullopt, 200, expected},
        {facilities, "\"\"", 200, expected},
        {facilities, soapAction("GetDeliveryRoute"), 500,
         "soap:Client The SOAPAction names GetDeliveryRoute but the body holds GetFacilities"},
        {facilities, unknown, 500,
         "soap:Client The SOAPAction \"" + unknown + "\" names no operation of this service"},
        {facilities, "urn:other/GetFacilities", 500,
         "soap:Client The SOAPAction \"urn:other/GetFacilities\" names no operation of this "
         "service"},
        {"", std::nullopt, 400, ""},
        {"hello", std::nullopt, 400, ""},
        {"\xFF\xFE<", std::nullopt, 400, ""},
        {requestEnvelope("<Frobnicate xmlns=\"" + Namespace + "\"/>"), std::nullopt, 500,
         "soap:Client The service has no operation Frobnicate"},
        {R"(<e:Envelope xmlns:e="http://www.w3.org/2003/05/soap-envelope"><e:Body/></e:Envelope>)",
         std::nullopt, 500, "soap:VersionMismatch This service speaks SOAP 1.1 only"},
        // A value that would forge a line of the log.
        {requestEnvelope(updateElement("DeleteDeliveryRoute",
                                       {{"DeliveryRouteID", "1\nstowline-server: forged"}})),
         std::nullopt, 500,
         "soap:Client DeliveryRouteID must be a whole number, not \"1\nstowline-server: forged\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 40) + " / " + c.action.value_or("(none)"));
        const HttpResult answer = postToEndpoint(*server, c.body, c.action);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(c.status == 500 ? faultOf(answer.body) : answer.body, c.answer);
    }
    // Refusals are logged too, each on one line.
    const std::string log = server->errorOutput().toStdString();
    EXPECT_NE(log.find("not \"1\\nstowline-server: forged\""), std::string::npos) << log;
    EXPECT_EQ(log.find("\nstowline-server: forged"), std::string::npos) << log;
    EXPECT_NE(log.find("refused a body that is not XML"), std::string::npos) << log;
    EXPECT_NE(log.find("refused GetFacilities: The SOAPAction names GetDeliveryRoute"),
              std::string::npos)
        << log;
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
