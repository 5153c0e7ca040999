// The server's pieces, called directly: value checks, request parsing, the data-set writer,
// key allocation, the fill-ins and the command line.
#include "CommandLine.h"
#include "DataSetWriter.h"
#include "DemoData.h"
#include "Generator.h"
#include "RequestValues.h"
#include "Schema.h"
#include "SoapFault.h"
#include "SoapRequest.h"
#include "Wsdl.h"
#include "XmlText.h"

#include <stowline/ServiceNamespace.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <array>
#include <string>
#include <utility>

using namespace stowline::server;

namespace {

// The SoapFault message a call throws, or "(no fault)".
template <typename Call> std::string faultMessage(Call call) {
    try {
        call();
    } catch (const SoapFault& e) {
        return e.what();
    }
    return "(no fault)";
}

SoapRequest requestWith(const std::string& element, const std::string& value) {
    SoapRequest request;
    request.operation = "AddDeliveryRoute";
    request.values.emplace(element, value);
    return request;
}

std::string envelopeAround(const std::string& bodyContent) {
    return "<?xml version=\"1.0\"?>\r\n<soap:Envelope "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>" +
           bodyContent + "</soap:Body></soap:Envelope>";
}

} // namespace

TEST(XmlText, CountsCharactersAndRefusesWhatXmlCannotCarry) {
    struct Case {
        const char* text;
        std::optional<std::size_t> count;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"Z\xC3\xBCrich", 6},               // ü: two bytes, one character
        {"\xE2\x82\xAC", 1},                // €
        {"\xF0\x9F\x98\x80", 1},            // an emoji outside the BMP
        {"tab\there\nand\r", 13},           // the three allowed control characters
        {"\x01", std::nullopt},             // other control characters are not XML
        {"\xC3", std::nullopt},             // cut-off sequence
        {"\xC0\xAF", std::nullopt},         // overlong "/"
        {"\xED\xA0\x80", std::nullopt},     // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", std::nullopt}, // beyond U+10FFFF
        {"\xEF\xBF\xBF", std::nullopt},     // U+FFFF
        {"\x80", std::nullopt},             // stray continuation byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xmlCharacterCount(c.text), c.count) << c.text;
    }
}

TEST(XmlText, EscapesMarkupCharactersOnly) {
    EXPECT_EQ(escaped("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d\"e'f");
    EXPECT_EQ(escaped("&amp;"), "&amp;amp;");
    // Plain runs are copied whole: references at either end, side by side, or none at all.
    const std::pair<std::string, std::string> runs[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"<", "&lt;"},
        {"<<>>&&", "&lt;&lt;&gt;&gt;&amp;&amp;"},
        {"<a>text</a>", "&lt;a&gt;text&lt;/a&gt;"},
        {"x&", "x&amp;"},
        {std::string("nul\0<", 5), std::string("nul\0&lt;", 8)},
    };
    for (const auto& [text, expected] : runs) {
        EXPECT_EQ(escaped(text), expected) << text;
        EXPECT_EQ(escapedSize(text), expected.size()) << text;
        std::string appended = "kept";
        appendEscaped(appended, text);
        EXPECT_EQ(appended, "kept" + expected) << text;
    }
    std::string attribute;
    appendAttributeEscaped(attribute, "say \"<hi>\"");
    EXPECT_EQ(attribute, "say &quot;&lt;hi&gt;&quot;");
}

TEST(RequestValues, ReadsKeysAsXmlSchemaIntegers) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> key;
    };
    const Case cases[] = {
        {"3", 3},
        {" 7\n", 7},
        {"+5", 5},
        {"-1", -1},
        {"007", 7},
        {"32767", 32767},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"abc", std::nullopt},
        {"3.0", std::nullopt},
        {"1e3", std::nullopt},
        {"3 4", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        const SoapRequest request = requestWith("FacilityID", c.text);
        if (c.key) {
            EXPECT_EQ(keyValue(request, "FacilityID"), *c.key) << c.text;
        } else {
            EXPECT_EQ(faultMessage([&] { keyValue(request, "FacilityID"); }),
                      std::string("FacilityID must be a whole number, not \"") + c.text + "\"");
        }
    }
    EXPECT_EQ(faultMessage([] { keyValue(requestWith("Route", "1"), "FacilityID"); }),
              "AddDeliveryRoute needs the element FacilityID");
}

