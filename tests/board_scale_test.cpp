// The board as it grows with the table window: the factor for a client
// area, the layout at the smallest size, every place and font at a larger
// factor, mouse hits on the scaled places, pictures drawn for the size and
// pixel ratio they are shown at, and View -> "Full Screen".

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <cmath>
#include <gtest/gtest.h>

#include "table/board_stage.h"
#include "table_test_support.h"

namespace vornel::table::test {
namespace {

constexpr const char* kDeal = "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22";
int leftOf(int position) { return 72 + 18 * position; }

// Gives the table window a client area (below the menu bar) of this size.
void sizeClient(TableWindow& table, QSize client) {
    table.resize(client + (table.size() - table.centralWidget()->size()));
    QCoreApplication::processEvents();
}

QRect scaled(const QRect& logical, qreal factor) {
    return {qRound(logical.x() * factor), qRound(logical.y() * factor), qRound(logical.width() * factor),
            qRound(logical.height() * factor)};
}

// Presses and releases the mouse where the player would, through the window.
void clickAt(TableWindow& table, Board& board, QPoint onBoard) {
    const QPoint inWindow = board.mapTo(&table, onBoard);
    QTest::mouseClick(table.windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
    QCoreApplication::processEvents();
}

TEST(BoardStage, FactorIsTheSmallerRatioAndNeverBelowOne) {
    struct Case {
        QSize area;
        qreal factor;
    };
    const Case cases[] = {
        {{786, 563}, 1.0},
        {{1280, 900}, 900.0 / 563},
        {{1920, 1080}, 1080.0 / 563},
        {{1572, 2000}, 2.0},
        {{1179, 845}, 1.5},
        {{700, 500}, 1.0},
        {{3000, 563}, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(BoardStage::scaleFor(c.area), c.factor) << c.area.width() << "x" << c.area.height();
}

class ScaledBoard : public ::testing::Test {
protected:
    void SetUp() override {
        f.login(1);
        f.dispatch("CMD_startgame+You+10+");
        f.dispatch(kDeal);
        f.dispatch("CMD_nextplayer+1");
    }
    // Every child of the board: its shown place and font size.
    std::vector<std::tuple<QString, QRect, qreal>> shownLayout() {
        std::vector<std::tuple<QString, QRect, qreal>> layout;
        for (QWidget* child : f.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QFont font = child->font();
            layout.emplace_back(child->objectName(), child->geometry(),
                                font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF());
        }
        return layout;
    }
    TableFixture f;
};

TEST_F(ScaledBoard, AtTheSmallestSizeEveryPlaceIsTheDescribedOne) {
    sizeClient(f.table, {786, 563});
    EXPECT_EQ(f.board().scale(), 1.0);
    EXPECT_EQ(f.board().QWidget::geometry(), QRect(0, 0, Board::kWidth, Board::kHeight));
    struct Place {
        const char* name;
        QRect geometry;
    };
    const Place places[] = {
        {"bubble1", {149, 358, 95, 25}},      {"bubble4", {245, 331, 95, 25}},
        {"image_trump", {17, 38, 71, 96}},    {"label_status", {24, 533, 393, 16}},
        {"button_start", {368, 347, 91, 28}}, {"button_lasttrick", {400, 492, 91, 28}},
        {"b_phrase10", {738, 83, 25, 18}},    {"mainchat", {496, 104, 270, 401}},
        {"mychat", {496, 506, 270, 22}},      {"label_playername2", Board::placeGeometry("label_playername", 2)},
        {"image_played3", Board::placeGeometry("image_played", 3)},
    };
    for (const auto& p : places) {
        QWidget* element = f.board().element(p.name);
        ASSERT_NE(element, nullptr) << p.name;
        EXPECT_EQ(element->geometry(), p.geometry) << p.name << " as shown";
        if (auto* label = qobject_cast<BoardLabel*>(element)) EXPECT_EQ(label->geometry(), p.geometry) << p.name;
    }
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(f.cardAt(p)->shownGeometry(), QRect(leftOf(p), 400, 71, 96)) << p;
    EXPECT_EQ(f.board().text("label_status")->font().pointSize(), 9);
    EXPECT_EQ(f.board().text("label_bonus1")->font().pixelSize(), 30);
}

TEST_F(ScaledBoard, EveryPlaceAndFontGrowsByTheFactorAndComesBack) {
    sizeClient(f.table, {786, 563});
    const auto smallest = shownLayout();
    sizeClient(f.table, {1179, 845});
    ASSERT_DOUBLE_EQ(f.board().scale(), 1.5);
    EXPECT_EQ(f.board().QWidget::size(), QSize(qRound(771 * 1.5), qRound(551 * 1.5)));
    for (const auto& [name, geometry, fontSize] : smallest) {
        if (name.isEmpty()) continue;
        const QWidget* child = f.board().element(name);
        ASSERT_NE(child, nullptr) << name.toStdString();
        EXPECT_EQ(child->geometry(), scaled(geometry, 1.5)) << name.toStdString();
        const QFont font = child->font();
        EXPECT_DOUBLE_EQ(font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF(),
                         font.pixelSize() > 0 ? qRound(fontSize * 1.5) : fontSize * 1.5)
            << name.toStdString();
    }
    // The game still reads the places it set.
    EXPECT_EQ(f.cardAt(3)->geometry(), QRect(leftOf(3), 400, 71, 96));
    EXPECT_EQ(f.board().image("bubble1")->pos(), QPoint(149, 358));

    sizeClient(f.table, {786, 563});
    EXPECT_EQ(shownLayout(), smallest);
}

TEST_F(ScaledBoard, TheBoardStandsCentredOnTheCloth) {
    sizeClient(f.table, {1920, 1080});
    const qreal factor = 1080.0 / 563;
    EXPECT_DOUBLE_EQ(f.board().scale(), factor);
    EXPECT_EQ(f.board().pos(), QPoint(static_cast<int>(std::floor((1920 - 786 * factor) / 2)), 0));
}

TEST_F(ScaledBoard, AClickOnACardsScaledPlaceRaisesThatCard) {
    sizeClient(f.table, {1179, 845});
    ASSERT_DOUBLE_EQ(f.board().scale(), 1.5);
    // Where position 5's card stood at the smallest size is bare cloth now.
    clickAt(f.table, f.board(), QPoint(leftOf(5) + 35, 448));
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(f.cardAt(p)->y(), 400) << p;

    // The visible edge of position 2, at its scaled place.
    ImageElement* second = f.cardAt(2);
    clickAt(f.table, f.board(), QPoint(qRound((leftOf(2) + 4) * 1.5), qRound(448 * 1.5)));
    EXPECT_EQ(second->y(), 395);
    EXPECT_EQ(second->shownGeometry(), scaled({leftOf(2), 395, 71, 96}, 1.5));
    for (int p : {1, 3, 4, 5}) EXPECT_EQ(f.cardAt(p)->y(), 400) << p;

    // The whole last card, and a second click lowers it again.
    ImageElement* last = f.cardAt(5);
    clickAt(f.table, f.board(), QPoint(qRound((leftOf(5) + 60) * 1.5), qRound(480 * 1.5)));
    EXPECT_EQ(last->y(), 395);
    clickAt(f.table, f.board(), QPoint(qRound((leftOf(5) + 60) * 1.5), qRound(480 * 1.5)));
    EXPECT_EQ(last->y(), 400);
}

TEST_F(ScaledBoard, ABubbleIsHitAtItsScaledPlace) {
    SentCapture sent(f.table);
    ASSERT_TRUE(sent.connected());
    f.dispatch("CMD_bidder+1");
    sent.takeSent();
    sizeClient(f.table, {1572, 1126});
    ASSERT_DOUBLE_EQ(f.board().scale(), 2.0);
    clickAt(f.table, f.board(), QPoint((245 + 50) * 2, (358 + 12) * 2));  // bubble2, "Pass"
    const auto messages = sent.takeSent();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "CMD_selectedbubble+1+2+"), messages.end());
}

TEST_F(ScaledBoard, PicturesAreDrawnForTheSizeAndRatioTheyAreShownAt) {
    const Artwork& art = f.table.artwork();
    const QPixmap& ace = art.card(49);
    struct Case {
        QSize shown;
        qreal ratio;
    };
    for (const Case c : {Case{{142, 192}, 1.0}, Case{{142, 192}, 2.0}, Case{{107, 144}, 1.0}}) {
        const QPixmap drawn = art.shownAt(ace, c.shown, c.ratio);
        // As wide as shown; as high within a rounding (the picture keeps its proportions).
        EXPECT_EQ(drawn.width(), qRound(c.shown.width() * c.ratio));
        EXPECT_LE(std::abs(drawn.height() - qRound(c.shown.height() * c.ratio)), 1);
        EXPECT_EQ(drawn.devicePixelRatio(), c.ratio);
        // Drawn again, not stretched: the stretched small picture differs.
        const QImage stretched = ace.toImage().scaled(drawn.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_NE(drawn.toImage().convertToFormat(stretched.format()), stretched);
        // Cached per size.
        EXPECT_EQ(art.shownAt(ace, c.shown, c.ratio).cacheKey(), drawn.cacheKey());
    }
    // A picture of the same size at the smallest factor is the original.
    EXPECT_EQ(art.shownAt(ace, {71, 96}, 1.0).toImage(), ace.toImage());

    // What a hand card shows at the factor 2 is the picture drawn for 142 x 192.
    sizeClient(f.table, {1572, 1126});
    ImageElement* card = f.cardAt(5);
    const QImage grabbed = card->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(grabbed.size(), QSize(142, 192));
    const QImage expected = art.shownAt(art.card(49), {142, 192}, 1.0).toImage();
    EXPECT_EQ(grabbed.pixel(10, 20), expected.pixel(10, 20));
    EXPECT_EQ(grabbed.pixel(71, 96), expected.pixel(71, 96));
}

TEST_F(ScaledBoard, ChatFontSetWhileScaledIsShownScaled) {
    sizeClient(f.table, {1572, 1126});
    f.table.action("action_size12")->trigger();
    EXPECT_DOUBLE_EQ(f.board().mainchat()->font().pointSizeF(), 24.0);
    sizeClient(f.table, {786, 563});
    EXPECT_DOUBLE_EQ(f.board().mainchat()->font().pointSizeF(), 12.0);
}

TEST_F(ScaledBoard, APopUpMenuOnTheBoardKeepsItsOwnSize) {
    auto* menu = new QMenu(&f.board());
    menu->addAction("Remove From Game");
    const QFont font = menu->font();
    sizeClient(f.table, {1572, 1126});
    EXPECT_EQ(menu->font(), font);
    menu->setFont(QFont("DejaVu Sans", 11));
    EXPECT_EQ(menu->font().pointSize(), 11);
}

TEST_F(ScaledBoard, MaximisedTheBoardFillsTheScreenByItsFactor) {
    f.table.showMaximized();
    ASSERT_TRUE(waitUntil([&] { return f.table.isMaximized(); }, 5000));
    QCoreApplication::processEvents();
    const QSize area = f.table.centralWidget()->size();
    EXPECT_GT(f.board().scale(), 1.0) << area.width() << "x" << area.height();
    EXPECT_DOUBLE_EQ(f.board().scale(), BoardStage::scaleFor(area));
    EXPECT_EQ(f.board().QWidget::size(), f.board().shownSize({Board::kWidth, Board::kHeight}));
}

TEST_F(ScaledBoard, FullScreenIsAViewItemOnF11AndGoesBack) {
    QAction* fullScreen = f.table.action("action_fullscreen");
    ASSERT_NE(fullScreen, nullptr);
    EXPECT_EQ(fullScreen->text(), "Full Screen");
    EXPECT_EQ(fullScreen->shortcut(), QKeySequence(Qt::Key_F11));
    fullScreen->trigger();
    EXPECT_TRUE(waitUntil([&] { return f.table.isFullScreen(); }, 5000));
    EXPECT_TRUE(fullScreen->isChecked());
    fullScreen->trigger();
    EXPECT_TRUE(waitUntil([&] { return !f.table.isFullScreen(); }, 5000));
    EXPECT_FALSE(fullScreen->isChecked());
}

}  // namespace
}  // namespace vornel::table::test
