// LoadData against a loopback server that misbehaves in one way per case: every failed query is
// reported once, its list is left empty, the other lists still fill, and nothing hangs.
#include "component/DataSetText.h"
#include "platform/DropDown.h"
#include "platform/HttpExchange.h"
#include "platform/ListView.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"

#include <stowline/Stowline.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

using namespace stowline;
using test::ServerBehaviour;

namespace {

// The queries in the order LoadData sends them.
enum Query { Facilities, Relative, Routes, Locations, QueryCount };
constexpr const char* OperationNames[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                          "GetStorageLocation"};

QByteArray dataSet(const std::vector<test::Row>& rows) {
    return test::dataSetText(rows).mid(39); // the service's data set carries no declaration
}

std::vector<test::Row> goodRows(Query query) {
    switch (query) {
    case Facilities:
        return {{{"Description", "North"}, {"TOVAFacilityID", "1"}},
                {{"Description", "South"}, {"TOVAFacilityID", "2"}}};
    case Relative:
        return {{{"CenterID", "101"},
                 {"CenterName", "Alpha Center"},
                 {"Status", "2"},
                 {"TOVAFacilityID", "1"}},
                {{"CenterID", "102"},
                 {"CenterName", "Beta Center"},
                 {"Status", "2"},
                 {"TOVAFacilityID", "2"}}};
    case Routes:
        return {{{"DeliveryRouteID", "1"},
                 {"Route", "A1"},
                 {"Description", "Alpha route"},
                 {"Facility", "North"},
                 {"TOVAFacilityID", "1"}},
                {{"DeliveryRouteID", "2"},
                 {"Route", "B2"},
                 {"Description", "Beta route"},
                 {"Facility", "South"},
                 {"TOVAFacilityID", "2"}}};
    default:
        return {{{"StorageLocationID", "5"},
                 {"RouteName", "A1"},
                 {"Description", "Bay 5"},
                 {"Facility", "North"},
                 {"TOVAFacilityID", "1"}},
                {{"StorageLocationID", "6"},
                 {"RouteName", "B2"},
                 {"Description", "Bay 6"},
                 {"Facility", "South"},
                 {"TOVAFacilityID", "2"}}};
    }
}

// What the first two columns of each list (the facility drop-down: its entries) show after a
// good answer, sorted.
const std::array<std::pair<QStringList, QStringList>, QueryCount> GoodColumns = {{
    {{"North", "South"}, {}},
    {{"101", "102"}, {"Alpha Center", "Beta Center"}},
    {{"A1", "B2"}, {"Alpha route", "Beta route"}},
    {{"A1", "B2"}, {"Bay 5", "Bay 6"}},
}};

// A SOAP answer whose result element holds the given text as it goes on the wire.
QByteArray soapAnswer(Query query, const QByteArray& wireResult, const QByteArray& doctype = {}) {
    const QByteArray operation = OperationNames[query];
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + doctype +
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body><" +
           operation + "Response xmlns=\"http://tempuri.org/TOVAStowlines/Service1\"><" +
           operation + "Result>" + wireResult + "</" + operation + "Result></" + operation +
           "Response></soap:Body></soap:Envelope>";
}

// The data set escaped into the result, as the service writes it.
QByteArray serviceAnswer(Query query, QByteArray dataSetText) {
    return soapAnswer(query,
                      dataSetText.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;"));
}

QByteArray soapFault(const QByteArray& faultString) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
           "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><soap:Fault>"
           "<faultcode>soap:Server</faultcode><faultstring>" +
           faultString + "</faultstring><detail/></soap:Fault></soap:Body></soap:Envelope>";
}

// Nine levels of ten references each: a billion "lol"s if anything expanded them.
QByteArray billionLaughs(const QByteArray& root) {
    QByteArray doctype = "<!DOCTYPE " + root + " [<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        doctype += "<!ENTITY lol" + QByteArray::number(level) + " \"" +
                   QByteArray("&lol" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
    }
    return doctype + "]>";
}

QByteArray externalEntity(const QByteArray& root) {
    return "<!DOCTYPE " + root + " [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>";
}

constexpr qsizetype HugeValueBytes = 50 * 1024 * 1024;

QStringList column(platform::ListView& list, int index) {
    QStringList values;
    for (int i = 1; i <= list.count(); ++i) {
        const platform::ListItemRef item = list.itemAt(i);
        values << (index == 0 ? list.text(item) : list.subItem(item, index));
    }
    values.sort();
    return values;
}

QStringList entries(const platform::DropDown& dropDown) {
    QStringList texts;
    for (int i = 0; i < dropDown.listCount(); ++i) {
        texts << dropDown.entryText(i);
    }
    texts.sort();
    return texts;
}

platform::ListView& listOf(Stowline& component, Query query) {
    static constexpr const char* Names[] = {"", "lstStowline", "lstRoute", "lstLocation"};
    auto* list = component.findChild<platform::ListView*>(QString::fromLatin1(Names[query]));
    if (list == nullptr) {
        throw std::runtime_error("list not found");
    }
    return *list;
}

// Every text the lists and drop-downs show.
QStringList everythingShown(Stowline& component) {
    QStringList texts;
    for (const platform::DropDown* dropDown : component.findChildren<platform::DropDown*>()) {
        texts += entries(*dropDown);
    }
    for (platform::ListView* list : component.findChildren<platform::ListView*>()) {
        for (int i = 1; i <= list->count(); ++i) {
            const platform::ListItemRef item = list->itemAt(i);
            texts << list->text(item);
            for (int sub = 1; sub < list->columnCount(); ++sub) {
                texts << list->subItem(item, sub);
            }
        }
    }
    return texts;
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentResidentKilobytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

enum class Outcome {
    Reported,      // the query fails: one report naming the cause, its list empty
    ReaderRejects, // the answer arrives but its data set does not parse: list empty, no report
    Loads,         // the query succeeds
};

struct FaultCase {
    const char* name;
    Query query;  // the query whose answer is faulty
    bool refused; // nothing listens: every query fails
    std::function<ServerBehaviour()> answer;
    Outcome outcome;
    QStringList causes; // Reported: each is in the report's description
    // Loads: checks the faulty query's list in place of the good values.
    std::function<void(Stowline&)> checkLoaded{};
    long peakGrowthLimitKb = 0; // when set, the load may raise the peak RSS by no more
};

std::string caseName(const ::testing::TestParamInfo<FaultCase>& param) {
    return param.param.name;
}

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

const FaultCase Cases[] = {
    {"ConnectionRefused", Facilities, true, nullptr, Outcome::Reported, {"connect"}},
    {"CloseWithoutAnswer",
     Relative,
     false,
     [] { return ServerBehaviour::closeWithoutAnswer(); },
     Outcome::Reported,
     {"could not load XML data", "Empty reply"}},
    {"AcceptAndNeverAnswer",
     Routes,
     false,
     [] { return ServerBehaviour::neverAnswer(); },
     Outcome::Reported,
     {"could not load XML data", "Timeout"}},
    {"StallsMidAnswer",
     Locations,
     false,
     [] {
         // The head and most of the body, then silence for longer than the test lasts.
         const QByteArray body = serviceAnswer(Locations, dataSet(goodRows(Locations)));
         return ServerBehaviour::drip(200, body, body.size(), std::chrono::minutes(5));
     },
     Outcome::Reported,
     {"could not load XML data", "Timeout"}},
    {"StopsHalfWay",
     Relative,
     false,
     [] {
         return ServerBehaviour::halfThenClose(
             200, serviceAnswer(Relative, dataSet(goodRows(Relative))));
     },
     Outcome::Reported,
     {"could not load XML data", "partial"}},
    {"SlowDripWithinTimeout",
     Locations,
     false,
     [] {
         // About three seconds in all, longer than the stall time-out, with no gap near it.
         const QByteArray body = serviceAnswer(Locations, dataSet(goodRows(Locations)));
         return ServerBehaviour::drip(200, body, body.size() / 12 + 1,
                                      std::chrono::milliseconds(250));
     },
     Outcome::Loads,
     {}},
    {"Http500WithHtmlPage",
     Facilities,
     false,
     [] {
         return ServerBehaviour::respond(
             500, "<html><body><h1>Server Error in '/' Application.</h1></body></html>",
             "text/html");
     },
     Outcome::Reported,
     {"500"}},
    {"Http200NotXml",
     Routes,
     false,
     [] { return ServerBehaviour::respond(200, "Service temporarily unavailable", "text/plain"); },
     Outcome::Reported,
     {"not XML"}},
    // Answers that parse but hold no data set are failures, not empty lists.
    {"EnvelopeInAnotherAttributeOrder",
     Routes,
     false,
     [] {
         const QByteArray soap = "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"";
         const QByteArray xsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
         const QByteArray xsd = "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";
         return ServerBehaviour::respond(
             200, serviceAnswer(Routes, dataSet(goodRows(Routes)))
                      .replace("<soap:Envelope " + soap + " " + xsi + " " + xsd + ">",
                               "<soap:Envelope " + xsi + " " + xsd + " " + soap + ">"));
     },
     Outcome::Reported,
     {"no data set", "<soap:Envelope>"}},
    {"EmptyResultElement",
     Locations,
     false,
     [] { return ServerBehaviour::respond(200, soapAnswer(Locations, "")); },
     Outcome::Reported,
     {"no data set", "<GetStorageLocationResult>"}},
    {"XhtmlPageWithStatus200",
     Relative,
     false,
     [] {
         return ServerBehaviour::respond(
             200,
             "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><body>"
             "<p>Down for maintenance</p></body></html>",
             "application/xhtml+xml");
     },
     Outcome::Reported,
     {"no data set", "<html>"}},
    {"Http500WithSoapFault",
     Relative,
     false,
     [] { return ServerBehaviour::respond(500, soapFault("Database is offline")); },
     Outcome::Reported,
     {"500", "Database is offline"}},
    {"Http200WithSoapFault",
     Locations,
     false,
     [] { return ServerBehaviour::respond(200, soapFault("Invalid facility")); },
     Outcome::Reported,
     {"SOAP fault", "Invalid facility"}},
    {"FiftyMegabyteAnswer",
     Relative,
     false,
     [] {
         std::vector<test::Row> rows = goodRows(Relative);
         rows[1].emplace_back("CenterLocation", QString(HugeValueBytes, QLatin1Char('x')));
         return ServerBehaviour::respond(200, serviceAnswer(Relative, dataSet(rows)));
     },
     Outcome::Loads,
     {},
     [](Stowline& component) {
         platform::ListView& list = listOf(component, Relative);
         EXPECT_EQ(column(list, 0), GoodColumns[Relative].first);
         // CenterLocation is the fourth column; the huge value arrives whole and unchanged.
         QStringList locations = column(list, 3);
         ASSERT_EQ(locations.size(), 2);
         EXPECT_EQ(locations[0], QString());
         EXPECT_EQ(locations[1].size(), HugeValueBytes);
         EXPECT_EQ(locations[1].count(QLatin1Char('x')), HugeValueBytes);
     },
     // About eight times the answer is needed (its copies and the UTF-16 text shown); far
     // more would mean a copy per pass or a quadratic step.
     800 * 1024},
    {"DataSetNestedTenThousandDeep",
     Routes,
     false,
     [] {
         std::vector<test::Row> rows = goodRows(Routes);
         rows[0][2].second = QStringLiteral("<n>").repeated(10'000) + QStringLiteral("Deep") +
                             QStringLiteral("</n>").repeated(10'000);
         return ServerBehaviour::respond(200, serviceAnswer(Routes, dataSet(rows)));
     },
     Outcome::Loads,
     {},
     [](Stowline& component) {
         platform::ListView& list = listOf(component, Routes);
         EXPECT_EQ(column(list, 0), GoodColumns[Routes].first);
         EXPECT_EQ(column(list, 1), (QStringList{"Beta route", "Deep"}));
     }},
    {"BillionLaughsInTheAnswer",
     Facilities,
     false,
     [] {
         return ServerBehaviour::respond(
             200, soapAnswer(Facilities, "&lol9;", billionLaughs("soap:Envelope")));
     },
     Outcome::Reported,
     {"not XML", "entity"}},
    {"ExternalEntityInTheAnswer",
     Routes,
     false,
     [] {
         return ServerBehaviour::respond(
             200, soapAnswer(Routes, "&xxe;", externalEntity("soap:Envelope")));
     },
     Outcome::Reported,
     {"not XML", "entity"}},
    {"BillionLaughsInTheDataSet",
     Facilities,
     false,
     [] {
         return ServerBehaviour::respond(
             200, serviceAnswer(Facilities,
                                billionLaughs("Root") + dataSet({{{"Description", "&lol9;"},
                                                                  {"TOVAFacilityID", "1"}}})));
     },
     Outcome::ReaderRejects,
     {}},
    {"ExternalEntityInTheDataSet",
     Facilities,
     false,
     [] {
         return ServerBehaviour::respond(
             200, serviceAnswer(Facilities,
                                externalEntity("Root") + dataSet({{{"Description", "&xxe;"},
                                                                   {"TOVAFacilityID", "1"}}})));
     },
     Outcome::ReaderRejects,
     {}},
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
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    const QString serverName = server.baseUrl();
    const auto queueLoad = [&server](const FaultCase* faulty) {
        for (int query = 0; query < QueryCount; ++query) {
            const Query q = static_cast<Query>(query);
            server.queueBehaviour(
                faulty != nullptr && q == faulty->query
                    ? faulty->answer()
                    : ServerBehaviour::respond(200, serviceAnswer(q, dataSet(goodRows(q)))));
        }
    };
    // A good load first: a failed answer must clear what an earlier load showed.
    Stowline component;
    queueLoad(nullptr);
    component.LoadData(serverName);
    ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(QLatin1Char('\n')).toStdString();
    if (fault.refused) {
        server.stop(); // the port is closed now
    } else {
        queueLoad(&fault);
    }

    // The peak cannot be reset, so what LoadData adds is measured from the current size.
    const long residentBefore = currentResidentKilobytes();
    QElapsedTimer elapsed;
    elapsed.start();
    component.LoadData(serverName);
    // A generous bound: a hang would last the default 60 s stall time-out or forever.
    EXPECT_LT(elapsed.elapsed(), 30'000) << "LoadData did not give up in time";
    if (fault.peakGrowthLimitKb > 0) {
        EXPECT_LT(peakResidentKilobytes() - residentBefore, fault.peakGrowthLimitKb);
    }
    if (!fault.refused) {
        EXPECT_EQ(server.requests().size(), std::size_t{2 * QueryCount})
            << "the load stopped early";
    }

    std::array<bool, QueryCount> failed{};
    for (int query = 0; query < QueryCount; ++query) {
        failed[query] = fault.refused || (query == fault.query && fault.outcome != Outcome::Loads);
    }
    const auto reports =
        static_cast<int>(fault.outcome == Outcome::Reported ? (fault.refused ? QueryCount : 1) : 0);

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

    // Failed queries leave their lists empty; the others show their values.
    auto* facilities = component.findChild<platform::DropDown*>(QStringLiteral("cboFacility3"));
    ASSERT_NE(facilities, nullptr);
    for (int query = 0; query < QueryCount; ++query) {
        SCOPED_TRACE(OperationNames[query]);
        const Query q = static_cast<Query>(query);
        if (q == fault.query && fault.checkLoaded) {
            fault.checkLoaded(component);
        } else if (q == Facilities) {
            EXPECT_EQ(entries(*facilities),
                      failed[q] ? QStringList() : GoodColumns[Facilities].first);
        } else {
            platform::ListView& list = listOf(component, q);
            EXPECT_EQ(column(list, 0), failed[q] ? QStringList() : GoodColumns[q].first);
            EXPECT_EQ(column(list, 1), failed[q] ? QStringList() : GoodColumns[q].second);
        }
    }

    // Nothing was expanded and no file was read.
    for (const QString& text : everythingShown(component)) {
        EXPECT_FALSE(text.contains(QLatin1String("root:"))) << text.left(200).toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("lollol"))) << text.left(200).toStdString();
    }

    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        auto* widget = component.findChild<QFrame*>(QString::fromLatin1(frame));
        ASSERT_NE(widget, nullptr) << frame;
        EXPECT_TRUE(widget->isEnabled()) << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultInjection, ::testing::ValuesIn(Cases), caseName);

// An add the service answered with status 200 but not with its envelope was not made: the page
// shows no success, keeps adding with the operator's input, and asks for nothing again.
TEST(FaultInjectionOfUpdates, AnAddAnsweredWithoutAnEnvelopeIsNoSuccess) {
    const std::pair<const char*, ServerBehaviour> answers[] = {
        {"empty", ServerBehaviour::respond(200, "")},
        {"plain text", ServerBehaviour::respond(200, "Saved.", "text/plain")},
        {"HTML", ServerBehaviour::respond(200, "<html><p>Saved<br></html>", "text/html")},
    };
    for (const auto& [what, answer] : answers) {
        SCOPED_TRACE(what);
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        test::RecordingHttpServer server;
        for (int query = 0; query < QueryCount; ++query) {
            const auto q = static_cast<Query>(query);
            server.queueBehaviour(
                ServerBehaviour::respond(200, serviceAnswer(q, dataSet(goodRows(q)))));
        }
        server.queueBehaviour(answer);
        Stowline component;
        component.LoadData(server.baseUrl());
        auto* add = component.findChild<QPushButton*>(QStringLiteral("cmdAddRoute"));
        auto* route = component.findChild<QLineEdit*>(QStringLiteral("txtRoute"));
        auto* description = component.findChild<QLineEdit*>(QStringLiteral("txtRouteDesc"));
        ASSERT_TRUE(add && route && description);
        add->click();
        route->setText(QStringLiteral("C3"));
        description->setText(QStringLiteral("Gamma route"));
        add->click();

        EXPECT_EQ(boxes.errorBoxes(), 1);
        EXPECT_EQ(boxes.shown().size(), 1u) << boxes.prompts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")});
        EXPECT_EQ(add->text(), QStringLiteral("Save"));
        EXPECT_EQ(route->text() + description->text(), QStringLiteral("C3Gamma route"));
        EXPECT_EQ(column(listOf(component, Routes), 0), GoodColumns[Routes].first);
        EXPECT_EQ(server.requests().size(), std::size_t{QueryCount + 1});
    }
}

// The add went through but the routes could not be read again: the success is told, the list is
// empty as after any failed query, and nothing is taken as selected.
TEST(FaultInjectionOfUpdates, AFailedRequeryAfterAnAddLeavesNothingSelected) {
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    for (int query = 0; query < QueryCount; ++query) {
        const auto q = static_cast<Query>(query);
        server.queueBehaviour(
            ServerBehaviour::respond(200, serviceAnswer(q, dataSet(goodRows(q)))));
    }
    server.queueBehaviour(ServerBehaviour::respond(200, soapAnswer(Routes, "")));
    server.queueBehaviour(ServerBehaviour::respond(500, soapFault("Database is offline")));
    server.queueBehaviour(
        ServerBehaviour::respond(200, serviceAnswer(Relative, dataSet(goodRows(Relative)))));
    Stowline component;
    component.LoadData(server.baseUrl());
    auto* add = component.findChild<QPushButton*>(QStringLiteral("cmdAddRoute"));
    auto* change = component.findChild<QPushButton*>(QStringLiteral("cmdChangeRoute"));
    auto* route = component.findChild<QLineEdit*>(QStringLiteral("txtRoute"));
    auto* description = component.findChild<QLineEdit*>(QStringLiteral("txtRouteDesc"));
    ASSERT_TRUE(add && change && route && description);
    add->click();
    route->setText(QStringLiteral("C3"));
    description->setText(QStringLiteral("Gamma route"));
    add->click();

    EXPECT_EQ(boxes.prompts(),
              (QStringList{QStringLiteral("Route has been added successfully!!!!"),
                           QStringLiteral(
                               "An application error has occured. Please check the error logs")}));
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")});
    EXPECT_EQ(add->text(), QStringLiteral("Add Route"));
    EXPECT_EQ(listOf(component, Routes).count(), 0);
    EXPECT_EQ(route->text() + description->text(), QString());
    boxes.clear();
    change->click();
    EXPECT_EQ(boxes.prompts(), QStringList{QStringLiteral("Please select a route to change.")});
}
