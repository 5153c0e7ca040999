#pragma once

#include <QString>
#include <QStringList>

namespace stowline::host {

// What the host was asked to do.
struct HostOptions {
    QString serverName;    // --server or STOWLINE_SERVER: loaded at start when given
    QString eventLogPath;  // --event-log: append entries here instead of syslog
    QString screenshotDir; // --screenshot: load, save the pages as PNGs and exit
    bool screenshotMode() const { return !screenshotDir.isEmpty(); }
};

struct CommandLine {
    enum class Outcome { Run, ShowHelp, ShowVersion, Error };
    Outcome outcome = Outcome::Run;
    HostOptions options;
    // The help or version text, or the reason the arguments were refused followed by the usage.
    QString message;
};

// The project version, e.g. "2.1.6".
QString hostVersion();

// Parses the whole command line (the program name first) before the QApplication exists, so
// that help, version and a wrong line need no display. Qt's own options (-platform, -style, ...)
// are accepted and left to the QApplication. `environmentServer` is STOWLINE_SERVER, the server
// when --server is not given.
CommandLine parseCommandLine(const QStringList& arguments, const QString& environmentServer);

} // namespace stowline::host
