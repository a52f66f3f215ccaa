// zelmo7-lobby-server: the lobby server without a window. Players' lobbies
// connect to it, log in, chat, gather at tables and start their games
// through it (docs/lobby-protocol.md). Notices go to stderr. It runs until
// SIGINT or SIGTERM, then tells every connection and closes it, and exits 0.

#include <QCoreApplication>

#include <cstdio>
#include <string>

#include "file_limit.h"
#include "lobby/qt_lobby_server.h"
#include "server_options.h"
#include "vornel_version.h"

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
        "Usage: zelmo7-lobby-server [--port N] [--max-players N]\n"
        "\n"
        "The Zelmo7 Lobby's server: players log in under a name, chat, gather at\n"
        "tables and start their games through it.\n"
        "  --port N         TCP port to listen on (default 7773; 0 picks a free one)\n"
        "  --max-players N  players it holds at once, 1 to 100000 (default 5000);\n"
        "                   newcomers beyond that are told the lobby is full\n"
        "  --help           this text\n"
        "  --version        the program's version and its lobby protocol\n",
        to);
}

// Returns false (after saying why) when the arguments are not usable.
bool parseOptions(int argc, char** argv, Options& options) {
    using vornel::tools::parseWhole;
    const vornel::tools::ValueOption known[] = {
        {"--port", [&](const char* v) { return parseWhole(v, 0, 65535, options.port); },
         "needs a port number 0..65535"},
        {"--max-players", [&](const char* v) { return parseWhole(v, 1, kMostPlayers, options.maxPlayers); },
         "needs a whole number 1..100000"},
    };
    const std::string version = "zelmo7-lobby-server " + std::string(vornel::version::kFull) + " (lobby protocol " +
                                std::to_string(vornel::lobby::kProtocolVersion) + ")";
    return vornel::tools::parseServerOptions(argc, argv, {"zelmo7-lobby-server", usage, version, known});
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

    const vornel::tools::DrainOnShutdown shutdown(
        app, "zelmo7-lobby-server", kShutdownGraceMs,
        [&] {
            std::fprintf(stderr, "zelmo7-lobby-server: shutting down (%zu players)\n", server.core().playerCount());
            server.closeAll();
        },
        [&] { return server.openSocketCount(); });

    std::fprintf(stderr, "zelmo7-lobby-server: listening on port %u, at most %ld players, lobby protocol %d\n",
                 server.serverPort(), options.maxPlayers, vornel::lobby::kProtocolVersion);
    return app.exec();
}
