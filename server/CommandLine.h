#pragma once

#include "HttpSecurity.h"
#include "HttpService.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace stowline::server {

struct ServerOptions {
    enum class Fill { None, Demo, Generated };

    std::string host = "127.0.0.1";
    int port = 8080;
    std::string databasePath = "stowline.db";
    Fill fill = Fill::None;
    int generatedCenters = 0;
    HttpSecurity security; // --auth and --tls
    // --auth-file: read by the caller into security, so that the parsing does no I/O.
    std::string credentialsFile;
    HttpLimits limits; // --read-timeout, --connections and --connections-per-client
    bool help = false;
    bool version = false;
};

class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Options take their value as the next argument
// or after "=". Throws CommandLineError with a message for the user.
ServerOptions parseCommandLine(std::span<const std::string_view> arguments);

std::string usageText(std::string_view program);

// What a client passes as the server name, e.g. "http://127.0.0.1:8080", or
// "https://127.0.0.1:8443" when the server speaks TLS. It never carries credentials.
std::string serverName(const std::string& host, int port, bool tls = false);

} // namespace stowline::server
