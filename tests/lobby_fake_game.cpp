// A stand-in for the game in the lobby window's tests: it writes the
// arguments it was started with, and the ports it was given, to
// $VORNEL_HOME/fake-game.txt (one per line), opens the lobby link as the
// game does, and runs until the link closes, it is asked to end, or a
// minute has passed.

#include <QCoreApplication>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile record(qEnvironmentVariable("VORNEL_HOME") + "/fake-game.txt");
    if (!record.open(QIODevice::WriteOnly)) return 1;
    QStringList lines = QCoreApplication::arguments().mid(1);
    lines << "VORNEL_PORT=" + qEnvironmentVariable("VORNEL_PORT", "unset")
          << "ZELMO7_LOBBY_LINK_PORT=" + qEnvironmentVariable("ZELMO7_LOBBY_LINK_PORT", "unset");
    record.write(lines.join('\n').toUtf8() + '\n');
    record.close();

    QTcpSocket link;
    QObject::connect(&link, &QTcpSocket::disconnected, &app, &QCoreApplication::quit);
    QObject::connect(&link, &QTcpSocket::errorOccurred, &app, &QCoreApplication::quit);
    const int port = qEnvironmentVariableIntValue("ZELMO7_LOBBY_LINK_PORT");
    link.connectToHost("127.0.0.1", static_cast<quint16>(port != 0 ? port : 9001));
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
