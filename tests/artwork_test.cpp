// The drawn pictures: sizes, transparency where they sit on the board, faces
// that tell every card apart, suit colours, and a background that tiles.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <QString>
#include <cstdlib>
#include <string>
#include <vector>

#include "table/artwork.h"

namespace vornel::table {
namespace {

QImage pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ++count;
    return count;
}

bool isRedInk(QRgb p) { return qAlpha(p) == 255 && qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90; }
bool isBlackInk(QRgb p) { return qAlpha(p) == 255 && qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90; }

int code(int suit, int rank) { return 13 * (suit - 1) + rank - 1; }  // rank 2..14, ace high

class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { art_ = new Artwork(); }
    static void TearDownTestSuite() {
        delete art_;
        art_ = nullptr;
    }
    static const Artwork& art() { return *art_; }

    struct Named {
        std::string name;
        QPixmap picture;  // a copy, held as a window holds what it shows
        QSize size;
    };
    // Every picture but the empty bubble, with the size it must have.
    static std::vector<Named> everyPicture() {
        std::vector<Named> all;
        for (int i = 0; i < Artwork::kCardCount; ++i) all.push_back({"card " + std::to_string(i), art().card(i), {71, 96}});
        for (int i = 1; i < Artwork::kBubbleCount; ++i)
            all.push_back({"bubble " + std::to_string(i), art().bubble(i), {95, 25}});
        for (int n = 1; n <= 9; ++n) all.push_back({"phrase " + std::to_string(n), art().phraseButton(n), {25, 18}});
        all.insert(all.end(), {
            {"dealer", art().dealerMarker(), {25, 25}},
            {"maker", art().makerMarker(), {25, 25}},
            {"maker team", art().makerTeamMarker(), {25, 25}},
            {"watching", art().watchingMarker(), {37, 17}},
            {"turn", art().turnMarker(), {28, 34}},
            {"trick winner", art().trickWinnerMarker(), {27, 35}},
            {"winners tan", art().winnersBanner(1), {121, 35}},
            {"winners blue", art().winnersBanner(2), {121, 35}},
            {"start", art().startButton(), {91, 28}},
            {"score card", art().scoreCardButton(), {91, 28}},
            {"last trick", art().lastTrickButton(), {91, 28}},
            {"logo", art().logo(), {223, 61}},
            {"background", art().backgroundTile(), {64, 64}},
            {"chatter", art().chatterButton(), {25, 18}},
        });
        return all;
    }

private:
    static Artwork* art_;
};

Artwork* ArtworkTest::art_ = nullptr;

TEST_F(ArtworkTest, EveryPictureHasItsSizeAndIsNotBlank) {
    for (const Named& entry : everyPicture()) {
        SCOPED_TRACE(entry.name);
        ASSERT_EQ(entry.picture.size(), entry.size);
        const QImage image = pixels(entry.picture);
        int opaque = 0;
        std::vector<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) < 200) continue;
                ++opaque;
                if (colours.size() < 8 && std::find(colours.begin(), colours.end(), p) == colours.end())
                    colours.push_back(p);
            }
        // Drawn shapes cover a good part of the picture and are more than a flat fill.
        EXPECT_GE(opaque * 100, 15 * image.width() * image.height());
        EXPECT_GE(colours.size(), 3u);
    }
}

TEST_F(ArtworkTest, EmptyBubbleIsTransparentAndOutOfRangeIndicesGiveNothing) {
    const QImage empty = pixels(art().bubble(0));
    ASSERT_EQ(empty.size(), QSize(95, 25));
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x) ASSERT_EQ(qAlpha(empty.pixel(x, y)), 0) << x << "," << y;

    const std::vector<std::pair<const char*, const QPixmap*>> outside{
        {"card -1", &art().card(-1)},          {"card 57", &art().card(57)},
        {"bubble -1", &art().bubble(-1)},      {"bubble 9", &art().bubble(9)},
        {"winners 0", &art().winnersBanner(0)}, {"winners 3", &art().winnersBanner(3)},
        {"phrase 0", &art().phraseButton(0)},  {"phrase 10", &art().phraseButton(10)},
    };
    for (const auto& [name, picture] : outside) EXPECT_TRUE(picture->isNull()) << name;
}

TEST_F(ArtworkTest, PiecesOnTheBoardHaveTransparentSurroundings) {
    const std::vector<std::pair<const char*, const QPixmap*>> pieces{
        {"card back", &art().card(0)},        {"ace of hearts", &art().card(code(4, 14))},
        {"bubble 1", &art().bubble(1)},       {"dealer", &art().dealerMarker()},
        {"maker", &art().makerMarker()},      {"maker team", &art().makerTeamMarker()},
        {"watching", &art().watchingMarker()}, {"turn", &art().turnMarker()},
        {"trick winner", &art().trickWinnerMarker()}, {"winners", &art().winnersBanner(1)},
        {"start", &art().startButton()},
    };
    for (const auto& [name, picture] : pieces) {
        const QImage image = pixels(*picture);
        const int right = image.width() - 1, bottom = image.height() - 1;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
        EXPECT_EQ(qAlpha(image.pixel(right, 0)), 0) << name;
        EXPECT_EQ(qAlpha(image.pixel(0, bottom)), 0) << name;
        EXPECT_EQ(qAlpha(image.pixel(right, bottom)), 0) << name;
    }
    // A card is solid inside its rounded corners.
    const QImage face = pixels(art().card(code(1, 9)));
    EXPECT_EQ(qAlpha(face.pixel(35, 1)), 255);
    EXPECT_EQ(qAlpha(face.pixel(1, 48)), 255);
}

