// The server's pieces, called directly: text and key checks, request parsing, the data-set
// writer, key allocation, the fill-ins and the command line. How each operation checks its
// text values is in test_updates.cpp.
#include "AddressShares.h"
#include "BodyBudget.h"
#include "ClientAddress.h"
#include "CommandLine.h"
#include "ConnectionPool.h"
#include "CredentialsFile.h"
#include "DemoData.h"
#include "DigestAuthorization.h"
#include "DigestNonces.h"
#include "Generator.h"
#include "LogLine.h"
#include "RequestValues.h"
#include "Schema.h"
#include "SoapFault.h"
#include "SoapRequest.h"
#include "Wsdl.h"
#include "XmlText.h"

#include <stowline/ServiceNamespace.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <array>
#include <endian.h>
#include <filesystem>
#include <fstream>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <optional>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
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
    // ü is two bytes, € three, an emoji four, U+10FFFF the last there is; tab, LF and CR are
    // the only control characters XML allows.
    const std::pair<const char*, std::size_t> counted[] = {{"", 0},
                                                           {"Z\xC3\xBCrich", 6},
                                                           {"\xE2\x82\xAC", 1},
                                                           {"\xF0\x9F\x98\x80", 1},
                                                           {"\xF4\x8F\xBF\xBF", 1},
                                                           {"tab\there\nand\r", 13}};
    for (const auto& [text, count] : counted) {
        EXPECT_EQ(xmlCharacterCount(text), count) << text;
    }
    // Another control character, a cut-off sequence, an overlong "/", a UTF-16 surrogate,
    // beyond U+10FFFF, U+FFFF, a stray continuation byte.
    for (const char* refused :
         {"\x01", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xEF\xBF\xBF", "\x80"}) {
        EXPECT_EQ(xmlCharacterCount(refused), std::nullopt) << refused;
    }
}

TEST(RequestValues, ReadsKeysAsXmlSchemaIntegers) {
    const std::pair<const char*, std::int64_t> keys[] = {{"3", 3},   {" 7\n", 7}, {"+5", 5},
                                                         {"-1", -1}, {"007", 7},  {"32767", 32767}};
    for (const auto& [text, key] : keys) {
        EXPECT_EQ(keyValue(requestWith("FacilityID", text), "FacilityID"), key) << text;
    }
    for (const std::string text :
         {"", "  ", "abc", "3.0", "1e3", "3 4", "0x10", "99999999999999999999"}) {
        EXPECT_EQ(faultMessage([&] { keyValue(requestWith("FacilityID", text), "FacilityID"); }),
                  "FacilityID must be a whole number, not \"" + text + "\"");
    }
    EXPECT_EQ(faultMessage([] { keyValue(requestWith("Route", "1"), "FacilityID"); }),
              "AddDeliveryRoute needs the element FacilityID");
}

// A toolkit's form: prefixed operation element, qualified children, whitespace between; our
// client's form is what the other server tests send.
TEST(SoapRequestParsing, ReadsTheOperationAndItsValuesAsSent) {
    const SoapRequest request = parseSoapRequest(
        "<env:Envelope xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\">\n"
        " <env:Header/>\n <env:Body>\n  <ns0:AddDeliveryRoute xmlns:ns0=\"" +
        std::string(stowline::ServiceNamespace) +
        "\">\n   <ns0:Route>  </ns0:Route>\n"
        "   <ns0:Description>A&amp;B &lt;x&gt; <![CDATA[<raw>]]></ns0:Description>\n"
        "  </ns0:AddDeliveryRoute>\n </env:Body>\n</env:Envelope>\n");
    EXPECT_EQ(request.operation, "AddDeliveryRoute");
    EXPECT_EQ(request.values,
              (decltype(request.values){{"Route", "  "}, {"Description", "A&B <x> <raw>"}}));
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

    for (const char* notXml : {"", "   ", "plain text", "<a><b></a>", "<!-- only a comment -->"}) {
        EXPECT_THROW(parseSoapRequest(notXml), NotXml) << notXml;
    }
}

