// The server program under load and across its life: a body sent too slowly, request framing,
// a crash after acknowledged updates, clean stops on signals, and what it says when it cannot
// start. Slow and many clients are SlowClientTests.cpp; many concurrent clients with their
// updates checked are the server_load_mixed test (bench/ServerLoad.cpp).
#include "support/ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>

using namespace stowline::test;
using namespace std::chrono_literals;

namespace {

constexpr int WaitMilliseconds = 30'000;
#ifdef __SANITIZE_ADDRESS__
constexpr bool AddressSanitized = true;
#else
constexpr bool AddressSanitized = false;
#endif

int occurrences(std::string_view text, std::string_view part) {
    int found = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

StandInServer::Extras options(int readTimeout, int connectionsPerClient = 32) {
    return {{QStringLiteral("--read-timeout"), QString::number(readTimeout),
             QStringLiteral("--connections-per-client"), QString::number(connectionsPerClient)}};
}

} // namespace

TEST(Connections, ABodyTrickledPastTheReadTimeoutIsDroppedAndTheWholeOneAppliedOnce) {
    StandInServer server(StandInServer::Data::Demo, options(1));
    const Values values{{"FacilityID", "1"}, {"Route", "TRICKLE"}, {"Description", "Trickled"}};
    const std::string body = requestEnvelope(updateElement("AddDeliveryRoute", values));
    RawClient trickle(server);
    ASSERT_TRUE(trickle.send(
        "POST " + std::string(stowline::AsmxPath) +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nSOAPAction: " + soapAction("AddDeliveryRoute") +
        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n"));
    // A byte per 100 ms for at most 3 s, three read time-outs; the whole body would take 40 s.
    for (std::size_t sent = 0; sent < 30 && !trickle.readable(100ms); ++sent) {
        trickle.send(body.substr(sent, 1));
    }
    EXPECT_TRUE(trickle.droppedWithin(5s));
    const QString count = QStringLiteral("SELECT count(*) FROM routes WHERE code = 'TRICKLE'");
    EXPECT_EQ(server.queryValue(count), QStringLiteral("0"));
    EXPECT_EQ(postUpdate(server, "AddDeliveryRoute", values).status, 200);
    EXPECT_EQ(server.queryValue(count), QStringLiteral("1"));
}

TEST(Connections, FrameRequestsAsHttpSays) {
    StandInServer server(StandInServer::Data::Demo, options(1));
    const std::string body = requestEnvelope(queryElement("GetFacilities"));
    const std::string head = "POST " + std::string(stowline::AsmxPath) +
                             " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "Transfer-Encoding: chunked\r\n\r\n5\r\n" + body.substr(0, 5) + "\r\n" +
             (std::ostringstream() << std::hex << body.size() - 5).str() + ";x=y\r\n" +
             body.substr(5) + "\r\n0\r\n\r\n",
         "200 OK"},
        {head + length + "Expect: 100-continue\r\n\r\n", "100 Continue"},
        {head + length + "Transfer-Encoding: chunked\r\n\r\n", "400 Bad Request"},
        {head + "Transfer-Encoding: gzip\r\n\r\n", "400 Bad Request"},
        {head + "Content-Length: 5x\r\n\r\n", "400 Bad Request"},
        {head + "Transfer-Encoding: chunked\r\n\r\nzz\r\n", "400 Bad Request"},
        {head + "Content-Length: 1048577\r\n\r\n", "413 Content Too Large"},
        {"GET " + std::string(stowline::AsmxPath) + "?" + std::string(70'000, 'q') +
             " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n",
         "414 URI Too Long"},
        {head + "X-Padding: " + std::string(70'000, 'p') + "\r\n\r\n",
         "431 Request Header Fields Too Large"},
    };
    for (const auto& [request, status] : cases) {
        RawClient client(server);
        ASSERT_TRUE(client.send(request));
        EXPECT_TRUE(client.receive(10s, "\r\n\r\n").starts_with("HTTP/1.1 " + status + "\r\n"))
            << request.substr(head.size(), 50);
    }
    // Pipelined requests, sent at once, are answered in order on the one connection.
    const std::string page = "GET " + std::string(stowline::AsmxPath) + " HTTP/1.1\r\nHost: x\r\n";
    RawClient client(server);
    ASSERT_TRUE(client.send(page + "\r\n" + page + "\r\n" + page + "Connection: close\r\n\r\n"));
    EXPECT_EQ(occurrences(client.receive(10s), "HTTP/1.1 200 OK\r\n"), 3);
}

// 200 clients that each send a body of 1 MiB at once: bodies up to 1 MiB are taken, and what
// does not fit the memory for bodies in flight is refused with 503 before it is read. The server's
// peak resident memory stays below 100 MB; it holds about 10 at rest, and without the bound it grew
// to over 200.
TEST(ServerLoad, ManyLargeBodiesAtOnceStayWithinTheMemoryBound) {
    // Started with a soft limit of open files below 200 connections, which it must raise.
    rlimit descriptors{};
    getrlimit(RLIMIT_NOFILE, &descriptors);
    const rlimit low{128, descriptors.rlim_max};
    setrlimit(RLIMIT_NOFILE, &low);
    StandInServer server(StandInServer::Data::Demo, options(30, 200));
    setrlimit(RLIMIT_NOFILE, &descriptors);
    std::string body = requestEnvelope(queryElement("GetFacilities"));
    body.resize(std::size_t{1} << 20, ' ');
    const std::string request =
        "POST " + std::string(stowline::AsmxPath) +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nSOAPAction: " + soapAction("GetFacilities") +
        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    std::vector<std::string> answers(200);
    {
        std::vector<std::jthread> senders;
        for (std::string& status : answers) {
            senders.emplace_back([&server, &request, &status] {
                try {
                    const RawClient client(server);
                    // A refused client may find its connection reset while it still sends.
                    client.send(request);
                    status = client.receive(30s, "\r\n").substr(0, 12);
                } catch (const std::runtime_error&) {
                    status = "not connected";
                }
            });
        }
    }
    const auto processStatus = [&server](std::string_view field) {
        std::ifstream file("/proc/" + std::to_string(server.processId()) + "/status");
        std::string line;
        while (std::getline(file, line) && !line.starts_with(field)) {
        }
        return line.substr(std::min(line.size(), field.size()));
    };
    // Under valgrind (scripts/memcheck) the figure would be valgrind's, and under AddressSanitizer
    // it is mostly the freed bodies the sanitizer holds back to catch late uses.
    if (processStatus("Name:").find("memcheck") == std::string::npos && !AddressSanitized) {
        EXPECT_LT(std::stol(processStatus("VmHWM:")), 100'000) << "kB";
    }
    EXPECT_TRUE(std::all_of(answers.begin(), answers.end(), [](const std::string& status) {
        return status == "HTTP/1.1 200" || status == "HTTP/1.1 503" || status.empty();
    }));
    EXPECT_GT(std::count(answers.begin(), answers.end(), "HTTP/1.1 200"), 0);
}

TEST(ServerLoad, AcknowledgedUpdatesSurviveSigkill) {
    StandInServer server;
    for (int i = 0; i < 40; ++i) {
        const std::string code = "K" + std::to_string(i);
        ASSERT_EQ(postUpdate(server, "AddDeliveryRoute",
                             {{"FacilityID", "2"}, {"Route", code}, {"Description", "Kept"}})
                      .status,
                  200);
    }
    const Values assignment{
        {"FacilityID", "1"}, {"CenterID", "1008"}, {"RouteID", "3"}, {"StorageLocationID", "4"}};
    ASSERT_EQ(postUpdate(server, "UpdateCenterRouteAndStorageLocation", assignment).status, 200);
    const QStringList acknowledged = databaseDump(server);
    server.kill();
    EXPECT_EQ(databaseDump(server), acknowledged);
    // The server started again works on what was kept, down to the last route added.
    server.restart();
    EXPECT_EQ(postUpdate(server, "DeleteDeliveryRoute", {{"DeliveryRouteID", "52"}}).status, 200);
    EXPECT_EQ(databaseDump(server).size(), acknowledged.size() - 1);
}

// A signal stops it cleanly; when it cannot start it says why, and prints no server name.
TEST(ServerLoad, EndsWithAnExitCodeAndAReason) {
    StandInServer running(StandInServer::Data::Empty);
    const QString database = QStringLiteral("--db ") + running.databasePath();
    struct Case {
        QString arguments;
        int signal;
        int exitCode;
        QString firstLine; // its start
        const char* error;
    };
    const Case cases[] = {
        {database + QStringLiteral(" --listen 127.0.0.1:0"), SIGINT, 0,
         QStringLiteral("http://127.0.0.1:"), ""},
        {database + QStringLiteral(" --listen 127.0.0.1:0"), SIGTERM, 0,
         QStringLiteral("http://127.0.0.1:"), ""},
        {database + QStringLiteral(" --listen 127.0.0.1:0 --auth u:secret"), SIGTERM, 0,
         QStringLiteral("http://127.0.0.1:"), "shows in the process list"},
        {QStringLiteral("--help"), 0, 0, QStringLiteral("Usage: "), ""},
        {QStringLiteral("--version"), 0, 0, QStringLiteral("stowline-server 2."), ""},
        {database + QStringLiteral(" --listen 0.0.0.0:0 --auth u:secret"), 0, 1, QString(),
         "refusing to listen on 0.0.0.0:0, which other machines can reach"},
        {QStringLiteral("--generate 0"), 0, 2, QString(),
         "--generate expects a number of centers from 1 to 32767"},
        {database + QStringLiteral(" --listen 127.0.0.1:%1").arg(QUrl(running.serverName()).port()),
         0, 1, QString(), "cannot listen on 127.0.0.1:"},
        {QStringLiteral("--db /nonexistent-folder/x.db"), 0, 1, QString(),
         "unable to open database file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.toStdString());
        QProcess server;
        server.start(QStringLiteral(STOWLINE_SERVER_EXECUTABLE),
                     c.arguments.split(QLatin1Char(' ')));
        while (!server.canReadLine() && server.waitForReadyRead(WaitMilliseconds)) {
        }
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        EXPECT_TRUE(c.firstLine.isEmpty() ? first.isEmpty() : first.startsWith(c.firstLine))
            << first.toStdString();
        if (c.signal != 0) {
            ASSERT_EQ(::kill(static_cast<pid_t>(server.processId()), c.signal), 0);
        }
        server.waitForFinished(WaitMilliseconds);
        ASSERT_EQ(server.state(), QProcess::NotRunning);
        EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(server.exitCode(), c.exitCode);
        const QString errors = QString::fromUtf8(server.readAllStandardError());
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.error))) << errors.toStdString();
    }
}
