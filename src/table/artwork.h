#pragma once
// Every picture of the table window, drawn by the program at start-up so that
// no image files travel with it. A QGuiApplication must exist before an
// Artwork is made (fonts and pixmaps need one).
//
// Each picture keeps the routine that drew it, so that a board shown larger
// or on a high-density screen gets it drawn again for the size it is shown
// at (shownAt), never stretched; those drawings are cached per size.

#include <QCache>
#include <QImage>
#include <QPixmap>
#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

namespace vornel::table {

class Artwork {
public:
    static constexpr int kCardCount = 57;  // 0 back, 1..52 faces by card code, 53..56 suit symbols
    static constexpr int kCardWidth = 71;
    static constexpr int kCardHeight = 96;
    static constexpr int kBubbleCount = 9;  // 0 is the empty picture
    static constexpr int kBubbleWidth = 95;
    static constexpr int kBubbleHeight = 25;
    static constexpr int kPhraseButtonCount = 9;

    Artwork();

    // Out-of-range indices give a null pixmap, which draws nothing.
    const QPixmap& card(int index) const;
    // 1 "Order it Up", 2 "Pass", 3..6 the suits Clubs, Diamonds, Spades,
    // Hearts with their symbols, 7 "Alone", 8 "With Partner"; 0 transparent.
    const QPixmap& bubble(int index) const;

    const QPixmap& dealerMarker() const { return dealer_; }         // 25 x 25, a round "D" chip
    const QPixmap& makerMarker() const { return maker_; }           // 25 x 25, seat that made trump
    const QPixmap& makerTeamMarker() const { return makerTeam_; }   // 25 x 25, beside a team's score heading
    const QPixmap& watchingMarker() const { return watching_; }     // 37 x 17, a pair of eyes
    const QPixmap& turnMarker() const { return turn_; }             // 28 x 34, an arrow
    const QPixmap& trickWinnerMarker() const { return trickWinner_; }  // 27 x 35, a trophy
    // 121 x 35; team 1 tan lettering, team 2 blue.
    const QPixmap& winnersBanner(int team) const;

    const QPixmap& startButton() const { return start_; }          // 91 x 28
    const QPixmap& scoreCardButton() const { return scoreCard_; }  // 91 x 28
    const QPixmap& lastTrickButton() const { return lastTrick_; }  // 91 x 28
    const QPixmap& logo() const { return logo_; }                  // 223 x 61
    const QPixmap& backgroundTile() const { return tile_; }        // 64 x 64, seamless
    // 25 x 18, "P" and the number; n is 1..9.
    const QPixmap& phraseButton(int n) const;
    const QPixmap& chatterButton() const { return chatter_; }  // 25 x 18, a musical note
    // 66 + 5 x count by 96: count card backs, each 5 pixels right of the
    // one before; count is 1..5.
    const QPixmap& fan(int count) const;

    // One of these pictures (or a copy of it) drawn for `shownSize` widget
    // pixels on a screen of `devicePixelRatio`. Any other picture comes back
    // smoothly scaled.
    QPixmap shownAt(const QPixmap& picture, const QSize& shownSize, qreal devicePixelRatio) const;

private:
    using Recipe = std::function<QImage()>;
    void keep(QPixmap& slot, Recipe draw);

    std::vector<Recipe> recipes_;
    std::unordered_map<qint64, std::size_t> recipeOf_;  // by QPixmap::cacheKey
    mutable QCache<quint64, QPixmap> shown_;
    std::array<QPixmap, 5> fans_;
    std::array<QPixmap, kCardCount> cards_;
    std::array<QPixmap, kBubbleCount> bubbles_;
    std::array<QPixmap, 2> winners_;
    std::array<QPixmap, kPhraseButtonCount> phrases_;
    QPixmap dealer_, maker_, makerTeam_, watching_, turn_, trickWinner_;
    QPixmap start_, scoreCard_, lastTrick_, logo_, tile_, chatter_;
};

}  // namespace vornel::table
