// vornel-startup-probe: starts the program as a solo game and measures it.
//
//   vornel-startup-probe              exits as soon as the table is logged in,
//                                     printing the time from the top of main
//   vornel-startup-probe --wait N     logs in, starts a game, lets the table
//                                     wait N seconds for its player, and
//                                     prints the processor time of that wait

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/game_start_dialog.h"
#include "app/program.h"

namespace {
double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    const int waitSeconds = argc > 2 && std::strcmp(argv[1], "--wait") == 0 ? std::atoi(argv[2]) : 0;
    const auto port = static_cast<quint16>(20000 + QCoreApplication::applicationPid() % 20000);
    vornel::app::Program program({}, {port, nullptr});
    auto& table = program.table();
    QObject::connect(&table, &vornel::table::TableWindow::ownArrival, &application, [&] {
        std::printf("logged_in_ms: %.1f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (waitSeconds <= 0) {
            QTimer::singleShot(0, &application, &QApplication::quit);
            return;
        }
        Q_EMIT program.gameStart().startRequested("10");
        // Give the deal and the computer players' bids time to reach the player's turn.
        QTimer::singleShot(5000, &application, [&] {
            const double before = processorSeconds();
            std::printf("waiting: seat to act %d, own seat %d\n", table.state().seatToAct, table.state().ownSeat);
            QTimer::singleShot(waitSeconds * 1000, &application, [&, before] {
                const double used = processorSeconds() - before;
                std::printf("wait_cpu_seconds: %.3f over %d s (%.3f%% of a core)\n", used, waitSeconds,
                            100.0 * used / waitSeconds);
                QCoreApplication::quit();
            });
        });
    });
    program.start();
    QTimer::singleShot(10000 + waitSeconds * 1000 + 6000, &application, [] {
        std::fputs("vornel-startup-probe: did not finish in time\n", stderr);
        QCoreApplication::exit(1);
    });
    return QApplication::exec();
}
