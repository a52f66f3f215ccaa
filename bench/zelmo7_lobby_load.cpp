// zelmo7-lobby-load: starts a zelmo7-lobby-server on a free loopback port
// and plays N lobby players against it from one thread (epoll), then prints
// what the server held and how fast its updates reached everybody.
//
//   zelmo7-lobby-load --server PATH [--players N] [--seconds S]   (5000, 60)
//
// The players log in (in batches, so the server's backlog keeps up), then
// for S seconds: about 5 chat lines a second in all; and each player makes
// about one change every 10 seconds: in the lobby he creates a table or
// sits or watches at one; at a table he leaves; a host starts his table's
// game (the check fails, as nothing listens on the game port, and he starts
// anyway; the joining games and the seat keepers are played by the bench) or
// ends the game he hosts. Every table a player creates is titled "m<n>": the
// time from sending that request until the last player has an update naming
// the table is one sample of a change reaching everybody.
//
// It prints one "key: value" line per figure:
//   players_held             players still logged in at the end
//   players_dropped          players whose connection the server closed or refused
//   messages_per_second      messages the players received, per second
//   change_to_all_median_ms  median time for a new table to reach every player
//   change_to_all_p99_ms     99th percentile of that time
//   server_peak_rss_mb       the server's peak resident memory (VmHWM)
//   server_cpu_percent       the server's processor time over the measured seconds
// Everything it connects to is 127.0.0.1. It raises its own open-file limit.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/lobby_list.h"
#include "lobby/lobby_protocol.h"

extern char** environ;

namespace {

using namespace vornel::lobby;
using Clock = std::chrono::steady_clock;

constexpr int kLoginBatch = 250;
constexpr double kChatLinesPerSecond = 5.0;
constexpr double kChangeEverySeconds = 10.0;
constexpr int kLoginWaitSeconds = 120;
constexpr int kEventsPerWait = 512;

// The processor time this process has had, user and system.
double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Options {
    std::string server;
    int players = 5000;
    int seconds = 60;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return std::nullopt;
        const std::string_view arg = argv[i];
        const char* value = argv[i + 1];
        if (arg == "--server") o.server = value;
        else if (arg == "--players") o.players = std::atoi(value);
        else if (arg == "--seconds") o.seconds = std::atoi(value);
        else return std::nullopt;
    }
    if (o.server.empty() || o.players < 2 || o.players > 60000 || o.seconds < 1) return std::nullopt;
    return o;
}

// --- the server process ------------------------------------------------------------

struct ServerProcess {
    pid_t pid = -1;
    int errFd = -1;  // its stderr, read so it never blocks on a full pipe
    std::string errText;

    bool start(const std::string& path, int maxPlayers) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        const std::string max = std::to_string(maxPlayers);
        std::vector<char*> args{const_cast<char*>(path.c_str()), const_cast<char*>("--port"), const_cast<char*>("0"),
                                const_cast<char*>("--max-players"), const_cast<char*>(max.c_str()), nullptr};
        const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        errFd = pipeFds[0];
        return spawned == 0;
    }
    // Reads what the server said; true while its stderr is open.
    bool drainErr() {
        char chunk[4096];
        while (true) {
            const ssize_t n = read(errFd, chunk, sizeof chunk);
            if (n > 0) {
                if (errText.size() < 1 << 20) errText.append(chunk, static_cast<std::size_t>(n));
                continue;
            }
            return n < 0 && errno == EAGAIN;
        }
    }
    int port() const {
        const std::string key = "listening on port ";
        const auto at = errText.find(key);
        return at == std::string::npos ? 0 : std::atoi(errText.c_str() + at + key.size());
    }
    double cpuSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (close == std::string::npos) return 0;
        std::istringstream fields(text.substr(close + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i == 14 || i == 15) ticks += std::atof(field.c_str());  // utime, stime
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    // A figure of /proc/<pid>/status in kB: VmHWM (the peak) or VmRSS (now).
    long memoryKb(const char* key = "VmHWM:") const {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
        return 0;
    }
    void stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        for (int i = 0; i < 500; ++i) {  // five seconds, then it is killed
            if (waitpid(pid, nullptr, WNOHANG) == pid) return;
            drainErr();
            usleep(10000);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

// --- one player ---------------------------------------------------------------------

struct Player {
    int fd = -1;
    std::string name;
    bool connected = false;
    bool loggedIn = false;
    bool dropped = false;
    std::string frame;  // the message being received
    std::string out;    // what the socket has not taken yet
    std::vector<std::uint8_t> seenMarks;
    long long received = 0;
};

struct Mark {
    Clock::time_point sent;
    int reached = 0;
    Clock::time_point first;
    Clock::time_point last;
};

class Load {
public:
    explicit Load(const Options& options) : options_(options), random_(20240611) {}
    int run();

private:
    bool connectPlayer(std::size_t index);
    void send(Player& p, std::string_view bytes);
    void flush(Player& p);
    void readFrom(Player& p);
    void handle(Player& p, std::string_view message);
    void noteMarks(Player& p, std::string_view update);
    void drop(Player& p);
    void poll(int timeoutMs);
    int pollOnce(int timeoutMs);
    void act(Player& p);
    void chat();
    Player* byName(std::string_view name);
    int randomTable(bool waitingOnly);

    Options options_;
    std::mt19937 random_;
    ServerProcess server_;
    int epoll_ = -1;
    int port_ = 0;
    int closedGamePort_ = 0;
    int closedGameFd_ = -1;
    std::vector<Player> players_;
    LobbyList list_;  // as the first player sees it
    std::vector<int> tableNumbers_;
    bool tablesChanged_ = true;
    std::vector<Mark> marks_;
    bool measuring_ = false;
    long long receivedWhileMeasuring_ = 0;
    long long bytesWhileMeasuring_ = 0;
};

bool Load::connectPlayer(std::size_t index) {
    Player& p = players_[index];
    p.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (p.fd < 0) return false;
    const int one = 1;
    setsockopt(p.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port_));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(p.fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) return false;
    epoll_event event{};
    event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP;
    event.data.u64 = index;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, p.fd, &event);
    p.out = build::login(p.name);
    return true;
}

