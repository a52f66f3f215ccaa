// vornel-host-abuse: starts a vornel-host on a free loopback port and keeps
// it busy while abusing it. Four seated tables play game after game and five
// watchers chat; meanwhile the watchers send spoofed seats, out-of-range
// fields and messages cut at every byte, some of them flood the host or send
// oversized or unterminated messages and come back after the host closes
// them, and further connections come and go at random (refused while the
// table is full). At the end it prints what went through and the host's
// memory, and fails when the host died, a seated table waited too long for
// the game to move on, or a seated table lost its seat.
//
//   vornel-host-abuse --host PATH [--seconds N] [--speed MS] [--stall-ms N]
//                     (defaults: 60 seconds, speed 20 ms, stall 5000 ms)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench_table.h"

namespace {

using vornel::bench::BenchTable;

constexpr int kSeats = 4;
constexpr int kWatchers = 5;
constexpr int kAbuseTickMs = 50;
constexpr int kMemoryProbeSeconds = 60;

struct Options {
    QString hostProgram;
    long seconds = 60;
    long speedMs = 20;
    long stallMs = 5000;
};

std::optional<Options> parseOptions(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return std::nullopt;
        bool ok = true;
        const QString& value = args[i + 1];
        if (args[i] == "--host") o.hostProgram = value;
        else if (args[i] == "--seconds") o.seconds = value.toLong(&ok);
        else if (args[i] == "--speed") o.speedMs = value.toLong(&ok);
        else if (args[i] == "--stall-ms") o.stallMs = value.toLong(&ok);
        else return std::nullopt;
        if (!ok) return std::nullopt;
    }
    if (o.hostProgram.isEmpty() || o.seconds < 1 || o.speedMs < 1 || o.stallMs < 1) return std::nullopt;
    return o;
}

