#pragma once
// The receive queue (`receivedlist`): message texts in arrival order, each
// remembering the connection it came from, worked off one per tick.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vornel::net {

struct QueuedMessage {
    int connection = 0;
    std::string text;
};

class ReceiveQueue {
public:
    void push(int connection, std::string_view text);
    std::optional<QueuedMessage> pop();
    bool empty() const { return messages_.empty(); }
    std::size_t size() const { return messages_.size(); }
    // How many messages from this connection are waiting.
    std::size_t waitingFrom(int connection) const;
    // Drops every waiting message of a connection that has closed.
    void dropFrom(int connection);

private:
    std::deque<QueuedMessage> messages_;
    std::map<int, std::size_t> waiting_;  // per connection until dropped, so the flood check stays cheap
};

}  // namespace vornel::net