TEST(Schema, AllocatesKeysWithinTheSixteenBitRangeAndKeepsExistingRows) {
    Connection db(":memory:");
    createSchema(db);
    EXPECT_TRUE(holdsNoData(db));
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 1);
    db.execute("INSERT INTO facilities VALUES (1, 'a'), (2, 'b'), (4, 'd')");
    EXPECT_EQ(allocateKey(db, "facilities", "facility_id"), 5);
    createSchema(db);
    EXPECT_EQ(db.queryInteger("SELECT count(*) FROM facilities", -1), 3) << "kept as it was";

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

// A connection given back is lent again; two leases at once get two ":memory:" databases.
TEST(ConnectionPool, LendsAConnectionGivenBackAgain) {
    ConnectionPool pool(":memory:");
    pool.acquire()->execute("CREATE TABLE lent (x)");
    const ConnectionPool::Lease again = pool.acquire();
    EXPECT_EQ(again->queryInteger("SELECT count(*) FROM lent", -1), 0);
    EXPECT_THROW(pool.acquire()->execute("SELECT * FROM lent"), SqliteError);
}

namespace {

// "facilities routes bays centers", counted.
std::string rowCounts(Connection& db) {
    return std::to_string(db.queryInteger("SELECT count(*) FROM facilities", -1)) + " " +
           std::to_string(db.queryInteger("SELECT count(*) FROM routes", -1)) + " " +
           std::to_string(db.queryInteger("SELECT count(*) FROM storage_locations", -1)) + " " +
           std::to_string(db.queryInteger("SELECT count(*) FROM centers", -1));
}

// Whether some row matches, e.g. "centers WHERE route_id IS NULL".
bool holds(Connection& db, const std::string& rows) {
    return db.queryInteger("SELECT count(*) FROM " + rows, -1) > 0;
}

// Assignments that break the "route and bay belong to the center's facility" rule.
const std::string CrossFacility = "centers c LEFT JOIN routes r ON r.route_id = c.route_id"
                                  " LEFT JOIN storage_locations s"
                                  " ON s.storage_location_id = c.storage_location_id"
                                  " WHERE r.facility_id <> c.facility_id"
                                  " OR s.facility_id <> c.facility_id";

} // namespace

