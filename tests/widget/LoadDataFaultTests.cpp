// LoadData against a loopback server that misbehaves in one way per case: every failed query is
// reported once, its list is left empty, the other lists still fill, and nothing hangs. How each
// kind of failure is told apart and reported is the transport's tests' business (an XHTML page
// or an envelope the clean-up does not cut away is a query without a data set, as here).
#include "http/HttpExchange.h"
#include "support/DataSetText.h"
#include "support/PageDriver.h"
#include "support/SmallOperation.h"

#include <QElapsedTimer>
#include <QFrame>

using namespace stowline;
using test::qs;
using test::ServerBehaviour;

namespace {

// The queries in the order LoadData sends them, and what each list (the facility drop-down: its
// entries) shows of the small operation in its first column.
enum Query { Facilities, Relative, Routes, Locations, QueryCount };
const QStringList Shown[] = {{"North"}, {"101"}, {"A1", "B2"}, {"Q-01"}};

controls::ListView& listOf(Stowline& component, Query query) {
    static constexpr const char* Names[] = {"", "lstStowline", "lstRoute", "lstLocation"};
    return *test::child<controls::ListView>(component, Names[query]);
}

// Shortened time-outs for the whole group, restored afterwards.
class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override { http::setHttpTimeouts({2'000, 2}); }
    void TearDown() override { http::setHttpTimeouts(saved); }

    const http::HttpTimeouts saved = http::httpTimeouts();
};

} // namespace

TEST_F(FaultInjection, AFaultyAnswerEmptiesItsOwnListOnlyAndIsReportedOnce) {
    const struct {
        const char* name;
        Query query; // the query whose answer is faulty
        ServerBehaviour answer;
        QStringList causes; // in the report's description; none: the answer arrives, but its
                            // data set does not parse, which only the facility reader tells
    } cases[] = {
        // An answer that parses but holds no data set is a failure, not an empty list.
        {"empty result element",
         Locations,
         ServerBehaviour::respond(200, test::soapAnswer(test::LoadOperations[Locations], "")),
         {"no data set", "<GetStorageLocationResult>"}},
        // Entities in the data set are neither expanded nor fetched.
        {"external entity in the data set",
         Facilities,
         ServerBehaviour::respond(
             200,
             test::serviceAnswer(test::LoadOperations[Facilities],
                                 {{{"Description", "&xxe;"}, {"TOVAFacilityID", "1"}}},
                                 "<!DOCTYPE Root [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>")),
         {}},
    };
    for (const auto& fault : cases) {
        SCOPED_TRACE(fault.name);
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        test::RecordingHttpServer server;
        // A good load first: a failed answer must clear what an earlier load showed.
        for (int query = 0; query < 2 * QueryCount; ++query) {
            const auto q = static_cast<Query>(query % QueryCount);
            server.queueBehaviour(query >= QueryCount && q == fault.query
                                      ? fault.answer
                                      : test::smallOperationAnswer(test::LoadOperations[q]));
        }
        Stowline component;
        component.LoadData(server.baseUrl());
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(u'\n').toStdString();

        QElapsedTimer elapsed;
        elapsed.start();
        component.LoadData(server.baseUrl());
        // A generous bound: a hang would last the default 60 s stall time-out or forever.
        EXPECT_LT(elapsed.elapsed(), 30'000) << "LoadData did not give up in time";
        EXPECT_EQ(server.requests().size(), std::size_t{2 * QueryCount})
            << "the load stopped early";

        // One report under the transport's name, saying why; an error box for it, and the
        // facility reader's box when its text did not parse.
        const bool reported = !fault.causes.isEmpty();
        EXPECT_EQ(log.procedures(), QStringList(reported ? 1 : 0, qs("ReturnWebserviceXML")))
            << log.entries().join(u'\n').toStdString();
        for (const QString& cause : fault.causes) {
            EXPECT_TRUE(log.entries().value(0).contains(cause, Qt::CaseInsensitive))
                << log.entries().value(0).toStdString() << "\nlacks " << cause.toStdString();
        }
        EXPECT_EQ(boxes.errorBoxes(), reported ? 1 : 0);
        EXPECT_EQ(boxes.shown().size(), (reported ? 1u : 0u) + (fault.query == Facilities));
        EXPECT_TRUE(reported || boxes.prompts().join(u'\n').contains(qs("entity")))
            << boxes.prompts().join(u'\n').toStdString();

        // The failed query leaves its list empty (so nothing expanded or read from a file
        // shows); the others show their values.
        for (int query = 0; query < QueryCount; ++query) {
            const auto q = static_cast<Query>(query);
            EXPECT_EQ(q == Facilities ? test::entries(*test::child<controls::DropDown>(
                                            component, "cboFacility3"))
                                      : test::column(listOf(component, q), 0),
                      q == fault.query ? QStringList() : Shown[q])
                << test::LoadOperations[q].constData();
        }
        for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
            EXPECT_TRUE(test::child<QFrame>(component, frame)->isEnabled()) << frame;
        }
    }
}
