// The markers beside the seats as a player sees them: the dealer chip comes
// with a game's first deal, and the drawn part of every marker (dealer chip,
// maker coin, turn arrow, watching eyes, trick trophy, WINNERS banners)
// stands clear of the other markers, the name labels, the hands and the
// trick's cards, at every seat and from every seat's view.

#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

std::string msg(const std::string& command, const std::vector<int>& fields) {
    std::string text = command;
    for (int field : fields) text += "+" + std::to_string(field);
    return text + "+";
}

// Where an element's picture is drawn on the board: the box around its
// pixels that are not wholly transparent (shadows count), at the element's
// place. Empty for an element without a picture.
QRect inkRect(const ImageElement* element) {
    const QImage image = element->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 8) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(element->pos());
}

struct Piece {
    QString name;
    QRect rect;
};

// Every marker the player sees now, as drawn.
std::vector<Piece> visibleMarkers(Board& board) {
    std::vector<Piece> markers;
    auto add = [&](const QString& name) {
        const ImageElement* element = board.image(name);
        if (element != nullptr && element->isVisible()) markers.push_back({name, inkRect(element)});
    };
    add("button_dealer");
    add("image_winner");
    for (int seat = 1; seat <= 4; ++seat)
        for (const char* family : {"image_themaker", "image_turn", "image_eyes", "image_winner"})
            add(QString::fromLatin1(family) + QString::number(seat));
    return markers;
}

// What the markers must leave clear: the name labels and the places of the
// trick's cards (whole boxes), the hidden hands while they show backs and
// the own hand's cards.
std::vector<Piece> cardsAndNames(Board& board) {
    std::vector<Piece> pieces;
    for (int seat = 1; seat <= 4; ++seat) {
        pieces.push_back({board.nameLabel(seat)->objectName(), board.nameLabel(seat)->geometry()});
        const ImageElement* played = board.seatImage("image_played", seat);
        pieces.push_back({played->objectName(), played->geometry()});
        const ImageElement* fan = board.seatImage("image_cards", seat);
        if (!fan->pixmap().isNull()) pieces.push_back({fan->objectName(), inkRect(fan)});
    }
    for (int slot = 1; slot <= 5; ++slot)
        if (const ImageElement* card = board.image(QString("card%1").arg(slot)))
            pieces.push_back({card->objectName(), card->geometry()});
    return pieces;
}

void expectClear(Board& board, const std::string& moment, std::size_t expectedMarkers) {
    SCOPED_TRACE(moment);
    const std::vector<Piece> markers = visibleMarkers(board);
    EXPECT_EQ(markers.size(), expectedMarkers);
    for (std::size_t i = 0; i < markers.size(); ++i) {
        EXPECT_FALSE(markers[i].rect.isEmpty()) << markers[i].name.toStdString();
        // At least a pixel of the table shows between a marker and its neighbours.
        const QRect around = markers[i].rect.adjusted(-1, -1, 1, 1);
        for (std::size_t j = i + 1; j < markers.size(); ++j)
            EXPECT_FALSE(around.intersects(markers[j].rect))
                << markers[i].name.toStdString() << " meets " << markers[j].name.toStdString();
        for (const Piece& other : cardsAndNames(board))
            EXPECT_FALSE(around.intersects(other.rect))
                << markers[i].name.toStdString() << " meets " << other.name.toStdString();
    }
}

struct View {
    int ownSeat;
    int markedSeat;  // dealer, maker, leader, watching and trick winner at once
};

class Markers : public ::testing::TestWithParam<View> {};

