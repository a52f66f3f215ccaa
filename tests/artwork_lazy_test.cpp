// Pictures drawn when first asked for: once, each as its routine draws it,
// shared by the windows, and drawn again for a larger board as before.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <functional>
#include <string>
#include <vector>

#include "engine/cards.h"
#include "table/artwork.h"
#include "table/artwork_drawing.h"
#include "table/board.h"
#include "table/board_element.h"
#include "table_test_support.h"

namespace vornel::table {
namespace {

QImage pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }
QImage pixels(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

struct PictureCase {
    std::string name;
    std::function<const QPixmap&(const Artwork&)> ask;
    std::function<QImage()> routine;
};

std::vector<PictureCase> pictureCases() {
    using namespace drawing;
    return {
        {"card back", [](const Artwork& a) -> const QPixmap& { return a.card(0); }, [] { return drawCardBack(); }},
        {"first face", [](const Artwork& a) -> const QPixmap& { return a.card(1); }, [] { return drawCardFace(1); }},
        {"a court", [](const Artwork& a) -> const QPixmap& { return a.card(11); }, [] { return drawCardFace(11); }},
        {"last face", [](const Artwork& a) -> const QPixmap& { return a.card(52); }, [] { return drawCardFace(52); }},
        {"clubs symbol", [](const Artwork& a) -> const QPixmap& { return a.card(53); }, [] { return drawSuitCard(1); }},
        {"bubble 3", [](const Artwork& a) -> const QPixmap& { return a.bubble(3); }, [] { return drawBubble(3); }},
        {"empty bubble", [](const Artwork& a) -> const QPixmap& { return a.bubble(0); }, [] { return drawBubble(0); }},
        {"phrase 9", [](const Artwork& a) -> const QPixmap& { return a.phraseButton(9); },
         [] { return drawPhraseButton(9); }},
        {"fan of 3", [](const Artwork& a) -> const QPixmap& { return a.fan(3); }, [] { return drawFan(3); }},
        {"blue banner", [](const Artwork& a) -> const QPixmap& { return a.winnersBanner(2); },
         [] { return drawWinnersBanner(drawing::kBlueColour); }},
        {"maker", [](const Artwork& a) -> const QPixmap& { return a.makerMarker(); },
         [] { return drawMakerMarker(19, {11.5, 13.5}); }},
        {"maker team", [](const Artwork& a) -> const QPixmap& { return a.makerTeamMarker(); },
         [] { return drawMakerMarker(19, {12.2, 12.2}); }},
        {"logo", [](const Artwork& a) -> const QPixmap& { return a.logo(); }, [] { return drawLogo(); }},
        {"tile", [](const Artwork& a) -> const QPixmap& { return a.backgroundTile(); },
         [] { return drawBackgroundTile(); }},
        {"chatter", [](const Artwork& a) -> const QPixmap& { return a.chatterButton(); },
         [] { return drawChatterButton(); }},
    };
}

TEST(ArtworkDrawing, EachPictureIsDrawnOnceWhenFirstAskedForAsItsRoutineDrawsIt) {
    const Artwork art;
    EXPECT_EQ(art.drawnCount(), 0);
    int drawn = 0;
    std::vector<QPixmap> shown;  // held, as the windows hold what they show
    for (const PictureCase& entry : pictureCases()) {
        SCOPED_TRACE(entry.name);
        const QPixmap& first = entry.ask(art);
        shown.push_back(first);
        EXPECT_EQ(art.drawnCount(), ++drawn);
        EXPECT_EQ(pixels(first), pixels(entry.routine()));
        // Asked again: the same picture, not drawn again.
        const QPixmap& again = entry.ask(art);
        EXPECT_EQ(&again, &first);
        EXPECT_EQ(again.cacheKey(), first.cacheKey());
        EXPECT_EQ(art.drawnCount(), drawn);
    }
}

// The pictures the empty table shows may be drawn on a thread of their own
// while the windows are made: asked for at once or later, each is the
// picture its routine draws, taken once.
TEST(ArtworkDrawing, PicturesDrawnAheadAreTheRoutinesPicturesTakenOnce) {
    using namespace drawing;
    const std::vector<PictureCase> cases = {
        {"score card", [](const Artwork& a) -> const QPixmap& { return a.scoreCardButton(); },
         [] { return drawScoreCardButton(); }},
        {"last trick", [](const Artwork& a) -> const QPixmap& { return a.lastTrickButton(); },
         [] { return drawLastTrickButton(); }},
        {"logo", [](const Artwork& a) -> const QPixmap& { return a.logo(); }, [] { return drawLogo(); }},
        {"phrase 1", [](const Artwork& a) -> const QPixmap& { return a.phraseButton(1); },
         [] { return drawPhraseButton(1); }},
        {"phrase 9", [](const Artwork& a) -> const QPixmap& { return a.phraseButton(9); },
         [] { return drawPhraseButton(9); }},
        {"chatter", [](const Artwork& a) -> const QPixmap& { return a.chatterButton(); },
         [] { return drawChatterButton(); }},
        {"tile", [](const Artwork& a) -> const QPixmap& { return a.backgroundTile(); },
         [] { return drawBackgroundTile(); }},
        {"start", [](const Artwork& a) -> const QPixmap& { return a.startButton(); },
         [] { return drawStartButton(); }},
    };
    // In the order drawn ahead, in the reverse order (waiting for the last
    // first), and with one picture drawn before the drawing starts.
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "reversed" : "in order");
        const Artwork art;
        const QPixmap& early = art.logo();
        art.drawStartPicturesAhead();
        art.drawStartPicturesAhead();  // a second call starts nothing more
        int drawn = art.drawnCount();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const PictureCase& entry = cases[reversed ? cases.size() - 1 - i : i];
            SCOPED_TRACE(entry.name);
            const QPixmap& first = entry.ask(art);
            if (&first != &early) ++drawn;
            EXPECT_EQ(art.drawnCount(), drawn);
            EXPECT_EQ(pixels(first), pixels(entry.routine()));
            EXPECT_EQ(first.cacheKey(), entry.ask(art).cacheKey());
        }
        EXPECT_EQ(art.drawnCount(), drawn);
    }
    // An artwork let go while it is still drawing ahead waits for the drawing.
    { Artwork().drawStartPicturesAhead(); }
}