TEST_F(ArtworkTest, EveryCardInPlayHasItsOwnFace) {
    std::vector<std::pair<int, QImage>> faces;
    for (int suit = 1; suit <= 4; ++suit)
        for (int rank = 9; rank <= 14; ++rank) faces.emplace_back(code(suit, rank), pixels(art().card(code(suit, rank))));
    ASSERT_EQ(faces.size(), 24u);
    const QImage back = pixels(art().card(0));
    for (std::size_t i = 0; i < faces.size(); ++i) {
        // Differences of a few stray pixels would not tell cards apart at a glance.
        EXPECT_GT(differingPixels(faces[i].second, back), 1000) << "code " << faces[i].first;
        for (std::size_t j = i + 1; j < faces.size(); ++j)
            EXPECT_GT(differingPixels(faces[i].second, faces[j].second), 80)
                << "codes " << faces[i].first << " and " << faces[j].first;
    }
}

TEST_F(ArtworkTest, CourtCardsHaveTheirOwnPortraits) {
    // Inside the portrait frame, clear of the corner indices.
    const QRect portrait(17, 10, 37, 76);
    for (int suit = 1; suit <= 4; ++suit)
        for (int a = 11; a <= 13; ++a)
            for (int b = a + 1; b <= 13; ++b) {
                const QImage first = pixels(art().card(code(suit, a))).copy(portrait);
                const QImage second = pixels(art().card(code(suit, b))).copy(portrait);
                EXPECT_GT(differingPixels(first, second), 150) << "suit " << suit << " ranks " << a << " and " << b;
            }
}

TEST_F(ArtworkTest, SuitSymbolCardsDifferFromEachOtherAndFromTheFaces) {
    for (int s = 1; s <= 4; ++s) {
        const QImage symbol = pixels(art().card(52 + s));
        for (int t = s + 1; t <= 4; ++t)
            EXPECT_GT(differingPixels(symbol, pixels(art().card(52 + t))), 300) << s << " vs " << t;
        // Not the ace of the same suit either: the trump display must not read as a card.
        EXPECT_GT(differingPixels(symbol, pixels(art().card(code(s, 14)))), 300) << s;
    }
}

TEST_F(ArtworkTest, RedAndBlackSuitsAreInked) {
    struct Case {
        int suit;
        bool red;
    };
    const Case cases[] = {{1, false}, {2, true}, {3, false}, {4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("suit " + std::to_string(c.suit));
        auto inked = [&](const QImage& image, int x, int y) {
            const QRgb p = image.pixel(x, y);
            return c.red ? isRedInk(p) : isBlackInk(p);
        };
        // The centre pip of the nine, the middle of the ace and of the suit symbol card.
        EXPECT_TRUE(inked(pixels(art().card(code(c.suit, 9))), 35, 48));
        EXPECT_TRUE(inked(pixels(art().card(code(c.suit, 14))), 28, 48));
        EXPECT_TRUE(inked(pixels(art().card(52 + c.suit)), 35, 52));
        // The ten has no centre pip but a pip above it in the middle column.
        const QImage ten = pixels(art().card(code(c.suit, 10)));
        EXPECT_FALSE(inked(ten, 35, 48));
        EXPECT_TRUE(inked(ten, 35, 27));
    }
}

TEST_F(ArtworkTest, BubblesAllReadDifferently) {
    for (int i = 1; i < Artwork::kBubbleCount; ++i)
        for (int j = i + 1; j < Artwork::kBubbleCount; ++j)
            EXPECT_GT(differingPixels(pixels(art().bubble(i)), pixels(art().bubble(j))), 60) << i << " vs " << j;
    // The suit bubbles carry their suit's colour.
    for (int suit = 1; suit <= 4; ++suit) {
        const QImage bubble = pixels(art().bubble(suit + 2));
        int red = 0;
        for (int y = 0; y < bubble.height(); ++y)
            for (int x = 0; x < bubble.width(); ++x) red += isRedInk(bubble.pixel(x, y)) ? 1 : 0;
        if (suit == 2 || suit == 4) EXPECT_GT(red, 40) << suit;
        else EXPECT_EQ(red, 0) << suit;
    }
}

// A card face turned about its centre: its lower half comes up as its upper
// half, so a face whose lower pips and lower index stand on their heads
// looks the same. Pixels may differ a little where edges are smoothed.
TEST_F(ArtworkTest, LowerHalfOfAFaceIsTheUpperHalfTurnedOver) {
    const int ranks[] = {2, 4, 10, 11, 12, 13};  // the faces laid out alike both ways
    for (const qreal scale : {1.0, 3.0}) {
        for (int suit = 1; suit <= 4; ++suit)
            for (int rank : ranks) {
                SCOPED_TRACE("scale " + std::to_string(scale) + " suit " + std::to_string(suit) + " rank " +
                             std::to_string(rank));
                const QPixmap& face = art().card(code(suit, rank));
                const QImage image = pixels(art().shownAt(face, face.size() * scale, 1.0));
                const QImage turned = image.mirrored(true, true);
                int differing = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) {
                        const QRgb a = image.pixel(x, y), b = turned.pixel(x, y);
                        const int step = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                                   std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                        differing += step > 64 ? 1 : 0;
                    }
                EXPECT_LE(differing, image.width() * image.height() / 200);
            }
    }
}