void Load::send(Player& p, std::string_view bytes) {
    if (p.dropped || p.fd < 0) return;
    p.out.append(bytes);
    flush(p);
}

void Load::flush(Player& p) {
    if (!p.connected) return;
    while (!p.out.empty()) {
        const ssize_t n = ::send(p.fd, p.out.data(), p.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            p.out.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EAGAIN) break;
        drop(p);
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | (p.out.empty() ? 0u : static_cast<unsigned>(EPOLLOUT));
    event.data.u64 = static_cast<std::uint64_t>(&p - players_.data());
    epoll_ctl(epoll_, EPOLL_CTL_MOD, p.fd, &event);
}

void Load::drop(Player& p) {
    if (p.dropped) return;
    p.dropped = true;
    epoll_ctl(epoll_, EPOLL_CTL_DEL, p.fd, nullptr);
    close(p.fd);
    p.fd = -1;
}

void Load::readFrom(Player& p) {
    static char chunk[1 << 16];
    while (!p.dropped) {
        const ssize_t n = recv(p.fd, chunk, sizeof chunk, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN)) {
            drop(p);
            return;
        }
        if (n < 0) return;
        if (measuring_) bytesWhileMeasuring_ += n;
        std::string_view bytes(chunk, static_cast<std::size_t>(n));
        const bool drained = static_cast<std::size_t>(n) < sizeof chunk;
        while (!bytes.empty()) {
            const auto end = bytes.find('\xFF');
            if (end == std::string_view::npos) {
                p.frame.append(bytes);
                break;
            }
            if (p.frame.empty()) {
                handle(p, bytes.substr(0, end));
            } else {
                p.frame.append(bytes.substr(0, end));
                handle(p, p.frame);
                p.frame.clear();
            }
            bytes.remove_prefix(end + 1);
        }
        // A short read took all there was: epoll reports anything newer.
        if (drained) return;
    }
}

void Load::noteMarks(Player& p, std::string_view update) {
    const auto now = Clock::now();
    // Only the tables' titles hold an "m" in an update: look for that letter
    // alone rather than at every "+".
    const char* const begin = update.data();
    const char* const end = begin + update.size();
    for (const char* at = begin; (at = static_cast<const char*>(std::memchr(at, 'm', static_cast<std::size_t>(end - at)))) != nullptr; ++at) {
        if (at == begin || at[-1] != '+') continue;
        const char* digit = at + 1;
        int mark = 0;
        while (digit < end && *digit >= '0' && *digit <= '9') mark = mark * 10 + (*digit++ - '0');
        if (digit == at + 1 || (digit < end && *digit != '+')) continue;
        if (static_cast<std::size_t>(mark) >= marks_.size()) continue;
        if (p.seenMarks.size() <= static_cast<std::size_t>(mark)) p.seenMarks.resize(marks_.size() + 1024, 0);
        if (p.seenMarks[static_cast<std::size_t>(mark)]) continue;
        p.seenMarks[static_cast<std::size_t>(mark)] = 1;
        Mark& m = marks_[static_cast<std::size_t>(mark)];
        if (m.reached++ == 0) m.first = now;
        m.last = now;
    }
}