// A font configuration still loading (as the program starts one at the top
// of main) holds back the first lettering, both the drawing ahead and
// whoever waits for it, until it is loaded; then the pictures are as ever.
TEST(ArtworkDrawing, DrawingAheadWaitsForAFontConfigurationStillLoading) {
    std::promise<void> loading;
    std::atomic<bool> loaded = false;
    const Artwork art;
    art.drawStartPicturesAhead(loading.get_future().share());
    std::thread loader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        loaded = true;
        loading.set_value();
    });
    const QPixmap& scoreCard = art.scoreCardButton();
    EXPECT_TRUE(loaded);
    art.awaitFontConfiguration();
    loader.join();
    EXPECT_EQ(pixels(scoreCard), pixels(drawing::drawScoreCardButton()));
    // Without one there is nothing to wait for.
    Artwork().awaitFontConfiguration();
}

// The caller's work that needs no fonts is done by the drawing thread while
// the fonts still load; once a thread is started, a second call does it on
// the calling thread.
TEST(ArtworkDrawing, WorkGivenForTheWaitIsDoneWhileTheFontsLoadAndOnceOnly) {
    std::promise<void> loading;
    std::promise<std::thread::id> doneOn;
    const Artwork art;
    art.drawStartPicturesAhead(loading.get_future().share(),
                               [&doneOn] { doneOn.set_value(std::this_thread::get_id()); });
    std::future<std::thread::id> done = doneOn.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "not done before the fonts";
    EXPECT_NE(done.get(), std::this_thread::get_id());
    loading.set_value();

    int inline_ = 0;
    art.drawStartPicturesAhead({}, [&inline_] { ++inline_; });
    EXPECT_EQ(inline_, 1) << "no second thread: done at once, here";
    EXPECT_EQ(pixels(art.scoreCardButton()), pixels(drawing::drawScoreCardButton()));
}

