// Vornel: the table window, and the host when this copy hosts.

#include <QApplication>

#include "app/program.h"
#include "app/shutdown_signals.h"

int main(int argc, char** argv) {
    // Names the user's data directory the settings fall back to.
    QApplication::setApplicationName("vornel");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vornel::app::Program program(arguments, {});
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
