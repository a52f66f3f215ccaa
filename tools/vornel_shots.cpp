// vornel-shots: plays a solo game on the real program in this process,
// clicking cards and bubbles as a player would, and saves a picture of the
// table after the start, at the deal, the bidding, a trick in progress, a
// scored hand and the end of the game, and of the last-trick window once
// the first trick is won.
//
//   vornel-shots [output-directory] [WIDTHxHEIGHT]
//
// The directory defaults to "screenshots"; WIDTHxHEIGHT sizes the window's
// client area (the board grows with it) once the settings are read.

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <set>

#include "app/game_start_dialog.h"
#include "app/program.h"
#include "players/simulation.h"
#include "table/board.h"
#include "table/game_view.h"

namespace {

void click(QWidget* widget) {
    if (widget == nullptr) return;
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("screenshots");
    QSize clientSize;
    if (argc > 2) {
        const QStringList parts = QString::fromLocal8Bit(argv[2]).split('x');
        if (parts.size() == 2) clientSize = QSize(parts[0].toInt(), parts[1].toInt());
        if (clientSize.isEmpty()) {
            std::fprintf(stderr, "vornel-shots: the size reads WIDTHxHEIGHT, as 1920x1080\n");
            return 2;
        }
    }
    QDir().mkpath(outDir);

    vornel::FixedBotSpeed speed(40);
    vornel::app::Program program({}, {static_cast<quint16>(20000 + QCoreApplication::applicationPid() % 20000), &speed});
    auto& table = program.table();
    program.start();

    std::set<QString> saved;
    auto shoot = [&](const QString& name) {
        if (saved.count(name) != 0) return;
        saved.insert(name);
        const QString path = outDir + "/" + name + ".png";
        table.grab().save(path);
        std::printf("saved %s\n", qPrintable(path));
    };

    QObject::connect(&table, &vornel::table::TableWindow::ownArrival, &application, [&] {
        if (clientSize.isValid()) {
            const QSize frame = table.size() - table.centralWidget()->size();
            table.resize(clientSize + frame);
        }
        QTimer::singleShot(300, &application, [&] { shoot("0-solo-start"); });
    });

    int played = 0;
    table.connection().setMessageHandler([&](std::string_view message) {
        table.dispatch(message);
        const QString text = QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size()));
        if (text.startsWith("CMD_settrump")) shoot("1-deal");
        if (text.startsWith("CMD_playedcard") && ++played % 4 == 2) shoot("3-trick");
        if (text.startsWith("CMD_trickwinner") && saved.count("3-last-trick") == 0) {
            saved.insert("3-last-trick");
            const QString path = outDir + "/3-last-trick.png";
            program.window("Tlasttrick")->grab().save(path);
            std::printf("saved %s\n", qPrintable(path));
        }
        if (text.startsWith("CMD_score")) shoot("4-scored");
        if (text.startsWith("CMD_thewinner")) {
            shoot("5-winner");
            QTimer::singleShot(200, &application, &QApplication::quit);
        }
    });

    // The player: answers every prompt addressed to the own seat.
    QTimer player;
    int nextSlotTry = 0;
    bool startClicked = false;
    QObject::connect(&player, &QTimer::timeout, [&] {
        auto& state = table.state();
        if (!state.loggedIn) return;
        if (!startClicked && saved.count("0-solo-start") != 0 && table.board().image("button_start")->isVisible()) {
            startClicked = true;
            click(table.board().image("button_start"));
            QTimer::singleShot(50, [&] { click(program.gameStart().findChild<QWidget*>("button_start")); });
            return;
        }
        if (state.seatToAct != state.ownSeat) return;
        for (int n = 1; n <= 4; ++n) {
            auto* bubble = table.board().bubble(n);
            if (bubble->tag() == -1) continue;
            shoot("2-bidding");
            // Pass in the first round, name the first suit offered in the second, play with the partner.
            for (int preferred : {2, 8, 3, 4, 5, 6, 22}) {
                for (int m = 1; m <= 4; ++m)
                    if (table.board().bubble(m)->tag() == preferred) {
                        click(table.board().bubble(m));
                        return;
                    }
            }
        }
        // Play or discard: try the cards left to right; a refused card stays raised.
        for (int i = 0; i < 5; ++i) {
            const int position = (nextSlotTry + i) % 5 + 1;
            const int slot = table.game().slotAtPosition(position);
            if (slot == -1) continue;
            auto* card = table.board().image(QString("card%1").arg(slot));
            if (card == nullptr || card->y() != 400) continue;
            nextSlotTry = position;
            click(card);
            return;
        }
        // Every card is raised (refused, or a second click at the discard
        // that the host let pass): lower them all so that each is tried
        // again; lowering only one could try the same refused card forever.
        for (int position = 1; position <= 5; ++position) {
            const int slot = table.game().slotAtPosition(position);
            auto* card = slot == -1 ? nullptr : table.board().image(QString("card%1").arg(slot));
            if (card != nullptr) click(card);
        }
    });
    player.start(30);
    QTimer::singleShot(180000, &application, &QApplication::quit);
    return QApplication::exec();
}
