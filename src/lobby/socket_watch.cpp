#include "lobby/socket_watch.h"

#include <QSocketNotifier>

#include <array>
#include <utility>

#ifdef __linux__
#include <sys/epoll.h>
#include <unistd.h>
#endif

namespace vornel::lobby {

namespace {

#ifdef __linux__
// Sockets reported per turn of the event loop; the rest wait for the next turn.
constexpr int kReadyPerTurn = 256;

bool change(int set, int operation, qintptr socket, bool writing) {
    epoll_event event{};
    event.events = EPOLLIN | (writing ? EPOLLOUT : 0u);
    event.data.fd = static_cast<int>(socket);
    return epoll_ctl(set, operation, static_cast<int>(socket), &event) == 0;
}
#endif

}  // namespace

SocketWatch::SocketWatch(Ready onReadable, Ready onWritable, QObject* parent, [[maybe_unused]] bool gather)
    : QObject(parent), onReadable_(std::move(onReadable)), onWritable_(std::move(onWritable)) {
#ifdef __linux__
    if (gather) set_ = epoll_create1(EPOLL_CLOEXEC);
    if (set_ >= 0) {
        setNotifier_ = new QSocketNotifier(set_, QSocketNotifier::Read, this);
        connect(setNotifier_, &QSocketNotifier::activated, this, [this] { takeReadySockets(); });
    }
#endif
}

SocketWatch::~SocketWatch() {
    delete setNotifier_;
#ifdef __linux__
    if (set_ >= 0) ::close(set_);
#endif
}

void SocketWatch::add(qintptr socket) {
#ifdef __linux__
    if (set_ >= 0 && change(set_, EPOLL_CTL_ADD, socket, false)) return;
#endif
    Notifiers& own = notifiers_[socket];
    own.readable = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(own.readable, &QSocketNotifier::activated, this, [this, socket] { onReadable_(socket); });
}

void SocketWatch::watchWriting(qintptr socket, bool wanted) {
    const auto it = notifiers_.find(socket);
    if (it == notifiers_.end()) {
#ifdef __linux__
        if (set_ >= 0) change(set_, EPOLL_CTL_MOD, socket, wanted);
#endif
        return;
    }
    Notifiers& own = it->second;
    if (own.writable == nullptr) {
        if (!wanted) return;
        own.writable = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(own.writable, &QSocketNotifier::activated, this, [this, socket] { onWritable_(socket); });
    }
    own.writable->setEnabled(wanted);
}

void SocketWatch::remove(qintptr socket) {
    const auto it = notifiers_.find(socket);
    if (it == notifiers_.end()) {
#ifdef __linux__
        if (set_ >= 0) epoll_ctl(set_, EPOLL_CTL_DEL, static_cast<int>(socket), nullptr);
#endif
        return;
    }
    // Their signals may be on their way: deleted from the event loop.
    for (QSocketNotifier* notifier : {it->second.readable, it->second.writable}) {
        if (notifier == nullptr) continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    notifiers_.erase(it);
}

void SocketWatch::takeReadySockets() {
#ifdef __linux__
    std::array<epoll_event, kReadyPerTurn> ready;
    const int count = epoll_wait(set_, ready.data(), kReadyPerTurn, 0);
    for (int i = 0; i < count; ++i) {
        const qintptr socket = ready[static_cast<std::size_t>(i)].data.fd;
        const std::uint32_t events = ready[static_cast<std::size_t>(i)].events;
        // An error or the peer's end is found by reading, as with a notifier.
        if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) onReadable_(socket);
        // Handled before: the socket may have gone; the server finds it no more.
        if (events & EPOLLOUT) onWritable_(socket);
    }
#endif
}

}  // namespace vornel::lobby
