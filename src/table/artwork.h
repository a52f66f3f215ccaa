#pragma once
// Every picture of the table window, drawn by the program itself so that no
// image files travel with it. A picture is drawn the first time it is asked
// for, so that start-up draws only what the empty table shows. A
// QGuiApplication must exist while pictures are asked for (fonts and pixmaps
// need one).
//
// Each picture keeps the routine that drew it, so that a board shown larger
// or on a high-density screen gets it drawn again for the size it is shown
// at (shownAt), never stretched; those drawings are cached per size.

#include <QCache>
#include <QImage>
#include <QPixmap>
#include <functional>
#include <future>
#include <memory>
#include <thread>
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
    ~Artwork();
    Artwork(const Artwork&) = delete;
    Artwork& operator=(const Artwork&) = delete;

    // Starts drawing the pictures the empty table shows on a thread of its
    // own, so that the fonts are loaded and the pictures drawn while the
    // windows are being made. Asking for one of them then waits for its
    // drawing if that is not done yet. Only the first call starts anything.
    // A valid `fontConfiguration` is a loading of the system's font
    // configuration still under way: the thread waits for it before its
    // first text, as must anyone else who needs fonts first
    // (awaitFontConfiguration), so that it is not loaded a second time.
    // `meanwhile`, work of the caller's that needs no fonts, is done by the
    // thread while it waits for them (on the calling thread when no thread
    // is started).
    void drawStartPicturesAhead(std::shared_future<void> fontConfiguration = {},
                                std::function<void()> meanwhile = {}) const;
    void awaitFontConfiguration() const {
        if (fontConfiguration_.valid()) fontConfiguration_.wait();
    }

    // The artwork the windows of the user-interface thread share: made on
    // the first call and kept while anyone holds it, so that every window
    // (and every window made again) draws each picture once.
    static std::shared_ptr<const Artwork> shared();

    // Out-of-range indices give a null pixmap, which draws nothing.
    const QPixmap& card(int index) const;
    // 1 "Order it Up", 2 "Pass", 3..6 the suits Clubs, Diamonds, Spades,
    // Hearts with their symbols, 7 "Alone", 8 "With Partner"; 0 transparent.
    const QPixmap& bubble(int index) const;

    const QPixmap& dealerMarker() const { return drawn(kDealer); }          // 25 x 25, a round "D" chip
    const QPixmap& makerMarker() const { return drawn(kMaker); }            // 25 x 25, seat that made trump
    const QPixmap& makerTeamMarker() const { return drawn(kMakerTeam); }    // 25 x 25, beside a team's score heading
    const QPixmap& watchingMarker() const { return drawn(kWatching); }      // 37 x 17, a pair of eyes
    const QPixmap& turnMarker() const { return drawn(kTurn); }              // 28 x 34, an arrow
    const QPixmap& trickWinnerMarker() const { return drawn(kTrickWinner); }  // 27 x 35, a trophy
    // 121 x 35; team 1 tan lettering, team 2 blue.
    const QPixmap& winnersBanner(int team) const;

    const QPixmap& startButton() const { return drawn(kStart); }          // 91 x 28
    const QPixmap& scoreCardButton() const { return drawn(kScoreCard); }  // 91 x 28
    const QPixmap& lastTrickButton() const { return drawn(kLastTrick); }  // 91 x 28
    const QPixmap& logo() const { return drawn(kLogo); }                  // 223 x 61
    const QPixmap& backgroundTile() const { return drawn(kTile); }        // 64 x 64, seamless
    // 25 x 18, "P" and the number; n is 1..9.
    const QPixmap& phraseButton(int n) const;
    const QPixmap& chatterButton() const { return drawn(kChatter); }  // 25 x 18, a musical note
    // 66 + 5 x count by 96: count card backs, each 5 pixels right of the
    // one before; count is 1..5.
    const QPixmap& fan(int count) const;

    // How many pictures have been drawn so far (at their own size) and are
    // still kept.
    int drawnCount() const;

    // One of these pictures (or a copy of it) drawn for `shownSize` widget
    // pixels on a screen of `devicePixelRatio`. Any other picture comes back
    // smoothly scaled.
    QPixmap shownAt(const QPixmap& picture, const QSize& shownSize, qreal devicePixelRatio) const;

private:
    // Where each picture's recipe stands in recipes_ (and its drawing in pictures_).
    enum : std::size_t {
        kCards = 0,
        kBubbles = kCards + kCardCount,
        kPhrases = kBubbles + kBubbleCount,
        kFans = kPhrases + kPhraseButtonCount,
        kWinners = kFans + 5,
        kDealer = kWinners + 2,
        kMaker,
        kMakerTeam,
        kWatching,
        kTurn,
        kTrickWinner,
        kStart,
        kScoreCard,
        kLastTrick,
        kLogo,
        kChatter,
        kTile,
        kPictureCount
    };
    // The card faces among the cards (0 is the back, 53..56 the suit cards).
    static constexpr std::size_t kFirstFace = kCards + 1, kLastFace = kCards + 52;
    using Recipe = std::function<QImage()>;

    // The picture at `index`, drawn now if it is asked for the first time.
    const QPixmap& drawn(std::size_t index) const;
    // Lets go of the card faces no window shows any more (no one else holds
    // them), so that a game keeps the faces of a hand or two, not of every
    // card it has dealt. A face is drawn again when it is next dealt.
    void letGoOfUnshownFaces() const;
    const QPixmap& pick(std::size_t first, std::size_t count, int index) const;

    std::vector<Recipe> recipes_;
    mutable std::vector<QPixmap> pictures_;
    // Drawings under way on aheadThread_, by index; a picture taken from here is no longer valid here.
    mutable std::vector<std::future<QImage>> ahead_;
    mutable std::thread aheadThread_;
    mutable std::shared_future<void> fontConfiguration_;
    mutable std::unordered_map<qint64, std::size_t> recipeOf_;  // by QPixmap::cacheKey
    mutable QCache<quint64, QPixmap> shown_;
};

}  // namespace vornel::table
