// vornel-host-load: keeps a running vornel-host busy with a full table: nine
// connections (four seats, five watchers), a game to 10 started again
// whenever one ends, the seats playing and everyone chatting every so often.
// Stops after the given number of seconds and prints what went through.
// Read the host's peak memory meanwhile (VmHWM in /proc/<pid>/status).
//
//   vornel-host-load [HOST [PORT [SECONDS]]]   (127.0.0.1 7772 60)

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_table.h"

namespace {
constexpr int kTables = 9;
constexpr int kChatMinMs = 300;
constexpr int kChatMaxMs = 2000;
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString host = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("127.0.0.1");
    const long port = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 7772;
    const long seconds = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 60;
    if (argc > 4 || port < 1 || port > 65535 || seconds < 1) {
        std::fputs("usage: vornel-host-load [HOST [PORT [SECONDS]]]\n", stderr);
        return 2;
    }

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> chatPause(kChatMinMs, kChatMaxMs);
    std::vector<std::unique_ptr<vornel::bench::BenchTable>> tables;
    std::vector<std::unique_ptr<QTimer>> chatTimers;
    long long chatsSent = 0, cardsPlayed = 0, gamesEnded = 0;
    bool gameStarted = false;

    // The lowest seat starts the game and starts it again when it ends.
    auto starter = [&]() -> vornel::bench::BenchTable* {
        vornel::bench::BenchTable* best = nullptr;
        for (auto& t : tables)
            if (t->seated() && t->loggedIn() && (best == nullptr || t->own() < best->own())) best = t.get();
        return best;
    };
    auto startGame = [&] {
        if (auto* t = starter()) {
            t->send("CMD_startgame+" + t->name() + "+10+");
            gameStarted = true;
        }
    };

    for (int i = 0; i < kTables; ++i) {
        tables.push_back(std::make_unique<vornel::bench::BenchTable>("Load" + std::to_string(i + 1), true));
        auto* table = tables.back().get();
        table->onMessage = [&, table](const std::string& message) {
            if (message.rfind("CMD_playedcard+", 0) == 0 && table == tables.front().get()) ++cardsPlayed;
            if (message.rfind("CMD_thewinner+", 0) == 0 && table == starter()) {
                ++gamesEnded;
                startGame();
            }
        };
        auto timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        QObject::connect(timer.get(), &QTimer::timeout, [&, table, t = timer.get()] {
            if (table->loggedIn() && !table->closed()) {
                table->send("CMD_chat+" + std::to_string(table->own()) + "+chatter " + std::to_string(chatsSent) +
                            " with a + and a | inside|clBlack");
                ++chatsSent;
            }
            t->start(chatPause(random));
        });
        timer->start(chatPause(random));
        chatTimers.push_back(std::move(timer));
    }
    // One after the other, so the numbering is the usual 1..9.
    int next = 0;
    QTimer connector;
    QObject::connect(&connector, &QTimer::timeout, [&] {
        if (next > 0 && !tables[static_cast<std::size_t>(next - 1)]->loggedIn()) return;
        if (next == kTables) {
            connector.stop();
            if (!gameStarted) startGame();
            return;
        }
        tables[static_cast<std::size_t>(next++)]->connectTo(host, static_cast<quint16>(port));
    });
    connector.start(20);

    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();

    long long received = 0;
    int closed = 0;
    for (auto& t : tables) {
        received += t->received();
        closed += t->closed();
    }
    std::printf("tables %d (closed %d), chats sent %lld, cards played %lld, games ended %lld, messages received %lld\n",
                kTables, closed, chatsSent, cardsPlayed, gamesEnded, received);
    return closed == 0 && gameStarted ? 0 : 1;
}