TEST(RequestValues, ChecksTextLengthBlanksAndCharacters) {
    // Ten characters fit a route code whatever their byte length.
    EXPECT_EQ(textValue(requestWith("Route", "0123456789"), "Route", 10, Blank::Refused),
              "0123456789");
    const std::string tenAccented = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                                    "\xC3\xA9\xC3\xA9\xC3\xA9";
    EXPECT_EQ(textValue(requestWith("Route", tenAccented), "Route", 10, Blank::Refused),
              tenAccented);
    EXPECT_EQ(faultMessage([] {
                  textValue(requestWith("Route", "0123456789X"), "Route", 10, Blank::Refused);
              }),
              "Route is 11 characters long; at most 10 are allowed");
    // Values keep their blanks; only their emptiness test ignores them.
    EXPECT_EQ(textValue(requestWith("Description", "  North  "), "Description", 50, Blank::Refused),
              "  North  ");
    EXPECT_EQ(faultMessage([] {
                  textValue(requestWith("Description", " \t "), "Description", 50, Blank::Refused);
              }),
              "Description must not be empty");
    EXPECT_EQ(textValue(requestWith("RouteName", ""), "RouteName", 20, Blank::Allowed), "");
    EXPECT_EQ(faultMessage([] {
                  textValue(requestWith("RouteName", "a\x02"), "RouteName", 20, Blank::Allowed);
              }),
              "RouteName holds a character that XML cannot carry");
}

TEST(SoapRequestParsing, ReadsTheOperationAndItsValuesInEitherForm) {
    const std::string ns = stowline::ServiceNamespace;
    // Our client: default namespace, unqualified children, values escaped.
    const SoapRequest plain = parseSoapRequest(envelopeAround(
        "<AddDeliveryRoute xmlns=\"" + ns +
        "\"><FacilityID>3</FacilityID><Route>  </Route>"
        "<Description>A&amp;B &lt;x&gt; <![CDATA[<raw>]]></Description></AddDeliveryRoute>"));
    EXPECT_EQ(plain.operation, "AddDeliveryRoute");
    EXPECT_EQ(plain.values.at("FacilityID"), "3");
    EXPECT_EQ(plain.values.at("Route"), "  ");
    EXPECT_EQ(plain.values.at("Description"), "A&B <x> <raw>");

    // SOAP toolkits: prefixed operation element, qualified children, whitespace between.
    const SoapRequest prefixed = parseSoapRequest(
        "<env:Envelope xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\">\n"
        "  <env:Header/>\n  <env:Body>\n    <ns0:DeleteDeliveryRoute xmlns:ns0=\"" +
        ns +
        "\">\n      <ns0:DeliveryRouteID>12</ns0:DeliveryRouteID>\n"
        "    </ns0:DeleteDeliveryRoute>\n  </env:Body>\n</env:Envelope>\n");
    EXPECT_EQ(prefixed.operation, "DeleteDeliveryRoute");
    ASSERT_EQ(prefixed.values.size(), 1u);
    EXPECT_EQ(prefixed.values.at("DeliveryRouteID"), "12");
}

