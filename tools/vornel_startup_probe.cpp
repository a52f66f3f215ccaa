// vornel-startup-probe: starts the program as a solo game and measures it.
//
//   vornel-startup-probe              exits as soon as the table is logged in,
//                                     printing the time from the top of main,
//                                     the steps on the way, the window
//                                     thread's processor time (steadier than
//                                     the time on a busy machine) and the
//                                     host's queue ticks the login took
//   vornel-startup-probe --wait N     logs in, starts a game, lets the table
//                                     wait N seconds for its player, and
//                                     prints the processor time of that wait
//   vornel-startup-probe --game [WIDTHxHEIGHT] [--play-solo]
//                                     logs in, chooses Just Watch, watches a
//                                     whole game to 10 with the window's
//                                     client area at that size (the default
//                                     window without it), and prints the
//                                     process's peak resident memory; with
//                                     --play-solo the download window shown
//                                     at the start is first closed by its
//                                     "Play Solo Game", as a player going on
//                                     with the game closes it; the settings
//                                     and the tally are kept in a folder of
//                                     the run's own unless VORNEL_HOME is set
//   vornel-startup-probe --compare N  runs itself (the first form) and
//                                     vornel-empty-window, found beside it,
//                                     N times each in turn, and prints the
//                                     median time of each whole process and
//                                     their ratio

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "app/game_start_dialog.h"
#include "app/platform.h"
#include "app/program.h"
#include "players/simulation.h"

namespace {

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double milliseconds(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double peakMegabytes() { return static_cast<double>(vornel::app::platform::peakResidentBytes()) / (1024.0 * 1024.0); }

// The whole process from its start until it has exited, in milliseconds;
// negative when it would not start or did not exit cleanly.
double timeProcess(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) return -1;
    const double elapsed = milliseconds(clock);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? elapsed : -1;
}

int compare(int argc, char** argv, int runs) {
    QCoreApplication application(argc, argv);
    const QString directory = QCoreApplication::applicationDirPath();
    const QString probe = QCoreApplication::applicationFilePath();
    const QString empty = directory + "/vornel-empty-window";
    std::vector<double> probeTimes, emptyTimes;
    // Each in turn, so that a change in the machine's speed touches both.
    for (int run = 0; run < runs; ++run) {
        const double probeMs = timeProcess(probe, {});
        const double emptyMs = timeProcess(empty, {});
        if (probeMs < 0 || emptyMs < 0) {
            std::fprintf(stderr, "vornel-startup-probe: run %d failed (is %s built?)\n", run + 1, qPrintable(empty));
            return 1;
        }
        probeTimes.push_back(probeMs);
        emptyTimes.push_back(emptyMs);
    }
    const double probeMedian = median(probeTimes);
    const double emptyMedian = median(emptyTimes);
    std::printf("runs: %d each, in turn\n", runs);
    std::printf("program_to_login_ms: %.1f (median)\n", probeMedian);
    std::printf("empty_window_ms: %.1f (median)\n", emptyMedian);
    std::printf("ratio: %.2f\n", probeMedian / emptyMedian);
    return 0;
}

// The download window's "Play Solo Game", pressed as a player does; false
// when the window is not shown.
bool playSolo() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != "Tdownload" || !window->isVisible()) continue;
        auto* button = window->findChild<QAbstractButton*>("solobutton");
        if (button == nullptr) return false;
        button->click();
        return !window->isVisible();
    }
    return false;
}

// Starts a game to 10; once it has started (a start makes every seat a
// player's again) the table chooses Just Watch (watchOnceStarted), and the
// peak resident memory is printed once the game has been won.
void watchWholeGame(vornel::app::Program& program, QSize clientSize, bool closeDownloadWindow) {
    if (closeDownloadWindow && !playSolo())
        std::fputs("vornel-startup-probe: no download window to close\n", stderr);
    auto& table = program.table();
    if (clientSize.isValid()) {
        const QSize frame = table.size() - table.centralWidget()->size();
        table.resize(clientSize + frame);
    }
    Q_EMIT program.gameStart().startRequested("10");
}

