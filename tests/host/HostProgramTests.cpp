// The built stowline-host as a user runs it: screenshots against the stand-in server, without a
// screen (no QT_QPA_PLATFORM: the host chooses the offscreen platform by itself).
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

namespace {

using stowline::test::StandInServer;

struct HostRun {
    int exitCode = -1;
    QString out;
    QString err;
};

HostRun runHost(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    QProcess host;
    host.setProcessEnvironment(environment);
    host.start(STOWLINE_HOST_EXECUTABLE, arguments);
    EXPECT_TRUE(host.waitForFinished(120'000)) << "stowline-host did not end";
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    return {host.exitCode(), QString::fromUtf8(host.readAllStandardOutput()),
            QString::fromUtf8(host.readAllStandardError())};
}

const char* const Pages[][2] = {{"page1-routes.png", "lstRoute"},
                                {"page2-storage-locations.png", "lstLocation"},
                                {"page3-assignments.png", "lstStowline"}};

// What the host prints for the pages saved into `dir` with these row counts.
QString printed(const QString& dir, const std::array<int, 3>& rows) {
    QString out;
    for (int i = 0; i < 3; ++i) {
        out += QStringLiteral("Saved %1/%2\n%3: %4 rows\n")
                   .arg(dir, Pages[i][0], Pages[i][1])
                   .arg(rows[i]);
    }
    return out;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "(cannot be read)";
}

TEST(HostProgram, ScreenshotsOfTheDemoData) {
    StandInServer server;
    const QTemporaryDir dir;
    const QString shots = dir.filePath("shots");
    const QString log = dir.filePath("events.log");
    const HostRun run =
        runHost({"--server", server.serverName(), "--screenshot", shots, "--event-log", log});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("message box")) << run.err.toStdString();
    const auto count = [&server](const char* from) {
        return server.queryValue(QStringLiteral("SELECT count(*) FROM ") + from).toInt();
    };
    EXPECT_EQ(run.out, printed(shots, {count("routes"), count("storage_locations"),
                                       count("centers WHERE status = '2'")}));
    for (const auto& page : Pages) {
        EXPECT_FALSE(QImage(QDir(shots).filePath(page[0]), "PNG").isNull()) << page[0];
    }
    // A clean load writes nothing to the event log.
    EXPECT_EQ(contents(log), QByteArray());
}

TEST(HostProgram, AnUnreachableServerIsAnsweredAndLogged) {
    StandInServer server(StandInServer::Data::Empty);
    const QString name = server.serverName();
    server.stop();
    const QTemporaryDir dir;
    const QString log = dir.filePath("events.log");
    const HostRun run = runHost({"--server", name, "--screenshot", dir.path(), "--event-log", log});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, printed(dir.path(), {0, 0, 0}));
    // Each of the four queries fails: one error box each, answered and told on stderr, and one
    // entry of six lines each, the lines of an entry kept with their own line ends. The empty
    // answer's own box comes on top.
    EXPECT_EQ(run.err.count("answered OK: An application error"), 4) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("5 message box(es) were answered")) << run.err.toStdString();
    const QByteArray entries = contents(log);
    EXPECT_EQ(entries.count("Error Source -  ReturnWebserviceXML\r\n"), 4) << entries.data();
    EXPECT_EQ(entries.count('\n'), 4 * 6) << entries.data();
    EXPECT_TRUE(entries.endsWith("Project Associated - prjStowline\n")) << entries.data();
}

TEST(HostProgram, RefusesScreenshotsWithoutAServer) {
    const QTemporaryDir dir;
    const HostRun run = runHost({"--screenshot", dir.filePath("shots")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--server")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("shots")));
}

} // namespace
