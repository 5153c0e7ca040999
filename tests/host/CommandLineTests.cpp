#include "CommandLine.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

namespace stowline::host {
namespace {

CommandLine parse(QStringList arguments) {
    arguments.prepend(QStringLiteral("stowline-host"));
    return parseCommandLine(arguments);
}

TEST(HostCommandLine, TakesTheThreeOptions) {
    const CommandLine line = parse({QStringLiteral("--server"), QStringLiteral("http://h:1"),
                                    QStringLiteral("--event-log=/tmp/e.log"),
                                    QStringLiteral("--screenshot"), QStringLiteral("shots")});
    ASSERT_EQ(line.outcome, CommandLine::Outcome::Run) << line.message.toStdString();
    EXPECT_EQ(line.options.serverName, QStringLiteral("http://h:1"));
    EXPECT_EQ(line.options.eventLogPath, QStringLiteral("/tmp/e.log"));
    EXPECT_EQ(line.options.screenshotDir, QStringLiteral("shots"));
    EXPECT_TRUE(line.options.screenshotMode());
}

TEST(HostCommandLine, NothingGivenOpensTheWindowUnconnected) {
    const CommandLine line = parse({});
    ASSERT_EQ(line.outcome, CommandLine::Outcome::Run);
    EXPECT_TRUE(line.options.serverName.isEmpty());
    EXPECT_TRUE(line.options.eventLogPath.isEmpty());
    EXPECT_FALSE(line.options.screenshotMode());
}

TEST(HostCommandLine, TheLastServerWinsAndIsTrimmed) {
    const CommandLine line = parse({QStringLiteral("--server=http://a:1"),
                                    QStringLiteral("--server"), QStringLiteral(" http://b:2 ")});
    ASSERT_EQ(line.outcome, CommandLine::Outcome::Run);
    EXPECT_EQ(line.options.serverName, QStringLiteral("http://b:2"));
}

TEST(HostCommandLine, RefusesWhatItCannotDo) {
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{QStringLiteral("--screenshot"), QStringLiteral("d")}, "--server"},
        {{QStringLiteral("--server=")}, "--server needs"},
        {{QStringLiteral("--server"), QStringLiteral("  ")}, "--server needs"},
        {{QStringLiteral("--event-log=")}, "--event-log needs"},
        {{QStringLiteral("--server=x"), QStringLiteral("--screenshot=")}, "--screenshot needs"},
        {{QStringLiteral("--colour")}, "colour"},
        {{QStringLiteral("--server")}, "server"},
        {{QStringLiteral("http://h:1")}, "http://h:1"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.arguments);
        EXPECT_EQ(line.outcome, CommandLine::Outcome::Error)
            << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(line.message.contains(QString::fromLatin1(c.reason)))
            << line.message.toStdString();
    }
}

TEST(HostCommandLine, HelpAndVersion) {
    const CommandLine help = parse({QStringLiteral("--help")});
    EXPECT_EQ(help.outcome, CommandLine::Outcome::ShowHelp);
    for (const char* option : {"--server", "--event-log", "--screenshot"}) {
        EXPECT_TRUE(help.message.contains(QString::fromLatin1(option))) << option;
    }
    // Help wins over options that would be refused.
    EXPECT_EQ(parse({QStringLiteral("--screenshot=d"), QStringLiteral("-h")}).outcome,
              CommandLine::Outcome::ShowHelp);

    const CommandLine version = parse({QStringLiteral("--version")});
    EXPECT_EQ(version.outcome, CommandLine::Outcome::ShowVersion);
    EXPECT_EQ(version.message, QStringLiteral("stowline-host %1\n").arg(hostVersion()));
    EXPECT_EQ(hostVersion().count(u'.'), 2);
}

TEST(HostCommandLine, KnowsWhenNoScreenIsNeeded) {
    const auto judge = [](std::initializer_list<const char*> arguments) {
        std::vector<const char*> argv{"stowline-host"};
        argv.insert(argv.end(), arguments);
        return runsWithoutScreen(int(argv.size()), argv.data());
    };
    EXPECT_TRUE(judge({"--server", "x", "--screenshot", "d"}));
    EXPECT_TRUE(judge({"--screenshot=d"}));
    EXPECT_TRUE(judge({"--help"}));
    EXPECT_TRUE(judge({"-v"}));
    EXPECT_FALSE(judge({}));
    EXPECT_FALSE(judge({"--server", "x"}));
    EXPECT_FALSE(judge({"--screenshots=d"}));
    // The program name itself is never an option.
    const char* argv[] = {"--help"};
    EXPECT_FALSE(runsWithoutScreen(1, argv));
}

} // namespace
} // namespace stowline::host
