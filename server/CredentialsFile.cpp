#include "CredentialsFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace stowline::server {
namespace {

// A line of credentials is short; anything longer is not such a file.
constexpr std::size_t LargestFile = 4096;

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~FileDescriptor() {
        if (m_descriptor >= 0) {
            ::close(m_descriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

} // namespace

bool takeCredentials(std::string_view userColonPassword, HttpSecurity& security) {
    const std::size_t colon = userColonPassword.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    security.user = userColonPassword.substr(0, colon);
    security.password = userColonPassword.substr(colon + 1);
    return true;
}

void readCredentialsFile(const std::string& path, HttpSecurity& security) {
    const std::string refusal = "refusing the credentials file " + path + ": ";
    // The checks look at the file opened, so that it cannot be swapped in between.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        throw std::runtime_error("cannot read the credentials file " + path + ": " +
                                 std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw std::runtime_error(refusal + "it is not a regular file");
    }
    if ((status.st_mode & S_IROTH) != 0) {
        throw std::runtime_error(refusal + "every user may read it (chmod o-r " + path + ")");
    }
    // One byte more than allowed tells a file that is too long.
    std::string text(LargestFile + 1, '\0');
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t n = ::read(file.get(), text.data() + length, text.size() - length);
        if (n < 0) {
            throw std::runtime_error("cannot read the credentials file " + path + ": " +
                                     std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        length += static_cast<std::size_t>(n);
    }
    text.resize(length);
    if (text.ends_with('\n')) {
        text.pop_back();
        if (text.ends_with('\r')) {
            text.pop_back();
        }
    }
    if (text.size() > LargestFile || text.find_first_of("\r\n") != std::string::npos ||
        !takeCredentials(text, security)) {
        throw std::runtime_error(refusal + "it must hold one line USER:PASSWORD");
    }
}

} // namespace stowline::server