Player* Load::byName(std::string_view name) {
    if (name.size() < 2 || name[0] != 'p') return nullptr;
    const int index = std::atoi(std::string(name.substr(1)).c_str());
    return index >= 0 && static_cast<std::size_t>(index) < players_.size() ? &players_[static_cast<std::size_t>(index)]
                                                                            : nullptr;
}

// The reactions a lobby window would have, with the games and the seat
// keepers played by the bench.
void Load::handle(Player& p, std::string_view message) {
    ++p.received;
    if (measuring_) ++receivedWhileMeasuring_;
    const auto [command, rest] = vornel::net::splitCommand(message);
    if (command == cmd::Update || command == cmd::List) {
        noteMarks(p, rest);
        if (&p == &players_.front()) {
            list_.applyMessage(rest);
            tablesChanged_ = true;
        }
    } else if (command == cmd::ListEnd) {
        p.loggedIn = true;
    } else if (command == cmd::Ping) {
        send(p, build::pong());
    } else if (command == cmd::ProbeListen) {
        const auto order = parse::probeListen(rest);
        if (order) send(p, build::probeReady(order->table, "LoadToken1"));
    } else if (command == cmd::Probe) {
        const auto result = parse::probe(rest);
        if (result && result->result != ProbeResult::Reachable) send(p, build::startAnyway(result->table));
    } else if (command == cmd::Launch) {
        const auto order = parse::launch(rest);
        if (!order) return;
        send(p, build::gameRunning());
        if (order->role == Role::Host) {
            send(p, build::hostReady(order->table));
            return;
        }
        // The host's keepers would see this game log in.
        const TableRecord* table = list_.table(order->table);
        Player* host = table ? byName(table->seats[0]) : nullptr;
        if (host != nullptr) send(*host, build::arrived(order->table, order->role == Role::Watcher ? 5 : order->seat, p.name));
    } else if (command == cmd::FreeSeat) {
        const auto seat = parse::tableSeat(rest);
        if (seat) send(p, build::seatFree(seat->table, seat->seat));
    } else if (command == cmd::HoldSeat) {
        const auto seat = parse::tableSeat(rest);
        if (seat) send(p, build::seatHeld(seat->table, seat->seat));
    } else if (command == cmd::GameOver || command == cmd::Removed || command == cmd::TableClosed) {
        send(p, build::gameEnded());
    } else if (command == cmd::Closing || command == cmd::Refused) {
        std::fprintf(stderr, "%s: %.*s\n", p.name.c_str(), static_cast<int>(message.size()), message.data());
        drop(p);
    }
}

int Load::randomTable(bool waitingOnly) {
    if (tablesChanged_) {
        tableNumbers_.clear();
        for (const auto& [number, table] : list_.tables())
            if (!waitingOnly || table.state == TableState::Waiting) tableNumbers_.push_back(number);
        tablesChanged_ = false;
    }
    if (tableNumbers_.empty()) return 0;
    return tableNumbers_[std::uniform_int_distribution<std::size_t>(0, tableNumbers_.size() - 1)(random_)];
}

// One change by this player, chosen by where the first player's list says he is.
void Load::act(Player& p) {
    const PlayerRecord* me = list_.player(p.name);
    if (me == nullptr) return;
    const TableRecord* table = me->table != 0 ? list_.table(me->table) : nullptr;
    if (table == nullptr) {
        const int pick = std::uniform_int_distribution<int>(0, 2)(random_) == 0 ? 0 : randomTable(true);
        const TableRecord* target = pick != 0 ? list_.table(pick) : nullptr;
        if (target == nullptr || target->state != TableState::Waiting) {
            const int mark = static_cast<int>(marks_.size());
            marks_.push_back({Clock::now(), 0, {}, {}});
            char title[24];
            std::snprintf(title, sizeof title, "m%d", mark);
            send(p, build::newTable(title));
            return;
        }
        for (int seat = 2; seat <= kSeats; ++seat)
            if (target->seats[static_cast<std::size_t>(seat - 1)].empty()) {
                send(p, build::sit(target->number, seat));
                return;
            }
        send(p, build::watch(target->number));
        return;
    }
    const bool hosting = sameName(table->seats[0], p.name);
    if (!hosting) {
        if (me->state == PlayerState::Playing) send(p, build::gameEnded());
        send(p, build::leave(table->number));
    } else if (table->state == TableState::Playing) {
        send(p, build::gameEnded());  // the host's game ends
    } else {
        const bool company = !table->watchers.empty() ||
                             std::any_of(table->seats.begin() + 1, table->seats.end(), [](const std::string& s) { return !s.empty(); });
        if (company) send(p, build::start(table->number, closedGamePort_, "127.0.0.1"));
        else send(p, build::leave(table->number));
    }
}

