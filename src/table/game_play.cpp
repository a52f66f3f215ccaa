// Tricks and scores: the turn, cards landing on the table, refusals, the
// trick winner, the hand's score with its announcement, the end of the game.

#include "engine/cards.h"
#include "net/protocol.h"
#include "table/artwork.h"
#include "table/board.h"
#include "table/game_view.h"
#include "table/table_window.h"

namespace vornel::table {

namespace {

const QColor kChatBlue(0, 0, 255);
const QColor kPaneOrange(255, 128, 0);
const QColor kPaneBlue(55, 70, 140);

QString fieldText(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// The six ways a hand can end, as the table announces them.
struct Outcome {
    int number;            // 1..6
    const char* announcement;
    int team;              // the team the outcome is about
};

const Outcome kOutcomes[] = {
    {1, "The Tan Team Got Vorneled!", 1},  {2, "The Blue Team Got Vorneled!", 2},
    {3, "The Tan Team Marched!", 1},       {4, "The Blue Team Marched!", 2},
    {5, "The Tan Team earned 1 point!", 1}, {6, "The Blue Team earned 1 point!", 2},
};

const Outcome* pickOutcome(int makerTeam, int p1, int p2) {
    if (makerTeam == 1 && p1 == 0) return &kOutcomes[0];
    if (makerTeam == 2 && p2 == 0) return &kOutcomes[1];
    if (p1 == 2 || p1 == 4) return &kOutcomes[2];
    if (p2 == 2 || p2 == 4) return &kOutcomes[3];
    if (p1 == 1) return &kOutcomes[4];
    if (p2 == 1) return &kOutcomes[5];
    return nullptr;
}

// The listener's side: 1 Tan seats, 2 Blue seats, 0 watchers.
int listenerTeam(int ownSeat) { return isSeat(ownSeat) ? teamOf(ownSeat) : 0; }

QString outcomeSound(const Outcome& outcome, int listener) {
    const bool ours = listener == outcome.team;
    switch (outcome.number) {
    case 1:
    case 2: return ours || listener == 0 ? "vorneled" : "gotpoints";
    case 3:
    case 4: return ours ? "marched" : "nopoints";
    default: return ours || listener == 0 ? "gotpoints" : "nopoints";
    }
}

}  // namespace

void GameView::setnextplayer(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (!seat) return;
    board_.text("label_discard")->hide();
    clearBubbles();
    state_.seatToAct = *seat;
    setStatus(caption(*seat) + "'s turn to play a card.");
    board_.image("image_winner")->hide();
    showTurnMarker(*seat);
    if (*seat == state_.ownSeat) playTurnSound();
}

void GameView::playedcard(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    const auto slot = reader.number();
    const auto code = reader.number();
    if (!seat || !slot || !code) return;
    const QRect hand = board_.motion().handPlace(*seat, *slot, state_.ownSeat);
    board_.text("label_discard")->hide();
    window_.playsounds("placecard");
    ImageElement* trump = board_.image("image_trump");
    if (trump->hint().isEmpty() && suitOf(*code) != 0) trump->setHint(QString::fromLatin1(suitName(suitOf(*code)).data()));
    if (ImageElement* played = board_.seatImage(SeatFamily::Played, *seat)) {
        played->clearPicture();
        if (*code >= 0 && *code <= 56) played->setPixmap(window_.artwork().card(*code));
        played->setTag(*code);
        played->raise();
        board_.motion().slide(played, hand);
    }
    if (*seat == state_.ownSeat) {
        if (ImageElement* card = board_.handCard(*slot)) board_.putBackHandCard(card);
        movecards(*slot);
        return;
    }
    if (ImageElement* fan = board_.seatImage(SeatFamily::Cards, *seat)) {
        const int count = std::max(0, fan->tag() - 1);
        if (count > 0) {
            drawFan(*seat, count);
        } else {
            fan->setTag(0);
            fan->clearPicture();
            fan->resize(66, 96);
        }
    }
}

void GameView::notvalid(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (!seat || *seat != state_.ownSeat) return;
    const auto kind = reader.number();
    if (!kind) return;
    window_.playsounds("notvalid");
    if (*kind == 2) {
        setStatus("You must follow suit if able.");
        const auto slot = reader.number();
        if (!slot) return;
        if (ImageElement* card = board_.handCard(*slot)) card->move(card->x(), 395);
    } else if (*kind == 3) {
        setStatus("Cannot selected that suit as trump.");
    }
}

void GameView::trickwinner(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto winner = reader.number();
    if (!winner) return;
    state_.seatToAct = 0;
    board_.text("label_current1")->setText(fieldText(reader.field()));
    board_.text("label_current2")->setText(fieldText(reader.field()));
    const QString won = caption(*winner) + " Won the Trick!";
    setStatus(won);
    for (int seat = 1; seat <= 4; ++seat) board_.seatImage(SeatFamily::Turn, seat)->hide();
    if (*winner == state_.ownSeat) window_.playsounds("trickwinner");
    ImageElement* marker = board_.image("image_winner");
    if (ImageElement* turn = board_.seatImage(SeatFamily::Turn, *winner)) marker->move(turn->pos());

    ImageElement* trump = board_.image("image_trump");
    LastTrick trick;
    for (int seat = 1; seat <= 4; ++seat) trick.cards[seat] = board_.seatImage(SeatFamily::Played, seat)->tag();
    trick.trumpImage = trump->tag();
    trick.winnerText = won;
    trick.ledSuitText = trump->hint();
    trump->setHint(QString());
    window_.services().lastTrick.showLastTrick(trick);
    for (int seat = 1; seat <= 4; ++seat) board_.seatImage(SeatFamily::Played, seat)->setTag(0);
    marker->show();
    marker->raise();
    board_.motion().trickWon(*winner);
}

void GameView::clearcards(std::string_view) {
    board_.motion().gatherTrick();
    for (int seat = 1; seat <= 4; ++seat) board_.seatImage(SeatFamily::Played, seat)->clearPicture();
}

void GameView::scores(std::string_view rest) {
    std::array<int, 5> f{};
    net::FieldReader reader(rest);
    for (auto& value : f) {
        const auto number = reader.number();
        if (!number) return;
        value = *number;
    }
    const auto [maker, s1, p1, s2, p2] = f;
    board_.text("label_score1")->setText(QString::number(s1));
    board_.text("label_score2")->setText(QString::number(s2));
    if (p1 != 0) board_.text("label_bonus1")->setText("+" + QString::number(p1));
    if (p2 != 0) board_.text("label_bonus2")->setText("+" + QString::number(p2));
    const Outcome* outcome = pickOutcome(maker, p1, p2);
    if (outcome == nullptr) return;
    setStatus(outcome->announcement);

    auto& log = window_.services().gameLog;
    for (int team = 1; team <= 2; ++team) {
        const bool makers = team == maker;
        const int points = team == 1 ? p1 : p2;
        QString tail = " tricks";
        if (outcome->number == 1 && team == 1) tail = " tricks Vorneled!";
        else if (outcome->number == 2 && team == 2) tail = " tricks! Vorneled!";
        else if ((outcome->number == 3 || outcome->number == 4) && team == outcome->team) tail = " tricks Marched!";
        const bool earned = outcome->number >= 5 && makers;
        const QString line = "R" + QString::number(log.lineCount(team) + 1) + (makers ? ": M " : ":   ") +
                             QString::number(points) + (earned ? " point  " : " points ") +
                             board_.text(QString("label_current%1").arg(team))->text() + tail;
        log.addlinetomemo(line, team, team == 1 ? kPaneOrange : kPaneBlue);
    }

    const int listener = listenerTeam(state_.ownSeat);
    window_.playsounds(outcomeSound(*outcome, listener));
    if (listener == outcome->team) {
        if (outcome->number == 1 || outcome->number == 2) window_.services().tally.addtomineincrease(4);
        else if (outcome->number == 3 || outcome->number == 4) window_.services().tally.addtomineincrease(3);
    }
}

void GameView::thewinner(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto team = reader.number();
    if (!team) return;
    board_.image("image_winner")->hide();
    if (*team == 1 || *team == 2) {
        const int first = *team == 1 ? 1 : 2;
        const int second = first + 2;
        board_.seatImage(SeatFamily::Winner, first)->show();
        board_.seatImage(SeatFamily::Winner, second)->show();
        const QString teamName = *team == 1 ? "Tan" : "Blue";
        window_.addlinetochat("The " + teamName + " Team has Won the Game!!", kChatBlue);
        const QColor colour = *team == 1 ? kTanColour : kBlueColour;
        for (int pane = 1; pane <= 2; ++pane)
            window_.services().gameLog.addlinetomemo("The " + teamName + " Team Won!!", pane, colour);
        const int own = state_.ownSeat;
        auto& tally = window_.services().tally;
        if (own == first) tally.addgame("addtomine", caption(second));
        else if (own == second) tally.addgame("addtomine", caption(first));
        else if (isSeat(own)) tally.addgame(caption(first), caption(second));
    }
    window_.playsounds("winner");
    if (state_.isHost) board_.image("button_start")->show();
}

}  // namespace vornel::table
