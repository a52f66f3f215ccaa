// The board answers a seat's element, a name label and a hand card by family
// and number without a look-up by name: whatever renames, adds, deletes or
// restacks its children, the answer is the child a walk over them finds.
// And a board whose children stand in their start order tells what changed,
// and is restored, as one whose order changed.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>

#include <array>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "table/artwork.h"
#include "table/board.h"
#include "table/seat_rotation.h"
#include "table_test_support.h"

namespace vornel::table::test {
namespace {

// The lowest child in the stacking order bearing the name in any letter case.
QWidget* walkFor(Board& board, const QString& name) {
    for (QWidget* child : board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
    return nullptr;
}

constexpr std::array kFamilies{SeatFamily::Cards, SeatFamily::PlayerName, SeatFamily::Played, SeatFamily::TheMaker,
                               SeatFamily::Winner, SeatFamily::Eyes, SeatFamily::Turn};

// Every family at every number the board keeps, and just beyond, against
// the walk.
void expectEveryAnswerAsTheWalk(Board& board) {
    for (int number = -1; number <= 11; ++number) {
        for (SeatFamily family : kFamilies) {
            const QString name = QString::fromLatin1(kSeatFamilies[static_cast<int>(family)]) + QString::number(number);
            EXPECT_EQ(board.seatImage(family, number), qobject_cast<ImageElement*>(walkFor(board, name)))
                << name.toStdString();
        }
        const QString label = "label_playername" + QString::number(number);
        EXPECT_EQ(board.nameLabel(number), qobject_cast<TextElement*>(walkFor(board, label))) << label.toStdString();
        const QString card = "card" + QString::number(number);
        EXPECT_EQ(board.handCard(number), qobject_cast<ImageElement*>(walkFor(board, card))) << card.toStdString();
    }
}

struct FamilyCase {
    const char* name;
    std::function<void(Board&)> change;
};

void PrintTo(const FamilyCase& c, std::ostream* out) { *out << c.name; }

QLabel* namedLabel(Board& board, const QString& name) {
    auto* label = new QLabel(&board);
    label->setObjectName(name);
    return label;
}

const FamilyCase kFamilyCases[] = {
    {"as made", [](Board&) {}},
    {"renamed to another number and to a number of two digits",
     [](Board& b) {
         b.seatImage(SeatFamily::Turn, 2)->setObjectName("image_turn7");
         b.seatImage(SeatFamily::Eyes, 1)->setObjectName("image_eyes12");
     }},
    {"renamed with a nought before the number",
     [](Board& b) { b.seatImage(SeatFamily::Played, 3)->setObjectName("image_played03"); }},
    {"renamed in capitals", [](Board& b) { b.nameLabel(4)->setObjectName("LABEL_PlayerName4"); }},
    {"the seats turned for seat 3", [](Board& b) { sortstuff(b, 3, {"", "You", "Klot", "Klick", "Kling"}); }},
    {"the seats turned for seat 4 and back by hand",
     [](Board& b) {
         sortstuff(b, 4, {"", "You", "Klot", "Klick", "Kling"});
         movestuff(b, 1, 0);
         movestuff(b, 4, 1);
     }},
    {"taken away", [](Board& b) { delete b.seatImage(SeatFamily::Winner, 2); }},
    {"moved to another parent",
     [](Board& b) {
         QWidget* fan = b.seatImage(SeatFamily::Cards, 4);
         fan->setParent(nullptr);
         fan->deleteLater();
     }},
    {"two bear one name, the first raised",
     [](Board& b) {
         ImageElement* first = b.seatImage(SeatFamily::Turn, 3);
         new ImageElement("Image_Turn3", &b, QRect(0, 0, 10, 10));
         first->raise();
     }},
    {"two bear one name, the second lowered",
     [](Board& b) { (new ImageElement("image_played1", &b, QRect(0, 0, 10, 10)))->lower(); }},
    {"two bear one name, then one of them goes",
     [](Board& b) {
         QLabel* second = namedLabel(b, "Label_PlayerName2");
         b.nameLabel(2)->raise();
         delete second;
     }},
    {"hand cards taken, put back and taken again",
     [](Board& b) {
         for (int slot : {3, 1, 5}) b.takeHandCard("card" + QString::number(slot), {90, 400, 71, 96});
         b.putBackHandCard(b.handCard(1));
         b.takeHandCard("CARD9", {90, 400, 71, 96});
     }},
    {"a sixth card made afresh and a card named by another kind",
     [](Board& b) {
         for (int slot = 1; slot <= 6; ++slot) b.takeHandCard("card" + QString::number(slot), {90, 400, 71, 96});
         namedLabel(b, "card7");
     }},
    {"a name of the family alone and one with signs after it",
     [](Board& b) {
         namedLabel(b, "image_turn");
         namedLabel(b, "image_turn2x");
         namedLabel(b, "card-1");
     }},
};

class BoardFamilies : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(BoardFamilies, AnswerWhatAWalkOverTheChildrenFinds) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    GetParam().change(board);
    settle();
    expectEveryAnswerAsTheWalk(board);
    // The string look-up of the same families gives the same answers.
    for (SeatFamily family : kFamilies)
        for (int seat = 0; seat <= 10; ++seat)
            EXPECT_EQ(board.seatImage(kSeatFamilies[static_cast<int>(family)], seat), board.seatImage(family, seat));
}

// After the restore the answers are those of the board as made.
TEST_P(BoardFamilies, AnswerAsMadeAfterTheRestore) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    board.rememberStart();
    GetParam().change(board);
    board.restoreStart();
    settle();
    expectEveryAnswerAsTheWalk(board);
    for (int seat = 1; seat <= 4; ++seat) {
        ASSERT_NE(board.nameLabel(seat), nullptr);
        EXPECT_EQ(board.nameLabel(seat)->objectName(), "label_playername" + QString::number(seat));
    }
    for (int slot = 1; slot <= 9; ++slot) EXPECT_EQ(board.handCard(slot), nullptr) << slot;
}

INSTANTIATE_TEST_SUITE_P(Changes, BoardFamilies, ::testing::ValuesIn(kFamilyCases));

// --- what changed since the start --------------------------------------------

struct ChangeCase {
    const char* name;
    std::function<void(Board&)> change;
    std::vector<const char*> changed;  // names at the start, in any order
    bool keepsOrder;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

const ChangeCase kChangeCases[] = {
    {"nothing", [](Board&) {}, {}, true},
    {"a text, a picture and a place",
     [](Board& b) {
         b.text("label_status")->setText("Ann's turn to play a card.");
         b.seatImage(SeatFamily::Played, 2)->setPixmap(b.artwork().card(12));
         b.image("button_dealer")->setGeometry(QRect(10, 10, 20, 20));
     },
     {"label_status", "image_played2", "button_dealer"}, true},
    {"shown, hidden, tagged and hinted",
     [](Board& b) {
         b.seatImage(SeatFamily::Turn, 1)->show();
         b.text("label_tanteam")->hide();
         b.image("image_trump")->setTag(47);
         b.nameLabel(3)->setHint("Cy");
     },
     {"image_turn1", "label_tanteam", "image_trump", "label_playername3"}, true},
    {"renamed", [](Board& b) { b.seatImage(SeatFamily::Eyes, 2)->setObjectName("image_eyes6"); }, {"image_eyes2"}, true},
    {"a text changed and set back", [](Board& b) {
         b.text("label_score1")->setText("7");
         b.text("label_score1")->setText("0");
     },
     {}, true},
    {"raised, with its text changed",
     [](Board& b) {
         b.seatImage(SeatFamily::Played, 1)->raise();
         b.text("label_current2")->setText("3");
     },
     {"label_current2"}, false},
};

class BoardChanges : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(BoardChanges, AreTheChildrenThatDifferFromTheStartInStackingOrder) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    board.rememberStart();
    const QList<QWidget*> start = board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::set<QWidget*> named;
    for (const char* name : GetParam().changed) named.insert(board.element(name));
    GetParam().change(board);
    std::vector<QWidget*> expected;
    for (QWidget* child : board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (named.count(child) != 0) expected.push_back(child);
    auto names = [](const std::vector<QWidget*>& widgets) {
        std::vector<std::string> out;
        for (const QWidget* widget : widgets) out.push_back(widget->objectName().toStdString());
        return out;
    };
    EXPECT_EQ(names(board.changedSinceStart()), names(expected));
    EXPECT_EQ(board.changedSinceStart(), expected);
    const QList<QWidget*> now = board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(now == start, GetParam().keepsOrder);

    board.restoreStart();
    settle();
    EXPECT_TRUE(board.changedSinceStart().empty());
    EXPECT_EQ(board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly), start);
}

INSTANTIATE_TEST_SUITE_P(Changes, BoardChanges, ::testing::ValuesIn(kChangeCases));

}  // namespace
}  // namespace vornel::table::test
