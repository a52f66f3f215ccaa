// Vornel: the table window, and the host when this copy hosts.

#include <QApplication>

#include <cstdio>
#include <cstring>

#include "app/platform.h"
#include "app/program.h"
#include "app/shutdown_signals.h"
#include "vornel_version.h"

namespace {

constexpr char kUsage[] =
    "Usage: vornel [NAME HOST HOSTING]\n"
    "\n"
    "Vornel, a card game for four players in two teams. Computer players take\n"
    "every empty seat.\n"
    "\n"
    "Without arguments it starts a solo game: this copy hosts on TCP port 7772\n"
    "and its table sits in the first seat.\n"
    "  NAME HOST true  host a multi-player game as NAME (the lobby starts this)\n"
    "  NAME HOST x     join the game hosted at the address HOST as NAME\n"
    "  --help          this text\n"
    "  --version       the program's version\n"
    "\n"
    "Environment: VORNEL_HOME moves the settings and tally files, VORNEL_PORT\n"
    "replaces port 7772.\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they need no display. A lone
    // argument starts no game anyway (the table waits idle).
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vornel %s\n", vornel::version::kFull.data());
        return 0;
    }
    vornel::app::platform::limitMemoryArenas();
    // Loaded while the application is made.
    const auto fontConfiguration = vornel::app::platform::loadFontConfigurationAhead();
    // Names the user's data directory the settings fall back to.
    QApplication::setApplicationName("vornel");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vornel::app::Program program(arguments, {.fontConfiguration = fontConfiguration});
    // Asked to end (the lobby ends the games it started this way, and so does
    // a logout), the table closes as if the player closed it, so the settings
    // are written, then the program ends.
    vornel::app::platform::watchShutdownSignals(&application, [&program] {
        program.table().close();
        QApplication::quit();
    });
    program.start();
    return QApplication::exec();
}
