// vornel-host-roundtrip: measures, against a running vornel-host, the time
// from a table's CMD_playcard to the host's CMD_playedcard for that card.
// It takes a seat, starts a game to 10 (and another whenever one ends),
// plays its cards and prints the median and 99th percentile over N plays.
//
//   vornel-host-roundtrip [HOST [PORT [PLAYS]]]   (127.0.0.1 7772 500)
//
// Run the host with a fast bot speed (say --speed 1) so the computer seats
// do not dominate the run time; the pace does not enter the figures.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_table.h"

namespace {
constexpr int kStallMs = 30000;  // no progress for this long: give up
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString host = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("127.0.0.1");
    const long port = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 7772;
    const long plays = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 500;
    if (argc > 4 || port < 1 || port > 65535 || plays < 1) {
        std::fputs("usage: vornel-host-roundtrip [HOST [PORT [PLAYS]]]\n", stderr);
        return 2;
    }

    vornel::bench::BenchTable table("Stopwatch", true);
    QElapsedTimer clock;
    clock.start();
    qint64 sentAt = -1;
    qint64 lastProgress = 0;
    std::vector<double> samplesMs;
    samplesMs.reserve(static_cast<std::size_t>(plays));
    int games = 0;
    int exitCode = 0;

    auto startGame = [&] { table.send("CMD_startgame+Stopwatch+10+"); };
    table.onPlaySending = [&](int) { sentAt = clock.nsecsElapsed(); };
    table.onOwnCardPlayed = [&] {
        if (sentAt < 0) return;
        samplesMs.push_back(static_cast<double>(clock.nsecsElapsed() - sentAt) / 1e6);
        sentAt = -1;
        lastProgress = clock.elapsed();
        if (static_cast<long>(samplesMs.size()) >= plays) app.quit();
    };
    table.onMessage = [&](const std::string& message) {
        if (message.rfind("CMD_newplayerinfo+", 0) == 0 && table.loggedIn() && games == 0 && table.own() != 0) {
            if (!table.seated()) {
                std::fprintf(stderr, "vornel-host-roundtrip: got connection %d, not a seat\n", table.own());
                exitCode = 1;
                app.quit();
                return;
            }
            ++games;
            startGame();
        } else if (message.rfind("CMD_thewinner+", 0) == 0) {
            ++games;
            startGame();
        }
    };

    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (table.closed() || clock.elapsed() - lastProgress > kStallMs) {
            std::fprintf(stderr, "vornel-host-roundtrip: %s after %zu plays\n",
                         table.closed() ? "connection closed" : "no progress", samplesMs.size());
            exitCode = 1;
            app.quit();
        }
    });
    watchdog.start(500);
    table.connectTo(host, static_cast<quint16>(port));
    app.exec();
    if (exitCode != 0) return exitCode;

    std::sort(samplesMs.begin(), samplesMs.end());
    const auto at = [&](double q) {
        return samplesMs[std::min(samplesMs.size() - 1, static_cast<std::size_t>(q * static_cast<double>(samplesMs.size())))];
    };
    double sum = 0;
    for (double s : samplesMs) sum += s;
    std::printf("plays %zu (seat %d, %d game(s) started)\n", samplesMs.size(), table.own(), games);
    std::printf("round trip CMD_playcard -> CMD_playedcard, ms: median %.3f  p99 %.3f  min %.3f  max %.3f  mean %.3f\n",
                at(0.5), at(0.99), samplesMs.front(), samplesMs.back(), sum / static_cast<double>(samplesMs.size()));
    return 0;
}
