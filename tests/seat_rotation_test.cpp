// Seat rotation after login: the own seat at the bottom, the next seat in
// play at the left, the partner at the top; names keep their team colour
// wherever they stand; a watcher keeps the start layout.

#include <ostream>
#include <gtest/gtest.h>

#include "table/board.h"
#include "table_test_support.h"

namespace vornel::table::test {
namespace {

struct RotationCase {
    int ownSeat;
    std::array<int, 4> seatAtPlace;  // bottom, left, top, right
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const RotationCase& c, std::ostream* os) { *os << c.ownSeat; }

class SeatRotation : public ::testing::TestWithParam<RotationCase> {};

TEST_P(SeatRotation, EverySeatElementStandsAtItsPlace) {
    const RotationCase c = GetParam();
    TableFixture f;
    f.login(c.ownSeat);
    for (int place = 1; place <= 4; ++place) {
        const int seat = c.seatAtPlace[place - 1];
        for (const char* family : kSeatFamilies) {
            const QString name = QString::fromLatin1(family) + QString::number(seat);
            QWidget* element = f.board().element(name);
            ASSERT_NE(element, nullptr) << name.toStdString();
            EXPECT_EQ(element->geometry(), Board::placeGeometry(family, place))
                << name.toStdString() << " for own seat " << c.ownSeat;
            // Exactly one element carries each name, and none is left at the temporary 0.
            int carriers = 0;
            for (QWidget* child : f.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                carriers += child->objectName().compare(name, Qt::CaseInsensitive) == 0;
            EXPECT_EQ(carriers, 1) << name.toStdString();
            EXPECT_EQ(f.board().element(QString::fromLatin1(family) + "0"), nullptr);
        }
    }
    const std::array<QString, 5> defaults{"", "You", "Klot", "Klick", "Kling"};
    for (int seat = 1; seat <= 4; ++seat) {
        TextElement* label = f.board().nameLabel(seat);
        EXPECT_EQ(textColour(label), seat % 2 == 1 ? QColor(101, 83, 50) : QColor(86, 107, 143)) << "seat " << seat;
        EXPECT_EQ(label->hint(), defaults[seat]);
        // Drawn when it shows: the banner that comes up is its team's.
        ImageElement* banner = f.board().seatImage("image_winner", seat);
        banner->show();
        EXPECT_TRUE(shows(banner, f.table.artwork().winnersBanner(seat % 2 == 1 ? 1 : 2)))
            << "WINNERS banner of seat " << seat;
    }
    EXPECT_EQ(f.table.state().ownSeat, c.ownSeat);
    EXPECT_TRUE(f.table.state().loggedIn);
}

INSTANTIATE_TEST_SUITE_P(OwnSeats, SeatRotation,
                         ::testing::Values(RotationCase{1, {1, 2, 3, 4}}, RotationCase{2, {2, 3, 4, 1}},
                                           RotationCase{3, {3, 4, 1, 2}}, RotationCase{4, {4, 1, 2, 3}},
                                           RotationCase{7, {1, 2, 3, 4}}),
                         [](const auto& info) { return "seat" + std::to_string(info.param.ownSeat); });

TEST(SeatElements, AreFoundByNameInAnyLetterCase) {
    TableFixture f;
    f.login(2);
    EXPECT_EQ(f.board().element("image_Turn4"), f.board().seatImage("image_turn", 4));
    EXPECT_EQ(f.board().element("LABEL_PLAYERNAME1"), f.board().nameLabel(1));
    EXPECT_EQ(f.board().element("Bubble3"), f.board().bubble(3));
}

TEST(SeatElements, StartLayoutBeforeLoginHasTeamColoursByPlace) {
    TableFixture f;
    for (int seat = 1; seat <= 4; ++seat) {
        TextElement* label = f.board().nameLabel(seat);
        EXPECT_EQ(label->text(), "<Waiting>");
        EXPECT_EQ(label->geometry(), Board::placeGeometry("label_playername", seat));
        EXPECT_EQ(textColour(label), seat % 2 == 1 ? QColor(101, 83, 50) : QColor(86, 107, 143));
        EXPECT_FALSE(f.board().seatImage("image_turn", seat)->isVisibleTo(&f.board()));
        EXPECT_FALSE(f.board().seatImage("image_themaker", seat)->isVisibleTo(&f.board()));
    }
}

// The single elements do not move with the seats.
TEST(SeatElements, SingleElementsStayPut) {
    TableFixture f;
    std::vector<std::pair<QString, QRect>> before;
    for (const char* name : {"bubble1", "bubble2", "bubble3", "bubble4", "button_dealer", "image_trump", "image_maker1",
                             "image_maker2", "image_winner", "label_status", "label_discard"})
        before.emplace_back(name, f.board().element(name)->geometry());
    f.login(3);
    for (const auto& [name, geometry] : before) EXPECT_EQ(f.board().element(name)->geometry(), geometry) << name.toStdString();
}

}  // namespace
}  // namespace vornel::table::test
