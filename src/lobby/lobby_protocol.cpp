#include "lobby/lobby_protocol.h"

#include <array>
#include <charconv>
#include <utility>

namespace vornel::lobby {

namespace {

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

template <typename Enum, std::size_t N>
std::optional<Enum> lookUp(const std::array<std::string_view, N>& words, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (words[i] == word) return static_cast<Enum>(i);
    return std::nullopt;
}

constexpr std::array<std::string_view, 3> kPlayerStates{"lobby", "table", "playing"};
constexpr std::array<std::string_view, 2> kTableStates{"waiting", "playing"};
constexpr std::array<std::string_view, 3> kRoles{"host", "player", "watcher"};
constexpr std::array<std::string_view, 5> kProbeResults{"reachable", "refused", "noanswer", "other", "notready"};

// A number field that must be there and read.
std::optional<int> numberOf(net::FieldReader& reader) {
    if (reader.atEnd()) return std::nullopt;
    return reader.number();
}

Field num(int n) { return Field::num(n); }
Field txt(std::string_view t) { return Field::txt(t); }

}  // namespace

// --- framing -----------------------------------------------------------

void appendFrame(std::string& out, std::string_view command, std::span<const Field> fields) {
    out += command;
    for (const Field& field : fields) appendField(out, field);
    if (fields.empty()) out += '+';
    out += net::kTerminator;
}

std::string frame(std::string_view command, std::span<const Field> fields) {
    std::string out;
    appendFrame(out, command, fields);
    return out;
}

std::string frame(std::string_view command, std::initializer_list<Field> fields) {
    return frame(command, std::span<const Field>(fields.begin(), fields.size()));
}

// --- checks --------------------------------------------------------------

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
}

std::string foldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        const auto byte = static_cast<unsigned char>(c);
        // ASCII capitals, and the Latin-1 capitals 0xC0-0xDE but the
        // multiplication sign 0xD7, are 0x20 below their small letters.
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
            c = static_cast<char>(byte + 0x20);
    }
    return folded;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldName(a) == foldName(b);
}

std::optional<std::string_view> nameProblem(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) return "A name has 1 to 20 characters.";
    for (const char c : name) {
        if (isControl(c) || c == net::kTerminator) return "A name cannot contain control characters.";
        if (c == '+' || c == '|') return "A name cannot contain \"+\" or \"|\".";
    }
    if (name.front() == ' ' || name.back() == ' ') return "A name cannot begin or end with a blank.";
    return std::nullopt;
}

std::optional<std::string_view> titleProblem(std::string_view title) {
    if (title.empty() || title.size() > kMaxTitleLength) return "A table's title has 1 to 40 characters.";
    for (const char c : title)
        if (isControl(c) || c == net::kTerminator || c == '+')
            return "A table's title cannot contain control characters or \"+\".";
    return std::nullopt;
}

std::optional<std::string_view> chatProblem(std::string_view text) {
    if (text.empty() || text.size() > kMaxChatLength) return "A chat line has 1 to 200 characters.";
    for (const char c : text)
        if (isControl(c) || c == net::kTerminator) return "A chat line cannot contain control characters.";
    return std::nullopt;
}

bool isDottedAddress(std::string_view text) {
    for (int part = 1; part <= 4; ++part) {
        const auto dot = text.find('.');
        // Parts 1-3 end at a dot, the fourth at the end of the text.
        if ((part < 4) != (dot != std::string_view::npos)) return false;
        const std::string_view number = text.substr(0, dot);
        if (number.empty() || number.size() > 3 || (number.size() > 1 && number.front() == '0')) return false;
        for (const char c : number)
            if (c < '0' || c > '9') return false;
        if (*net::parseNumber(number) > 255) return false;
        text.remove_prefix(part < 4 ? dot + 1 : text.size());
    }
    return true;
}

bool isLoopbackAddress(std::string_view dotted) { return isDottedAddress(dotted) && dotted.starts_with("127."); }

bool isHostAddress(std::string_view dotted) {
    if (!isDottedAddress(dotted)) return false;
    const int first = *net::parseNumber(dotted.substr(0, dotted.find('.')));
    return first >= 1 && first <= 223;
}

