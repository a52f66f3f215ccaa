#pragma once
// What the table shows of the game: the own hand and the other seats' card
// backs, the bubbles and prompts of the bidding, the cards of each trick,
// the trick counts, the scores and the end of the game. Each handler takes
// the text of one host message after its command.

#include <QString>
#include <array>
#include <string_view>

namespace vornel::table {

class Board;
class ImageElement;
class TableWindow;
struct TableState;

class GameView {
public:
    explicit GameView(TableWindow& window);

    // Bidding and the deal.
    void startthegame(std::string_view rest);
    void setdealer(std::string_view rest);
    void settrump(std::string_view rest);
    void setbidder(std::string_view rest);
    void hepassed(std::string_view rest);
    void heaccepted(std::string_view rest);
    void trumpchoosen(std::string_view rest);
    void setchooser(std::string_view rest);
    void setaloner(std::string_view rest);
    void goingalone(std::string_view rest);
    void setdiscarder(std::string_view rest);
    void switchCard(std::string_view rest);  // `switch`
    void justwatching(std::string_view rest);
    void loadcards(std::string_view rest);
    void loadstats(std::string_view rest);
    void loadtheircard(std::string_view rest);

    // Tricks and scores.
    void setnextplayer(std::string_view rest);
    void playedcard(std::string_view rest);
    void notvalid(std::string_view rest);
    void trickwinner(std::string_view rest);
    void clearcards(std::string_view rest);
    void scores(std::string_view rest);
    void thewinner(std::string_view rest);

    // The own hand.
    void placecard(std::string_view rest);
    void createcard(int slot, int code);
    void sortthem();
    void movecards(int slot);
    void cardimagesMouseDown(ImageElement& card, int button);
    void bubble1Click(int bubble);

    // The hint on the own turn (nothing is sent): the card of a hand slot is
    // raised as a first click raises it, so that a click on it plays it; the
    // bubble offering a code is framed. False when there is no such card or
    // bubble on the table.
    bool raiseHintedCard(int slot);
    bool highlightBubble(int code);
    // The hand slot of the card the hint raised, 0 when none stands raised.
    int hintedSlot() const { return hintedSlot_; }
    // The turn the hint was for has passed: a card it raised goes back.
    void dropHint();

    // `clearall`: score board and markers back to their start.
    void clearall();
    // The hand layout: the hand slot at display position 1..5, -1 when free.
    int slotAtPosition(int position) const { return layout_[position]; }

private:
    void startround();
    void clearBubbles();
    void setBubble(int bubble, int picture, int code);
    void showTurnMarker(int seat);
    void resetHand();
    void drawFan(int seat, int count);
    void moveDealerMarker(int seat);
    void playTurnSound();
    QString caption(int seat) const;
    void setStatus(const QString& text);

    TableWindow& window_;
    Board& board_;
    TableState& state_;
    std::array<int, 6> layout_{-1, -1, -1, -1, -1, -1};  // positions 1..5
    int hintedSlot_ = 0;
};

}  // namespace vornel::table
