#pragma once
// The text protocol: building messages, cutting received bytes into
// messages at the terminator, and reading fields.
//
// A message is the command name, then each field preceded by "+", then for
// some commands one more "+", then the terminator byte 0xFF. Nothing is
// escaped: a text field that is the last of its message may contain "+".

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/ports.h"
#include "vornel_version.h"

namespace vornel::net {

inline constexpr char kTerminator = '\xFF';
// The version text of the login exchange.
inline constexpr std::string_view kVersion = version::kRelease;
inline constexpr int kDefaultPort = 7772;

// Whether the catalogue closes this command with one more "+" after its last
// field (in either direction). Unknown commands: false.
bool hasClosingPlus(std::string_view command);

// The message text (without terminator) for a command and its fields.
std::string buildMessage(std::string_view command, std::span<const Field> fields);
// Appends the message and its terminator to `out`.
void appendFrame(std::string& out, std::string_view command, std::span<const Field> fields);

// Command name before the first "+", and the rest after it. A text without
// "+" has an empty command.
struct SplitMessage {
    std::string_view command;
    std::string_view rest;
};
SplitMessage splitCommand(std::string_view message);

// Reads fields off the rest of a message, left to right.
class FieldReader {
public:
    explicit FieldReader(std::string_view rest) : rest_(rest) {}
    // The text before the next "+" (or all that is left), consumed with its "+".
    std::string_view field();
    // A field read as a whole decimal integer; nullopt when it does not read.
    std::optional<int> number();
    // Everything that is left: the last text field of a message.
    std::string_view remainder() const { return rest_; }
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// Whole decimal integer: optional "-", then digits only, within int range.
std::optional<int> parseNumber(std::string_view text);

// Cuts one connection's bytes into messages at each terminator, before any
// text decoding. Bytes after the last terminator wait for the next read.
class Framer {
public:
    static constexpr std::size_t kMaxPending = 65536;

    // Calls onMessage(text) for every complete message, in order. Returns
    // false when the unfinished message has grown past kMaxPending bytes (the
    // pending bytes are then dropped and the connection should be closed).
    template <typename OnMessage>
    bool feed(std::string_view bytes, OnMessage&& onMessage);

    std::size_t pending() const { return pending_.size(); }
    void clear() { pending_.clear(); }

private:
    std::string pending_;
};

template <typename OnMessage>
bool Framer::feed(std::string_view bytes, OnMessage&& onMessage) {
    while (!bytes.empty()) {
        const auto end = bytes.find(kTerminator);
        if (end == std::string_view::npos) {
            if (pending_.size() + bytes.size() > kMaxPending) {
                pending_.clear();
                return false;
            }
            pending_.append(bytes);
            return true;
        }
        if (pending_.empty()) {
            onMessage(bytes.substr(0, end));
        } else {
            pending_.append(bytes.substr(0, end));
            std::string message;
            message.swap(pending_);
            onMessage(std::string_view(message));
            // Its room serves the next unfinished message, unless the
            // handler fed this framer meanwhile.
            if (pending_.empty()) {
                message.clear();
                pending_.swap(message);
            }
        }
        bytes.remove_prefix(end + 1);
    }
    return true;
}

}  // namespace vornel::net
