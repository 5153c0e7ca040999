// stowline-server: the stand-in for the Stowline reference-data web service.
#include "CommandLine.h"
#include "ConnectionPool.h"
#include "CredentialsFile.h"
#include "DemoData.h"
#include "Generator.h"
#include "HttpService.h"
#include "LogLine.h"
#include "Schema.h"
#include "SoapService.h"

#include <csignal>
#include <ctime>
#include <iostream>
#include <mutex>
#include <pthread.h>
#include <vector>

using namespace stowline::server;

namespace {

void prepareDatabase(ConnectionPool& pool, const ServerOptions& options) {
    ConnectionPool::Lease connection = pool.acquire();
    createSchema(*connection);
    if (options.fill == ServerOptions::Fill::None) {
        return;
    }
    if (!holdsNoData(*connection)) {
        std::cerr << "stowline-server: " << logLine(options.databasePath)
                  << " already holds data; it is served as it is\n";
        return;
    }
    if (options.fill == ServerOptions::Fill::Demo) {
        insertDemoData(*connection);
    } else {
        insertGeneratedData(*connection, options.generatedCenters);
    }
}

// Waits for SIGINT or SIGTERM, or for the listener to end on its own.
void waitForStop(const sigset_t& stopSignals, const HttpService& http) {
    const timespec interval{1, 0};
    while (http.isRunning()) {
        if (sigtimedwait(&stopSignals, nullptr, &interval) > 0) {
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    ServerOptions options;
    try {
        options = parseCommandLine(arguments);
    } catch (const CommandLineError& e) {
        std::cerr << "stowline-server: " << e.what() << "\n\n" << usageText(argv[0]);
        return 2;
    }
    if (options.help) {
        std::cout << usageText(argv[0]);
        return 0;
    }
    if (options.version) {
        std::cout << "stowline-server " STOWLINE_SERVER_VERSION "\n";
        return 0;
    }
    if (options.security.asksForCredentials()) {
        std::cerr << "stowline-server: warning: the password given with --auth shows in the "
                     "process list to every user of this machine; --auth-file keeps it out\n";
    }

    // Blocked before any thread starts, so that every thread inherits the mask and the
    // signals wait for the main thread's sigtimedwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A client that goes away while its answer is written must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    try {
        if (!options.credentialsFile.empty()) {
            readCredentialsFile(options.credentialsFile, options.security);
        }
        ConnectionPool pool(options.databasePath);
        prepareDatabase(pool, options);

        std::mutex logMutex;
        // Every line passes here, whatever part of a request it quotes.
        const SoapService::Log log = [&logMutex](const std::string& text) {
            const std::string line = logLine(text);
            const std::lock_guard lock(logMutex);
            std::cerr << "stowline-server: " << line << '\n';
        };
        SoapService soap(pool, log);
        HttpService http(soap, options.security, log, options.limits);
        const int port = http.start(options.host, options.port);
        // Scripts and tests read this one line to learn the chosen port.
        std::cout << serverName(options.host, port, options.security.servesTls()) << std::endl;

        waitForStop(stopSignals, http);
        http.stop();
    } catch (const std::exception& e) {
        std::cerr << "stowline-server: " << logLine(e.what()) << '\n';
        return 1;
    }
    return 0;
}
