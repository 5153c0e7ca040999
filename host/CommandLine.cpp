#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstring>

namespace stowline::host {

QString hostVersion() {
    return QStringLiteral(STOWLINE_HOST_VERSION);
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demo host of the Stowline component: maintains delivery routes, storage "
                       "locations and their assignment to centers on a Stowline SOAP service."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Load the data from <name>, e.g. http://127.0.0.1:8080."),
        QStringLiteral("name"));
    const QCommandLineOption eventLogOption(
        QStringLiteral("event-log"),
        QStringLiteral("Append the component's event-log entries to <file> (default: syslog)."),
        QStringLiteral("file"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Load from --server, save a PNG of each page into <dir> and exit."),
        QStringLiteral("dir"));
    parser.addOption(serverOption);
    parser.addOption(eventLogOption);
    parser.addOption(screenshotOption);

    CommandLine result;
    auto refuse = [&result](const QString& reason) {
        result.outcome = CommandLine::Outcome::Error;
        result.message = reason;
        return result;
    };
    if (!parser.parse(arguments)) {
        return refuse(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        result.outcome = CommandLine::Outcome::ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.outcome = CommandLine::Outcome::ShowVersion;
        result.message = QStringLiteral("stowline-host %1\n").arg(hostVersion());
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("Unexpected argument: %1")
                          .arg(parser.positionalArguments().constFirst()));
    }
    // Later occurrences win, as with most programs.
    const auto last = [&parser](const QCommandLineOption& option) {
        const QStringList values = parser.values(option);
        return values.isEmpty() ? QString() : values.constLast();
    };
    result.options.serverName = last(serverOption).trimmed();
    result.options.eventLogPath = last(eventLogOption);
    result.options.screenshotDir = last(screenshotOption);
    if (parser.isSet(serverOption) && result.options.serverName.isEmpty()) {
        return refuse(QStringLiteral("--server needs a server name."));
    }
    if (parser.isSet(eventLogOption) && result.options.eventLogPath.isEmpty()) {
        return refuse(QStringLiteral("--event-log needs a file name."));
    }
    if (parser.isSet(screenshotOption) && result.options.screenshotDir.isEmpty()) {
        return refuse(QStringLiteral("--screenshot needs a folder."));
    }
    if (result.options.screenshotMode() && result.options.serverName.isEmpty()) {
        return refuse(QStringLiteral("--screenshot needs --server to load the data from."));
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
