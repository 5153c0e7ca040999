#include "CredentialsFile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <endian.h>
#include <fcntl.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// What users other than the file's owner may do with it, as ACL_READ and ACL_WRITE: its group
// and all others by its mode or, where an access control list extends the mode, every entry but
// the owner's and one for the user the server runs as. systemd hands a service its credentials
// that way: the file is root's, mode 0400, and read by the service's user through such an entry,
// which makes the mode show the group as readers.
unsigned othersAccess(int descriptor, const struct stat& status) {
    constexpr unsigned Both = ACL_READ | ACL_WRITE;
    const unsigned byMode = (((status.st_mode & S_IRWXG) >> 3) | (status.st_mode & S_IRWXO)) & Both;
    std::array<char, 1024> list{};
    const ssize_t size =
        ::fgetxattr(descriptor, "system.posix_acl_access", list.data(), list.size());
    if (size < 0) {
        return errno == ENODATA || errno == ENOTSUP ? byMode : Both;
    }
    posix_acl_xattr_header header{};
    const auto length = static_cast<std::size_t>(size);
    if (length < sizeof header) {
        return Both;
    }
    std::memcpy(&header, list.data(), sizeof header);
    if (le32toh(header.a_version) != POSIX_ACL_XATTR_VERSION) {
        return Both;
    }
    unsigned groupClass = 0;
    unsigned others = 0;
    unsigned mask = Both;
    for (std::size_t at = sizeof header; at + sizeof(posix_acl_xattr_entry) <= length;
         at += sizeof(posix_acl_xattr_entry)) {
        posix_acl_xattr_entry entry{};
        std::memcpy(&entry, list.data() + at, sizeof entry);
        const unsigned permissions = le16toh(entry.e_perm);
        switch (le16toh(entry.e_tag)) {
        case ACL_USER:
            groupClass |= le32toh(entry.e_id) == ::geteuid() ? 0 : permissions;
            break;
        case ACL_GROUP_OBJ:
        case ACL_GROUP:
            groupClass |= permissions;
            break;
        case ACL_MASK:
            mask = permissions;
            break;
        case ACL_OTHER:
            others |= permissions;
            break;
        default:
            break;
        }
    }
    return ((groupClass & mask) | others) & Both;
}

} // namespace

bool takeCredentials(std::string_view userColonPassword, HttpSecurity& security) {
    const std::size_t colon = userColonPassword.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == userColonPassword.size()) {
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
    const unsigned access = othersAccess(file.get(), status);
    if ((access & ACL_READ) != 0) {
        throw std::runtime_error(refusal + "users other than its owner may read it (chmod 600 " +
                                 path + ")");
    }
    // Whoever may write it may put in a password of their own.
    if ((access & ACL_WRITE) != 0) {
        throw std::runtime_error(refusal + "users other than its owner may write it (chmod 600 " +
                                 path + ")");
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
        throw std::runtime_error(refusal +
                                 "it must hold one line USER:PASSWORD, neither of them empty");
    }
}

} // namespace stowline::server
