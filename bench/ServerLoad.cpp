// Puts the stand-in server under the load of many operator programs at once: concurrent
// clients, each on its own connection, mix queries with updates of records that are theirs
// alone. Prints the throughput, the latencies overall and per operation and the errors, then
// checks the database the server kept against every acknowledged update. Beside the clients,
// STALLED connections may each send a request line and one header and then nothing, from
// loopback addresses of their own (127.0.0.2 and up); one that the server closes is replaced at
// once, so that that many stall throughout the run.
//
//     stowline-bench-server-load [SECONDS] [CLIENTS] [CENTERS] [STALLED] [--baseline SERVER]
//                                                      (defaults 60, 16, 2000, 0)
//
// With --baseline, another build of stowline-server is measured beside this one: each runs
// SECONDS alone and SECONDS beside 64 stalled connections, the two servers taking turns, three
// rounds; then requests per second and the p50 and p99 latencies of both are printed side by
// side, with the load average of the machine.
//
// Exits with 1 when a request failed, a query missed an acknowledged change, or an
// acknowledged update is missing from the database.
#include "DatabaseCheck.h"
#include "LoadClient.h"

#include <stowline/ServiceNamespace.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace stowline::bench;

namespace {

struct Options {
    int seconds = 60;
    int clients = 16;
    int centers = 2000;
    int stalled = 0;
    QString baseline;
};

Options parseOptions(QStringList arguments) {
    Options options;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--baseline"));
        at > 0 && at + 1 < arguments.size()) {
        options.baseline = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    int* const targets[] = {&options.seconds, &options.clients, &options.centers, &options.stalled};
    for (qsizetype i = 1; i < arguments.size() && i <= 4; ++i) {
        *targets[i - 1] = std::max(i == 4 ? 0 : 1, arguments.at(i).toInt());
    }
    return options;
}

// A connection from 127.0.0.`host` that sends a request line and one header and then nothing;
// -1 when it cannot connect.
int stalledConnection(int port, int host) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + static_cast<std::uint32_t>(host) - 1);
    ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string start =
        "POST " + std::string(stowline::AsmxPath) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(s, start.data(), start.size(), MSG_NOSIGNAL) < 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// Keeps `count` stalled connections open until `until`, replacing each one the server closes;
// returns how many it opened in all. They come from 127.0.0.2 to 127.0.0.9, so that a limit
// per client address leaves them as many connections as the clients on 127.0.0.1.
int stallConnections(int port, int count, std::chrono::steady_clock::time_point until) {
    std::vector<pollfd> stalled;
    int opened = 0;
    while (std::chrono::steady_clock::now() < until) {
        while (static_cast<int>(stalled.size()) < count) {
            const int s = stalledConnection(port, 2 + opened % 8);
            if (s < 0) {
                break;
            }
            stalled.push_back({s, POLLIN, 0});
            ++opened;
        }
        ::poll(stalled.data(), stalled.size(), 100);
        // An answer (408) first, or at once the server's end of the connection.
        std::erase_if(stalled, [](const pollfd& connection) {
            char answer[256];
            if (connection.revents == 0 ||
                ::recv(connection.fd, answer, sizeof answer, MSG_DONTWAIT) > 0) {
                return false;
            }
            ::close(connection.fd);
            return true;
        });
    }
    for (const pollfd& connection : stalled) {
        ::close(connection.fd);
    }
    return opened;
}

double milliseconds(std::uint32_t microseconds) {
    return static_cast<double>(microseconds) / 1000.0;
}