TEST(SoapRequestParsing, RefusesWhatIsNotAServiceRequest) {
    const std::string ns = stowline::ServiceNamespace;
    struct Case {
        std::string body;
        std::string fault;
    };
    const Case cases[] = {
        {"<Envelope/>", "The request is not a SOAP 1.1 envelope"},
        {"<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"/>",
         "The SOAP envelope has no Body"},
        {envelopeAround(""), "The SOAP Body holds no operation element"},
        {envelopeAround("<GetFacilities/>"),
         "The operation element GetFacilities is not in the namespace " + ns},
        {envelopeAround("<GetFacilities xmlns=\"urn:other\"/>"),
         "The operation element GetFacilities is not in the namespace " + ns},
        {envelopeAround("<DeleteDeliveryRoute xmlns=\"" + ns +
                        "\"><DeliveryRouteID>1</DeliveryRouteID>"
                        "<DeliveryRouteID>2</DeliveryRouteID></DeleteDeliveryRoute>"),
         "The element DeliveryRouteID is given more than once"},
        {envelopeAround("<DeleteDeliveryRoute xmlns=\"" + ns +
                        "\"><DeliveryRouteID><a>1</a></DeliveryRouteID></DeleteDeliveryRoute>"),
         "The element DeliveryRouteID must hold text, not the element a"},
        {"<!DOCTYPE x [<!ENTITY e \"boom\">]>" +
             envelopeAround("<GetFacilities xmlns=\"" + ns + "\"/>"),
         "A SOAP message must not contain a document type declaration"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(faultMessage([&] { parseSoapRequest(c.body); }), c.fault) << c.body;
    }

    try {
        parseSoapRequest("<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"/>");
        ADD_FAILURE() << "a SOAP 1.2 envelope was accepted";
    } catch (const SoapFault& e) {
        EXPECT_EQ(e.code(), SoapFault::Code::VersionMismatch);
    }
    for (const char* notXml : {"", "   ", "plain text", "<a><b></a>", "<!-- only a comment -->"}) {
        EXPECT_THROW(parseSoapRequest(notXml), NotXml) << notXml;
    }
}

TEST(DataSetWriter, WritesRowsThatParseAndLeavesOutMissingValues) {
    constexpr std::array<Column, 3> columns = {
        {{"ID", ColumnType::Int}, {"Name", ColumnType::String}, {"Note", ColumnType::String}}};
    DataSetWriter writer(columns);
    writer.beginRow();
    writer.value(0, "1");
    writer.value(1, "A&B <c>");
    writer.value(2, "x");
    writer.endRow();
    writer.beginRow();
    writer.value(0, "2");
    writer.value(2, "\xC3\xA9t\xC3\xA9");
    writer.endRow();
    const std::string text = writer.finish();

    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(text.c_str())) << text;
    const pugi::xml_node root = document.child("Root").child("DataSet");
    EXPECT_TRUE(root.child("xs:schema")
                    .find_node([](const pugi::xml_node& n) {
                        return std::string_view(n.attribute("name").value()) == "Note";
                    })
                    .attribute("minOccurs"));
    const pugi::xml_node rows = root.child("diffgr:diffgram").child("NewDataSet");
    std::vector<pugi::xml_node> tables(rows.children("Table").begin(),
                                       rows.children("Table").end());
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_STREQ(tables[0].attribute("diffgr:id").value(), "Table1");
    EXPECT_STREQ(tables[1].attribute("diffgr:id").value(), "Table2");
    EXPECT_STREQ(tables[1].attribute("msdata:rowOrder").value(), "1");
    EXPECT_STREQ(tables[0].child("Name").text().get(), "A&B <c>");
    EXPECT_FALSE(tables[1].child("Name"));
    EXPECT_STREQ(tables[1].child("Note").text().get(), "\xC3\xA9t\xC3\xA9");
}

// Written inside the result element at once, the text must be exactly the plain text escaped
// once more.
TEST(DataSetWriter, WritesInsideTheResultExactlyAsTheTextEscapedOnceMore) {
    constexpr std::array<Column, 2> columns = {
        {{"ID", ColumnType::Int}, {"Name", ColumnType::String}}};
    DataSetWriter plain(columns);
    DataSetWriter inside(columns, DataSetForm::InsideResult);
    const std::pair<const char*, const char*> rows[] = {
        {"1", "A&B <c> &amp; >"}, {"2", ""}, {"3", "&&<<>>"}, {"4", "plain \xC3\xA9"}};
    for (DataSetWriter* writer : {&plain, &inside}) {
        for (const auto& [id, name] : rows) {
            writer->beginRow();
            writer->value(0, id);
            writer->value(1, name);
            writer->endRow();
        }
        writer->beginRow();
        writer->value(1, "no id");
        writer->endRow();
    }
    EXPECT_EQ(inside.finish(), escaped(plain.finish()));
}

TEST(Schema, AllocatesKeysWithinTheSixteenBitRange) {
    Connection db(":memory:");
    createSchema(db);
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 1);
    db.execute("INSERT INTO facilities VALUES (1, 'a'), (2, 'b'), (4, 'd')");
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 5);

    db.execute("INSERT INTO facilities VALUES (32767, 'top')");
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 3) << "the lowest gap";
    db.execute("DELETE FROM facilities WHERE facility_id = 1");
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 1);

    db.execute("DELETE FROM facilities;"
               "WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < 32767)"
               " INSERT INTO facilities SELECT n, 'f' FROM k;");
    EXPECT_THROW(allocateKey(db, "facilities", "facility_id"), SqliteError);
    EXPECT_FALSE(holdsNoData(db));
}

