// The catch every working procedure wraps its body in, and the error reporter's box and entry.
#include "reporting/Guarded.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"

#include <stowline/EventLog.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace stowline {
namespace {

QString entry(const QString& number, const QString& description, const QString& source) {
    return "\r\n\r\nError Number - " + number + "\r\nError Description - " + description +
           "\r\nError Source - " + source + "\r\nProject Associated - prjStowline";
}

// The entry's description line, as the error box offers it under "Show Details...".
QString describedIn(const QString& entry) {
    return entry.split("\r\n").value(3).mid(QStringLiteral("Error Description - ").size());
}

TEST(Guarded, ReportsOnceWithTheFixedBoxThenTheSixLineEntryAndReturnsTheResultAsItStood) {
    const struct {
        const char* what;
        std::function<void(QString&)> body;
        QString result;
        QStringList entries;
    } cases[] = {
        {"no failure", [](QString& r) { r = "done"; }, "done", {}},
        {"our own error",
         [](QString&) { raiseError(91, "gone", "src"); },
         "initial",
         {entry("91", "gone", "src RouteExist")}},
        {"the lowest number, markup",
         [](QString&) { raiseError(-2147483647 - 1, "Zürich & <x>", ""); },
         "initial",
         {entry("-2147483648", "Zürich & <x>", " RouteExist")}},
        // Control characters are escaped: no text can start a line or an entry of its own.
        {"line ends, controls and blanks",
         [](QString&) {
             raiseError(-7, QString::fromUtf8("two\r\nlines\t\x1b[2J\x7f\u0085\u2028"), " s\n ");
         },
         "initial",
         {entry("-7", "two\\r\\nlines\\t\\x1B[2J\\x7F\\x85\\u2028", " s\\n  RouteExist")}},
        {"result set, then a standard exception",
         [](QString& r) {
             r = "partial";
             throw std::runtime_error("boom");
         },
         "partial",
         {entry("0", "boom", "prjStowline RouteExist")}},
        {"a description longer than the box's details",
         [](QString&) { raiseError(9, QString(2500, QLatin1Char('x'))); },
         "initial",
         {entry("9", QString(2500, QLatin1Char('x')), "prjStowline RouteExist")}},
        {"something that is no exception class",
         [](QString&) { throw 42; },
         "initial",
         {entry("0", "Unknown failure", "prjStowline RouteExist")}},
        // The innermost catch reports, and the caller carries on with its next step.
        {"a failure caught inside",
         [](QString& r) {
             guarded(QStringLiteral("AddRouteSOAP"), [] { raiseError(5, "refused"); });
             r = "carried on";
         },
         "carried on",
         {entry("5", "refused", "prjStowline AddRouteSOAP")}},
    };
    test::EventLogRecorder log;
    std::vector<controls::MessageBoxRequest> shown;
    QList<qsizetype> entriesWhileBoxOpen;
    controls::setMessageBoxPresenter([&](const controls::MessageBoxRequest& request) {
        shown.push_back(request);
        entriesWhileBoxOpen << log.entries().size();
        return controls::AnswerOk;
    });
    for (const auto& c : cases) {
        log.clear();
        shown.clear();
        entriesWhileBoxOpen.clear();
        EXPECT_EQ(guarded(QStringLiteral("RouteExist"), QStringLiteral("initial"), c.body),
                  c.result)
            << c.what;
        EXPECT_EQ(log.entries(), c.entries) << c.what;
        // The entry is written after the box closes.
        EXPECT_EQ(entriesWhileBoxOpen, QList<qsizetype>(c.entries.size(), 0)) << c.what;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const controls::MessageBoxRequest& box = shown[i];
            EXPECT_EQ(box.prompt, "An application error has occured. Please check the error logs");
            EXPECT_EQ(box.style, 64);
            EXPECT_TRUE(box.title.isEmpty());
            // The details: the entry's description as written there, cut to 2,000 characters.
            const QString described = describedIn(c.entries.value(static_cast<qsizetype>(i)));
            EXPECT_EQ(box.details,
                      described.size() <= 2000 ? described : described.left(1999) + QChar(0x2026))
                << c.what;
        }
    }

    // A failing reporter does not escape the catch.
    shown.clear();
    setEventLogSink([](const QString&) { throw std::runtime_error("log is full"); });
    EXPECT_EQ(guarded(QStringLiteral("LoadData"), 1, [](int&) { raiseError(6, "Overflow"); }), 1);
    EXPECT_EQ(shown.size(), 1u);
    controls::setMessageBoxPresenter({});
}

} // namespace
} // namespace stowline
