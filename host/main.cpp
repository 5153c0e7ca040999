// stowline-host: embeds the Stowline component in a main window, or with --screenshot saves
// pictures of its three pages without a screen.
#include "CommandLine.h"
#include "EventLogFile.h"
#include "MainWindow.h"
#include "MessageBoxAutoAnswer.h"
#include "Screenshots.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using namespace stowline::host;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void printLine(std::FILE* stream, const QString& line) {
    std::fprintf(stream, "%s\n", qUtf8Printable(line));
    std::fflush(stream);
}

int runScreenshots(const HostOptions& options) {
    // Nobody is there to answer a box; each is answered and shown on stderr instead.
    const MessageBoxAutoAnswer autoAnswer(
        [](const QString& line) { printLine(stderr, QStringLiteral("stowline-host: ") + line); });
    MainWindow window;
    window.show();
    window.loadFrom(options.serverName);

    const ScreenshotResult result = saveScreenshots(window, options.screenshotDir);
    for (const PageShot& page : result.pages) {
        printLine(stdout, QStringLiteral("Saved %1").arg(page.filePath));
        printLine(stdout, page.rows < 0
                              ? QStringLiteral("%1: not found").arg(page.listName)
                              : QStringLiteral("%1: %2 rows").arg(page.listName).arg(page.rows));
    }
    if (!result.ok()) {
        printLine(stderr, QStringLiteral("stowline-host: ") + result.error);
        return ExitFailure;
    }
    if (autoAnswer.answered() > 0) {
        printLine(stderr, QStringLiteral("stowline-host: %1 message box(es) were answered "
                                         "automatically; the pictures show the state after them.")
                              .arg(autoAnswer.answered()));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The command line is read before the QApplication exists: help, version and a wrong line
    // are answered without a display, which Qt cannot start without.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine commandLine =
        parseCommandLine(arguments, qEnvironmentVariable("STOWLINE_SERVER"));
    switch (commandLine.outcome) {
    case CommandLine::Outcome::ShowHelp:
    case CommandLine::Outcome::ShowVersion:
        std::fputs(qUtf8Printable(commandLine.message), stdout);
        return 0;
    case CommandLine::Outcome::Error:
        printLine(stderr, QStringLiteral("stowline-host: ") + commandLine.message);
        return ExitUsage;
    case CommandLine::Outcome::Run:
        break;
    }
    const HostOptions& options = commandLine.options;
    std::optional<EventLogFileSink> eventLog;
    if (!options.eventLogPath.isEmpty()) {
        QString error;
        auto file = EventLogFile::open(options.eventLogPath, &error);
        if (!file) {
            printLine(stderr, QStringLiteral("stowline-host: ") + error);
            return ExitUsage;
        }
        eventLog.emplace(std::move(file));
    }

    // Screenshots need no screen: do not depend on one.
    if (options.screenshotMode() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stowline-host"));
    QApplication::setApplicationDisplayName(QStringLiteral("Stowline"));
    QApplication::setApplicationVersion(hostVersion());
    // The menu entry, whose icon the desktop shows for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("stowline-host"));

    if (options.screenshotMode()) {
        return runScreenshots(options);
    }

    MainWindow window;
    window.show();
    if (!options.serverName.isEmpty()) {
        // Load once the window is on screen, so that the wait cursor and any message box
        // appear over it.
        QTimer::singleShot(0, &window,
                           [&window, &options] { window.loadFrom(options.serverName); });
    }
    return QApplication::exec();
}