bool isToken(std::string_view text) {
    if (text.size() < kMinTokenLength || text.size() > kMaxTokenLength) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

bool isPort(int port) { return port >= 1 && port <= 65535; }

// --- words -------------------------------------------------------------------

std::string_view word(PlayerState state) { return kPlayerStates[static_cast<std::size_t>(state)]; }
std::string_view word(TableState state) { return kTableStates[static_cast<std::size_t>(state)]; }
std::string_view word(Role role) { return kRoles[static_cast<std::size_t>(role)]; }
std::string_view word(ProbeResult result) { return kProbeResults[static_cast<std::size_t>(result)]; }
std::optional<PlayerState> playerStateOf(std::string_view w) { return lookUp<PlayerState>(kPlayerStates, w); }
std::optional<TableState> tableStateOf(std::string_view w) { return lookUp<TableState>(kTableStates, w); }
std::optional<Role> roleOf(std::string_view w) { return lookUp<Role>(kRoles, w); }
std::optional<ProbeResult> probeResultOf(std::string_view w) { return lookUp<ProbeResult>(kProbeResults, w); }

// --- builders ----------------------------------------------------------------

namespace build {

std::string login(std::string_view name, int version) { return frame(cmd::Login, {num(version), txt(name)}); }
std::string ping() { return frame(cmd::Ping); }
std::string pong() { return frame(cmd::Pong); }
std::string chat(std::string_view text) { return frame(cmd::Chat, {txt(text)}); }
std::string newTable(std::string_view title) { return frame(cmd::NewTable, {txt(title)}); }
std::string sit(int table, int seat) { return frame(cmd::Sit, {num(table), num(seat)}); }
std::string watch(int table) { return frame(cmd::Watch, {num(table)}); }
std::string standUp(int table) { return frame(cmd::StandUp, {num(table)}); }
std::string leave(int table) { return frame(cmd::Leave, {num(table)}); }
std::string remove(int table, std::string_view name) { return frame(cmd::Remove, {num(table), txt(name)}); }
std::string start(int table, int gamePort, std::string_view localAddress) {
    return frame(cmd::Start, {num(table), num(gamePort), txt(localAddress)});
}
std::string startAnyway(int table) { return frame(cmd::StartAnyway, {num(table)}); }
std::string probeReady(int table, std::string_view token) { return frame(cmd::ProbeReady, {num(table), txt(token)}); }
std::string hostReady(int table) { return frame(cmd::HostReady, {num(table)}); }
std::string seatFree(int table, int seat) { return frame(cmd::SeatFree, {num(table), num(seat)}); }
std::string seatHeld(int table, int seat) { return frame(cmd::SeatHeld, {num(table), num(seat)}); }
std::string arrived(int table, int number, std::string_view name) {
    return frame(cmd::Arrived, {num(table), num(number), txt(name)});
}
std::string gameRunning() { return frame(cmd::GameRunning); }
std::string gameEnded() { return frame(cmd::GameEnded); }

std::string welcome(std::string_view name, int version) { return frame(cmd::Welcome, {num(version), txt(name)}); }
std::string refused(const Notice& n) { return frame(cmd::Refused, {txt(n.code), txt(n.text)}); }
std::string closing(const Notice& n) { return frame(cmd::Closing, {txt(n.code), txt(n.text)}); }
std::string error(const Notice& n) { return frame(cmd::Error, {txt(n.code), txt(n.text)}); }
std::string chatLine(std::string_view name, std::string_view text) { return frame(cmd::Chat, {txt(name), txt(text)}); }
std::string probeListen(int table, int gamePort) { return frame(cmd::ProbeListen, {num(table), num(gamePort)}); }
std::string probe(int table, ProbeResult result, std::string_view text) {
    return frame(cmd::Probe, {num(table), txt(word(result)), txt(text)});
}
std::string launch(const LaunchOrder& o) {
    return frame(cmd::Launch,
                 {num(o.table), txt(word(o.role)), num(o.seat), txt(o.address), num(o.gamePort), txt(o.name)});
}
std::string freeSeat(int table, int seat) { return frame(cmd::FreeSeat, {num(table), num(seat)}); }
std::string holdSeat(int table, int seat) { return frame(cmd::HoldSeat, {num(table), num(seat)}); }
std::string releaseSeats(int table) { return frame(cmd::ReleaseSeats, {num(table)}); }
std::string gameReady(int table) { return frame(cmd::GameReady, {num(table)}); }
std::string gameOver(int table, const Notice& n) { return frame(cmd::GameOver, {num(table), txt(n.code), txt(n.text)}); }
std::string removed(int table, std::string_view text) { return frame(cmd::Removed, {num(table), txt(text)}); }
std::string tableClosed(int table, const Notice& n) {
    return frame(cmd::TableClosed, {num(table), txt(n.code), txt(n.text)});
}

}  // namespace build

// --- parsers -----------------------------------------------------------------

namespace parse {

bool empty(std::string_view rest) { return rest.empty(); }

std::optional<Login> login(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto version = numberOf(reader);
    if (!version) return std::nullopt;
    return Login{*version, reader.remainder()};
}

std::optional<TableOnly> tableOnly(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    if (!table || !reader.atEnd()) return std::nullopt;
    return TableOnly{*table};
}

std::optional<TableSeat> tableSeat(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    const auto seat = table ? numberOf(reader) : std::nullopt;
    if (!seat || !reader.atEnd()) return std::nullopt;
    return TableSeat{*table, *seat};
}

std::optional<Removal> removal(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    if (!table || reader.atEnd()) return std::nullopt;
    return Removal{*table, reader.remainder()};
}

std::optional<StartRequest> start(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    const auto port = table ? numberOf(reader) : std::nullopt;
    if (!port || reader.atEnd()) return std::nullopt;
    return StartRequest{*table, *port, reader.remainder()};
}

std::optional<ProbeReadiness> probeReady(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    if (!table || reader.atEnd()) return std::nullopt;
    return ProbeReadiness{*table, reader.remainder()};
}

std::optional<Arrival> arrived(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    const auto number = table ? numberOf(reader) : std::nullopt;
    if (!number || reader.atEnd()) return std::nullopt;
    return Arrival{*table, *number, reader.remainder()};
}

std::optional<WelcomeMessage> welcome(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto version = numberOf(reader);
    if (!version || reader.atEnd()) return std::nullopt;
    return WelcomeMessage{*version, reader.remainder()};
}

std::optional<NoticeMessage> notice(std::string_view rest) {
    net::FieldReader reader(rest);
    if (reader.atEnd()) return std::nullopt;
    const std::string_view code = reader.field();
    if (code.empty()) return std::nullopt;
    return NoticeMessage{code, reader.remainder()};
}

std::optional<ChatMessage> chatLine(std::string_view rest) {
    net::FieldReader reader(rest);
    if (reader.atEnd()) return std::nullopt;
    const std::string_view name = reader.field();
    if (name.empty()) return std::nullopt;
    return ChatMessage{name, reader.remainder()};
}

std::optional<ProbeListenMessage> probeListen(std::string_view rest) {
    const auto fields = tableSeat(rest);  // the same two numbers
    if (!fields || !isPort(fields->seat)) return std::nullopt;
    return ProbeListenMessage{fields->table, fields->seat};
}

std::optional<ProbeMessage> probe(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    const auto result = table && !reader.atEnd() ? probeResultOf(reader.field()) : std::nullopt;
    if (!result) return std::nullopt;
    return ProbeMessage{*table, *result, reader.remainder()};
}

std::optional<LaunchOrder> launch(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    const auto role = table && !reader.atEnd() ? roleOf(reader.field()) : std::nullopt;
    const auto seat = role ? numberOf(reader) : std::nullopt;
    if (!seat || reader.atEnd()) return std::nullopt;
    const std::string_view address = reader.field();
    const auto port = numberOf(reader);
    if (!port || reader.atEnd()) return std::nullopt;
    const std::string_view name = reader.remainder();

    const bool seatFits = (*role == Role::Host && *seat == 1) ||
                          (*role == Role::Player && *seat >= 2 && *seat <= kSeats) ||
                          (*role == Role::Watcher && *seat == 0);
    const bool addressFits = *role == Role::Host ? address == "127.0.0.1" : isHostAddress(address);
    if (*table < 1 || !seatFits || !addressFits || !isPort(*port) || nameProblem(name)) return std::nullopt;
    return LaunchOrder{*table, *role, *seat, std::string(address), *port, std::string(name)};
}

std::optional<TableNoticeMessage> tableNotice(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    if (!table || reader.atEnd()) return std::nullopt;
    const std::string_view reason = reader.field();
    if (reason.empty()) return std::nullopt;
    return TableNoticeMessage{*table, reason, reader.remainder()};
}

std::optional<RemovedMessage> removed(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto table = numberOf(reader);
    if (!table) return std::nullopt;
    return RemovedMessage{*table, reader.remainder()};
}

}  // namespace parse

}  // namespace vornel::lobby
