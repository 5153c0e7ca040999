// The server program under load and across its life: concurrent clients, a crash after
// acknowledged updates, clean stops on signals, and what it says when it cannot start.
#include "ServerTestSupport.h"

#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <set>
#include <thread>

using namespace stowline::test;

namespace {

constexpr int WaitMilliseconds = 30'000;

// Runs the server program itself, for what StandInServer hides: exit codes and signals.
struct ServerProcess {
    explicit ServerProcess(const QStringList& arguments) {
        process.start(QStringLiteral(STOWLINE_SERVER_EXECUTABLE), arguments);
        process.waitForStarted(WaitMilliseconds);
    }
    ~ServerProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(WaitMilliseconds);
        }
    }
    // The first line of standard output, or "" when the program ended first.
    QString firstLine() {
        while (!process.canReadLine() && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(WaitMilliseconds);
        }
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    // True once the program has ended (waitForFinished alone is false when it already had).
    bool ended() {
        return process.waitForFinished(WaitMilliseconds) || process.state() == QProcess::NotRunning;
    }
    QProcess process;
};

} // namespace

TEST(ServerLoad, EightClientsTimesTwoHundredUpdatesAllArrive) {
    StandInServer server;
    const int routesBefore =
        server.queryValue(QStringLiteral("SELECT count(*) FROM routes")).toInt();
    const int baysBefore =
        server.queryValue(QStringLiteral("SELECT count(*) FROM storage_locations")).toInt();

    constexpr int Threads = 8;
    constexpr int UpdatesPerThread = 200;
    std::atomic<int> refused{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < Threads; ++t) {
        clients.emplace_back([&server, &refused, t] {
            for (int i = 0; i < UpdatesPerThread; ++i) {
                const std::string code = "T" + std::to_string(t) + "-" + std::to_string(i);
                const std::string facility = std::to_string(t % 3 + 1);
                const HttpResult answer = i % 2 == 0
                                              ? postUpdate(server, "AddDeliveryRoute",
                                                           {{"FacilityID", facility},
                                                            {"Route", code},
                                                            {"Description", "Load " + code}})
                                              : postUpdate(server, "AddStorageLocation",
                                                           {{"TOVAFacilityID", facility},
                                                            {"RouteName", code},
                                                            {"Description", "Load " + code}});
                if (answer.status != 200) {
                    ++refused;
                }
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(refused, 0);

    std::set<std::string> expectedRoutes;
    std::set<std::string> expectedBays;
    for (int t = 0; t < Threads; ++t) {
        for (int i = 0; i < UpdatesPerThread; ++i) {
            const std::string code = "T" + std::to_string(t) + "-" + std::to_string(i);
            (i % 2 == 0 ? expectedRoutes : expectedBays).insert(code);
        }
    }
    const QStringList routes =
        server.queryColumn(QStringLiteral("SELECT code FROM routes WHERE code LIKE 'T%'"));
    const QStringList bays = server.queryColumn(
        QStringLiteral("SELECT name FROM storage_locations WHERE name LIKE 'T%'"));
    const auto asSet = [](const QStringList& values) {
        std::set<std::string> set;
        for (const QString& value : values) {
            set.insert(value.toStdString());
        }
        return set;
    };
    EXPECT_EQ(asSet(routes), expectedRoutes);
    EXPECT_EQ(asSet(bays), expectedBays);
    EXPECT_EQ(server.queryValue(QStringLiteral("SELECT count(*) FROM routes")).toInt(),
              routesBefore + Threads * UpdatesPerThread / 2);
    EXPECT_EQ(server.queryValue(QStringLiteral("SELECT count(*) FROM storage_locations")).toInt(),
              baysBefore + Threads * UpdatesPerThread / 2);
}

TEST(ServerLoad, AcknowledgedUpdatesSurviveSigkill) {
    StandInServer server;
    constexpr int Updates = 40;
    for (int i = 0; i < Updates; ++i) {
        ASSERT_EQ(postUpdate(server, "AddDeliveryRoute",
                             {{"FacilityID", "2"},
                              {"Route", "K" + std::to_string(i)},
                              {"Description", "Kept " + std::to_string(i)}})
                      .status,
                  200);
    }
    ASSERT_EQ(postUpdate(server, "UpdateCenterRouteAndStorageLocation",
                         {{"FacilityID", "1"},
                          {"CenterID", "1008"},
                          {"RouteID", "3"},
                          {"StorageLocationID", "4"}})
                  .status,
              200);
    const QStringList acknowledged = databaseDump(server);

    server.kill();
    ASSERT_FALSE(server.isRunning());
    EXPECT_EQ(databaseDump(server), acknowledged);

    server.restart();
    ASSERT_TRUE(server.isRunning());
    const HttpResult routes = postToEndpoint(
        server, requestEnvelope(queryElement("GetDeliveryRoute")), soapAction("GetDeliveryRoute"));
    ASSERT_EQ(routes.status, 200);
    // "K39" appears escaped inside the result; the count of rows shows in the table ids.
    EXPECT_NE(routes.body.find("Kept 39"), std::string::npos);
    EXPECT_NE(routes.body.find("Table" + std::to_string(12 + Updates) + "\""), std::string::npos);
    EXPECT_EQ(postUpdate(server, "DeleteDeliveryRoute", {{"DeliveryRouteID", "13"}}).status, 200);
    EXPECT_EQ(databaseDump(server).size(), acknowledged.size() - 1);
}

TEST(ServerLoad, StopsCleanlyOnSigintAndSigterm) {
    for (const int signal : {SIGINT, SIGTERM}) {
        StandInServer database(StandInServer::Data::Empty);
        database.stop();
        ServerProcess server({QStringLiteral("--db"), database.databasePath(),
                              QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
        const QString name = server.firstLine();
        ASSERT_TRUE(name.startsWith(QStringLiteral("http://127.0.0.1:"))) << name.toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(server.process.processId()), signal), 0);
        ASSERT_TRUE(server.ended());
        EXPECT_EQ(server.process.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(server.process.exitCode(), 0) << signal;
    }
}

TEST(ServerLoad, SaysWhyItCannotStart) {
    StandInServer running(StandInServer::Data::Empty);
    const QString busyPort = QString::number(QUrl(running.serverName()).port());
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{QStringLiteral("--generate"), QStringLiteral("0")},
         2,
         "--generate expects a number of centers from 1 to 32767"},
        {{QStringLiteral("--db"), running.databasePath(), QStringLiteral("--listen"),
          QStringLiteral("127.0.0.1:") + busyPort},
         1,
         "cannot listen on 127.0.0.1:"},
        {{QStringLiteral("--db"), QStringLiteral("/nonexistent-folder/x.db")},
         1,
         "unable to open database file"},
    };
    for (const Case& c : cases) {
        ServerProcess server(c.arguments);
        EXPECT_EQ(server.firstLine(), QString());
        ASSERT_TRUE(server.ended());
        EXPECT_EQ(server.process.exitCode(), c.exitCode) << c.message;
        const QString errors = QString::fromUtf8(server.process.readAllStandardError());
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.message))) << errors.toStdString();
    }

    ServerProcess help({QStringLiteral("--help")});
    ASSERT_TRUE(help.ended());
    EXPECT_EQ(help.process.exitCode(), 0);
    EXPECT_TRUE(help.process.readAllStandardOutput().contains("--generate CENTERS"));
}
