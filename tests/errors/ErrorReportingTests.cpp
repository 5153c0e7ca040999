// The error reporter's box and entry, and the catch every working procedure wraps its body in.
#include "reporting/Guarded.h"
#include "reporting/LogError.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

#include <stowline/EventLog.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace stowline {
namespace {

TEST(LogError, ShowsTheFixedBoxAndThenWritesTheSixLineEntry) {
    struct Case {
        ErrorInfo error;
        QString procedure;
        QString expectedEntry;
    };
    const std::vector<Case> cases = {
        {{5, "x", "src"},
         "Proc",
         "\r\n\r\nError Number - 5\r\nError Description - x\r\nError Source - src Proc\r\n"
         "Project Associated - prjStowline"},
        {{0, "", ""},
         "ReturnWebserviceXML",
         "\r\n\r\nError Number - 0\r\nError Description - \r\nError Source -  ReturnWebserviceXML"
         "\r\nProject Associated - prjStowline"},
        {{-2147483647 - 1, "Zürich & <x>", "prjStowline"},
         "lstRoute_Click()",
         "\r\n\r\nError Number - -2147483648\r\nError Description - Zürich & <x>\r\n"
         "Error Source - prjStowline lstRoute_Click()\r\nProject Associated - prjStowline"},
        {{-7, "two\r\nlines", " s "},
         "",
         "\r\n\r\nError Number - -7\r\nError Description - two\r\nlines\r\nError Source -  s  \r\n"
         "Project Associated - prjStowline"},
    };
    test::EventLogRecorder log;
    for (const Case& c : cases) {
        log.clear();
        std::vector<platform::MessageBoxRequest> shown;
        qsizetype entriesWhileBoxOpen = -1;
        platform::setMessageBoxPresenter([&](const platform::MessageBoxRequest& request) {
            shown.push_back(request);
            entriesWhileBoxOpen = log.entries().size();
            return platform::AnswerOk;
        });
        LogError(c.error, c.procedure);
        platform::setMessageBoxPresenter({});

        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].prompt, "An application error has occured. Please check the error logs");
        EXPECT_EQ(shown[0].style, 64);
        EXPECT_TRUE(shown[0].title.isEmpty());
        EXPECT_EQ(entriesWhileBoxOpen, 0) << "the entry is written after the box closes";
        EXPECT_EQ(log.entries(), QStringList{c.expectedEntry});
    }
}

TEST(Guarded, ReportsOnceUnderTheProcedureNameAndReturnsTheResultAsItStood) {
    struct Case {
        const char* what;
        std::function<void(QString&)> body;
        QString expectedResult;
        QStringList expectedEntries;
    };
    const std::vector<Case> cases = {
        {"no failure", [](QString& r) { r = "done"; }, "done", {}},
        {"our own error before the result is set",
         [](QString&) { raiseError(91, "gone", "src"); },
         "initial",
         {"\r\n\r\nError Number - 91\r\nError Description - gone\r\nError Source - src "
          "RouteExist\r\nProject Associated - prjStowline"}},
        {"result set, then a standard exception",
         [](QString& r) {
             r = "partial";
             throw std::runtime_error("boom");
         },
         "partial",
         {}},
        {"something that is no exception class", [](QString&) { throw 42; }, "initial", {}},
    };
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    for (const Case& c : cases) {
        boxes.clear();
        log.clear();
        EXPECT_EQ(guarded(QStringLiteral("RouteExist"), QStringLiteral("initial"), c.body),
                  c.expectedResult)
            << c.what;
        const int reports = c.expectedResult == "done" ? 0 : 1;
        EXPECT_EQ(boxes.errorBoxes(), reports) << c.what;
        EXPECT_EQ(log.procedures(),
                  reports == 0 ? QStringList() : QStringList{QStringLiteral("RouteExist")})
            << c.what;
        if (!c.expectedEntries.isEmpty()) {
            EXPECT_EQ(log.entries(), c.expectedEntries) << c.what;
        }
    }
}

TEST(Guarded, TheInnermostCatchReportsAndTheCallerCarriesOn) {
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    const int outcome = guarded(QStringLiteral("AddRoute"), 0, [](int& result) {
        guarded(QStringLiteral("AddRouteSOAP"), [] { raiseError(5, "refused"); });
        result = 1; // the caller goes on with its next step
    });
    EXPECT_EQ(outcome, 1);
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("AddRouteSOAP")});
}

TEST(Guarded, AFailingReporterDoesNotEscapeTheCatch) {
    test::MessageBoxRecorder boxes;
    setEventLogSink([](const QString&) { throw std::runtime_error("log is full"); });
    const QString result = guarded(QStringLiteral("LoadData"), QStringLiteral("initial"),
                                   [](QString&) { raiseError(6, "Overflow"); });
    setEventLogSink({});
    EXPECT_EQ(result, "initial");
    EXPECT_EQ(boxes.errorBoxes(), 1);
}

} // namespace
} // namespace stowline
