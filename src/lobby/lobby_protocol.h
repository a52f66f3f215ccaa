#pragma once
// The lobby's text protocol (docs/lobby-protocol.md), for both ends: its
// numbers and limits, the command names, building every message of both
// directions, reading their fields, and the checks of names, titles, chat
// lines, tokens and addresses.
//
// Messages are framed as the game's: the command, each field after a "+",
// the terminator byte 0xFF. A message without fields carries one "+" after
// its name, so the command is always the text before the first "+". The
// game's Framer, splitCommand, FieldReader and Dispatcher cut and read them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "net/protocol.h"

namespace vornel::lobby {

inline constexpr int kProtocolVersion = 1;
inline constexpr int kDefaultServerPort = 7773;
inline constexpr int kDefaultGamePort = net::kDefaultPort;
inline constexpr int kDefaultMaxPlayers = 5000;

// Limits.
inline constexpr std::size_t kMaxClientMessage = 1024;  // bytes, terminator excluded
inline constexpr std::size_t kMaxWaitingMessages = 100;  // per connection
inline constexpr std::size_t kMaxServerMessage = 60000;  // bytes; longer lists are cut into several
inline constexpr std::size_t kMaxNameLength = 20;
inline constexpr std::size_t kMaxTitleLength = 40;
inline constexpr std::size_t kMaxChatLength = 200;
inline constexpr int kChatLinesPerWindow = 10;
inline constexpr int kChatWindowMs = 10000;
inline constexpr int kMaxWatchers = 5;
inline constexpr int kSeats = 4;
inline constexpr std::size_t kMinTokenLength = 8;
inline constexpr std::size_t kMaxTokenLength = 64;
// The check reads at most the longest token and its terminator.
inline constexpr std::size_t kMaxProbeReply = kMaxTokenLength + 1;

// Times, in milliseconds.
inline constexpr int kUpdateIntervalMs = 250;
inline constexpr int kPingAfterMs = 15000;
inline constexpr int kSilentCloseMs = 45000;
inline constexpr int kLoginWithinMs = 30000;
inline constexpr int kProbeReadyWithinMs = 10000;
inline constexpr int kProbeConnectMs = 5000;
inline constexpr int kProbeReadMs = 5000;
inline constexpr int kHostReadyWithinMs = 60000;
inline constexpr int kSeatReportWithinMs = 15000;
inline constexpr int kSeatArrivalWithinMs = 60000;
inline constexpr int kWatchersWithinMs = 45000;

namespace cmd {
// Client to server.
inline constexpr std::string_view Login = "LOBBY_login";
inline constexpr std::string_view Ping = "LOBBY_ping";  // both ways
inline constexpr std::string_view Pong = "LOBBY_pong";  // both ways
inline constexpr std::string_view Chat = "LOBBY_chat";  // both ways
inline constexpr std::string_view NewTable = "LOBBY_newtable";
inline constexpr std::string_view Sit = "LOBBY_sit";
inline constexpr std::string_view Watch = "LOBBY_watch";
inline constexpr std::string_view StandUp = "LOBBY_standup";
inline constexpr std::string_view Leave = "LOBBY_leave";
inline constexpr std::string_view Remove = "LOBBY_remove";
inline constexpr std::string_view Start = "LOBBY_start";
inline constexpr std::string_view StartAnyway = "LOBBY_startanyway";
inline constexpr std::string_view ProbeReady = "LOBBY_probeready";
inline constexpr std::string_view HostReady = "LOBBY_hostready";
inline constexpr std::string_view SeatFree = "LOBBY_seatfree";
inline constexpr std::string_view SeatHeld = "LOBBY_seatheld";
inline constexpr std::string_view Arrived = "LOBBY_arrived";
inline constexpr std::string_view GameRunning = "LOBBY_gamerunning";
inline constexpr std::string_view GameEnded = "LOBBY_gameended";
// Server to client.
inline constexpr std::string_view Welcome = "LOBBY_welcome";
inline constexpr std::string_view Refused = "LOBBY_refused";
inline constexpr std::string_view Closing = "LOBBY_closing";
inline constexpr std::string_view Error = "LOBBY_error";
inline constexpr std::string_view List = "LOBBY_list";
inline constexpr std::string_view ListEnd = "LOBBY_listend";
inline constexpr std::string_view Update = "LOBBY_update";
inline constexpr std::string_view ProbeListen = "LOBBY_probelisten";
inline constexpr std::string_view Probe = "LOBBY_probe";
inline constexpr std::string_view Launch = "LOBBY_launch";
inline constexpr std::string_view FreeSeat = "LOBBY_freeseat";
inline constexpr std::string_view HoldSeat = "LOBBY_holdseat";
inline constexpr std::string_view ReleaseSeats = "LOBBY_releaseseats";
inline constexpr std::string_view GameReady = "LOBBY_gameready";
inline constexpr std::string_view GameOver = "LOBBY_gameover";
inline constexpr std::string_view Removed = "LOBBY_removed";
inline constexpr std::string_view TableClosed = "LOBBY_tableclosed";
}  // namespace cmd

// --- framing -----------------------------------------------------------

// Appends the message and its terminator; a message without fields gets
// one "+" after its name.
void appendFrame(std::string& out, std::string_view command, std::span<const Field> fields);
std::string frame(std::string_view command, std::span<const Field> fields = {});
std::string frame(std::string_view command, std::initializer_list<Field> fields);

// --- checks --------------------------------------------------------------

// Bytes 0x00-0x1F, 0x7F and 0x80-0x9F.
bool isControl(char c);
// The name with ISO 8859-1 letters in lower case: names that fold alike are one name.
std::string foldName(std::string_view name);
bool sameName(std::string_view a, std::string_view b);
// Why the name cannot be used, or nullopt when it can.
std::optional<std::string_view> nameProblem(std::string_view name);
std::optional<std::string_view> titleProblem(std::string_view title);
std::optional<std::string_view> chatProblem(std::string_view text);
// Four decimal numbers 0..255 with dots between them, no leading zeros.
bool isDottedAddress(std::string_view text);
bool isLoopbackAddress(std::string_view dotted);
// A dotted address one computer can have: not 0.x.x.x, not multicast (224
// and up to 239) nor reserved or broadcast (240 and up).
bool isHostAddress(std::string_view dotted);
// 8..64 ASCII letters and digits.
bool isToken(std::string_view text);
bool isPort(int port);

// --- the wire words of states and roles ------------------------------------

enum class PlayerState : std::uint8_t { Lobby, Table, Playing };
enum class TableState : std::uint8_t { Waiting, Playing };
enum class Role : std::uint8_t { Host, Player, Watcher };
enum class ProbeResult : std::uint8_t { Reachable, Refused, NoAnswer, Other, NotReady };

std::string_view word(PlayerState state);
std::string_view word(TableState state);
std::string_view word(Role role);
std::string_view word(ProbeResult result);
std::optional<PlayerState> playerStateOf(std::string_view word);
std::optional<TableState> tableStateOf(std::string_view word);
std::optional<Role> roleOf(std::string_view word);
std::optional<ProbeResult> probeResultOf(std::string_view word);

// --- messages, client to server ------------------------------------------

namespace build {
std::string login(std::string_view name, int version = kProtocolVersion);
std::string ping();
std::string pong();
std::string chat(std::string_view text);
std::string newTable(std::string_view title);
std::string sit(int table, int seat);
std::string watch(int table);
std::string standUp(int table);
std::string leave(int table);
std::string remove(int table, std::string_view name);
std::string start(int table, int gamePort, std::string_view localAddress);
std::string startAnyway(int table);
std::string probeReady(int table, std::string_view token);
std::string hostReady(int table);
std::string seatFree(int table, int seat);
std::string seatHeld(int table, int seat);
std::string arrived(int table, int number, std::string_view name);
std::string gameRunning();
std::string gameEnded();
}  // namespace build

struct Login {
    int version = 0;
    std::string_view name;
};
struct TableOnly {
    int table = 0;
};
struct TableSeat {
    int table = 0;
    int seat = 0;
};
struct Removal {
    int table = 0;
    std::string_view name;
};
struct StartRequest {
    int table = 0;
    int gamePort = 0;
    std::string_view localAddress;
};
struct ProbeReadiness {
    int table = 0;
    std::string_view token;
};
struct Arrival {
    int table = 0;
    int number = 0;
    std::string_view name;
};

// Each reads the fields after the command (the rest) and refuses anything
// that does not read, and any field too many. Texts are views into `rest`.
namespace parse {
std::optional<Login> login(std::string_view rest);
std::optional<TableOnly> tableOnly(std::string_view rest);
std::optional<TableSeat> tableSeat(std::string_view rest);
std::optional<Removal> removal(std::string_view rest);
std::optional<StartRequest> start(std::string_view rest);
std::optional<ProbeReadiness> probeReady(std::string_view rest);
std::optional<Arrival> arrived(std::string_view rest);
// Messages without fields: nothing at all after the "+".
bool empty(std::string_view rest);
}  // namespace parse

// --- messages, server to client -------------------------------------------

struct Notice {
    std::string_view code;
    std::string text;
};

struct LaunchOrder {
    int table = 0;
    Role role = Role::Watcher;
    int seat = 0;
    std::string address;
    int gamePort = 0;
    std::string name;
};

namespace build {
std::string welcome(std::string_view name, int version = kProtocolVersion);
std::string refused(const Notice& notice);
std::string closing(const Notice& notice);
std::string error(const Notice& notice);
std::string chatLine(std::string_view name, std::string_view text);
std::string probeListen(int table, int gamePort);
std::string probe(int table, ProbeResult result, std::string_view text);
std::string launch(const LaunchOrder& order);
std::string freeSeat(int table, int seat);
std::string holdSeat(int table, int seat);
std::string releaseSeats(int table);
std::string gameReady(int table);
std::string gameOver(int table, const Notice& notice);
std::string removed(int table, std::string_view text);
std::string tableClosed(int table, const Notice& notice);
}  // namespace build

struct WelcomeMessage {
    int version = 0;
    std::string_view name;
};
struct NoticeMessage {  // LOBBY_refused, LOBBY_closing, LOBBY_error
    std::string_view code;
    std::string_view text;
};
struct ChatMessage {
    std::string_view name;
    std::string_view text;
};
struct ProbeListenMessage {
    int table = 0;
    int gamePort = 0;
};
struct ProbeMessage {
    int table = 0;
    ProbeResult result = ProbeResult::NotReady;
    std::string_view text;
};
struct TableNoticeMessage {  // LOBBY_gameover, LOBBY_tableclosed
    int table = 0;
    std::string_view reason;
    std::string_view text;
};
struct RemovedMessage {
    int table = 0;
    std::string_view text;
};

namespace parse {
std::optional<WelcomeMessage> welcome(std::string_view rest);
std::optional<NoticeMessage> notice(std::string_view rest);
std::optional<ChatMessage> chatLine(std::string_view rest);
std::optional<ProbeListenMessage> probeListen(std::string_view rest);
std::optional<ProbeMessage> probe(std::string_view rest);
// Reads a launch order and checks every field as a window must before it
// starts anything: a known role with its seat, a dotted address, a port,
// and a name that passes the name rules. nullopt when anything fails.
std::optional<LaunchOrder> launch(std::string_view rest);
std::optional<TableNoticeMessage> tableNotice(std::string_view rest);
std::optional<RemovedMessage> removed(std::string_view rest);
}  // namespace parse

}  // namespace vornel::lobby
