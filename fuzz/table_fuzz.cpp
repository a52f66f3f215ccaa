// Feeds arbitrary bytes from a host, cut into arbitrary reads, through the
// table's connection framing into the dispatch of a real table window.
//
// The first byte of an input seeds the lengths of the reads; the rest is what
// the host sent. Between reads the table works off what it queued, one
// message per tick, as its timer would. One window serves the whole run:
// after each input it is checked, drawn, and reset to the state it was made
// in (tests hold the reset to a new window's state), so each input still
// starts from a new table and reproduces on its own.
//
// An input should also leave the heap as it found it: libFuzzer runs an
// input again and scans the whole heap for leaks whenever it allocated more
// than it freed. So the caches that fill once and stay (the artwork, drawn
// when first asked for, and the glyphs of each font) are filled before the
// first input, and the board is drawn onto a device that keeps no pixels.

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QColor>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <vector>

#include "null_paint_device.h"
#include "table/artwork.h"
#include "table/board.h"
#include "table/game_view.h"
#include "table/table_services.h"
#include "table/table_window.h"

namespace {

using vornel::table::Board;
using vornel::table::ImageElement;
using vornel::table::TableWindow;
using vornel::table::TextElement;

// Aborts with a message: the fuzzer reports it as a crash.
[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "table invariant broken: %s\n", what);
    std::abort();
}

// What no host message may do to the table, however malformed.
void checkInvariants(TableWindow& table) {
    Board& board = table.board();
    unsigned slots = 0;  // bit n: slot n is at a hand position
    for (int position = 1; position <= 5; ++position) {
        const int slot = table.game().slotAtPosition(position);
        if (slot == -1) continue;
        if (slot < 1 || slot > 5) broken("a hand position holds a slot outside 1..5");
        if ((slots & (1u << slot)) != 0) broken("one slot at two hand positions");
        slots |= 1u << slot;
        if (board.handCard(slot) == nullptr) broken("a hand position without its card");
    }
    int cards = 0;
    for (const QObject* child : board.children())
        if (child->isWidgetType() && child->objectName().startsWith(QLatin1StringView("card"), Qt::CaseInsensitive))
            ++cards;
    if (cards > 5) broken("more than five cards in the own hand");
    // Found by name, and by family as the game finds them: the same element.
    for (int seat = 1; seat <= 4; ++seat) {
        for (int family = 0; family < static_cast<int>(std::size(vornel::table::kSeatFamilies)); ++family) {
            QWidget* named = board.numberedElement(vornel::table::kSeatFamilies[family], seat);
            if (named == nullptr) broken("a seat element lost its name");
            if (board.seatImage(static_cast<vornel::table::SeatFamily>(family), seat) !=
                qobject_cast<ImageElement*>(named))
                broken("a seat element found by its family is not the one of its name");
        }
        if (board.nameLabel(seat) != qobject_cast<TextElement*>(board.numberedElement("label_playername", seat)))
            broken("a name label found by its seat is not the one of its name");
    }
    for (int slot = 1; slot <= 9; ++slot)
        if (board.handCard(slot) != qobject_cast<ImageElement*>(board.numberedElement("card", slot)))
            broken("a hand card found by its slot is not the one of its name");
    const int own = table.state().ownSeat;
    if (table.state().loggedIn && (own < 1 || own > 9)) broken("logged in under a number the host never gives");
}

// The next input must meet a table as new: nothing of this one left.
void checkReset(TableWindow& table) {
    if (table.state().loggedIn || table.state().ownSeat != 0) broken("still logged in after the reset");
    if (table.connection().waiting() != 0) broken("messages still waiting after the reset");
    for (int slot = 1; slot <= 5; ++slot)
        if (table.board().handCard(slot) != nullptr) broken("a hand card left after the reset");
    if (!table.board().changedSinceStart().empty()) broken("a board element not as it was after the reset");
}

