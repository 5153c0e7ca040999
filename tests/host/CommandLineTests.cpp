#include "CommandLine.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

using Outcome = CommandLine::Outcome;

CommandLine parse(QStringList arguments) {
    arguments.prepend("stowline-host");
    return parseCommandLine(arguments);
}

TEST(HostCommandLine, TakesTheOptionsOrRefusesWhatItCannotDo) {
    // For a run, what it yields is the server, event log and screenshot folder joined by '|';
    // otherwise it is a part of the message.
    const struct {
        QStringList arguments;
        Outcome outcome;
        const char* yields;
    } cases[] = {
        {{}, Outcome::Run, "||"},
        {{"--server", "http://h:1", "--event-log=/tmp/e.log", "--screenshot", "shots"},
         Outcome::Run,
         "http://h:1|/tmp/e.log|shots"},
        // The last server wins, trimmed.
        {{"--server=http://a:1", "--server", " http://b:2 "}, Outcome::Run, "http://b:2||"},
        {{"--screenshot", "d"}, Outcome::Error, "--server"},
        {{"--server="}, Outcome::Error, "--server needs"},
        {{"--server", "  "}, Outcome::Error, "--server needs"},
        {{"--event-log="}, Outcome::Error, "--event-log needs"},
        {{"--server=x", "--screenshot="}, Outcome::Error, "--screenshot needs"},
        {{"--colour"}, Outcome::Error, "colour"},
        {{"--server"}, Outcome::Error, "server"},
        {{"http://h:1"}, Outcome::Error, "http://h:1"},
        {{"--help"}, Outcome::ShowHelp, "--event-log"},
        // Help wins over options that would be refused.
        {{"--screenshot=d", "-h"}, Outcome::ShowHelp, "--screenshot"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.arguments);
        const HostOptions& o = line.options;
        const bool run = line.outcome == Outcome::Run;
        const QString yielded =
            run ? QStringList{o.serverName, o.eventLogPath, o.screenshotDir}.join(u'|')
                : line.message;
        EXPECT_EQ(line.outcome, c.outcome) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run ? yielded == c.yields : yielded.contains(c.yields))
            << yielded.toStdString();
    }
    const CommandLine version = parse({"--version"});
    EXPECT_EQ(version.outcome, Outcome::ShowVersion);
    EXPECT_EQ(version.message, QStringLiteral("stowline-host %1\n").arg(hostVersion()));
}

} // namespace
} // namespace stowline::host