TEST(Schema, KeepsAnExistingDatabaseAsItIs) {
    Connection db(":memory:");
    createSchema(db);
    EXPECT_TRUE(holdsNoData(db));
    db.execute("INSERT INTO facilities VALUES (1, 'kept')");
    createSchema(db);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM facilities", -1), 1);
    EXPECT_FALSE(holdsNoData(db));
}

namespace {

// Rows of assignments that break the "route and bay belong to the center's facility" rule.
std::int64_t crossFacilityAssignments(Connection& db) {
    return db.queryInteger(
        "SELECT count(*) FROM centers c"
        " LEFT JOIN routes r ON r.route_id = c.route_id"
        " LEFT JOIN storage_locations s ON s.storage_location_id = c.storage_location_id"
        " WHERE r.facility_id <> c.facility_id OR s.facility_id <> c.facility_id",
        -1);
}

} // namespace

TEST(FillIns, DemoDataIsSmallConsistentAndHoldsAwkwardValues) {
    Connection db(":memory:");
    createSchema(db);
    insertDemoData(db);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM facilities", -1), 3);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM routes", -1), 12);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM storage_locations", -1), 15);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM centers", -1), 40);
    EXPECT_EQ(crossFacilityAssignments(db), 0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE route_id IS NULL", -1), 0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE storage_location_id IS NULL", -1),
              0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE status = '2'", -1), 0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE status <> '2'", -1), 0);
    // Values with &, <, > and with letters beyond ASCII, in each kind of row.
    for (const char* table : {"facilities", "routes", "storage_locations", "centers"}) {
        const std::string column =
            std::string_view(table) == "routes" || std::string_view(table) == "storage_locations"
                ? "description"
                : "name";
        const std::string from = std::string(" FROM ") + table;
        EXPECT_GT(
            db.queryInteger("SELECT count(*)" + from + " WHERE " + column + " GLOB '*[^ -~]*'", -1),
            0)
            << table << " has no non-ASCII value";
    }
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM routes WHERE description LIKE '%&%'", -1), 0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM routes WHERE description LIKE '%<%'", -1), 0);
    EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE name LIKE '%<%'", -1), 0);
}

TEST(FillIns, GeneratedDataScalesWithinTheKeyRange) {
    struct Case {
        int centers;
        int routes;
    };
    for (const Case c : {Case{5, 1}, Case{300, 30}, Case{30000, 3000}, Case{32767, 3276}}) {
        Connection db(":memory:");
        createSchema(db);
        insertGeneratedData(db, c.centers);
        EXPECT_EQ(db.queryInteger("SELECT count(*) FROM facilities", -1), GeneratedFacilities);
        EXPECT_EQ(db.queryInteger("SELECT count(*) FROM centers", -1), c.centers);
        EXPECT_EQ(db.queryInteger("SELECT count(*) FROM routes", -1), c.routes);
        EXPECT_EQ(db.queryInteger("SELECT count(*) FROM storage_locations", -1), c.routes);
        EXPECT_LE(db.queryInteger("SELECT max(center_id) FROM centers", -1), MaximumKey);
        EXPECT_EQ(crossFacilityAssignments(db), 0) << c.centers;
        if (c.centers >= 300) {
            EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE route_id IS NULL", -1),
                      0);
            EXPECT_GT(db.queryInteger("SELECT count(*) FROM centers WHERE status <> '2'", -1), 0);
            EXPECT_EQ(db.queryInteger("SELECT count(*) FROM facilities f WHERE NOT EXISTS"
                                      " (SELECT 1 FROM routes r WHERE r.facility_id ="
                                      " f.facility_id)",
                                      -1),
                      0)
                << "every facility has routes";
        }
    }
    Connection db(":memory:");
    createSchema(db);
    EXPECT_THROW(insertGeneratedData(db, 0), std::invalid_argument);
    EXPECT_THROW(insertGeneratedData(db, 32768), std::invalid_argument);
}

