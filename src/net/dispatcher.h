#pragma once
// Dispatch of one message by its command name through one table, compared
// exactly and in the table's order.

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol.h"

namespace vornel::net {

template <typename... Context>
class Dispatcher {
public:
    using Handler = std::function<void(std::string_view rest, Context...)>;

    Dispatcher& on(std::string_view command, Handler handler) {
        routes_.emplace_back(command, std::move(handler));
        return *this;
    }

    // Runs the handler of the message's command; false when none matches
    // (empty or unknown command).
    bool dispatch(std::string_view message, Context... context) const {
        const SplitMessage split = splitCommand(message);
        if (split.command.empty()) return false;
        for (const auto& [command, handler] : routes_) {
            if (command == split.command) {
                handler(split.rest, context...);
                return true;
            }
        }
        return false;
    }

    std::size_t size() const { return routes_.size(); }

private:
    std::vector<std::pair<std::string_view, Handler>> routes_;
};

}  // namespace vornel::net