void watchOnceStartedAndReportWhenWon(vornel::table::TableWindow& table, QApplication& application) {
    table.connection().setMessageHandler([&table, &application](std::string_view message) {
        table.dispatch(message);
        if (message.starts_with("CMD_startgame")) table.action("action_justwatch")->trigger();
        if (!message.starts_with("CMD_thewinner")) return;
        // The winners' banner and the tally's record are drawn before the peak is read.
        QTimer::singleShot(200, &application, [&table] {
            const QSize client = table.centralWidget()->size();
            std::printf("client_area: %dx%d\n", client.width(), client.height());
            std::printf("pictures_drawn: %d\n", table.artwork().drawnCount());
            std::printf("peak_resident_mb: %.1f\n", peakMegabytes());
            QCoreApplication::quit();
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    const double threadAtStart = vornel::app::platform::threadProcessorSeconds();
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "--compare") return compare(argc, argv, argc > 2 ? std::max(1, std::atoi(argv[2])) : 21);
    vornel::app::platform::limitMemoryArenas();  // as the program does
    const auto fontConfiguration = vornel::app::platform::loadFontConfigurationAhead();
    QApplication application(argc, argv);
    const double applicationMs = milliseconds(clock);
    const bool wholeGame = mode == "--game";
    const int waitSeconds = mode == "--wait" && argc > 2 ? std::atoi(argv[2]) : 0;
    QSize clientSize;
    const bool closeDownloadWindow = wholeGame && argc > 2 && std::string_view(argv[argc - 1]) == "--play-solo";
    const int sizeArguments = argc - (closeDownloadWindow ? 1 : 0);
    if (wholeGame && sizeArguments > 2) {
        const QStringList parts = QString::fromLocal8Bit(argv[2]).split('x');
        if (parts.size() == 2) clientSize = QSize(parts[0].toInt(), parts[1].toInt());
        if (clientSize.isEmpty()) {
            std::fprintf(stderr, "vornel-startup-probe: the size reads WIDTHxHEIGHT, as 1920x1080\n");
            return 2;
        }
    }
    // A whole game reads the settings and writes them and the tally at its
    // end: in a folder of its own, every run starts from the default window
    // (or the size asked for), whatever an earlier run left, and leaves
    // nothing behind. A VORNEL_HOME that is set is kept.
    std::optional<QTemporaryDir> home;
    if (wholeGame && qEnvironmentVariableIsEmpty("VORNEL_HOME")) {
        home.emplace();
        if (home->isValid()) qputenv("VORNEL_HOME", QFile::encodeName(home->path()));
    }
    const auto port = static_cast<quint16>(20000 + QCoreApplication::applicationPid() % 20000);
    // A whole game at a quick pace; otherwise the table's own Bot Speed.
    vornel::FixedBotSpeed quickPace(10);
    vornel::app::Program program({}, {port, wholeGame ? &quickPace : nullptr, fontConfiguration});
    const double windowsMs = milliseconds(clock);
    auto& table = program.table();
    double connectedMs = 0;
    QObject::connect(&table.connection(), &vornel::net::TableConnection::connected, &application,
                     [&] { connectedMs = milliseconds(clock); });
    QObject::connect(&table, &vornel::table::TableWindow::ownArrival, &application, [&] {
        std::printf("logged_in_ms: %.1f\n", milliseconds(clock));
        const double windowThreadMs = 1000 * (vornel::app::platform::threadProcessorSeconds() - threadAtStart);
        if (wholeGame) {
            watchWholeGame(program, clientSize, closeDownloadWindow);
            return;
        }
        if (waitSeconds <= 0) {
            std::printf("application_ms: %.1f\nwindows_ms: %.1f\nconnected_ms: %.1f\n", applicationMs, windowsMs,
                        connectedMs);
            std::printf("window_thread_cpu_ms: %.1f\n", windowThreadMs);
            std::printf("host_queue_ticks: %d\n", program.host().queueTicks());
            std::printf("pictures_drawn: %d\n", table.artwork().drawnCount());
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
    if (wholeGame) watchOnceStartedAndReportWhenWon(table, application);
    program.start();
    const int bound = wholeGame ? 120000 : 10000 + waitSeconds * 1000 + 6000;
    QTimer::singleShot(bound, &application, [] {
        std::fputs("vornel-startup-probe: did not finish in time\n", stderr);
        QCoreApplication::exit(1);
    });
    return QApplication::exec();
}
