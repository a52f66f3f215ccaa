// Vornel: the table window, and the host when this copy hosts.

#include <QApplication>

#include "app/program.h"

int main(int argc, char** argv) {
    // Names the user's data directory the settings fall back to.
    QApplication::setApplicationName("vornel");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    vornel::app::Program program(arguments, {});
    program.start();
    return QApplication::exec();
}
