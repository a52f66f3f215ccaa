#include "protocol.h"

#include <array>
#include <charconv>
#include <utility>

namespace vornel::net {

namespace {

// Every command of both directions and whether it closes with one more "+".
// Commands that travel both ways close alike in both directions.
constexpr std::array<std::pair<std::string_view, bool>, 39> kClosingPlus{{
    // table to host
    {"CMD_logininfo", false},
    {"CMD_justwatch", false},
    {"CMD_selectedbubble", true},
    {"CMD_playcard", true},
    {"CMD_kickhim", true},
    {"CMD_botspeed", true},
    // both ways
    {"CMD_startgame", true},
    {"CMD_chat", false},
    {"CMD_action", false},
    {"CMD_playasound", true},
    // host to tables: connections and people
    {"CMD_sendlogininfo", false},
    {"CMD_full", true},
    {"CMD_newplayerinfo", false},
    {"CMD_existingplayers", false},
    {"CMD_havewrongversion", false},
    {"CMD_wrongversion", true},
    {"CMD_playerdisconnected", false},
    {"CMD_justwatching", false},
    // host to tables: the game
    {"CMD_dealer", true},
    {"CMD_placecard", false},
    {"CMD_settrump", true},
    {"CMD_bidder", true},
    {"CMD_hepassed", true},
    {"CMD_heaccepted", true},
    {"CMD_trumpchoosen", true},
    {"CMD_chooser", true},
    {"CMD_aloner", true},
    {"CMD_goingalone", true},
    {"CMD_discarder", true},
    {"CMD_switch", true},
    {"CMD_clearcards", true},
    {"CMD_nextplayer", true},
    {"CMD_playedcard", true},
    {"CMD_notvalid", true},
    {"CMD_trickwinner", true},
    {"CMD_score", true},
    {"CMD_thewinner", true},
    // host to a newcomer joining a running game
    {"CMD_loadcards", true},
    {"CMD_loadstats", true},
}};

void appendField(std::string& out, const Field& field) {
    out += '+';
    if (field.isText) {
        out += field.text;
        return;
    }
    std::array<char, 16> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), field.number);
    (void)ec;  // an int always fits in 16 characters
    out.append(digits.data(), end);
}

void appendMessage(std::string& out, std::string_view command, std::span<const Field> fields) {
    out += command;
    for (const Field& field : fields) appendField(out, field);
    if (hasClosingPlus(command)) out += '+';
}

}  // namespace

bool hasClosingPlus(std::string_view command) {
    for (const auto& [name, closing] : kClosingPlus)
        if (name == command) return closing;
    return false;
}

std::string buildMessage(std::string_view command, std::span<const Field> fields) {
    std::string out;
    appendMessage(out, command, fields);
    return out;
}

void appendFrame(std::string& out, std::string_view command, std::span<const Field> fields) {
    appendMessage(out, command, fields);
    out += kTerminator;
}

SplitMessage splitCommand(std::string_view message) {
    const auto plus = message.find('+');
    if (plus == std::string_view::npos) return {};
    return {message.substr(0, plus), message.substr(plus + 1)};
}

std::string_view FieldReader::field() {
    const auto plus = rest_.find('+');
    std::string_view text = rest_.substr(0, plus);
    rest_.remove_prefix(plus == std::string_view::npos ? rest_.size() : plus + 1);
    return text;
}

std::optional<int> FieldReader::number() { return parseNumber(field()); }

std::optional<int> parseNumber(std::string_view text) {
    // from_chars takes an optional "-" and digits only: no "+", no blanks.
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || stop != end || text.empty()) return std::nullopt;
    return value;
}

}  // namespace vornel::net