TEST_P(Markers, StandClearOfEachOtherTheNamesAndTheCards) {
    const auto [own, marked] = GetParam();
    TableFixture f;
    f.login(own);
    f.dispatch("CMD_startgame+Ann+10+");
    f.dispatch(msg("CMD_dealer", {marked}));
    for (int seat = 1; seat <= 4; ++seat) {
        std::vector<int> fields{seat};
        for (int slot = 1; slot <= 5; ++slot) fields.insert(fields.end(), {slot, seat == own ? 7 + slot : 0});
        f.dispatch(msg("CMD_placecard", fields));
    }
    f.dispatch(msg("CMD_settrump", {47}));
    f.dispatch(msg("CMD_bidder", {marked}));
    f.dispatch(msg("CMD_heaccepted", {marked}));
    f.dispatch(msg("CMD_trumpchoosen", {marked, 4}));
    f.dispatch("CMD_justwatching+" + std::to_string(marked) + "+1");
    f.dispatch("CMD_clearcards+");
    f.dispatch(msg("CMD_nextplayer", {marked}));
    expectClear(f.board(), "dealer, maker, watching and turn at one seat", 4);

    for (int trick = 1; trick <= 5; ++trick) {
        if (trick > 1) f.dispatch("CMD_clearcards+");
        for (int i = 0; i < 4; ++i) {
            const int seat = (marked - 1 + i) % 4 + 1;
            f.dispatch(msg("CMD_nextplayer", {seat}));
            f.dispatch(msg("CMD_playedcard", {seat, trick, seat == own ? 7 + trick : 20 + 4 * trick + i}));
        }
        f.dispatch(msg("CMD_trickwinner", {marked, marked % 2 == 1 ? trick : 0, marked % 2 == 0 ? trick : 0}));
        if (trick == 1) expectClear(f.board(), "the trick's trophy", 4);
    }
    f.dispatch(msg("CMD_score", {marked % 2 == 1 ? 1 : 2, 10, 2, 10, 2}));
    f.dispatch(msg("CMD_thewinner", {marked % 2 == 1 ? 1 : 2}));
    // Dealer chip, maker coin, eyes and the two banners; the last trick stays on the table.
    expectClear(f.board(), "the end of the game", 5);
}

std::vector<View> everyView() {
    std::vector<View> views;
    for (int own = 1; own <= 4; ++own)
        for (int marked = 1; marked <= 4; ++marked) views.push_back({own, marked});
    return views;
}

INSTANTIATE_TEST_SUITE_P(EverySeatFromEverySeat, Markers, ::testing::ValuesIn(everyView()), [](const auto& info) {
    return "Own" + std::to_string(info.param.ownSeat) + "Marked" + std::to_string(info.param.markedSeat);
});

// --- the dealer chip ---------------------------------------------------------

struct DealerMoment {
    const char* name;
    std::vector<std::string> messages;  // after the login at seat 2
    bool shown;
    int beside;  // the seat whose name it stands beside, when shown
};

class DealerChip : public ::testing::TestWithParam<DealerMoment> {};

TEST_P(DealerChip, ComesWithTheGamesFirstDeal) {
    const DealerMoment& c = GetParam();
    TableFixture f;
    f.login(2);
    for (const std::string& message : c.messages) f.dispatch(message);
    const ImageElement* dealer = f.board().image("button_dealer");
    EXPECT_EQ(dealer->isVisible(), c.shown);
    if (c.shown) {
        EXPECT_EQ(dealer->pos(), f.board().nameLabel(c.beside)->pos() - QPoint(28, 9));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moments, DealerChip,
    ::testing::Values(
        DealerMoment{"BeforeAnyGame", {}, false, 0},
        DealerMoment{"BesideWaitingSeats", {"CMD_newplayerinfo+2+Bo"}, false, 0},
        DealerMoment{"GameStartedNoDealYet", {"CMD_startgame+Ann+10+"}, false, 0},
        DealerMoment{"FirstDeal", {"CMD_startgame+Ann+10+", "CMD_dealer+3+"}, true, 3},
        DealerMoment{"AfterTheGame", {"CMD_startgame+Ann+10+", "CMD_dealer+4+", "CMD_thewinner+2+"}, true, 4},
        DealerMoment{"NextGameBeforeItsDeal",
                     {"CMD_startgame+Ann+10+", "CMD_dealer+4+", "CMD_thewinner+2+", "CMD_startgame+Ann+5+"},
                     false, 0},
        DealerMoment{"JoinedDuringAHand", {"CMD_loadcards+1+0+1+3+0+0+0+0+"}, true, 1},
        DealerMoment{"JoinedBeforeAnyDeal", {"CMD_loadcards+0+0+0+0+0+0+0+0+"}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vornel::table::test
