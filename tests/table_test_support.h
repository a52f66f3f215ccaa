#pragma once
// Helpers of the table's tests: a table window that records what it asks of
// the windows around it, a listening socket that captures what the table
// sends, bounded waits on the event loop, and mouse presses as a player
// makes them.

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "table/board.h"
#include "table/game_view.h"
#include "table/table_services.h"
#include "table/table_window.h"

// Readable failure messages for Qt values.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << "rgb(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ")";
}

namespace vornel::table::test {

// Runs the event loop until done() holds or limitMs have passed; returns
// whether done() holds. The limit only keeps a failure from hanging.
bool waitUntil(const std::function<bool()>& done, int limitMs = 60000);
// Lets deferred deletions and other posted events run.
void settle();

// A mouse press on the middle of a widget, as the player's click starts.
void press(QWidget* widget, Qt::MouseButton button = Qt::LeftButton);

// Whether a picture element shows exactly this picture.
bool shows(const QLabel* element, const QPixmap& picture);
bool showsNothing(const QLabel* element);

struct ChatLine {
    QString text;
    QColor colour;
};
std::vector<ChatLine> chatLines(TableWindow& table);

QColor textColour(const QWidget* label);

// The table's services as recording stubs, and a table window using them.
struct TableFixture {
    RecordingServices services;
    TableWindow table{TableWindow::Services{services, services, services, services, services}};

    // Shown, as the player sees it (hidden elements stay hidden).
    TableFixture() { table.show(); }

    void dispatch(std::string_view message) { table.dispatch(message); }
    // The host's login message: the table takes the seat and rotates.
    void login(int seat);
    Board& board() { return table.board(); }
    GameView& game() { return table.game(); }
    // The own hand's card of a hand slot, nullptr when there is none.
    ImageElement* card(int slot) { return board().image(QString("card%1").arg(slot)); }
    // The hand card standing at display position 1..5.
    ImageElement* cardAt(int position);
    QString status() { return board().text("label_status")->text(); }
};

// A local listening socket the table connects to, standing in for the host.
class SentCapture {
public:
    explicit SentCapture(TableWindow& table);
    bool connected() const { return peer_ != nullptr && table_.connection().isOpen(); }
    // Every message the table sent since the last call, in order. The table
    // is made to send a marker last, so nothing sent before it is missed.
    std::vector<std::string> takeSent();

private:
    TableWindow& table_;
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    std::string received_;
    int markers_ = 0;
};

// A port nobody listens on at the moment.
quint16 freePort();

}  // namespace vornel::table::test
