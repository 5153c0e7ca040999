#pragma once

#include "HttpSecurity.h"

#include <string>
#include <string_view>

namespace stowline::server {

// Takes USER:PASSWORD, split at the first colon as Basic authentication does, into the
// security's user and password; false when there is no colon, or nothing before or after it.
bool takeCredentials(std::string_view userColonPassword, HttpSecurity& security);

// Reads the credentials from a file holding one line USER:PASSWORD (a final line break is
// allowed), so that the password stays out of the process list. Throws std::runtime_error,
// without quoting the file, when it cannot be read, is not a regular file, holds anything
// else, or when users other than its owner may read or write it.
void readCredentialsFile(const std::string& path, HttpSecurity& security);

} // namespace stowline::server
