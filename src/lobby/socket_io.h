#pragma once
// The few system calls the lobby server makes on its players' sockets, for
// POSIX systems and Windows. The server holds thousands of sockets: writing
// and reading them directly, with Qt's event loop telling when they are
// ready, spares it a socket object and two buffers for each player.

#include <QHostAddress>
#include <QtGlobal>

#include <cstddef>

namespace vornel::lobby::socket_io {

// What a read or a write did.
enum class Outcome { Done, WouldBlock, Closed };

struct Result {
    Outcome outcome;
    std::size_t bytes;  // moved, when Done
};

// Makes an accepted socket non-blocking, sending without delay, and keeps
// writes to a peer that has gone from raising a signal. False when that fails.
bool prepare(qintptr socket);
// Up to `size` bytes: Done with the count, WouldBlock when none wait,
// Closed when the peer closed or the connection broke.
Result receive(qintptr socket, char* into, std::size_t size);
// As much of the bytes as the system takes now.
Result send(qintptr socket, const char* bytes, std::size_t size);
// No more writing: what was sent still reaches the peer, then the end.
void shutdownSending(qintptr socket);
void close(qintptr socket);
// The address the connection comes from.
QHostAddress peerAddress(qintptr socket);

}  // namespace vornel::lobby::socket_io