void Load::chat() {
    Player& p = players_[std::uniform_int_distribution<std::size_t>(0, players_.size() - 1)(random_)];
    if (p.loggedIn && !p.dropped) send(p, build::chat("a line from " + p.name + " with a + in it"));
}

void Load::poll(int timeoutMs) {
    // A full batch means more are ready: take them before sleeping again.
    for (int round = 0; round < 64; ++round) {
        if (pollOnce(round == 0 ? timeoutMs : 0) < kEventsPerWait) return;
    }
}

int Load::pollOnce(int timeoutMs) {
    epoll_event events[kEventsPerWait];
    const int n = epoll_wait(epoll_, events, kEventsPerWait, timeoutMs);
    for (int i = 0; i < n; ++i) {
        if (events[i].data.u64 == UINT64_MAX) {
            server_.drainErr();
            continue;
        }
        Player& p = players_[events[i].data.u64];
        if (p.dropped) continue;
        if (!p.connected && (events[i].events & EPOLLOUT)) {
            int error = 0;
            socklen_t size = sizeof error;
            getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &size);
            if (error != 0) {
                drop(p);
                continue;
            }
            p.connected = true;
        }
        if (events[i].events & EPOLLIN) readFrom(p);
        if (!p.dropped && (events[i].events & (EPOLLOUT | EPOLLHUP | EPOLLERR | EPOLLRDHUP))) {
            flush(p);
            if (events[i].events & (EPOLLHUP | EPOLLERR)) drop(p);
        }
    }
    return n;
}