TEST(ArtworkDrawing, OutOfRangeAsksDrawNothing) {
    const Artwork art;
    const std::vector<std::pair<std::string, const QPixmap*>> cases = {
        {"card -1", &art.card(-1)},           {"card 57", &art.card(Artwork::kCardCount)},
        {"bubble 9", &art.bubble(9)},         {"fan 0", &art.fan(0)},
        {"fan 6", &art.fan(6)},               {"banner 0", &art.winnersBanner(0)},
        {"banner 3", &art.winnersBanner(3)},  {"phrase 0", &art.phraseButton(0)},
        {"phrase 10", &art.phraseButton(10)},
    };
    for (const auto& [name, picture] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(picture->isNull());
    }
    EXPECT_EQ(art.drawnCount(), 0);
}

TEST(ArtworkDrawing, PicturesAskedForWhileDrawingForALargerBoardHaveTheirOwnSize) {
    const Artwork art;
    const drawing::DrawingRatio larger(2.0);
    EXPECT_EQ(art.card(7).size(), QSize(71, 96));
    EXPECT_EQ(art.turnMarker().size(), QSize(28, 34));
}

TEST(ArtworkDrawing, PicturesDrawnLateAreStillDrawnAgainForALargerBoard) {
    const Artwork art;
    const QPixmap doubled = art.shownAt(art.card(5), {142, 192}, 1.0);
    QImage expected;
    {
        const drawing::DrawingRatio ratio(2.0);
        expected = drawing::drawCardFace(5);
    }
    EXPECT_EQ(doubled.size(), QSize(142, 192));
    EXPECT_EQ(pixels(doubled), pixels(QPixmap::fromImage(expected)));
    // The tile is repeated, not drawn again: a larger one is the tile scaled.
    const QPixmap tile = art.shownAt(art.backgroundTile(), {128, 128}, 1.0);
    EXPECT_EQ(pixels(tile), pixels(art.backgroundTile().scaled(128, 128, Qt::IgnoreAspectRatio,
                                                                 Qt::SmoothTransformation)));
}

TEST(ArtworkDrawing, WindowsShareOneArtworkThatDrawsNoCardFaceBeforeTheDeal) {
    test::TableFixture first;
    test::TableFixture second;
    EXPECT_EQ(&first.table.artwork(), &second.table.artwork());
    EXPECT_EQ(&first.table.artwork(), Artwork::shared().get());
    // The empty table drew what it shows; every face is still to be drawn.
    const Artwork& art = first.table.artwork();
    const int before = art.drawnCount();
    std::vector<QPixmap> shown;
    for (int code = 1; code <= 52; ++code) shown.push_back(art.card(code));
    EXPECT_EQ(art.drawnCount(), before + 52);
}

TEST(ArtworkDrawing, FacesNoOneShowsAreLetGoWhenAnotherFaceIsDrawn) {
    const Artwork art;
    const QPixmap held = art.card(9);  // as a window holds the face it shows
    (void)art.card(10);                // drawn, then held by no one
    (void)art.card(0);                 // the back, and the suit cards, always stay
    (void)art.card(53);
    EXPECT_EQ(art.drawnCount(), 4);
    // Asking for what is kept draws nothing and lets nothing go.
    EXPECT_EQ(art.card(10).cacheKey(), art.card(10).cacheKey());
    EXPECT_EQ(art.drawnCount(), 4);
    const QPixmap next = art.card(11);
    EXPECT_EQ(art.drawnCount(), 4);  // 10 went as 11 came
    EXPECT_EQ(art.card(9).cacheKey(), held.cacheKey());
    // A face let go is drawn again as its routine draws it, and still drawn
    // again for a larger board.
    const QPixmap again = art.card(10);
    EXPECT_EQ(art.drawnCount(), 5);
    EXPECT_EQ(pixels(again), pixels(drawing::drawCardFace(10)));
    QImage doubled;
    {
        const drawing::DrawingRatio ratio(2.0);
        doubled = drawing::drawCardFace(10);
    }
    EXPECT_EQ(pixels(art.shownAt(again, {142, 192}, 1.0)), pixels(doubled));
}

