#include "CommandLine.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

using Outcome = CommandLine::Outcome;

CommandLine parse(QStringList arguments, const QString& environmentServer = {}) {
    arguments.prepend("stowline-host");
    return parseCommandLine(arguments, environmentServer);
}

TEST(HostCommandLine, TakesTheOptionsOrRefusesWhatItCannotDo) {
    // For a run, what it yields is the server, event log and screenshot folder joined by '|';
    // otherwise it is a part of the message. `environment` is STOWLINE_SERVER.
    const struct {
        QStringList arguments;
        Outcome outcome;
        const char* yields;
        const char* environment = "";
    } cases[] = {
        {{}, Outcome::Run, "||"},
        {{"--server", "http://h:1", "--event-log=/tmp/e.log", "--screenshot", "shots"},
         Outcome::Run,
         "http://h:1|/tmp/e.log|shots"},
        // The last server wins, trimmed.
        {{"--server=http://a:1", "--server", " http://b:2 "}, Outcome::Run, "http://b:2||"},
        {{"--screenshot", "d"}, Outcome::Error, "--server"},
        {{"--server", "  "}, Outcome::Error, "--server needs"},
        {{"--event-log="}, Outcome::Error, "--event-log needs"},
        {{"--server=x", "--screenshot="}, Outcome::Error, "--screenshot needs"},
        {{"--server"}, Outcome::Error, "server"},
        {{"http://h:1"}, Outcome::Error, "http://h:1"},
        {{"--bogus"}, Outcome::Error, "'bogus'.\nUsage: stowline-host [options]\nTry"},
        // The environment names the server unless --server does; only there may it carry a
        // password, which the process list would show.
        {{"--screenshot=d"}, Outcome::Run, "https://u:pw@e:1||d", " https://u:pw@e:1"},
        {{"--server=http://a:1"}, Outcome::Run, "http://a:1||", "http://e:1"},
        {{"--server", "https://u:pw@h:1"}, Outcome::Error, "must not carry a password"},
        {{"--server", "https://u@h:1/a:b@c"}, Outcome::Run, "https://u@h:1/a:b@c||"},
        // Qt's own options are left to the QApplication.
        {{"-platform", "xcb", "-style=Fusion", "-reverse", "--server=x"}, Outcome::Run, "x||"},
        {{"--help"}, Outcome::ShowHelp, "Usage: stowline-host [options]\n"},
        {{"--help-all"}, Outcome::ShowHelp, "--platform <name[:options]>"},
        // Help wins over options that would be refused.
        {{"--screenshot=d", "-h"}, Outcome::ShowHelp, "--screenshot"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.arguments, QString::fromUtf8(c.environment));
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