int Load::run() {
    const long wanted = options_.players + 256L;
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < static_cast<rlim_t>(wanted)) {
        limit.rlim_cur = std::min<rlim_t>(static_cast<rlim_t>(wanted), limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    epoll_ = epoll_create1(0);
    if (!server_.start(options_.server, options_.players + 16)) {
        std::fprintf(stderr, "zelmo7-lobby-load: cannot start %s\n", options_.server.c_str());
        return 1;
    }
    fcntl(server_.errFd, F_SETFL, O_NONBLOCK);
    epoll_event errEvent{};
    errEvent.events = EPOLLIN;
    errEvent.data.u64 = UINT64_MAX;
    epoll_ctl(epoll_, EPOLL_CTL_ADD, server_.errFd, &errEvent);
    const auto launched = Clock::now();
    while ((port_ = server_.port()) == 0 && secondsSince(launched) < 10) poll(10);
    if (port_ == 0) {
        std::fprintf(stderr, "zelmo7-lobby-load: the server did not say its port:\n%s", server_.errText.c_str());
        server_.stop();
        return 1;
    }
    // A game port on which nothing listens: bound, never listening.
    closedGameFd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(closedGameFd_, reinterpret_cast<sockaddr*>(&any), sizeof any);
    socklen_t anySize = sizeof any;
    getsockname(closedGameFd_, reinterpret_cast<sockaddr*>(&any), &anySize);
    closedGamePort_ = ntohs(any.sin_port);

    // Logging in, a batch at a time.
    players_.resize(static_cast<std::size_t>(options_.players));
    for (std::size_t i = 0; i < players_.size(); ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "p%zu", i);
        players_[i].name = name;
    }
    const auto loginStart = Clock::now();
    for (std::size_t first = 0; first < players_.size(); first += kLoginBatch) {
        const std::size_t last = std::min(players_.size(), first + kLoginBatch);
        for (std::size_t i = first; i < last; ++i)
            if (!connectPlayer(i)) drop(players_[i]);
        const auto batch = Clock::now();
        while (secondsSince(batch) < kLoginWaitSeconds &&
               !std::all_of(players_.begin() + static_cast<long>(first), players_.begin() + static_cast<long>(last),
                            [](const Player& p) { return p.loggedIn || p.dropped; }))
            poll(10);
    }
    std::fprintf(stderr, "zelmo7-lobby-load: %zu players logged in in %.1f s; the server holds %.1f MB (peak %.1f MB)\n",
                 static_cast<std::size_t>(std::count_if(players_.begin(), players_.end(), [](const Player& p) { return p.loggedIn; })),
                 secondsSince(loginStart), static_cast<double>(server_.memoryKb("VmRSS:")) / 1024.0,
                 static_cast<double>(server_.memoryKb()) / 1024.0);

    // The measured seconds.
    marks_.reserve(static_cast<std::size_t>(options_.players) * static_cast<std::size_t>(options_.seconds) / 4 + 1024);
    const double cpuBefore = server_.cpuSeconds();
    const double ownCpuBefore = ownCpuSeconds();
    const auto start = Clock::now();
    measuring_ = true;
    double chatsDue = 0;
    double changesDue = 0;
    auto lastStep = start;
    std::uniform_int_distribution<std::size_t> anyone(0, players_.size() - 1);
    while (secondsSince(start) < options_.seconds) {
        poll(2);
        const auto now = Clock::now();
        const double step = std::chrono::duration<double>(now - lastStep).count();
        lastStep = now;
        chatsDue += step * kChatLinesPerSecond;
        changesDue += step * static_cast<double>(players_.size()) / kChangeEverySeconds;
        for (; chatsDue >= 1; chatsDue -= 1) chat();
        for (; changesDue >= 1; changesDue -= 1) {
            Player& p = players_[anyone(random_)];
            if (p.loggedIn && !p.dropped) act(p);
        }
    }
    const double seconds = secondsSince(start);
    const double cpu = server_.cpuSeconds() - cpuBefore;
    const double ownCpu = ownCpuSeconds() - ownCpuBefore;
    measuring_ = false;
    // The last changes may still be on their way.
    const auto settle = Clock::now();
    while (secondsSince(settle) < 1.0) poll(10);
    const long peakKb = server_.memoryKb();

    std::size_t held = 0, dropped = 0;
    for (const Player& p : players_) {
        held += p.loggedIn && !p.dropped;
        dropped += p.dropped;
    }
    std::vector<double> reachMs, firstMs;
    std::size_t partial = 0;
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        const Mark& m = marks_[i];
        if (m.reached == 0) continue;  // closed again before any update named it
        if (static_cast<std::size_t>(m.reached) < held) {
            ++partial;
            continue;
        }
        reachMs.push_back(std::chrono::duration<double, std::milli>(m.last - m.sent).count());
        firstMs.push_back(std::chrono::duration<double, std::milli>(m.first - m.sent).count());
    }
    std::sort(reachMs.begin(), reachMs.end());
    std::sort(firstMs.begin(), firstMs.end());
    const auto percentile = [](const std::vector<double>& sorted, double q) {
        if (sorted.empty()) return 0.0;
        return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(q * static_cast<double>(sorted.size())))];
    };
    std::fprintf(stderr, "zelmo7-lobby-load: %zu changes measured, %zu reached only some players; %.0f MB a second read\n",
                 reachMs.size(), partial, static_cast<double>(bytesWhileMeasuring_) / seconds / 1e6);
    // The first player to have it shows the server's own pace; the rest is
    // how long everybody's sockets take, the bench's reading included.
    std::fprintf(stderr, "zelmo7-lobby-load: a change reached the first player in %.1f ms (median), %.1f ms (p99)\n",
                 percentile(firstMs, 0.5), percentile(firstMs, 0.99));
    // Both run on the same machine: what the bench itself took of it.
    std::fprintf(stderr, "zelmo7-lobby-load: the bench's own processor time: %.1f%% of a core\n", 100.0 * ownCpu / seconds);

    std::printf("players_held: %zu\n", held);
    std::printf("players_dropped: %zu\n", dropped);
    std::printf("messages_per_second: %.0f\n", static_cast<double>(receivedWhileMeasuring_) / seconds);
    std::printf("change_to_all_median_ms: %.1f\n", percentile(reachMs, 0.5));
    std::printf("change_to_all_p99_ms: %.1f\n", percentile(reachMs, 0.99));
    std::printf("server_peak_rss_mb: %.1f\n", static_cast<double>(peakKb) / 1024.0);
    std::printf("server_cpu_percent: %.1f\n", 100.0 * cpu / seconds);
    std::fflush(stdout);

    for (Player& p : players_)
        if (p.fd >= 0) close(p.fd);
    close(closedGameFd_);
    server_.stop();
    server_.drainErr();
    std::fprintf(stderr, "zelmo7-lobby-load: the server said:\n%s", server_.errText.c_str());
    return held == players_.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs("usage: zelmo7-lobby-load --server PATH [--players N] [--seconds S]   (5000 players, 60 seconds)\n",
                   stderr);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    Load load(*options);
    return load.run();
}