// The height of the first letter of a bubble's line, in pixels: solid dark
// or red ink, left of the first gap after the suit symbol (for the suits).
int firstLetterHeight(const QImage& bubble, bool afterSymbol) {
    auto ink = [&](int x, int y) {
        const QRgb p = bubble.pixel(x, y);
        return qAlpha(p) >= 250 && (qGray(p) < 80 || isRedInk(p));
    };
    auto inkColumn = [&](int x) {
        for (int y = 0; y < bubble.height(); ++y)
            if (ink(x, y)) return true;
        return false;
    };
    int x = 0;
    for (int run = afterSymbol ? 2 : 1; run > 0; --run) {
        while (x < bubble.width() && !inkColumn(x)) ++x;
        if (run > 1)
            while (x < bubble.width() && inkColumn(x)) ++x;
    }
    int top = bubble.height(), bottom = -1;
    for (; x < bubble.width() && inkColumn(x); ++x)
        for (int y = 0; y < bubble.height(); ++y)
            if (ink(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top + 1;
}

TEST_F(ArtworkTest, EveryBubbleIsLetteredInOneSizeAtEveryScale) {
    // Every line starts with a capital: O, P, C, D, S, H, A, W.
    for (const qreal scale : {1.0, 1.5, 2.0, 3.0}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        std::vector<int> heights;
        for (int i = 1; i < Artwork::kBubbleCount; ++i) {
            const QImage bubble = pixels(art().shownAt(art().bubble(i), QSize(95, 25) * scale, 1.0));
            heights.push_back(firstLetterHeight(bubble, i >= 3 && i <= 6));
            EXPECT_GE(heights.back(), qRound(6 * scale)) << "bubble " << i;
        }
        const auto [lowest, highest] = std::minmax_element(heights.begin(), heights.end());
        EXPECT_LE(*highest - *lowest, 1) << "bubble " << (lowest - heights.begin()) + 1 << " vs "
                                         << (highest - heights.begin()) + 1;
    }
}

TEST_F(ArtworkTest, WinnersBannersAreLetteredInTheTeamColours) {
    for (int team = 1; team <= 2; ++team) {
        const QImage banner = pixels(art().winnersBanner(team));
        int warm = 0, cool = 0;
        for (int y = 0; y < banner.height(); ++y)
            for (int x = 0; x < banner.width(); ++x) {
                const QRgb p = banner.pixel(x, y);
                if (qAlpha(p) < 255) continue;
                if (qRed(p) > qBlue(p) + 25) ++warm;
                if (qBlue(p) > qRed(p) + 25) ++cool;
            }
        if (team == 1) EXPECT_GT(warm, 4 * cool + 100);
        else EXPECT_GT(cool, warm + 100);
    }
}

TEST_F(ArtworkTest, BackgroundTileIsSubtleAndSeamless) {
    const QImage tile = pixels(art().backgroundTile());
    const int size = tile.width();
    long sum[3] = {0, 0, 0};
    int widest = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QRgb p = tile.pixel(x, y);
            ASSERT_EQ(qAlpha(p), 255);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
            widest = std::max({widest, std::abs(qRed(p) - 244), std::abs(qGreen(p) - 245), std::abs(qBlue(p) - 214)});
        }
    const int n = size * size;
    EXPECT_NEAR(sum[0] / double(n), 244, 2.0);
    EXPECT_NEAR(sum[1] / double(n), 245, 2.0);
    EXPECT_NEAR(sum[2] / double(n), 214, 2.0);
    EXPECT_LE(widest, 8);

    // Where one tile meets the next the step is no larger than between any two columns or rows inside.
    auto step = [&](int x1, int y1, int x2, int y2) {
        return std::abs(qGreen(tile.pixel(x1, y1)) - qGreen(tile.pixel(x2, y2)));
    };
    double inside = 0, seamColumns = 0, seamRows = 0;
    for (int i = 0; i < size; ++i) {
        for (int k = 0; k + 1 < size; ++k) inside += step(k, i, k + 1, i);
        seamColumns += step(size - 1, i, 0, i);
        seamRows += step(i, size - 1, i, 0);
    }
    inside /= size - 1;
    EXPECT_LE(seamColumns, 2 * inside + size);
    EXPECT_LE(seamRows, 2 * inside + size);
}

}  // namespace
}  // namespace vornel::table
