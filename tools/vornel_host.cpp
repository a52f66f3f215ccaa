// vornel-host: a dedicated host without a table of its own. Tables connect to
// it as to any host; every seat without a connection is played by the
// computer. Connections, departures and the host's notices go to stderr.
// It runs until SIGINT or SIGTERM, then closes every connection and exits 0.

#include <QCoreApplication>

#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "net/qt_host.h"
#include "players/simulation.h"
#include "server_options.h"
#include "vornel_version.h"

namespace {

constexpr int kDefaultSpeedMs = 500;
// How long the last bytes of closed connections may take at shutdown.
constexpr int kShutdownGraceMs = 2000;

struct Options {
    long port = vornel::net::kDefaultPort;
    long speedMs = kDefaultSpeedMs;
    bool expertPlayers = false;
};

void usage(std::FILE* to) {
    std::fputs(
        "Usage: vornel-host [--port N] [--speed MS] [--players standard|expert]\n"
        "\n"
        "Vornel's dedicated host, without a table of its own: tables connect to it\n"
        "as to any host, and the computer plays every seat nobody sits in.\n"
        "  --port N        TCP port to listen on (default 7772; 0 picks a free one)\n"
        "  --speed MS      computer players' pace in milliseconds, 1 or more (default 500)\n"
        "  --players KIND  the kind of computer players, standard or expert (default standard)\n"
        "  --help          this text\n"
        "  --version       the program's version\n",
        to);
}

// Returns false (after saying why) when the arguments are not usable.
bool parseOptions(int argc, char** argv, Options& options) {
    using vornel::tools::parseWhole;
    const vornel::tools::ValueOption known[] = {
        {"--port", [&](const char* v) { return parseWhole(v, 0, 65535, options.port); },
         "needs a port number 0..65535"},
        {"--speed", [&](const char* v) { return parseWhole(v, 1, INT_MAX, options.speedMs); },
         "needs a whole number of milliseconds, 1 or more"},
        {"--players",
         [&](const char* v) {
             const std::string_view kind = v != nullptr ? v : "";
             options.expertPlayers = kind == "expert";
             return kind == "standard" || kind == "expert";
         },
         "needs standard or expert"},
    };
    const std::string version = "vornel-host " + std::string(vornel::version::kFull);
    return vornel::tools::parseServerOptions(argc, argv, {"vornel-host", usage, version, known});
}

class StderrDiagnostics final : public vornel::Diagnostics {
public:
    void report(std::string_view text) override {
        std::fprintf(stderr, "vornel-host: %.*s\n", static_cast<int>(text.size()), text.data());
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage(stderr);
        return 2;
    }

    QCoreApplication app(argc, argv);
    vornel::FixedBotSpeed speed(static_cast<int>(options.speedMs));
    StderrDiagnostics diagnostics;
    vornel::net::QtHost host(speed, diagnostics);
    host.setExpertPlayers(options.expertPlayers);

    QObject::connect(&host, &vornel::net::QtHost::connected, [](int record, const QString& peer) {
        std::fprintf(stderr, "vornel-host: connection %d from %s\n", record, qPrintable(peer));
    });
    QObject::connect(&host, &vornel::net::QtHost::refused, [](const QString& peer) {
        std::fprintf(stderr, "vornel-host: refused %s: the table is full\n", qPrintable(peer));
    });
    QObject::connect(&host, &vornel::net::QtHost::disconnected, [](int record, const QString& name) {
        std::fprintf(stderr, "vornel-host: connection %d (%s) left\n", record,
                     name.isEmpty() ? "not logged in" : qPrintable(name));
    });

    if (!host.listen(static_cast<quint16>(options.port))) {
        std::fprintf(stderr, "vornel-host: cannot listen on port %ld: %s\n", options.port,
                     qPrintable(host.errorString()));
        return 1;
    }

    const vornel::tools::DrainOnShutdown shutdown(
        app, "vornel-host", kShutdownGraceMs,
        [&] {
            std::fputs("vornel-host: shutting down\n", stderr);
            host.closeAll();
        },
        [&] { return host.openSocketCount(); });

    std::fprintf(stderr, "vornel-host: listening on port %u, bot speed %ld ms, %s computer players\n",
                 host.serverPort(), options.speedMs, options.expertPlayers ? "expert" : "standard");
    return app.exec();
}