// Nearest rank: the smallest time that at least `fraction` of the requests did not exceed.
std::uint32_t percentile(const std::vector<std::uint32_t>& sorted, double fraction) {
    if (sorted.empty()) {
        return 0;
    }
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void printLatencies(const char* name, std::vector<std::uint32_t> times) {
    if (times.empty()) {
        std::printf("%-36s %8d\n", name, 0);
        return;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-36s %8zu %9.2f %9.2f %9.2f\n", name, times.size(),
                milliseconds(percentile(times, 0.50)), milliseconds(percentile(times, 0.99)),
                milliseconds(times.back()));
}

void printProblems(const char* heading, const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    std::printf("%s (first %zu):\n", heading, std::min<std::size_t>(problems.size(), 10));
    for (std::size_t i = 0; i < problems.size() && i < 10; ++i) {
        std::printf("  %s\n", problems[i].c_str());
    }
}

// The processor time the process has used so far, user and system, in seconds.
double processorSeconds(qint64 pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    // The command in field 2 holds no blank here; fields 14 and 15 are utime and stime.
    for (int i = 1; i < 14; ++i) {
        file >> field;
    }
    double user = 0;
    double system = 0;
    file >> user >> system;
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one;
    std::string five;
    std::string fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// What one run of one server gave.
struct Run {
    bool started = false;
    double elapsed = 0;
    std::vector<std::uint32_t> all;
    std::array<std::vector<std::uint32_t>, RequestKinds> perKind;
    int errors = 0;
    int staleReads = 0;
    int lost = 0;
    int connections = 0;
    int slowConnections = 0;
    int stalledOpened = 0;
    double serverProcessorSeconds = 0;
    std::vector<std::string> problems;
    std::vector<std::string> lostProblems;

    bool clean() const { return started && errors == 0 && staleReads == 0 && lost == 0; }
    double perSecond() const { return static_cast<double>(all.size()) / elapsed; }
    // The server's processor time per request: what it costs, however busy the machine.
    double processorMicroseconds() const {
        return all.empty() ? 0.0 : serverProcessorSeconds * 1e6 / static_cast<double>(all.size());
    }
};

// Starts `executable` on a generated database of its own, runs the clients and `stalled`
// connections against it for the options' time, stops it and checks what it kept.
Run runOnce(const QString& executable, const Options& options, int stalled) {
    Run run;
    QTemporaryDir directory;
    const QString databasePath = directory.filePath(QStringLiteral("load.db"));
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(executable, {QStringLiteral("--db"), databasePath, QStringLiteral("--generate"),
                              QString::number(options.centers), QStringLiteral("--listen"),
                              QStringLiteral("127.0.0.1:0")});
    if (!server.waitForReadyRead(120'000)) {
        std::fprintf(stderr, "%s did not start\n", qPrintable(executable));
        return run;
    }
    run.started = true;
    const std::string serverName = QString::fromUtf8(server.readLine()).trimmed().toStdString();

    std::vector<std::unique_ptr<LoadClient>> clients;
    for (int i = 0; i < options.clients; ++i) {
        clients.push_back(
            std::make_unique<LoadClient>(i, options.clients, options.centers, serverName));
    }
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::seconds(options.seconds);
    {
        std::vector<std::jthread> threads;
        if (stalled > 0) {
            const int port = QUrl(QString::fromStdString(serverName)).port();
            threads.emplace_back([&run, port, stalled, until] {
                run.stalledOpened = stallConnections(port, stalled, until);
            });
            // They stall before the clients start.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        for (const auto& client : clients) {
            threads.emplace_back([&client, until] { client->run(until); });
        }
    }
    run.elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.serverProcessorSeconds = processorSeconds(server.processId());
    // The check reads what the server left in its file once it has stopped.
    server.terminate();
    server.waitForFinished(30'000);

    std::vector<OwnedRecords> expected;
    for (const auto& client : clients) {
        ClientResult& result = client->result();
        for (std::size_t k = 0; k < RequestKinds; ++k) {
            run.perKind[k].insert(run.perKind[k].end(), result.microseconds[k].begin(),
                                  result.microseconds[k].end());
        }
        run.errors += result.errors;
        run.connections += result.connections;
        run.slowConnections += result.slowConnections;
        run.staleReads += result.staleReads;
        run.problems.insert(run.problems.end(), result.problems.begin(), result.problems.end());
        expected.push_back(std::move(result.records));
    }
    for (const auto& times : run.perKind) {
        run.all.insert(run.all.end(), times.begin(), times.end());
    }
    std::sort(run.all.begin(), run.all.end());
    try {
        run.lost = countLostUpdates(databasePath.toStdString(), expected, run.lostProblems);
    } catch (const std::exception& e) {
        run.problems.push_back(std::string("the database cannot be read: ") + e.what());
        ++run.lost;
    }
    return run;
}

void printRun(const Run& run, int stalled) {
    std::printf("requests: %zu in %.1f s = %.0f per second\n", run.all.size(), run.elapsed,
                run.perSecond());
    std::printf("server processor time: %.0f us per request\n", run.processorMicroseconds());
    // A connect that finds the listen queue full waits for its SYN to be sent again, a second
    // later.
    std::printf("connections opened: %d, %d of them accepted only after a second or more\n",
                run.connections, run.slowConnections);
    if (stalled > 0) {
        std::printf("stalled connections opened: %d (the server closes each after its read "
                    "time-out)\n",
                    run.stalledOpened);
    }
    std::printf("%-36s %8s %9s %9s %9s\n", "latency (ms)", "count", "p50", "p99", "max");
    printLatencies("all", run.all);
    for (std::size_t k = 0; k < RequestKinds; ++k) {
        printLatencies(operationName(static_cast<RequestKind>(k)), run.perKind[k]);
    }
    std::printf("errors: %d\n", run.errors);
    std::printf("stale reads: %d\n", run.staleReads);
    std::printf("lost updates: %d\n", run.lost);
    printProblems("problems during the run", run.problems);
    printProblems("lost updates", run.lostProblems);
}

// Both servers in turn, alone and beside 64 stalled connections, three rounds; the order of the
// two changes from round to round, so that neither always runs on a warmer machine.
int compareWithBaseline(const Options& options) {
    constexpr int Rounds = 3;
    constexpr int Stalled = 64;
    const QString servers[] = {QStringLiteral(STOWLINE_SERVER_EXECUTABLE), options.baseline};
    const char* names[] = {"this", "baseline"};
    // [server][stalled?]: every request's time, and each round's requests per second.
    std::map<std::pair<int, int>, std::vector<std::uint32_t>> times;
    std::map<std::pair<int, int>, std::vector<double>> rates;
    std::map<std::pair<int, int>, std::vector<double>> costs;
    bool clean = true;
    const std::string loadBefore = loadAverage();
    std::printf("%d clients, %d generated centers, %d s a run; load average %s\n", options.clients,
                options.centers, options.seconds, loadBefore.c_str());
    std::printf("%-8s %-9s %5s %9s %9s %9s %9s %6s\n", "server", "stalled", "round", "req/s",
                "p50 ms", "p99 ms", "cpu us", "errors");
    for (int round = 0; round < Rounds; ++round) {
        for (const int stalled : {0, Stalled}) {
            for (int turn = 0; turn < 2; ++turn) {
                const int which = (turn + round) % 2;
                const Run run = runOnce(servers[which], options, stalled);
                clean = clean && run.clean();
                const auto key = std::make_pair(which, stalled);
                times[key].insert(times[key].end(), run.all.begin(), run.all.end());
                rates[key].push_back(run.started ? run.perSecond() : 0.0);
                costs[key].push_back(run.processorMicroseconds());
                std::printf("%-8s %-9d %5d %9.0f %9.2f %9.2f %9.0f %6d\n", names[which], stalled,
                            round + 1, rates[key].back(), milliseconds(percentile(run.all, 0.5)),
                            milliseconds(percentile(run.all, 0.99)), costs[key].back(),
                            run.errors + run.staleReads + run.lost);
                printProblems("problems", run.problems);
            }
        }
    }
    std::printf("\nsummary (req/s and the server's processor time per request: medians of the "
                "rounds;\nlatencies over all their requests)\n");
    std::printf("%-8s %-9s %9s %9s %9s %9s\n", "server", "stalled", "req/s", "p50 ms", "p99 ms",
                "cpu us");
    for (const int stalled : {0, Stalled}) {
        for (int which = 0; which < 2; ++which) {
            const auto key = std::make_pair(which, stalled);
            std::vector<std::uint32_t>& all = times[key];
            std::sort(all.begin(), all.end());
            const auto median = [](std::vector<double> values) {
                std::sort(values.begin(), values.end());
                return values[values.size() / 2];
            };
            std::printf("%-8s %-9d %9.0f %9.2f %9.2f %9.0f\n", names[which], stalled,
                        median(rates[key]), milliseconds(percentile(all, 0.5)),
                        milliseconds(percentile(all, 0.99)), median(costs[key]));
        }
    }
    std::printf("load average before %s, after %s\n", loadBefore.c_str(), loadAverage().c_str());
    return clean ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(QCoreApplication::arguments());
    curl_global_init(CURL_GLOBAL_DEFAULT);
    int exitCode = 0;
    if (!options.baseline.isEmpty()) {
        exitCode = compareWithBaseline(options);
    } else {
        std::printf("%d generated centers; %d clients and %d stalled connections for %d s\n",
                    options.centers, options.clients, options.stalled, options.seconds);
        const Run run =
            runOnce(QStringLiteral(STOWLINE_SERVER_EXECUTABLE), options, options.stalled);
        printRun(run, options.stalled);
        exitCode = run.clean() ? 0 : 1;
    }
    curl_global_cleanup();
    return exitCode;
}
