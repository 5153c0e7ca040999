// LoadData against a loopback server that misbehaves in one way per case: every failed query is
// reported once, its list is left empty, the other lists still fill, and nothing hangs. How each
// kind of failure is told apart and reported is the transport's tests' business (an XHTML page
// or an envelope the clean-up does not cut away is a query without a data set, as here).
#include "component/DataSetText.h"
#include "platform/DropDown.h"
#include "platform/HttpExchange.h"
#include "platform/ListView.h"
#include "support/PageDriver.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"

#include <stowline/Stowline.h>

#include <QElapsedTimer>
#include <QFrame>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace stowline;
using test::ServerBehaviour;

namespace {

// The queries in the order LoadData sends them.
enum Query { Facilities, Relative, Routes, Locations, QueryCount };
constexpr const char* OperationNames[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                          "GetStorageLocation"};

// Two rows per query: the column names, then the values of each row.
constexpr const char* GoodColumnNames[] = {
    "Description,TOVAFacilityID", "CenterID,CenterName,Status,TOVAFacilityID",
    "DeliveryRouteID,Route,Description,Facility,TOVAFacilityID",
    "StorageLocationID,RouteName,Description,Facility,TOVAFacilityID"};
constexpr const char* GoodValues[][2] = {{"North,1", "South,2"},
                                         {"101,Alpha Center,2,1", "102,Beta Center,2,2"},
                                         {"1,A1,Alpha route,North,1", "2,B2,Beta route,South,2"},
                                         {"5,A1,Bay 5,North,1", "6,B2,Bay 6,South,2"}};

std::vector<test::Row> goodRows(Query query) {
    const QStringList names = QString::fromLatin1(GoodColumnNames[query]).split(QLatin1Char(','));
    std::vector<test::Row> rows;
    for (const char* values : GoodValues[query]) {
        const QStringList cells = QString::fromLatin1(values).split(QLatin1Char(','));
        test::Row& row = rows.emplace_back();
        for (qsizetype i = 0; i < names.size(); ++i) {
            row.emplace_back(names[i], cells[i]);
        }
    }
    return rows;
}

// What the first two columns of each list (the facility drop-down: its entries) show after a
// good answer, sorted.
const std::array<std::pair<QStringList, QStringList>, QueryCount> GoodColumns = {{
    {{"North", "South"}, {}},
    {{"101", "102"}, {"Alpha Center", "Beta Center"}},
    {{"A1", "B2"}, {"Alpha route", "Beta route"}},
    {{"A1", "B2"}, {"Bay 5", "Bay 6"}},
}};

ServerBehaviour goodAnswer(Query query) {
    return ServerBehaviour::respond(200,
                                    test::serviceAnswer(OperationNames[query], goodRows(query)));
}

void queueGoodLoad(test::RecordingHttpServer& server) {
    for (int query = 0; query < QueryCount; ++query) {
        server.queueBehaviour(goodAnswer(static_cast<Query>(query)));
    }
}

// A child the component must have; a missing one fails the test.
template <typename Widget> Widget& child(Stowline& component, const char* name) {
    auto* widget = component.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string(name) + " not found");
    }
    return *widget;
}

platform::ListView& listOf(Stowline& component, Query query) {
    static constexpr const char* Names[] = {"", "lstStowline", "lstRoute", "lstLocation"};
    return child<platform::ListView>(component, Names[query]);
}

QStringList sorted(QStringList values) {
    values.sort();
    return values;
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
    queueGoodLoad(server);
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
        SCOPED_TRACE(OperationNames[query]);
        const auto q = static_cast<Query>(query);
        if (q == Facilities) {
            EXPECT_EQ(sorted(test::entries(child<platform::DropDown>(component, "cboFacility3"))),
                      failed[q] ? QStringList() : GoodColumns[Facilities].first);
        } else {
            platform::ListView& list = listOf(component, q);
            EXPECT_EQ(sorted(test::column(list, 0)),
                      failed[q] ? QStringList() : GoodColumns[q].first);
            EXPECT_EQ(sorted(test::column(list, 1)),
                      failed[q] ? QStringList() : GoodColumns[q].second);
        }
    }
    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_TRUE(child<QFrame>(component, frame).isEnabled()) << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultInjection, ::testing::ValuesIn(Cases),
                         [](const auto& param) { return std::string(param.param.name); });