TEST(FillIns, GeneratedDataScalesWithinTheKeyRange) {
    const std::pair<int, const char*> cases[] = {
        {1, "30 1 1 1"}, {5, "30 1 1 5"}, {300, "30 30 30 300"}, {32767, "30 3276 3276 32767"}};
    for (const auto& [centers, counts] : cases) {
        Connection db(":memory:");
        createSchema(db);
        insertGeneratedData(db, centers);
        EXPECT_EQ(rowCounts(db), counts);
        EXPECT_FALSE(holds(db, CrossFacility)) << centers;
        EXPECT_FALSE(holds(db, "centers WHERE center_id > 32767"));
        // Where a facility has routes, its centers are put on them.
        EXPECT_FALSE(holds(db, "(SELECT 1 FROM centers c JOIN routes r USING (facility_id)"
                               " GROUP BY c.facility_id HAVING count(c.route_id) = 0)"))
            << centers;
        if (centers >= 300) {
            EXPECT_TRUE(holds(db, "centers WHERE route_id IS NULL")) << centers;
            EXPECT_TRUE(holds(db, "centers WHERE status <> '2'")) << centers;
            EXPECT_FALSE(holds(db, "facilities f WHERE NOT EXISTS (SELECT 1 FROM routes r"
                                   " WHERE r.facility_id = f.facility_id)"))
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
    const auto summary = [](const ServerOptions& o) {
        return o.host + " " + std::to_string(o.port) + " " + o.databasePath + " fill " +
               std::to_string(static_cast<int>(o.fill)) + "/" + std::to_string(o.generatedCenters) +
               " " + o.security.user + ":" + o.security.password + o.credentialsFile + " " +
               o.security.certificateFile + "," + o.security.keyFile + " " +
               std::to_string(o.limits.readTimeout.count()) + "/" +
               std::to_string(o.limits.connections) + "/" +
               std::to_string(o.limits.clientConnections) + (o.help ? " help" : "") +
               (o.version ? " version" : "");
    };
    const std::pair<Args, const char*> cases[] = {
        {{}, "127.0.0.1 8080 stowline.db fill 0/0 : , 5/1000/32"},
        {{"--listen", "127.0.0.1:0", "--db", "/tmp/a b.db", "--demo-data", "--read-timeout", "1",
          "--auth-file", "/etc/pw", "--connections", "1"},
         "127.0.0.1 0 /tmp/a b.db fill 1/0 :/etc/pw , 1/1/32"},
        {{"--listen=[::1]:65535", "--generate=32767", "--read-timeout=3600",
          "--connections-per-client=1000", "--version"},
         "::1 65535 stowline.db fill 2/32767 : , 3600/1000/1000 version"},
        // The password is split from the user at the first colon only.
        {{"--auth", "stow:pa:ss@", "--tls=/tmp/c.pem", "/tmp/k.pem", "--help"},
         "127.0.0.1 8080 stowline.db fill 0/0 stow:pa:ss@ /tmp/c.pem,/tmp/k.pem 5/1000/32 help"},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(summary(parseCommandLine(arguments)), expected);
    }
    // The server names of IPv4 and TLS servers: every StandInServer, and AccessTests' over TLS.
    EXPECT_EQ(serverName("::1", 9000), "http://[::1]:9000");
}

TEST(CommandLine, RefusesBadArgumentsWithAReason) {
    using Args = std::vector<std::string_view>;
    const std::pair<Args, const char*> cases[] = {
        {{"--generate", "0"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--generate", "32768"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--generate", "many"}, "--generate expects a number of centers from 1 to 32767"},
        {{"--demo-data", "--generate", "5"}, "--demo-data and --generate exclude each other"},
        {{"--listen", "localhost"}, "--listen expects HOST:PORT, not \"localhost\""},
        {{"--listen", ":80"}, "--listen expects HOST:PORT, not \":80\""},
        {{"--listen", "127.0.0.1:70000"}, "--listen expects HOST:PORT with a port"},
        {{"--listen", "127.0.0.1:http"}, "--listen expects HOST:PORT with a port"},
        {{"--read-timeout", "0"}, "--read-timeout expects seconds from 1 to 3600"},
        {{"--db"}, "--db needs a value"},
        {{"--db="}, "--db needs a file name"},
        {{"--demo-data=yes"}, "--demo-data takes no value"},
        {{"--port", "80"}, "unknown option \"--port\""},
        {{"--auth", "secret"}, "--auth expects USER:PASSWORD"},
        {{"--auth", ":secret"}, "--auth expects USER:PASSWORD"},
        {{"--auth", "stow:"}, "--auth expects USER:PASSWORD"},
        {{"--connections", "1001"}, "--connections expects a number from 1 to 1000"},
        {{"--tls", "/tmp/c.pem"}, "--tls needs a certificate file and a key file"},
        {{"--connections-per-client", "0"}, "--connections-per-client expects a number from 1"},
        {{"--auth=u:secret", "--auth-file", "/p"}, "--auth and --auth-file exclude each other"},
        {{"--auth-file="}, "--auth-file needs a file name"},
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

// Toolkits read the operations from the description (zeep_client.py); the address is the one
// part that comes from a request, its Host header.
TEST(Wsdl, WritesTheAddressAsAnAttribute) {
    EXPECT_NE(wsdlDocument("http://h:1/x.asmx?a=\"b\"&c")
                  .find("<soap:address location=\"http://h:1/x.asmx?a=&quot;b&quot;&amp;c\" />"),
              std::string::npos);
}

// Whatever a client sends, its log line stays one line and cannot drive a terminal.
TEST(LogLine, EscapesControlCharactersAndKeepsTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"Z\xC3\xBCrich \xE2\x82\xAC", "Z\xC3\xBCrich \xE2\x82\xAC"},
        {"a\r\nstowline-server: forged", "a\\r\\nstowline-server: forged"},
        {"tab\tesc\x1B[2Jdel\x7F", "tab\\tesc\\x1b[2Jdel\\x7f"},
        {"csi \xC2\x9B"
         "31m",
         "csi \\u009b31m"},
        {"back\\slash", "back\\\\slash"},
        {std::string("nul\0end", 7), "nul\\x00end"},
    };
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(logLine(text), line);
    }
}

namespace {

// Lets `user` read the file through an access control list, as systemd does for the user of a
// service it hands credentials to; false where the file system has no such lists.
bool letUserRead(const std::filesystem::path& file, uid_t user) {
    struct {
        posix_acl_xattr_header header;
        std::array<posix_acl_xattr_entry, 5> entries;
    } list{{htole32(POSIX_ACL_XATTR_VERSION)},
           {{{htole16(ACL_USER_OBJ), htole16(ACL_READ), htole32(ACL_UNDEFINED_ID)},
             {htole16(ACL_USER), htole16(ACL_READ), htole32(user)},
             {htole16(ACL_GROUP_OBJ), 0, htole32(ACL_UNDEFINED_ID)},
             {htole16(ACL_MASK), htole16(ACL_READ), htole32(ACL_UNDEFINED_ID)},
             {htole16(ACL_OTHER), 0, htole32(ACL_UNDEFINED_ID)}}}};
    return ::setxattr(file.c_str(), "system.posix_acl_access", &list, sizeof list, 0) == 0;
}

} // namespace

// The credentials file: one line USER:PASSWORD, neither empty, that only its owner (and the
// user the server runs as) may read or write; a message never quotes it.
TEST(CredentialsFile, HoldsOneLineThatOnlyItsOwnerMayReadOrWrite) {
    using std::filesystem::perms;
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("stowline-credentials-" + std::to_string(getpid()));
    const perms owner = perms::owner_read | perms::owner_write;
    const struct {
        std::string text;
        perms mode;
        std::string outcome;                        // "user password", or the reason given
        std::optional<uid_t> reader = std::nullopt; // given read access by an ACL
    } cases[] = {
        {"stow:pa:ss secret\n", owner, "stow pa:ss secret"},
        {"stow:secret\n", perms::owner_read, "stow secret", ::geteuid()},
        {"stow:secret\n", perms::owner_read, "users other than its owner may read it",
         ::geteuid() + 1},
        {"stow:secret\r\n", perms::owner_read, "stow secret"},
        {"stow:secret", owner | perms::group_read, "users other than its owner may read it"},
        {"stow:secret", owner | perms::others_read, "users other than its owner may read it"},
        {"stow:secret", owner | perms::group_write, "users other than its owner may write it"},
        {"stow:secret\nmore\n", owner, "it must hold one line"},
        {":secret\n", owner, "it must hold one line"},
        {"stow:\n", owner, "it must hold one line"},
        {"stowsecret\n", owner, "it must hold one line"},
        {std::string(5000, 's'), owner, "it must hold one line"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(file);
        std::ofstream(file) << c.text;
        std::filesystem::permissions(file, c.mode);
        if (c.reader && !letUserRead(file, *c.reader)) {
            continue;
        }
        HttpSecurity security;
        try {
            readCredentialsFile(file, security);
            EXPECT_EQ(security.user + " " + security.password, c.outcome);
        } catch (const std::runtime_error& e) {
            const std::string reason = e.what();
            EXPECT_TRUE(reason.starts_with("refusing the credentials file " + file.string() + ": " +
                                           c.outcome))
                << reason;
            EXPECT_EQ(reason.find("secret"), std::string::npos);
        }
    }
    std::filesystem::remove(file);
    HttpSecurity security;
    for (const std::filesystem::path& unusable : {file, file.parent_path()}) {
        EXPECT_THROW(readCredentialsFile(unusable, security), std::runtime_error) << unusable;
    }
}

// Each count of a nonce is taken once: in order, out of order within the 64 below the highest,
// never again; the counts of the oldest nonces are dropped to make room, which makes those
// nonces stale rather than new; a nonce the server did not sign, or signed too long ago, is not
// current.
TEST(DigestNonces, TakeEachCountOnceAndForgetTheOldestFirst) {
    using namespace std::chrono_literals;
    DigestNonces nonces(300s, 2);
    const std::string first = nonces.give();
    const std::pair<std::uint64_t, bool> counts[] = {
        {1, true}, {1, false}, {3, true},   {2, true},  {2, false}, {70, true},
        {6, true}, {5, false}, {70, false}, {69, true}, {0, false}, {134, true},
    };
    for (const auto& [count, taken] : counts) {
        EXPECT_EQ(nonces.takeCount(first, count), taken) << count;
    }
    const std::string second = nonces.give();
    const std::string third = nonces.give();
    EXPECT_NE(second, first);
    EXPECT_TRUE(nonces.takeCount(third, 1));
    EXPECT_TRUE(nonces.takeCount(second, 1));
    EXPECT_FALSE(nonces.takeCount(first, 200)) << "dropped to make room";
    EXPECT_TRUE(nonces.takeCount(second, 2));

    std::string forged = third;
    forged[15] = forged[15] == '0' ? '1' : '0';
    for (const std::string& unknown :
         {forged, std::string(64, 'a'), third.substr(1), std::string()}) {
        EXPECT_FALSE(nonces.isCurrent(unknown)) << unknown;
        EXPECT_FALSE(nonces.takeCount(unknown, 1)) << unknown;
    }
    EXPECT_TRUE(nonces.isCurrent(third));
    DigestNonces expiring(0s, 2);
    EXPECT_FALSE(expiring.isCurrent(expiring.give()));
}

TEST(DigestAuthorization, ReadsTheParametersOfAnAuthorizationHeader) {
    using Map = std::map<std::string, std::string>;
    const std::pair<const char*, std::optional<Map>> cases[] = {
        {R"(username="st\"ow", NC=00000001,qop=auth , , uri="/a?b=c,d")",
         Map{{"username", "st\"ow"}, {"nc", "00000001"}, {"qop", "auth"}, {"uri", "/a?b=c,d"}}},
        {R"(username="a", username="b")", std::nullopt},
        {R"(username="unterminated)", std::nullopt},
        {R"(username)", std::nullopt},
        {R"(a=b c=d)", std::nullopt},
    };
    for (const auto& [text, parameters] : cases) {
        EXPECT_EQ(digestParameters(text), parameters) << text;
    }
    // The response itself: DigestTests computes it on its own, and curl in AccessTests.
}

// What addresses get as they push for more: connections (64, ten an address at most) shrink
// as the server fills and leave room for a newcomer; one address may have three bodies of
// 1 MiB at once, sixteen addresses one each get thirteen, and a small request still fits.
TEST(AddressShares, ShrinkAsTheCapacityFillsAndLeaveRoomForANewcomer) {
    AddressShares connections(64, 10, 1);
    std::vector<int> got;
    for (char address = 'a'; address < 'i'; ++address) {
        got.push_back(0);
        while (connections.take(std::string(1, address), 1)) {
            ++got.back();
        }
    }
    EXPECT_EQ(got, (std::vector<int>{10, 10, 9, 7, 5, 4, 4, 3}));
    EXPECT_TRUE(connections.allows("newcomer", 1));
    connections.give("a", 10);
    EXPECT_TRUE(connections.take("b", 0)) << "nothing is always allowed";

    BodyBudget bodies(16 * MaximumRequestBytes);
    std::vector<std::unique_ptr<BodyBudget::Reservation>> held;
    const auto reserve = [&](const std::string& address, std::size_t bytes) {
        held.push_back(std::make_unique<BodyBudget::Reservation>(bodies, address));
        return held.back()->grow(bytes);
    };
    int alone = 0;
    for (int i = 0; i < 4; ++i) {
        alone += reserve("alone", MaximumRequestBytes) ? 1 : 0;
    }
    EXPECT_EQ(alone, 3);
    held.clear();
    int sixteen = 0;
    for (int i = 0; i < 16; ++i) {
        sixteen += reserve("address " + std::to_string(i), MaximumRequestBytes) ? 1 : 0;
    }
    EXPECT_EQ(sixteen, 13);
    EXPECT_TRUE(reserve("another", 300));
}

// IPv4 addresses count one by one, IPv6 ones by their /64 network, mapped IPv4 as IPv4.
TEST(ClientAddress, CountsIpv6ClientsByTheirNetwork) {
    const auto key = [](const char* text) {
        sockaddr_storage storage{};
        if (inet_pton(AF_INET, text, &reinterpret_cast<sockaddr_in&>(storage).sin_addr) == 1) {
            storage.ss_family = AF_INET;
        } else {
            storage.ss_family = AF_INET6;
            inet_pton(AF_INET6, text, &reinterpret_cast<sockaddr_in6&>(storage).sin6_addr);
        }
        return shareKey(reinterpret_cast<const sockaddr*>(&storage));
    };
    EXPECT_NE(key("127.0.0.2"), key("127.0.0.3"));
    EXPECT_EQ(key("2001:db8::1"), key("2001:db8::ffff:2"));
    EXPECT_NE(key("2001:db8::1"), key("2001:db8:0:1::1"));
    EXPECT_EQ(key("::ffff:127.0.0.5"), key("127.0.0.5"));
    EXPECT_EQ(numericHost(nullptr), "?");
}