// Four deals in a row, each with cards of its own: the table ends up
// keeping the faces it shows (the hand, the turned cards), not all it dealt,
// and every card shows its own face.
TEST(ArtworkDrawing, ATableKeepsTheFacesOfWhatItShowsNotOfEveryCardDealt) {
    test::TableFixture f;
    f.login(1);
    f.dispatch("CMD_startgame+You+10+");
    const Artwork& art = f.table.artwork();
    int afterFirstDeal = 0;
    for (int deal = 0; deal < 4; ++deal) {
        SCOPED_TRACE(deal);
        const auto code = [deal](int k) { return static_cast<int>(kInPlayCodes[static_cast<std::size_t>(5 * deal + k)]); };
        std::string hand = "CMD_placecard+1";
        for (int slot = 1; slot <= 5; ++slot) hand += "+" + std::to_string(slot) + "+" + std::to_string(code(slot - 1));
        f.dispatch("CMD_dealer+" + std::to_string(deal % 4 + 1));
        // The last hand's cards go when the event loop comes round.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.dispatch(hand);
        const int turned = kInPlayCodes[static_cast<std::size_t>(20 + deal)];
        f.dispatch("CMD_settrump+" + std::to_string(turned));
        for (int slot = 1; slot <= 5; ++slot)
            EXPECT_EQ(pixels(f.card(slot)->pixmap()), pixels(drawing::drawCardFace(code(slot - 1))));
        EXPECT_EQ(pixels(f.board().image("image_trump")->pixmap()), pixels(drawing::drawCardFace(turned)));
        if (deal == 0) afterFirstDeal = art.drawnCount();
    }
    // 24 faces were shown, 18 of them after the first deal. Kept are this
    // hand's five and this deal's turned card, as after the first deal, and
    // the turned card before it, still shown when this one was drawn.
    EXPECT_EQ(art.drawnCount(), afterFirstDeal + 1);
}

// What a table hides until a game needs it is drawn when first shown, and
// shown it carries the same picture as before.
TEST(ArtworkDrawing, HiddenBoardPicturesAreDrawnWhenFirstShown) {
    test::TableFixture fixture;
    const Artwork& art = fixture.table.artwork();
    struct Case {
        const char* element;
        std::function<const QPixmap&(const Artwork&)> picture;
    };
    const Case cases[] = {
        {"image_turn2", [](const Artwork& a) -> const QPixmap& { return a.turnMarker(); }},
        {"image_themaker3", [](const Artwork& a) -> const QPixmap& { return a.makerMarker(); }},
        {"image_eyes4", [](const Artwork& a) -> const QPixmap& { return a.watchingMarker(); }},
        {"image_winner1", [](const Artwork& a) -> const QPixmap& { return a.winnersBanner(1); }},
        {"image_winner2", [](const Artwork& a) -> const QPixmap& { return a.winnersBanner(2); }},
        {"image_maker1", [](const Artwork& a) -> const QPixmap& { return a.makerTeamMarker(); }},
        {"button_dealer", [](const Artwork& a) -> const QPixmap& { return a.dealerMarker(); }},
        {"image_winner", [](const Artwork& a) -> const QPixmap& { return a.trickWinnerMarker(); }},
        {"button_start", [](const Artwork& a) -> const QPixmap& { return a.startButton(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        ImageElement* element = fixture.board().image(c.element);
        ASSERT_NE(element, nullptr);
        EXPECT_TRUE(element->isHidden());
        EXPECT_TRUE(element->pixmap().isNull());
        const int before = art.drawnCount();
        element->show();
        // Exactly its own picture was drawn, and it is the one shown.
        EXPECT_EQ(art.drawnCount(), before + 1);
        EXPECT_FALSE(element->pixmap().isNull());
        EXPECT_EQ(pixels(element->pixmap()), pixels(c.picture(art)));
        EXPECT_EQ(art.drawnCount(), before + 1);
        // Hidden and shown again: nothing more is drawn.
        element->hide();
        element->show();
        EXPECT_EQ(art.drawnCount(), before + 1);
    }
    // A picture set before the element is first shown wins over the one
    // it would have drawn.
    ImageElement* turn = fixture.board().image("image_turn1");
    turn->setPixmap(art.card(0));
    turn->show();
    EXPECT_EQ(turn->pixmap().cacheKey(), art.card(0).cacheKey());
}

TEST(ArtworkDrawing, TheSharedArtworkGoesWithItsLastHolder) {
    std::weak_ptr<const Artwork> watched;
    {
        const std::shared_ptr<const Artwork> held = Artwork::shared();
        watched = held;
        EXPECT_EQ(Artwork::shared().get(), held.get());
    }
    EXPECT_TRUE(watched.expired());
    EXPECT_NE(Artwork::shared(), nullptr);
}

}  // namespace
}  // namespace vornel::table