// The host's peak resident memory so far (VmHWM), in kB; 0 when unknown.
long peakMemoryKb(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

bool isGameMove(std::string_view command) {
    static constexpr std::string_view kMoves[] = {
        "CMD_dealer",  "CMD_placecard", "CMD_settrump",   "CMD_bidder",     "CMD_hepassed",   "CMD_heaccepted",
        "CMD_chooser", "CMD_trumpchoosen", "CMD_aloner",  "CMD_goingalone", "CMD_discarder",  "CMD_switch",
        "CMD_nextplayer", "CMD_playedcard", "CMD_trickwinner", "CMD_clearcards", "CMD_score", "CMD_thewinner"};
    return std::find(std::begin(kMoves), std::end(kMoves), command) != std::end(kMoves);
}

std::string_view commandOf(const std::string& message) {
    return std::string_view(message).substr(0, message.find('+'));
}

class AbuseRun {
public:
    AbuseRun(const Options& options, QCoreApplication& app) : options_(options), app_(app), random_(std::random_device{}()) {}

    bool start() {
        host_.setProgram(options_.hostProgram);
        host_.setArguments({"--port", "0", "--speed", QString::number(options_.speedMs)});
        QObject::connect(&host_, &QProcess::readyReadStandardError, [this] { readHostLines(); });
        host_.start();
        if (!host_.waitForStarted(10000)) {
            std::fprintf(stderr, "vornel-host-abuse: cannot start %s\n", qPrintable(options_.hostProgram));
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (port_ == 0 && waited.elapsed() < 20000 && host_.state() == QProcess::Running)
            host_.waitForReadyRead(100);
        if (port_ == 0) {
            std::fputs("vornel-host-abuse: the host did not say its port\n", stderr);
            return false;
        }
        clock_.start();
        connectSeatsThenWatchers();
        abuseTimer_.setInterval(kAbuseTickMs);
        QObject::connect(&abuseTimer_, &QTimer::timeout, [this] { abuseTick(); });
        QObject::connect(&trickleTimer_, &QTimer::timeout, [this] { trickle(); });
        trickleTimer_.start(1);
        QTimer::singleShot(kMemoryProbeSeconds * 1000, [this] { memoryAtProbe_ = peakMemoryKb(host_.processId()); });
        QTimer::singleShot(static_cast<int>(options_.seconds * 1000), [this] { finish(); });
        return true;
    }

    int exitCode() const { return exitCode_; }

private:
    struct Trickle {
        BenchTable* table;
        std::string bytes;
        std::size_t sent = 0;
    };

    void readHostLines() {
        hostOutput_ += host_.readAllStandardError();
        qsizetype end;
        while ((end = hostOutput_.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(hostOutput_.left(end));
            hostOutput_.remove(0, end + 1);
            static const QRegularExpression listening("listening on port (\\d+)");
            if (const auto match = listening.match(line); match.hasMatch()) port_ = match.captured(1).toUShort();
            if (line.contains("closed: too many messages waiting")) ++closedForFlood_;
            if (line.contains("closed: message too long")) ++closedForSize_;
            if (line.contains("the table is full")) ++refusedFull_;
        }
    }

    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

    void connectSeatsThenWatchers() {
        // One after the other, so the seated tables hold numbers 1..4.
        for (int i = 0; i < kSeats; ++i) {
            seats_.push_back(std::make_unique<BenchTable>("Seat" + std::to_string(i + 1), true));
            BenchTable* table = seats_.back().get();
            table->onMessage = [this, table](const std::string& message) { seatHeard(*table, message); };
        }
        watchers_.resize(kWatchers);
        connector_.setInterval(20);
        QObject::connect(&connector_, &QTimer::timeout, [this] {
            if (next_ > 0 && !seats_[static_cast<std::size_t>(next_ - 1)]->loggedIn()) return;
            if (next_ == kSeats) {
                connector_.stop();
                for (int w = 0; w < kWatchers; ++w) newWatcher(w);
                startGame();
                abuseTimer_.start();
                return;
            }
            seats_[static_cast<std::size_t>(next_++)]->connectTo("127.0.0.1", port_);
            ++connectionsMade_;
        });
        connector_.start();
    }

    void startGame() {
        seats_.front()->send("CMD_startgame+Seat1+10+");
        ++messagesSent_;
    }

    void seatHeard(BenchTable& table, const std::string& message) {
        const std::string_view command = commandOf(message);
        const qint64 now = clock_.elapsed();
        const auto n = vornel::bench::numbersOf(message);
        SeatWatch& watch = seatWatch_[static_cast<std::size_t>(table.own() % 5)];
        if (command == "CMD_startgame") {
            watch.running = true;
            watch.lastMove = now;
        } else if (isGameMove(command) && watch.running) {
            longestWait_ = std::max(longestWait_, now - watch.lastMove);
            watch.lastMove = now;
            if (command == "CMD_thewinner") watch.running = false;
        }
        if ((command == "CMD_playerdisconnected" && n[0] == table.own()) ||
            (command == "CMD_justwatching" && n[0] == table.own() && n[1] == 1)) {
            std::fprintf(stderr, "vornel-host-abuse: seat %d lost its seat: %s\n", table.own(), message.c_str());
            ++seatsLost_;
        }
        if (command == "CMD_thewinner" && &table == seats_.front().get()) {
            ++gamesCompleted_;
            startGame();
        }
    }

    void newWatcher(int index) {
        auto& slot = watchers_[static_cast<std::size_t>(index)];
        slot = std::make_unique<BenchTable>("Watcher" + std::to_string(++watcherNames_), false);
        slot->connectTo("127.0.0.1", port_);
        ++connectionsMade_;
    }

    // A well-formed message of its own, for trickling or chatting.
    std::string chatOf(const BenchTable& table) {
        return "CMD_chat+" + std::to_string(table.own()) + "+line " + std::to_string(messagesSent_) + " a+b|clBlack";
    }

    // A message a well-behaved table would never send: another seat's
    // number, or fields out of range or not numbers at all.
    std::string misbehaving(const BenchTable& table) {
        const std::string own = std::to_string(table.own());
        const std::string seat = std::to_string(1 + pick(4));
        switch (pick(16)) {
        case 0: return "CMD_playcard+" + seat + "+" + std::to_string(1 + pick(5)) + "+";
        case 1: return "CMD_selectedbubble+" + seat + "+" + std::to_string(1 + pick(8)) + "+";
        case 2: return "CMD_justwatch+" + seat + "+1";
        case 3: return "CMD_kickhim+1+" + seat + "+";
        case 4: return "CMD_chat+" + seat + "+spoofed|clRed";
        case 5: return "CMD_logininfo+" + seat + "+1.0.5+Spoof";
        case 6: return "CMD_playasound+" + seat + "+wave3+";
        case 7: return "CMD_playcard+99+-5+";
        case 8: return "CMD_selectedbubble+" + own + "+2147483647+";
        case 9: return "CMD_playcard+" + own + "+99999999999+";
        case 10: return "CMD_justwatch+-1+1";
        case 11: return "CMD_kickhim+" + own + "+0+";
        case 12: return "CMD_botspeed+" + own + "+-1+";
        case 13: return "CMD_playasound+" + own + "+wave99999+";
        case 14: return "CMD_action+x+" + std::string(static_cast<std::size_t>(pick(3000)), 'a');
        default: {
            std::string garbage(static_cast<std::size_t>(1 + pick(200)), '\0');
            for (char& c : garbage) c = static_cast<char>(pick(256));
            return garbage;
        }
        }
    }

    void abuseTick() {
        // Watchers the host closed (or that left) come back after a while.
        for (int w = 0; w < kWatchers; ++w) {
            auto& slot = watchers_[static_cast<std::size_t>(w)];
            if (slot && slot->closed() && pick(10) == 0) {
                dropTrickles(slot.get());
                newWatcher(w);
            }
        }
        // Further connections that have had their time go.
        for (auto it = churners_.begin(); it != churners_.end();) {
            if ((*it)->closed() || pick(20) == 0) {
                dropTrickles(it->get());
                (*it)->abort();
                it = churners_.erase(it);
            } else {
                ++it;
            }
        }
        if (churners_.size() < 3 && pick(4) == 0) {
            churners_.push_back(std::make_unique<BenchTable>("Passer" + std::to_string(connectionsMade_), false));
            churners_.back()->connectTo("127.0.0.1", port_);
            ++connectionsMade_;
        }
        for (auto& churner : churners_)
            if (churner->loggedIn() && pick(8) == 0) sendMessage(*churner, misbehaving(*churner));

        BenchTable* watcher = watchers_[static_cast<std::size_t>(pick(kWatchers))].get();
        if (watcher == nullptr || !watcher->loggedIn() || watcher->closed()) return;
        switch (pick(40)) {
        case 0: {  // a flood: more messages at once than the host will queue
            std::string flood;
            for (int i = 0; i < 1100; ++i) flood += chatOf(*watcher) + '\xFF';
            watcher->sendRaw(flood);
            messagesSent_ += 1100;
            abusive_ += 1100;
            break;
        }
        case 1:  // a message past the size limit, never ended
            watcher->sendRaw(std::string(70000, 'x'));
            ++abusive_;
            break;
        case 2:  // half a message, then gone
            watcher->sendRaw("CMD_chat+" + std::to_string(watcher->own()) + "+half a li");
            watcher->abort();
            ++abusive_;
            break;
        case 3:
        case 4:
        case 5:
        case 6:  // a message cut at every byte
            trickles_.push_back({watcher, chatOf(*watcher) + '\xFF'});
            ++messagesSent_;
            break;
        default:
            if (pick(2) == 0) {
                sendMessage(*watcher, chatOf(*watcher));
            } else {
                sendMessage(*watcher, misbehaving(*watcher));
                ++abusive_;
            }
        }
    }

    void sendMessage(BenchTable& table, const std::string& text) {
        table.send(text);
        ++messagesSent_;
    }

    void trickle() {
        std::erase_if(trickles_, [](const Trickle& t) { return t.table->closed(); });
        for (auto it = trickles_.begin(); it != trickles_.end();) {
            it->table->sendRaw(std::string_view(it->bytes).substr(it->sent++, 1));
            it = it->sent == it->bytes.size() ? trickles_.erase(it) : it + 1;
        }
    }

    void dropTrickles(const BenchTable* table) {
        std::erase_if(trickles_, [table](const Trickle& t) { return t.table == table; });
    }

    void finish() {
        abuseTimer_.stop();
        trickleTimer_.stop();
        const qint64 now = clock_.elapsed();
        for (const SeatWatch& watch : seatWatch_)
            if (watch.running) longestWait_ = std::max(longestWait_, now - watch.lastMove);
        const bool hostAlive = host_.state() == QProcess::Running;
        const long memoryEnd = hostAlive ? peakMemoryKb(host_.processId()) : 0;
        long long received = 0;
        int seatsClosed = 0;
        for (auto& seat : seats_) {
            received += seat->received();
            seatsClosed += seat->closed() || !seat->seated();
        }
        for (auto& watcher : watchers_)
            if (watcher) received += watcher->received();
        host_.terminate();
        host_.waitForFinished(5000);
        readHostLines();

        std::printf("vornel-host-abuse: %ld s against vornel-host --speed %ld\n", options_.seconds, options_.speedMs);
        std::printf("games completed %d\n", gamesCompleted_);
        std::printf("messages sent to the host %lld (abusive %lld), received from it %lld (seats and watchers)\n",
                    messagesSent_, abusive_, received);
        std::printf("connections made %d; closed by the host for flooding %d, for size %d; refused as full %d\n",
                    connectionsMade_, closedForFlood_, closedForSize_, refusedFull_);
        const double growth = memoryAtProbe_ > 0 ? 100.0 * (memoryEnd - memoryAtProbe_) / memoryAtProbe_ : 0.0;
        if (memoryAtProbe_ > 0)
            std::printf("host peak memory (VmHWM) after %d s %ld kB, at the end %ld kB (%+.1f%%)\n",
                        kMemoryProbeSeconds, memoryAtProbe_, memoryEnd, growth);
        else
            std::printf("host peak memory (VmHWM) at the end %ld kB\n", memoryEnd);
        std::printf("longest wait of a seated table for the game to move on %lld ms\n", longestWait_);
        std::printf("seats lost %d, seated tables closed %d, host %s\n", seatsLost_, seatsClosed,
                    hostAlive ? "still running" : "DIED");

        const bool stalled = longestWait_ > options_.stallMs;
        const bool grew = memoryAtProbe_ > 0 && options_.seconds >= 2 * kMemoryProbeSeconds && growth > 10.0;
        if (stalled) std::printf("FAIL: a seated table waited longer than %ld ms\n", options_.stallMs);
        if (grew) std::puts("FAIL: the host's memory grew by more than 10%");
        exitCode_ = hostAlive && !stalled && !grew && seatsLost_ == 0 && seatsClosed == 0 ? 0 : 1;
        app_.quit();
    }

    struct SeatWatch {
        bool running = false;
        qint64 lastMove = 0;
    };

    Options options_;
    QCoreApplication& app_;
    std::mt19937 random_;
    QProcess host_;
    QByteArray hostOutput_;
    quint16 port_ = 0;
    QElapsedTimer clock_;
    QTimer connector_, abuseTimer_, trickleTimer_;
    std::vector<std::unique_ptr<BenchTable>> seats_, watchers_, churners_;
    std::vector<Trickle> trickles_;
    std::array<SeatWatch, 5> seatWatch_{};
    int next_ = 0;
    int watcherNames_ = 0;
    int gamesCompleted_ = 0, connectionsMade_ = 0, closedForFlood_ = 0, closedForSize_ = 0, refusedFull_ = 0;
    int seatsLost_ = 0;
    long long messagesSent_ = 0, abusive_ = 0;
    qint64 longestWait_ = 0;
    long memoryAtProbe_ = 0;
    int exitCode_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto options = parseOptions(QCoreApplication::arguments());
    if (!options) {
        std::fputs("usage: vornel-host-abuse --host PATH [--seconds N] [--speed MS] [--stall-ms N]\n", stderr);
        return 2;
    }
    AbuseRun run(*options, app);
    if (!run.start()) return 1;
    app.exec();
    return run.exitCode();
}
