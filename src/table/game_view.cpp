#include "table/game_view.h"

#include <QPainter>

#include "engine/cards.h"
#include "net/field_numbers.h"
#include "net/protocol.h"
#include "table/artwork.h"
#include "table/board.h"
#include "table/table_window.h"

namespace vornel::table {

namespace {

const QColor kChatBlue(0, 0, 255);
const QColor kWatchColour(156, 152, 120);
const QColor kHintColour(255, 200, 0);

using net::readNumbers;

QString fieldText(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

GameView::GameView(TableWindow& window) : window_(window), board_(window.board()), state_(window.state()) {}

QString GameView::caption(int seat) const {
    const TextElement* label = board_.nameLabel(seat);
    return label != nullptr ? label->text() : QString();
}

void GameView::setStatus(const QString& text) { board_.text("label_status")->setText(text); }

void GameView::playTurnSound() { window_.playsounds(window_.options().turnSound == 1 ? "turnnew" : "turn"); }

bool GameView::highlightBubble(int code) {
    for (int n = 1; n <= 4; ++n) {
        ImageElement* bubble = board_.bubble(n);
        if (bubble->tag() != code || code == -1) continue;
        // The bubble's own picture in a bright frame; clearing the bubbles ends it.
        QPixmap framed = bubble->pixmap();
        QPainter painter(&framed);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(kHintColour, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(framed.rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
        painter.end();
        bubble->setPixmap(framed);
        return true;
    }
    return false;
}

void GameView::clearBubbles() {
    for (int n = 1; n <= 4; ++n) {
        board_.bubble(n)->clearPicture();
        board_.bubble(n)->setTag(-1);
    }
}

void GameView::setBubble(int bubble, int picture, int code) {
    board_.bubble(bubble)->setPixmap(window_.artwork().bubble(picture));
    board_.bubble(bubble)->setTag(code);
}

void GameView::showTurnMarker(int seat) {
    for (int s = 1; s <= 4; ++s) board_.seatImage(SeatFamily::Turn, s)->setVisible(s == seat);
}

void GameView::moveDealerMarker(int seat) {
    const TextElement* label = board_.nameLabel(seat);
    if (label == nullptr) return;
    ImageElement* dealer = board_.image("button_dealer");
    dealer->move(label->x() - 28, label->y() - 9);
    dealer->setTag(seat);
    dealer->show();
}

void GameView::drawFan(int seat, int count) {
    ImageElement* fan = board_.seatImage(SeatFamily::Cards, seat);
    if (fan == nullptr) return;
    fan->setTag(count);
    fan->resize(66 + 5 * count, 96);
    fan->setPixmap(window_.artwork().fan(count));
}

void GameView::resetHand() {
    layout_.fill(-1);
    hintedSlot_ = 0;
    // Putting a card back renames and hides it, and never takes it off the
    // board at once: the list of children stays as it is while it is walked.
    const QObjectList children = board_.children();
    for (QObject* child : children) {
        if (!child->isWidgetType()) continue;
        if (!child->objectName().startsWith(QLatin1StringView("card"), Qt::CaseInsensitive)) continue;
        board_.putBackHandCard(static_cast<QWidget*>(child));
    }
}

void GameView::clearall() {
    board_.text("label_score1")->setText("0");
    board_.text("label_score2")->setText("0");
    board_.text("label_current1")->setText("");
    board_.text("label_current2")->setText("");
    for (int seat = 1; seat <= 4; ++seat) {
        board_.seatImage(SeatFamily::Eyes, seat)->hide();
        board_.seatImage(SeatFamily::Turn, seat)->hide();
        board_.seatImage(SeatFamily::Played, seat)->clearPicture();
    }
    board_.image("image_trump")->clearPicture();
}

// --- the start of a game and of a hand -----------------------------------

void GameView::startthegame(std::string_view rest) {
    net::FieldReader reader(rest);
    const QString starter = fieldText(reader.field());
    const QString target = fieldText(reader.field());
    board_.image("button_start")->hide();
    board_.text("label_discard")->hide();
    // The last game's dealer chip goes until this game's first deal.
    board_.image("button_dealer")->hide();
    clearall();
    window_.addlinetochat(starter + " has started a game.", kChatBlue);
    board_.text("label_playtoscore")->setText("Play to Score: " + target);
    for (int seat = 2; seat <= 4; ++seat) {
        TextElement* label = board_.nameLabel(seat);
        if (label->text() == "<Waiting>") label->setText(label->hint());
    }
    for (int seat = 1; seat <= 4; ++seat) {
        board_.seatImage(SeatFamily::Eyes, seat)->hide();
        board_.seatImage(SeatFamily::Winner, seat)->hide();
    }
    if (QAction* watch = window_.action("action_justwatch")) watch->setChecked(false);
}

void GameView::setdealer(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    const int dealer = f[0];
    clearBubbles();
    state_.seatToAct = dealer;
    board_.image("image_winner")->hide();
    showTurnMarker(dealer);
    board_.image("button_dealer")->setTag(dealer);
    startround();
    moveDealerMarker(dealer);
    for (int seat = 1; seat <= 4; ++seat) board_.seatImage(SeatFamily::Played, seat)->clearPicture();
    setStatus(caption(dealer) + " is dealing.");
}

void GameView::startround() {
    board_.text("label_bonus1")->setText("");
    board_.text("label_bonus2")->setText("");
    resetHand();
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat != state_.ownSeat) {
            board_.seatImage(SeatFamily::Cards, seat)->clearPicture();
            board_.seatImage(SeatFamily::Cards, seat)->setTag(0);
        }
        board_.seatImage(SeatFamily::TheMaker, seat)->hide();
    }
    board_.text("label_current1")->setText("0");
    board_.text("label_current2")->setText("0");
    board_.image("image_maker1")->hide();
    board_.image("image_maker2")->hide();
}

void GameView::settrump(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    clearBubbles();
    ImageElement* trump = board_.image("image_trump");
    if (f[0] >= 0 && f[0] <= 56) trump->setPixmap(window_.artwork().card(f[0]));
    trump->setTag(f[0]);
}

// --- bidding -------------------------------------------------------------

void GameView::setbidder(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    const int bidder = f[0];
    clearBubbles();
    for (int seat = 1; seat <= 4; ++seat) {
        board_.seatImage(SeatFamily::Played, seat)->setTag(0);
        board_.seatImage(SeatFamily::TheMaker, seat)->hide();
    }
    window_.services().lastTrick.clearTrumpCard();
    state_.seatToAct = bidder;
    setStatus(caption(bidder) + "'s turn to accept or pass.");
    if (bidder == state_.ownSeat) playTurnSound();
    showTurnMarker(bidder);
    if (bidder == state_.ownSeat) {
        setBubble(1, 1, 1);
        setBubble(2, 2, 2);
    }
}

void GameView::hepassed(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    clearBubbles();
    state_.seatToAct = 0;
    setStatus(caption(f[0]) + " passed.");
}

void GameView::heaccepted(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    const int seat = f[0];
    clearBubbles();
    state_.seatToAct = 0;
    setStatus(caption(seat) + " Accepted.");
    if (isSeat(seat)) {
        board_.image(seat % 2 == 1 ? "image_maker1" : "image_maker2")->show();
        board_.seatImage(SeatFamily::TheMaker, seat)->show();
    }
}

void GameView::trumpchoosen(std::string_view rest) {
    std::array<int, 2> f{};
    if (!readNumbers(rest, f)) return;
    const auto [maker, suit] = f;
    setStatus(caption(maker) + " choose " + QString::fromLatin1(suitName(suit).data()) + " for trump.");
    if (isSeat(maker)) {
        board_.image(maker % 2 == 1 ? "image_maker1" : "image_maker2")->show();
        board_.seatImage(SeatFamily::TheMaker, maker)->show();
    }
    ImageElement* trump = board_.image("image_trump");
    if (suit >= 1 && suit <= 4) trump->setPixmap(window_.artwork().card(52 + suit));
    else trump->clearPicture();
    trump->setTag(52 + suit);
}

void GameView::setchooser(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto chooser = reader.number();
    if (!chooser) return;
    board_.text("label_discard")->hide();
    clearBubbles();
    setStatus(caption(*chooser) + " is choosing a trump.");
    state_.seatToAct = *chooser;
    showTurnMarker(*chooser);
    if (*chooser != state_.ownSeat) return;
    const auto turnedDown = reader.number();
    if (!turnedDown) return;
    playTurnSound();
    for (int suit = 1; suit <= 4; ++suit) {
        if (suit == *turnedDown) setBubble(suit, 2, 22);
        else setBubble(suit, suit + 2, suit + 2);
    }
}

void GameView::setaloner(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    const int maker = f[0];
    board_.text("label_discard")->hide();
    clearBubbles();
    setStatus("Will " + caption(maker) + " go alone?");
    state_.seatToAct = maker;
    if (maker == state_.ownSeat) {
        setBubble(2, 7, 7);
        setBubble(1, 8, 8);
    }
}

void GameView::goingalone(std::string_view rest) {
    std::array<int, 2> f{};
    if (!readNumbers(rest, f)) return;
    const auto [maker, answer] = f;
    const int partner = isSeat(maker) ? partnerOf(maker) : 0;
    if (answer != 7 || partner == 0) return;
    if (partner == state_.ownSeat) {
        resetHand();  // this player sits the hand out
    } else {
        board_.seatImage(SeatFamily::Cards, partner)->clearPicture();
        board_.seatImage(SeatFamily::Cards, partner)->setTag(0);
    }
}

void GameView::setdiscarder(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    const int dealer = f[0];
    clearBubbles();
    setStatus(caption(dealer) + " needs to discard.");
    state_.seatToAct = dealer;
    showTurnMarker(dealer);
    if (dealer == state_.ownSeat) {
        playTurnSound();
        board_.text("label_discard")->show();
    }
}

void GameView::switchCard(std::string_view rest) {
    std::array<int, 3> f{};
    if (!readNumbers(rest, f)) return;
    const auto [seat, slot, code] = f;
    if (seat != state_.ownSeat) return;
    state_.seatToAct = 0;
    ImageElement* card = board_.handCard(slot);
    if (card == nullptr || code < 0 || code > 56) return;
    card->setPixmap(window_.artwork().card(code));
    card->setHint(QString::number(code));
    card->move(card->x(), 400);
}

void GameView::justwatching(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (!seat || !isSeat(*seat)) return;
    const bool watching = reader.remainder() == "1";
    if (*seat == state_.ownSeat)
        if (QAction* watch = window_.action("action_justwatch")) watch->setChecked(watching);
    window_.addlinetochat(caption(*seat) + (watching ? " is just watching" : " now playing again"), kWatchColour);
    board_.seatImage(SeatFamily::Eyes, *seat)->setVisible(watching);
}

// --- joining a running game ----------------------------------------------

void GameView::loadcards(std::string_view rest) {
    std::array<int, 8> f{};
    if (!readNumbers(rest, f)) return;
    const int team = f[0], maker = f[1], dealer = f[2], trump = f[3];
    if (team == 1 || team == 2) board_.image(team == 1 ? "image_maker1" : "image_maker2")->show();
    for (int seat = 1; seat <= 4; ++seat) board_.seatImage(SeatFamily::TheMaker, seat)->hide();
    if (isSeat(maker)) board_.seatImage(SeatFamily::TheMaker, maker)->show();
    if (dealer != 0) moveDealerMarker(dealer);
    if (trump >= 1 && trump <= 4) {
        board_.image("image_trump")->setPixmap(window_.artwork().card(52 + trump));
        board_.image("image_trump")->setTag(52 + trump);
    }
    for (int seat = 1; seat <= 4; ++seat) {
        const int code = f[3 + seat];
        if (code > 0 && code <= 56) {
            board_.seatImage(SeatFamily::Played, seat)->setPixmap(window_.artwork().card(code));
            board_.seatImage(SeatFamily::Played, seat)->setTag(code);
        }
        TextElement* label = board_.nameLabel(seat);
        if (label->text() == "<Waiting>") label->setText(label->hint());
    }
}

void GameView::loadstats(std::string_view rest) {
    net::FieldReader reader(rest);
    const QString target = fieldText(reader.field());
    board_.text("label_playtoscore")->setText("Play to Score: " + target);
    board_.text("label_score1")->setText(fieldText(reader.field()));
    board_.text("label_current1")->setText(fieldText(reader.field()));
    board_.text("label_score2")->setText(fieldText(reader.field()));
    board_.text("label_current2")->setText(fieldText(reader.field()));
}

void GameView::loadtheircard(std::string_view rest) {
    net::FieldReader reader(rest);
    while (!reader.atEnd()) {
        const auto seat = reader.number();
        const auto count = reader.number();
        if (!seat || !count) return;
        if (*count > 0 && isSeat(*seat) && *count <= 5) drawFan(*seat, *count);
    }
}

}  // namespace vornel::table