TEST(CommandLine, ReadsOptionsInBothForms) {
    using Args = std::vector<std::string_view>;
    const ServerOptions defaults = parseCommandLine(Args{});
    EXPECT_EQ(defaults.host, "127.0.0.1");
    EXPECT_EQ(defaults.port, 8080);
    EXPECT_EQ(defaults.databasePath, "stowline.db");
    EXPECT_EQ(defaults.fill, ServerOptions::Fill::None);

    const ServerOptions spaced =
        parseCommandLine(Args{"--listen", "127.0.0.1:0", "--db", "/tmp/a b.db", "--demo-data"});
    EXPECT_EQ(spaced.port, 0);
    EXPECT_EQ(spaced.databasePath, "/tmp/a b.db");
    EXPECT_EQ(spaced.fill, ServerOptions::Fill::Demo);

    const ServerOptions joined = parseCommandLine(Args{"--listen=[::1]:9000", "--generate=30000"});
    EXPECT_EQ(joined.host, "::1");
    EXPECT_EQ(joined.port, 9000);
    EXPECT_EQ(joined.fill, ServerOptions::Fill::Generated);
    EXPECT_EQ(joined.generatedCenters, 30000);
    EXPECT_EQ(serverName(joined.host, joined.port), "http://[::1]:9000");
    EXPECT_EQ(serverName("127.0.0.1", 43121), "http://127.0.0.1:43121");
    EXPECT_EQ(serverName("127.0.0.1", 8443, true), "https://127.0.0.1:8443");

    const ServerOptions secured =
        parseCommandLine(Args{"--auth", "stow:pa:ss@", "--tls=/tmp/c.pem", "/tmp/k.pem"});
    EXPECT_EQ(secured.security.user, "stow");
    EXPECT_EQ(secured.security.password, "pa:ss@"); // split at the first colon only
    EXPECT_EQ(secured.security.certificateFile, "/tmp/c.pem");
    EXPECT_EQ(secured.security.keyFile, "/tmp/k.pem");

    EXPECT_TRUE(parseCommandLine(Args{"--help"}).help);
}

TEST(CommandLine, RefusesBadArgumentsWithAReason) {
    using Args = std::vector<std::string_view>;
    const std::pair<Args, const char*> cases[] = {
        {{"--generate", "0"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--generate", "32768"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--generate", "many"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--demo-data", "--generate", "5"}, "--demo-data and --generate exclude each other"},
        {{"--listen", "localhost"}, "--listen expects HOST:PORT"},
        {{"--listen", ":80"}, "--listen expects HOST:PORT"},
        {{"--listen", "127.0.0.1:70000"}, "--listen expects HOST:PORT with a port"},
        {{"--listen", "127.0.0.1:http"}, "--listen expects HOST:PORT with a port"},
        {{"--read-timeout", "0"}, "--read-timeout expects seconds from 1 to 3600"},
        {{"--db"}, "--db needs a value"},
        {{"--db="}, "--db needs a file name"},
        {{"--demo-data=yes"}, "--demo-data takes no value"},
        {{"--port", "80"}, "unknown option \"--port\""},
        {{"--auth", "secret"}, "--auth expects USER:PASSWORD"},
        {{"--auth", ":secret"}, "--auth expects USER:PASSWORD"},
        {{"--tls", "/tmp/c.pem"}, "--tls needs a certificate file and a key file"},
        {{"--Auth=stow:secret"}, "unknown option \"--Auth\""},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            parseCommandLine(arguments);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const CommandLineError& e) {
            EXPECT_TRUE(std::string_view(e.what()).starts_with(message)) << e.what();
            // A password given on the command line is never repeated.
            EXPECT_EQ(std::string_view(e.what()).find("secret"), std::string_view::npos);
        }
    }
}

TEST(Wsdl, DescribesEveryOperationAtTheGivenAddress) {
    const std::string wsdl = wsdlDocument("http://127.0.0.1:1234/x.asmx?a=\"b\"&c");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(wsdl.c_str()));
    const pugi::xml_node definitions = document.child("wsdl:definitions");
    EXPECT_STREQ(definitions.child("wsdl:service")
                     .child("wsdl:port")
                     .child("soap:address")
                     .attribute("location")
                     .value(),
                 "http://127.0.0.1:1234/x.asmx?a=\"b\"&c");
    const std::string ns = stowline::ServiceNamespace;
    int operations = 0;
    for (const pugi::xml_node& operation :
         definitions.child("wsdl:binding").children("wsdl:operation")) {
        ++operations;
        EXPECT_EQ(operation.child("soap:operation").attribute("soapAction").value(),
                  ns + "/" + operation.attribute("name").value());
    }
    EXPECT_EQ(operations, 11);
    EXPECT_FALSE(document.find_node(
        [](const pugi::xml_node& n) { return std::string_view(n.name()).ends_with(":import"); }));
}