// Draws the playing area of the board (the seats, the hand, the trick, the
// score board and the status line: everything left of the chat box) as the
// screen would: every element's paint code runs, onto a device that keeps
// no pixels. The chat box draws through the toolkit's own text box and is
// left out to keep inputs quick.
void drawBoard(Board& board) {
    const QRect playing(0, 0, board.mainchat()->x(), board.height());
    vornel::fuzz::NullPaintDevice device(playing.size());
    board.render(&device, QPoint(), QRegion(playing));
}

// Asks for every picture of the artwork, and lays out every Latin-1
// character (all a host's text can hold) in each text element's font and in
// the chat box's two weights, then resets the window: what stays cached
// from here on is no input's doing.
void fillCaches(TableWindow& table) {
    const vornel::table::Artwork& artwork = table.artwork();
    // Held for the whole run, as a window holds the faces it shows: the
    // artwork lets go of faces no one holds.
    static std::vector<QPixmap> faces;
    for (int index = 0; index < vornel::table::Artwork::kCardCount; ++index) faces.push_back(artwork.card(index));
    for (int index = 0; index < vornel::table::Artwork::kBubbleCount; ++index) artwork.bubble(index);
    for (int n = 1; n <= vornel::table::Artwork::kPhraseButtonCount; ++n) artwork.phraseButton(n);
    for (int count = 1; count <= 5; ++count) artwork.fan(count);
    for (int team = 1; team <= 2; ++team) artwork.winnersBanner(team);
    // Each of these draws its picture when first asked for.
    for (const QPixmap* picture :
         {&artwork.dealerMarker(), &artwork.makerMarker(), &artwork.makerTeamMarker(), &artwork.watchingMarker(),
          &artwork.turnMarker(), &artwork.trickWinnerMarker(), &artwork.startButton(), &artwork.scoreCardButton(),
          &artwork.lastTrickButton(), &artwork.logo(), &artwork.chatterButton(), &artwork.backgroundTile()})
        (void)picture;

    QString every;
    for (int c = 1; c <= 0xFF; ++c) every += QChar(c);
    Board& board = table.board();
    for (auto* label : board.findChildren<vornel::table::TextElement*>(Qt::FindDirectChildrenOnly)) {
        label->setText(every);
        label->show();
    }
    table.addlinetochat(every + ":" + every, QColor(0, 0, 255));
    drawBoard(board);
    table.reset();
    QCoreApplication::sendPostedEvents();
}

// The one window, made once the application exists; reachable until exit.
TableWindow* theTable = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // One application for the whole run; reachable until exit on purpose.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    theTable = new TableWindow();
    fillCaches(*theTable);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    TableWindow& table = *theTable;
    vornel::table::RecordingServices services;
    table.setServices(TableWindow::Services{services, services, services, services, services});
    vornel::net::TableConnection& connection = table.connection();

    // The first byte seeds the lengths of the reads the rest arrives in.
    std::uint32_t cuts = data[0] * 2654435761u + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    // Messages the table may handle for this input, so every run stays quick.
    int budget = 4000;
    for (std::size_t at = 0; at < stream.size();) {
        cuts = cuts * 1664525u + 1013904223u;
        const std::size_t length = std::min<std::size_t>(1 + (cuts >> 24) % 97, stream.size() - at);
        const bool fits = connection.received(stream.substr(at, length));
        at += length;
        if (!fits) break;
        // The timer would work the queue off between reads, or not yet.
        if ((cuts >> 8) % 4 == 0) continue;
        while (connection.waiting() > 0 && budget-- > 0) connection.tick();
        if (budget <= 0) break;
    }
    while (connection.waiting() > 0 && budget-- > 0) connection.tick();
    checkInvariants(table);
    // Whatever the messages left on the board must draw.
    drawBoard(table.board());

    table.unsetServices();
    table.reset();
    checkReset(table);
    // What the widgets posted to themselves (cards taken off the board are
    // deleted later, layouts redone later) happens now, as the event loop
    // would do it: nothing piles up from one input to the next.
    QCoreApplication::sendPostedEvents();
    return 0;
}
