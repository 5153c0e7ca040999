#include "CommandLine.h"

#include "ServerName.h"

#include <stowline/Version.h>

#include <QCommandLineParser>

namespace stowline::host {

QString hostVersion() {
    return QStringLiteral(STOWLINE_VERSION_STRING);
}

namespace {

// Qt's own options, which the QApplication takes out of the command line; --help-all lists
// them. Switches have no value name.
struct QtOption {
    const char* name;
    const char* valueName;
    const char* description;
};
constexpr QtOption QtOptions[] = {
    {"platform", "name[:options]", "Qt platform plugin, e.g. xcb, wayland or offscreen."},
    {"platformpluginpath", "path", "Folder of the platform plugins."},
    {"platformtheme", "theme", "Platform theme."},
    {"plugin", "plugin", "Additional plugin to load; may be given more than once."},
    {"display", "display", "X11 display, e.g. :0."},
    {"qwindowgeometry", "geometry", "Geometry of the main window, e.g. 700x470+50+50."},
    {"geometry", "geometry", "Same as --qwindowgeometry (X11)."},
    {"qwindowicon", "icon", "Icon of the main window."},
    {"qwindowtitle", "title", "Title of the main window."},
    {"style", "style", "Widget style, e.g. Fusion."},
    {"stylesheet", "file", "Style sheet of the application."},
    {"session", "session", "Restores an earlier session."},
    {"qmljsdebugger", "value", "Activates the QML/JS debugger, e.g. port:1234."},
    {"reverse", "", "Lays the window out from right to left (for debugging)."},
    {"widgetcount", "", "Prints at exit how many widgets were left (for debugging)."},
};

// The host's options, as its --help lists them, and Qt's, which --help-all adds.
struct Options {
    explicit Options(bool showQtOptions) {
        parser.setApplicationDescription(QStringLiteral(
            "Demo host of the Stowline component: maintains delivery routes, storage locations "
            "and their assignment to centers on a Stowline SOAP service."));
        // Qt's options are words after a single dash.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(server);
        parser.addOption(eventLog);
        parser.addOption(screenshot);
        for (const QtOption& qt : QtOptions) {
            QCommandLineOption option(QString::fromLatin1(qt.name),
                                      QString::fromLatin1(qt.description),
                                      QString::fromLatin1(qt.valueName));
            if (!showQtOptions) {
                option.setFlags(QCommandLineOption::HiddenFromHelp);
            }
            parser.addOption(option);
        }
    }

    // Later occurrences win, as with most programs.
    QString last(const QCommandLineOption& option) const {
        const QStringList values = parser.values(option);
        return values.isEmpty() ? QString() : values.constLast();
    }

    // The parser names the program after the running application, which does not exist yet.
    QString helpText() const {
        const QString text = parser.helpText();
        return usage() + text.sliced(text.indexOf(u'\n'));
    }
    static QString usage() { return QStringLiteral("Usage: stowline-host [options]"); }

    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption server{
        QStringLiteral("server"),
        QStringLiteral("Load the data from <name>, e.g. http://127.0.0.1:8080 (default: "
                       "STOWLINE_SERVER)."),
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
    // Every user can read a command line in the process list.
    if (options.parser.isSet(options.server) && hasPassword(values.serverName)) {
        return QStringLiteral("--server must not carry a password, which the process list "
                              "shows; give it in STOWLINE_SERVER or the Connect dialog.");
    }
    if (options.parser.isSet(options.eventLog) && values.eventLogPath.isEmpty()) {
        return QStringLiteral("--event-log needs a file name.");
    }
    if (options.parser.isSet(options.screenshot) && values.screenshotDir.isEmpty()) {
        return QStringLiteral("--screenshot needs a folder.");
    }
    if (values.screenshotMode() && values.serverName.isEmpty()) {
        return QStringLiteral("--screenshot needs --server or STOWLINE_SERVER to load the data "
                              "from.");
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& environmentServer) {
    Options options(false);
    CommandLine result;
    QString problem;
    if (!options.parser.parse(arguments)) {
        problem = options.parser.errorText();
    } else if (options.parser.isSet(options.help)) {
        result.outcome = CommandLine::Outcome::ShowHelp;
        result.message = options.helpText();
    } else if (options.parser.isSet(QStringLiteral("help-all"))) {
        result.outcome = CommandLine::Outcome::ShowHelp;
        result.message = Options(true).helpText();
    } else if (options.parser.isSet(options.version)) {
        result.outcome = CommandLine::Outcome::ShowVersion;
        result.message = QStringLiteral("stowline-host %1\n").arg(hostVersion());
    } else {
        result.options.serverName =
            (options.parser.isSet(options.server) ? options.last(options.server)
                                                  : environmentServer)
                .trimmed();
        result.options.eventLogPath = options.last(options.eventLog);
        result.options.screenshotDir = options.last(options.screenshot);
        problem = problemWith(options, result.options);
    }
    if (!problem.isEmpty()) {
        result.outcome = CommandLine::Outcome::Error;
        result.message =
            QStringLiteral("%1\n%2\nTry 'stowline-host --help'.").arg(problem, Options::usage());
    }
    return result;
}

} // namespace stowline::host
