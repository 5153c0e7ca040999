#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstring>

namespace stowline::host {

QString hostVersion() {
    return QStringLiteral(STOWLINE_HOST_VERSION);
}

namespace {

// The host's options, as its --help lists them.
struct Options {
    Options() {
        parser.setApplicationDescription(QStringLiteral(
            "Demo host of the Stowline component: maintains delivery routes, storage locations "
            "and their assignment to centers on a Stowline SOAP service."));
        help = parser.addHelpOption();
        version = parser.addVersionOption();
        parser.addOption(server);
        parser.addOption(eventLog);
        parser.addOption(screenshot);
    }

    // Later occurrences win, as with most programs.
    QString last(const QCommandLineOption& option) const {
        const QStringList values = parser.values(option);
        return values.isEmpty() ? QString() : values.constLast();
    }

    QCommandLineParser parser;
    QCommandLineOption help{QString()};
    QCommandLineOption version{QString()};
    const QCommandLineOption server{
        QStringLiteral("server"),
        QStringLiteral("Load the data from <name>, e.g. http://127.0.0.1:8080."),
        QStringLiteral("name")};
    const QCommandLineOption eventLog{
        QStringLiteral("event-log"),
        QStringLiteral("Append the component's event-log entries to <file> (default: syslog)."),
        QStringLiteral("file")};
    const QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Load from --server, save a PNG of each page into <dir> and exit."),
        QStringLiteral("dir")};
};

// Why the values given cannot be used; empty when they can.
QString problemWith(const Options& options, const HostOptions& values) {
    if (!options.parser.positionalArguments().isEmpty()) {
        return QStringLiteral("Unexpected argument: %1")
            .arg(options.parser.positionalArguments().constFirst());
    }
    if (options.parser.isSet(options.server) && values.serverName.isEmpty()) {
        return QStringLiteral("--server needs a server name.");
    }
    if (options.parser.isSet(options.eventLog) && values.eventLogPath.isEmpty()) {
        return QStringLiteral("--event-log needs a file name.");
    }
    if (options.parser.isSet(options.screenshot) && values.screenshotDir.isEmpty()) {
        return QStringLiteral("--screenshot needs a folder.");
    }
    if (values.screenshotMode() && values.serverName.isEmpty()) {
        return QStringLiteral("--screenshot needs --server to load the data from.");
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    Options options;
    CommandLine result;
    if (!options.parser.parse(arguments)) {
        result.outcome = CommandLine::Outcome::Error;
        result.message = options.parser.errorText();
    } else if (options.parser.isSet(options.help)) {
        result.outcome = CommandLine::Outcome::ShowHelp;
        result.message = options.parser.helpText();
    } else if (options.parser.isSet(options.version)) {
        result.outcome = CommandLine::Outcome::ShowVersion;
        result.message = QStringLiteral("stowline-host %1\n").arg(hostVersion());
    } else {
        result.options.serverName = options.last(options.server).trimmed();
        result.options.eventLogPath = options.last(options.eventLog);
        result.options.screenshotDir = options.last(options.screenshot);
        if (const QString problem = problemWith(options, result.options); !problem.isEmpty()) {
            result.outcome = CommandLine::Outcome::Error;
            result.message = problem;
        }
    }
    return result;
}

bool runsWithoutScreen(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        for (const char* option :
             {"--screenshot", "--help", "-h", "--help-all", "--version", "-v", "-?"}) {
            const std::size_t length = std::strlen(option);
            if (std::strncmp(argument, option, length) == 0 &&
                (argument[length] == '\0' || argument[length] == '=')) {
                return true;
            }
        }
    }
    return false;
}

} // namespace stowline::host
