#pragma once
// Dispatch of one message by its command name through one table, compared
// exactly; when a name is in the table twice, the first entry serves.

#include <functional>
#include <string_view>
#include <unordered_map>
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
        byName_.try_emplace(command, routes_.size() - 1);
        return *this;
    }

    // Runs the handler of the message's command; false when none matches
    // (empty or unknown command).
    bool dispatch(std::string_view message, Context... context) const {
        const SplitMessage split = splitCommand(message);
        if (split.command.empty()) return false;
        // One look-up, not a comparison with every name: each message passes here.
        const auto found = byName_.find(split.command);
        if (found == byName_.end()) return false;
        routes_[found->second].second(split.rest, context...);
        return true;
    }

    std::size_t size() const { return routes_.size(); }

private:
    std::vector<std::pair<std::string_view, Handler>> routes_;
    std::unordered_map<std::string_view, std::size_t> byName_;  // where each name's first entry is in routes_
};

}  // namespace vornel::net
