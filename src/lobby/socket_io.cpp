#include "lobby/socket_io.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <climits>

namespace vornel::lobby::socket_io {

namespace {

#ifdef _WIN32
using Native = SOCKET;
bool wouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
bool interrupted() { return WSAGetLastError() == WSAEINTR; }
constexpr int kSendFlags = 0;
#else
using Native = int;
bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }
bool interrupted() { return errno == EINTR; }
#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;  // SO_NOSIGPIPE is set instead
#endif
#endif

Native native(qintptr socket) { return static_cast<Native>(socket); }

// One call moves at most this much: the sizes the calls take are int on Windows.
constexpr std::size_t kMostAtOnce = INT_MAX / 2;

}  // namespace

bool prepare(qintptr socket) {
    // Messages are small and a player waits for each answer: send at once.
    const int noDelay = 1;
    ::setsockopt(native(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
#ifdef _WIN32
    u_long on = 1;
    return ioctlsocket(native(socket), FIONBIO, &on) == 0;
#else
#ifdef SO_NOSIGPIPE
    const int on = 1;
    setsockopt(native(socket), SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    const int flags = fcntl(native(socket), F_GETFL, 0);
    return flags >= 0 && fcntl(native(socket), F_SETFL, flags | O_NONBLOCK) == 0;
#endif
}

Result receive(qintptr socket, char* into, std::size_t size) {
    if (size > kMostAtOnce) size = kMostAtOnce;
    while (true) {
        const auto n = ::recv(native(socket), into, static_cast<int>(size), 0);
        if (n > 0) return {Outcome::Done, static_cast<std::size_t>(n)};
        if (n == 0) return {Outcome::Closed, 0};
        if (interrupted()) continue;
        return {wouldBlock() ? Outcome::WouldBlock : Outcome::Closed, 0};
    }
}

Result send(qintptr socket, const char* bytes, std::size_t size) {
    if (size > kMostAtOnce) size = kMostAtOnce;
    while (true) {
        const auto n = ::send(native(socket), bytes, static_cast<int>(size), kSendFlags);
        if (n >= 0) return {Outcome::Done, static_cast<std::size_t>(n)};
        if (interrupted()) continue;
        return {wouldBlock() ? Outcome::WouldBlock : Outcome::Closed, 0};
    }
}

void shutdownSending(qintptr socket) {
#ifdef _WIN32
    ::shutdown(native(socket), SD_SEND);
#else
    ::shutdown(native(socket), SHUT_WR);
#endif
}

void close(qintptr socket) {
#ifdef _WIN32
    ::closesocket(native(socket));
#else
    ::close(native(socket));
#endif
}

QHostAddress peerAddress(qintptr socket) {
    sockaddr_storage address{};
#ifdef _WIN32
    int size = sizeof address;
#else
    socklen_t size = sizeof address;
#endif
    if (::getpeername(native(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) return {};
    return QHostAddress(reinterpret_cast<const sockaddr*>(&address));
}

}  // namespace vornel::lobby::socket_io
