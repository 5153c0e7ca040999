#include "support/LoopbackSocket.h"

#include <QList>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {
namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

} // namespace

int listenOnLoopback(quint16& port) {
    const int listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listening < 0 ||
        ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listening, 16) != 0 ||
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1"); // the test ends here
    }
    port = ntohs(address.sin_port);
    return listening;
}

int connectToLoopback(quint16 port) {
    const int connection = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    if (connection >= 0 &&
        ::connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(connection);
        return -1;
    }
    return connection;
}

bool waitFor(int socket, short events, const std::atomic<bool>& stopped,
             std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!stopped && std::chrono::steady_clock::now() < until) {
        pollfd fd{socket, events, 0};
        if (::poll(&fd, 1, 10) > 0) {
            return true;
        }
    }
    return false;
}

qsizetype sendAll(int socket, const QByteArray& bytes, const std::atomic<bool>& stopped) {
    qsizetype at = 0;
    while (at < bytes.size() && waitFor(socket, POLLOUT, stopped)) {
        const ssize_t sent =
            ::send(socket, bytes.constData() + at, static_cast<size_t>(bytes.size() - at),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (sent <= 0) {
            break;
        }
        at += sent;
    }
    return at;
}

bool readMessage(int socket, RecordedRequest& message, const std::atomic<bool>& stopped) {
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    while (headerEnd < 0 || message.raw.size() < headerEnd + contentLength) {
        if (!waitFor(socket, POLLIN, stopped)) {
            return false;
        }
        char buffer[16384];
        const ssize_t received = ::recv(socket, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            // The peer went away: keep what arrived, marked incomplete.
            message.body = headerEnd < 0 ? QByteArray() : message.raw.mid(headerEnd);
            return !message.raw.isEmpty();
        }
        message.raw.append(buffer, received);
        const qsizetype blankLine = message.raw.indexOf("\r\n\r\n");
        if (headerEnd >= 0 || blankLine < 0) {
            continue;
        }
        headerEnd = blankLine + 4;
        QList<QByteArray> lines = message.raw.left(blankLine).split('\n');
        for (QByteArray& line : lines) {
            line.chop(line.endsWith('\r') ? 1 : 0);
        }
        message.requestLine = lines.takeFirst();
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            message.headers.emplace_back(colon < 0 ? line : line.left(colon),
                                         colon < 0 ? QByteArray() : line.mid(colon + 1).trimmed());
        }
        contentLength = message.header("Content-Length").toLongLong();
    }
    message.body = message.raw.mid(headerEnd, contentLength);
    message.complete = true;
    return true;
}

} // namespace stowline::test
