// LoadData against a loopback server that misbehaves in one way per case: every failed query is
// reported once, its list is left empty, the other lists still fill, and nothing hangs. How each
// kind of failure is told apart and reported is the transport's tests' business (an XHTML page
// or an envelope the clean-up does not cut away is a query without a data set, as here).
#include "component/DataSetText.h"
#include "platform/HttpExchange.h"
#include "support/PageDriver.h"
#include "support/RecordingHttpServer.h"

#include <QElapsedTimer>
#include <QFrame>
#include <array>
#include <functional>

using namespace stowline;
using test::ServerBehaviour;

namespace {

// The queries in the order LoadData sends them.
enum Query { Facilities, Relative, Routes, Locations, QueryCount };
constexpr const char* OperationNames[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                          "GetStorageLocation"};

// One row per query: the column names, its values, and what its list (the facility drop-down:
// its entries) shows of it in the first column.
constexpr const char* GoodRows[][3] = {
    {"Description,TOVAFacilityID", "North,1", "North"},
    {"CenterID,CenterName,Status,TOVAFacilityID", "101,Alpha Center,2,1", "101"},
    {"DeliveryRouteID,Route,Description,Facility,TOVAFacilityID", "1,A1,Alpha route,North,1", "A1"},
    {"StorageLocationID,RouteName,Description,Facility,TOVAFacilityID", "5,B5,Bay 5,North,1",
     "B5"}};

ServerBehaviour goodAnswer(Query query) {
    const auto split = [](const char* text) { return QString::fromLatin1(text).split(u','); };
    return ServerBehaviour::respond(
        200, test::serviceAnswer(OperationNames[query], {test::cells(split(GoodRows[query][0]),
                                                                     split(GoodRows[query][1]))}));
}

platform::ListView& listOf(Stowline& component, Query query) {
    static constexpr const char* Names[] = {"", "lstStowline", "lstRoute", "lstLocation"};
    return *test::child<platform::ListView>(component, Names[query]);
}

enum class Outcome {
    Reported,      // the query fails: one report naming the cause, its list empty
    ReaderRejects, // the answer arrives but its data set does not parse: list empty, no report
};

struct FaultCase {
    const char* name;
    Query query;                             // the query whose answer is faulty
    std::function<ServerBehaviour()> answer; // none: nothing listens, every query fails
    Outcome outcome;
    QStringList causes = {}; // Reported: each is in the report's description
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

const FaultCase Cases[] = {
    {"ConnectionRefused", Facilities, nullptr, Outcome::Reported, {"connect"}},
    // An answer that parses but holds no data set is a failure, not an empty list.
    {"EmptyResultElement",
     Locations,
     [] { return ServerBehaviour::respond(200, test::soapAnswer(OperationNames[Locations], "")); },
     Outcome::Reported,
     {"no data set", "<GetStorageLocationResult>"}},
    // Entities in the data set are neither expanded nor fetched.
    {"ExternalEntityInTheDataSet", Facilities,
     [] {
         return ServerBehaviour::respond(
             200,
             test::serviceAnswer(OperationNames[Facilities],
                                 {{{"Description", "&xxe;"}, {"TOVAFacilityID", "1"}}},
                                 "<!DOCTYPE Root [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>"));
     },
     Outcome::ReaderRejects},
};

// Shortened time-outs for the whole group, restored afterwards.
class FaultInjection : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override { platform::setHttpTimeouts({2'000, 2}); }
    void TearDown() override { platform::setHttpTimeouts(saved); }

    const platform::HttpTimeouts saved = platform::httpTimeouts();
};

} // namespace

TEST_P(FaultInjection, FailsCleanlyAndKeepsWhatLoaded) {
    const FaultCase& fault = GetParam();
    const bool refused = !fault.answer;
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    const QString serverName = server.baseUrl();
    // A good load first: a failed answer must clear what an earlier load showed.
    for (int query = 0; query < QueryCount; ++query) {
        server.queueBehaviour(goodAnswer(static_cast<Query>(query)));
    }
    Stowline component;
    component.LoadData(serverName);
    ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(QLatin1Char('\n')).toStdString();
    if (refused) {
        server.stop(); // the port is closed now
    }
    for (int query = 0; query < QueryCount && !refused; ++query) {
        const auto q = static_cast<Query>(query);
        server.queueBehaviour(q == fault.query ? fault.answer() : goodAnswer(q));
    }

    QElapsedTimer elapsed;
    elapsed.start();
    component.LoadData(serverName);
    // A generous bound: a hang would last the default 60 s stall time-out or forever.
    EXPECT_LT(elapsed.elapsed(), 30'000) << "LoadData did not give up in time";
    if (!refused) {
        EXPECT_EQ(server.requests().size(), std::size_t{2 * QueryCount})
            << "the load stopped early";
    }

    std::array<bool, QueryCount> failed{};
    for (int query = 0; query < QueryCount; ++query) {
        failed[query] = refused || query == fault.query;
    }
    const int reports = fault.outcome == Outcome::Reported ? (refused ? QueryCount : 1) : 0;

    // One report per failed query, under the transport's name, saying why.
    EXPECT_EQ(log.procedures(), QStringList(reports, QStringLiteral("ReturnWebserviceXML")))
        << log.entries().join(QLatin1Char('\n')).toStdString();
    for (const QString& entry : log.entries()) {
        for (const QString& cause : fault.causes) {
            EXPECT_TRUE(entry.contains(cause, Qt::CaseInsensitive))
                << entry.toStdString() << "\nlacks " << cause.toStdString();
        }
    }
    // An error box per report, and the facility reader's box when its text did not parse.
    EXPECT_EQ(boxes.errorBoxes(), reports);
    EXPECT_EQ(boxes.shown().size(), std::size_t(reports + (failed[Facilities] ? 1 : 0)));
    if (fault.outcome == Outcome::ReaderRejects) {
        EXPECT_TRUE(boxes.prompts().join(QLatin1Char('\n')).contains(QLatin1String("entity")))
            << boxes.prompts().join(QLatin1Char('\n')).toStdString();
    }

    // Failed queries leave their lists empty (so nothing expanded or read from a file shows);
    // the others show their values.
    for (int query = 0; query < QueryCount; ++query) {
        const auto q = static_cast<Query>(query);
        EXPECT_EQ(q == Facilities
                      ? test::entries(*test::child<platform::DropDown>(component, "cboFacility3"))
                      : test::column(listOf(component, q), 0),
                  failed[q] ? QStringList() : QStringList{GoodRows[q][2]})
            << OperationNames[q];
    }
    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_TRUE(test::child<QFrame>(component, frame)->isEnabled()) << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultInjection, ::testing::ValuesIn(Cases),
                         [](const auto& param) { return std::string(param.param.name); });
