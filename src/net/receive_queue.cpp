#include "receive_queue.h"

#include <algorithm>

namespace vornel::net {

void ReceiveQueue::push(int connection, std::string_view text) {
    messages_.push_back({connection, std::string(text)});
    ++waiting_[connection];
}

std::optional<QueuedMessage> ReceiveQueue::pop() {
    if (messages_.empty()) return std::nullopt;
    QueuedMessage message = std::move(messages_.front());
    messages_.pop_front();
    // A count that reaches nought stays until the connection is dropped: a
    // queue worked off one message at a time would otherwise make and free
    // its entry for every message.
    if (const auto it = waiting_.find(message.connection); it != waiting_.end() && it->second > 0) --it->second;
    return message;
}

std::size_t ReceiveQueue::waitingFrom(int connection) const {
    const auto it = waiting_.find(connection);
    return it == waiting_.end() ? 0 : it->second;
}

void ReceiveQueue::dropFrom(int connection) {
    if (waiting_.erase(connection) == 0) return;
    std::erase_if(messages_, [connection](const QueuedMessage& m) { return m.connection == connection; });
}

}  // namespace vornel::net
