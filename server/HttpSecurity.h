#pragma once

#include <string>

namespace stowline::server {

// What a client must bring besides a well-formed request, so that the component's
// authentication and certificate checks can be tried against the stand-in.
struct HttpSecurity {
    // Basic credentials every request must carry; none are asked for when user is empty.
    std::string user;
    std::string password;
    // PEM files of the certificate (chain) and its private key; HTTPS is served when set.
    std::string certificateFile;
    std::string keyFile;

    bool asksForCredentials() const { return !user.empty(); }
    bool servesTls() const { return !certificateFile.empty(); }
};

} // namespace stowline::server
