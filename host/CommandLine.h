#pragma once

#include <QString>
#include <QStringList>

namespace stowline::host {

// What the host was asked to do.
struct HostOptions {
    QString serverName;    // --server: loaded at start when given
    QString eventLogPath;  // --event-log: append entries here instead of syslog
    QString screenshotDir; // --screenshot: load, save the pages as PNGs and exit
    bool screenshotMode() const { return !screenshotDir.isEmpty(); }
};

struct CommandLine {
    enum class Outcome { Run, ShowHelp, ShowVersion, Error };
    Outcome outcome = Outcome::Run;
    HostOptions options;
    // The help or version text, or the reason the arguments were refused.
    QString message;
};

// The project version, e.g. "2.1.6".
QString hostVersion();

// Parses the arguments left after QApplication took its own (the program name first).
CommandLine parseCommandLine(const QStringList& arguments);

// True when the arguments ask for something that needs no screen (help, version, screenshots),
// judged before QApplication exists so that the offscreen platform can be chosen.
bool runsWithoutScreen(int argc, const char* const* argv);

} // namespace stowline::host
