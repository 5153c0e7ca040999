// The built stowline-host as a user runs it: screenshots offscreen against the stand-in server.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

namespace {

struct HostRun {
    int exitCode = -1;
    QString out;
    QString err;
};

HostRun runHost(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess host;
    host.setProcessEnvironment(environment);
    host.start(QStringLiteral(STOWLINE_HOST_EXECUTABLE), arguments);
    EXPECT_TRUE(host.waitForStarted(30'000)) << host.errorString().toStdString();
    EXPECT_TRUE(host.waitForFinished(120'000)) << "stowline-host did not end";
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    return {host.exitCode(), QString::fromUtf8(host.readAllStandardOutput()),
            QString::fromUtf8(host.readAllStandardError())};
}

QProcessEnvironment offscreen() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// The row count the host printed for one list, or -1.
int printedRows(const QString& out, const QString& list) {
    const QRegularExpression line(QStringLiteral("^%1: (\\d+) rows$").arg(list),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(out);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

const QStringList pictures{QStringLiteral("page1-routes.png"),
                           QStringLiteral("page2-storage-locations.png"),
                           QStringLiteral("page3-assignments.png")};

TEST(HostProgram, ScreenshotsOfTheDemoDataOffscreen) {
    stowline::test::StandInServer server;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString shots = dir.filePath(QStringLiteral("shots"));
    const QString log = dir.filePath(QStringLiteral("events.log"));

    const HostRun run =
        runHost({QStringLiteral("--server"), server.serverName(), QStringLiteral("--screenshot"),
                 shots, QStringLiteral("--event-log"), log},
                offscreen());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("message box"))) << run.err.toStdString();

    for (const QString& name : pictures) {
        const QString path = QDir(shots).filePath(name);
        EXPECT_TRUE(run.out.contains(QStringLiteral("Saved ") + path)) << run.out.toStdString();
        EXPECT_GT(QFileInfo(path).size(), 0) << name.toStdString();
        const QImage image(path, "PNG");
        EXPECT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_GE(image.width(), 688) << "the component at its design width";
    }
    EXPECT_EQ(printedRows(run.out, QStringLiteral("lstRoute")),
              server.queryValue(QStringLiteral("SELECT count(*) FROM routes")).toInt());
    EXPECT_EQ(printedRows(run.out, QStringLiteral("lstLocation")),
              server.queryValue(QStringLiteral("SELECT count(*) FROM storage_locations")).toInt());
    EXPECT_EQ(printedRows(run.out, QStringLiteral("lstStowline")),
              server.queryValue(QStringLiteral("SELECT count(*) FROM centers WHERE status = '2'"))
                  .toInt());
    EXPECT_GT(printedRows(run.out, QStringLiteral("lstStowline")), 0);
    // A clean load writes nothing to the event log.
    EXPECT_TRUE(QFileInfo::exists(log));
    EXPECT_EQ(QFileInfo(log).size(), 0);
}

TEST(HostProgram, AnUnreachableServerIsAnsweredAndLoggedWithoutAScreen) {
    stowline::test::StandInServer server(stowline::test::StandInServer::Data::Empty);
    const QString name = server.serverName();
    server.stop();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("events.log"));

    // Screenshot mode chooses the offscreen platform by itself.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const HostRun run = runHost({QStringLiteral("--server"), name, QStringLiteral("--screenshot"),
                                 dir.path(), QStringLiteral("--event-log"), log},
                                environment);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("answered OK"))) << run.err.toStdString();
    for (const QString& list : {QStringLiteral("lstRoute"), QStringLiteral("lstLocation"),
                                QStringLiteral("lstStowline")}) {
        EXPECT_EQ(printedRows(run.out, list), 0) << list.toStdString();
    }
    for (const QString& picture : pictures) {
        EXPECT_GT(QFileInfo(dir.filePath(picture)).size(), 0) << picture.toStdString();
    }
    QFile events(log);
    ASSERT_TRUE(events.open(QIODevice::ReadOnly));
    const QString entries = QString::fromUtf8(events.readAll());
    EXPECT_TRUE(entries.contains(QStringLiteral("ReturnWebserviceXML"))) << entries.toStdString();
}

TEST(HostProgram, RefusesScreenshotsWithoutAServer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString shots = dir.filePath(QStringLiteral("shots"));
    const HostRun run = runHost({QStringLiteral("--screenshot"), shots}, offscreen());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--server"))) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(shots));
}

} // namespace
