// zelmo7-lobby-server: the lobby server without a window. Players' lobbies
// connect to it, log in, chat, gather at tables and start their games
// through it (docs/lobby-protocol.md). Notices go to stderr. It runs until
// SIGINT or SIGTERM, then tells every connection and closes it, and exits 0.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "file_limit.h"
#include "lobby/qt_lobby_server.h"
#include "shutdown_signals.h"

namespace {

// How long the closing notices may take at shutdown.
constexpr int kShutdownGraceMs = 2000;
constexpr long kMostPlayers = 100000;
// Descriptors besides the players' sockets: the listening socket, checks, Qt's own.
constexpr long kSpareFiles = 64;

struct Options {
    long port = vornel::lobby::kDefaultServerPort;
    long maxPlayers = vornel::lobby::kDefaultMaxPlayers;
};

void usage(std::FILE* to) {
    std::fputs(
        "usage: zelmo7-lobby-server [--port N] [--max-players N]\n"
        "The Zelmo7 Lobby's server: players log in under a name, chat, gather at\n"
        "tables and start their games through it.\n"
        "  --port N         TCP port to listen on (default 7773; 0 picks a free one)\n"
        "  --max-players N  players it holds at once, 1 to 100000 (default 5000);\n"
        "                   newcomers beyond that are told the lobby is full\n"
        "  --help           this text\n"
        "  --version        the program's version and its lobby protocol\n",
        to);
}

bool parseWhole(const char* text, long min, long max, long& out) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) return false;
    out = value;
    return true;
}

// Returns false (after saying why) when the arguments are not usable.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg == "--version") {
            std::printf("zelmo7-lobby-server %s (lobby protocol %d)\n", VORNEL_VERSION, vornel::lobby::kProtocolVersion);
            std::exit(0);
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--port") {
            if (!parseWhole(value, 0, 65535, options.port)) {
                std::fputs("zelmo7-lobby-server: --port needs a port number 0..65535\n", stderr);
                return false;
            }
        } else if (arg == "--max-players") {
            if (!parseWhole(value, 1, kMostPlayers, options.maxPlayers)) {
                std::fputs("zelmo7-lobby-server: --max-players needs a whole number 1..100000\n", stderr);
                return false;
            }
        } else {
            std::fprintf(stderr, "zelmo7-lobby-server: unknown argument %s\n", argv[i]);
            return false;
        }
    }
    return true;
}

class StderrDiagnostics final : public vornel::Diagnostics {
public:
    void report(std::string_view text) override {
        std::fprintf(stderr, "zelmo7-lobby-server: %.*s\n", static_cast<int>(text.size()), text.data());
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage(stderr);
        return 2;
    }
    const long files = vornel::tools::raiseOpenFileLimit(options.maxPlayers + kSpareFiles);
    if (files >= 0 && files < options.maxPlayers + kSpareFiles)
        std::fprintf(stderr, "zelmo7-lobby-server: only %ld files may be open: fewer than %ld players fit\n", files,
                     options.maxPlayers);

    // Qt's plain poll() event loop: with thousands of sockets, the GLib loop
    // spends its time walking its list of them whenever one starts or stops
    // waiting to write.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    StderrDiagnostics diagnostics;
    vornel::lobby::QtLobbyServer server(diagnostics, static_cast<int>(options.maxPlayers));
    if (!server.listen(static_cast<quint16>(options.port))) {
        std::fprintf(stderr, "zelmo7-lobby-server: cannot listen on port %ld: %s\n", options.port,
                     qPrintable(server.errorString()));
        return 1;
    }

    QTimer drain;
    QDeadlineTimer drainDeadline;
    QObject::connect(&drain, &QTimer::timeout, &app, [&] {
        if (server.openSocketCount() == 0 || drainDeadline.hasExpired()) app.quit();
    });
    const bool watching = vornel::tools::watchShutdownSignals(&app, [&] {
        if (drain.isActive()) return;
        std::fprintf(stderr, "zelmo7-lobby-server: shutting down (%zu players)\n", server.core().playerCount());
        server.closeAll();
        drainDeadline.setRemainingTime(kShutdownGraceMs);
        drain.start(10);
    });
    if (!watching) std::fputs("zelmo7-lobby-server: could not install the signal handlers\n", stderr);

    std::fprintf(stderr, "zelmo7-lobby-server: listening on port %u, at most %ld players, lobby protocol %d\n",
                 server.serverPort(), options.maxPlayers, vornel::lobby::kProtocolVersion);
    return app.exec();
}
