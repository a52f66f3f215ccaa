// A table that begins again: after a game, reset() must leave the window as
// a new one stands, and the same messages must then show the same table. The
// board finds its elements by name however they were renamed, added, taken
// away or restacked.

#include <gtest/gtest.h>

#include <QHash>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "table/artwork.h"
#include "table/hint.h"
#include "table/seen_game.h"
#include "table_test_support.h"

namespace vornel::table::test {
namespace {

// A table that is never shown (no focus, no caret) and moves no cards, so
// that two of them draw alike.
struct QuietTable {
    RecordingServices services;
    TableWindow table{TableWindow::Services{services, services, services, services, services}};
    QuietTable() {
        TableOptions options;
        options.animate = false;
        table.applyOptions(options);
    }
};

// The host's bytes, '|' ending a message, as one read; the queue worked off.
void receive(TableWindow& table, std::string_view messages) {
    std::string bytes(messages);
    for (char& c : bytes)
        if (c == '|') c = '\xFF';
    table.connection().received(bytes);
    for (int ticks = 0; ticks < 1000 && table.connection().waiting() > 0; ++ticks) table.connection().tick();
    settle();
}

// A picture by its pixels (0 for none): the artwork may draw a face again
// after letting it go, so the same face is not always the same pixmap.
std::size_t pictureDigest(const QPixmap& picture) {
    if (picture.isNull()) return 0;
    const QImage image = picture.toImage();
    return qHashBits(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()));
}

// Everything a player could tell apart of one board child.
std::string childLook(QWidget* child) {
    std::ostringstream line;
    line << child->objectName().toStdString() << (child->isHidden() ? " hidden" : " shown");
    if (const auto* element = qobject_cast<const BoardLabel*>(child)) {
        const QRect at = element->geometry();
        line << " at " << at.x() << ',' << at.y() << ' ' << at.width() << 'x' << at.height();
    }
    if (const auto* label = qobject_cast<const TextElement*>(child))
        line << " '" << label->text().toStdString() << "' hint '" << label->hint().toStdString() << "' "
             << textColour(child).name().toStdString();
    if (const auto* image = qobject_cast<const ImageElement*>(child))
        line << " picture " << pictureDigest(image->pixmap()) << " tag " << image->tag() << " hint '"
             << image->hint().toStdString() << "'";
    return line.str();
}

std::vector<QWidget*> boardChildren(TableWindow& table) {
    const QList<QWidget*> children = table.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return {children.begin(), children.end()};
}

// Everything a player could tell apart, one line per board child in
// stacking order, then the chat box, the menus, the boxes and the table's
// own record.
std::vector<std::string> look(TableWindow& table) {
    std::vector<std::string> lines;
    for (QWidget* child : boardChildren(table)) lines.push_back(childLook(child));
    lines.push_back("chat: " + table.board().mainchat()->toPlainText().toStdString());
    for (const char* name : {"action_hint", "action_startgame", "action_justwatch"})
        lines.push_back(std::string(name) + (table.action(name)->isEnabled() ? " enabled" : " disabled") +
                        (table.action(name)->isChecked() ? " checked" : ""));
    lines.push_back("boxes " + std::to_string(table.findChildren<QMessageBox*>().size()));
    const TableState& state = table.state();
    lines.push_back("seat " + std::to_string(state.ownSeat) + (state.loggedIn ? " logged in" : "") + " to act " +
                    std::to_string(state.seatToAct));
    lines.push_back("prompts " + std::to_string(table.seenGame().promptNumber()) + " waiting " +
                    std::to_string(table.connection().waiting()));
    return lines;
}

QImage picture(TableWindow& table) { return table.grab().toImage(); }

struct Session {
    const char* name;
    const char* bytes;
};

void PrintTo(const Session& s, std::ostream* out) { *out << s.name; }

const Session kSessions[] = {
    {"seat 1 plays two tricks of a hand",
     "CMD_sendlogininfo+1|CMD_newplayerinfo+1+Ann|CMD_startgame+Ann+10+|CMD_dealer+1+|"
     "CMD_placecard+1+1+37+2+12+3+50+4+26+5+51|CMD_placecard+2+1+0+2+0+3+0+4+0+5+0|"
     "CMD_placecard+3+1+0+2+0+3+0+4+0+5+0|CMD_placecard+4+1+0+2+0+3+0+4+0+5+0|CMD_settrump+47+|"
     "CMD_bidder+2+|CMD_hepassed+2+|CMD_bidder+3+|CMD_hepassed+3+|CMD_bidder+4+|CMD_hepassed+4+|"
     "CMD_bidder+1+|CMD_justwatching+1+1|CMD_heaccepted+1+|CMD_trumpchoosen+1+4+|CMD_aloner+1+|"
     "CMD_goingalone+1+8+|CMD_discarder+1+|CMD_switch+1+1+47+|CMD_clearcards+|CMD_nextplayer+2+|"
     "CMD_playedcard+2+1+22+|CMD_nextplayer+3+|CMD_playedcard+3+1+24+|CMD_nextplayer+4+|"
     "CMD_playedcard+4+2+23+|CMD_nextplayer+1+|CMD_playedcard+1+4+26+|CMD_trickwinner+4+0+1+|"
     "CMD_clearcards+|CMD_nextplayer+4+|CMD_playedcard+4+4+39+|CMD_nextplayer+1+|"
     "CMD_score+1+0+0+2+2+|CMD_thewinner+2+|"},
    {"seat 3 turns the board, chats and is asked to bid",
     "CMD_sendlogininfo+3|CMD_newplayerinfo+3+Cy|CMD_existingplayers+1+Ann|CMD_newplayerinfo+6+Spy|"
     "CMD_chat+Ann: hello|CMD_startgame+Ann+10+|CMD_dealer+2+|CMD_placecard+3+1+37+2+12+3+50+4+26+5+51|"
     "CMD_loadtheircards+1+5+2+5+4+5|CMD_settrump+47+|CMD_bidder+3+|"},
    {"a watcher joins a running game",
     "CMD_sendlogininfo+5|CMD_newplayerinfo+5+Eve|CMD_loadstats+10+3+1+4+2|"
     "CMD_loadcards+1+1+4+2+10+0+0+0|CMD_loadtheircards+1+4+2+4+3+4+4+4|CMD_playerdisconnected+2+Bo|"},
    {"the game is full, and a message stops half way",
     "CMD_full+|CMD_chat+Ann: half a mess"},
};

class TableBeginsAgain : public ::testing::TestWithParam<Session> {};

TEST_P(TableBeginsAgain, ResetGivesANewTableAndTheSameMessagesShowTheSameTable) {
    QuietTable played;
    QuietTable fresh;
    const std::vector<std::string> newLook = look(fresh.table);
    const QImage newPicture = picture(fresh.table);

    receive(played.table, GetParam().bytes);
    const std::vector<std::string> playedLook = look(played.table);
    const QImage playedPicture = picture(played.table);
    ASSERT_NE(playedLook, newLook) << "the session changes nothing on the table";

    played.table.reset();
    settle();
    EXPECT_EQ(look(played.table), newLook);
    EXPECT_TRUE(picture(played.table) == newPicture) << "the reset table draws unlike a new one";

    receive(played.table, GetParam().bytes);
    EXPECT_EQ(look(played.table), playedLook);
    EXPECT_TRUE(picture(played.table) == playedPicture) << "the replayed session draws unlike the first";
    receive(fresh.table, GetParam().bytes);
    EXPECT_EQ(look(fresh.table), playedLook);
}

// The board names the children a session changed: those a player would
// tell apart from how they stood at the start, and those added; after the
// reset, none.
TEST_P(TableBeginsAgain, TheBoardKnowsWhatASessionChanged) {
    QuietTable quiet;
    TableWindow& table = quiet.table;
    // The start is taken as the table is built, before its options are
    // applied; a reset brings the board back to it.
    table.reset();
    settle();
    ASSERT_TRUE(table.board().changedSinceStart().empty()) << "a reset table differs from its own start";
    const std::vector<QWidget*> atStart = boardChildren(table);
    std::vector<std::string> startLooks;
    for (QWidget* child : atStart) startLooks.push_back(childLook(child));

    receive(table, GetParam().bytes);
    std::set<QWidget*> expected;
    for (QWidget* child : boardChildren(table)) {
        const auto at = std::find(atStart.begin(), atStart.end(), child);
        if (at == atStart.end() || childLook(child) != startLooks[static_cast<std::size_t>(at - atStart.begin())])
            expected.insert(child);
    }
    const std::vector<QWidget*> changed = table.board().changedSinceStart();
    // Only the refused table (chat and state alone) leaves every board child as it was.
    EXPECT_EQ(expected.empty(), GetParam().name == kSessions[3].name);
    EXPECT_EQ(std::set<QWidget*>(changed.begin(), changed.end()), expected);

    table.reset();
    settle();
    EXPECT_TRUE(table.board().changedSinceStart().empty());
}

// The record of the game seen is cleared in place: right after the reset it
// stands as a new table's, and the same messages then give the same record
// (its handlers still answer).
TEST_P(TableBeginsAgain, TheRecordOfTheGameSeenBeginsAgain) {
    auto sameRecord = [](const SeenGame& a, const SeenGame& b) {
        EXPECT_EQ(a.promptNumber(), b.promptNumber());
        EXPECT_EQ(a.ownSeat(), b.ownSeat());
        EXPECT_EQ(a.awaited(), b.awaited());
        EXPECT_EQ(a.wholeHand(), b.wholeHand());
        EXPECT_EQ(a.ownSeatWatching(), b.ownSeatWatching());
        EXPECT_TRUE(a.view() == b.view());
        EXPECT_TRUE(makeSeatView(a.state(), 1, Decision::Play) == makeSeatView(b.state(), 1, Decision::Play));
    };
    QuietTable played;
    QuietTable fresh;
    receive(played.table, kSessions[0].bytes);  // a whole hand seen first
    ASSERT_NE(played.table.seenGame().promptNumber(), 0);
    played.table.reset();
    sameRecord(played.table.seenGame(), fresh.table.seenGame());
    receive(played.table, GetParam().bytes);
    receive(fresh.table, GetParam().bytes);
    sameRecord(played.table.seenGame(), fresh.table.seenGame());
}

INSTANTIATE_TEST_SUITE_P(Sessions, TableBeginsAgain, ::testing::ValuesIn(kSessions));

TEST(TableBeginsAgain, AHintWorkedOutForTheOldGameIsNotShown) {
    QuietTable quiet;
    TableWindow& table = quiet.table;
    receive(table, kSessions[1].bytes);
    ASSERT_TRUE(table.hintAvailable());
    int shown = 0;
    QObject::connect(&table, &TableWindow::hintShown, [&shown](int, int) { ++shown; });
    table.askHint();
    table.reset();
    receive(table, kSessions[1].bytes);  // the same prompt number comes round again
    settle();
    EXPECT_EQ(shown, 0);
    table.askHint();
    EXPECT_TRUE(waitUntil([&shown] { return shown == 1; }, 20000)) << "the new game's hint never came";
}

// --- the board's names --------------------------------------------------------

// The element a walk over the children finds: the lowest in the stacking
// order whose name matches in any letter case.
QWidget* walkFor(Board& board, const QString& name) {
    for (QWidget* child : board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
    return nullptr;
}

struct NameCase {
    const char* name;
    std::function<void(Board&)> change;
    const char* lookUp;
    bool found;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

const NameCase kNameCases[] = {
    {"another letter case", [](Board&) {}, "IMAGE_Turn3", true},
    {"renamed away", [](Board& b) { b.element("image_turn3")->setObjectName("image_turn0"); }, "image_turn3", false},
    {"renamed to", [](Board& b) { b.element("image_turn3")->setObjectName("image_turn0"); }, "Image_Turn0", true},
    {"taken away", [](Board& b) { delete b.element("button_start"); }, "button_start", false},
    {"added later and named then", [](Board& b) { (new QLabel(&b))->setObjectName("card4"); }, "CARD4", true},
    {"moved to another parent",
     [](Board& b) {
         QWidget* logo = b.element("Image6");
         logo->setParent(nullptr);
         logo->deleteLater();
     },
     "image6", false},
    {"two bear one name, the first raised",
     [](Board& b) {
         auto* first = new QLabel(&b);
         first->setObjectName("twin");
         (new QLabel(&b))->setObjectName("Twin");
         first->raise();
     },
     "TWIN", true},
    {"a name beyond ASCII", [](Board& b) { (new QLabel(&b))->setObjectName(QString::fromUtf8("Kärte")); },
     "KÄRTE", true},
    {"no such name", [](Board&) {}, "image_turn9", false},
    // Letters are folded eight at a time: every place in a word, a name of
    // exactly one word and one of the longest folded in place.
    {"capitals in every place of a long name",
     [](Board& b) { (new QLabel(&b))->setObjectName("abcdefghijklmnopqrstuvwxyz_0123"); },
     "ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123", true},
    {"a name of one word", [](Board& b) { (new QLabel(&b))->setObjectName("AbCdEfGh"); }, "aBcDeFgH", true},
    {"a name of sixty-four letters", [](Board& b) { (new QLabel(&b))->setObjectName(QString(64, 'q')); },
     "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ", true},
    {"a name of sixty-five letters", [](Board& b) { (new QLabel(&b))->setObjectName(QString(65, 'q')); },
     "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ", true},
    // The signs beside 'A'..'Z' differ from their neighbours in the case bit only.
    {"signs beside the letters are not letters", [](Board& b) { (new QLabel(&b))->setObjectName("a@z[_"); },
     "A`Z{_", false},
    {"signs beside the letters as they are", [](Board& b) { (new QLabel(&b))->setObjectName("a@z[x`{"); },
     "A@Z[X`{", true},
    {"a byte beyond ASCII after a whole word",
     [](Board& b) { (new QLabel(&b))->setObjectName(QString::fromUtf8("eightchrÀ")); }, "EIGHTCHRà", true},
};

class BoardNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(BoardNames, FindWhatAWalkOverTheChildrenFinds) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    GetParam().change(board);
    const QString name = QString::fromUtf8(GetParam().lookUp);
    QWidget* found = board.element(name);
    EXPECT_EQ(found, walkFor(board, name));
    EXPECT_EQ(found != nullptr, GetParam().found);
    // The same through a name given as bytes.
    EXPECT_EQ(board.element(GetParam().lookUp), found);
    settle();
}

INSTANTIATE_TEST_SUITE_P(Changes, BoardNames, ::testing::ValuesIn(kNameCases));

// A family and a number, as the game asks for seat elements and hand cards.
struct NumberedCase {
    const char* name;
    std::function<void(Board&)> change;
    const char* family;
    int number;
    bool found;
};

void PrintTo(const NumberedCase& c, std::ostream* out) { *out << c.name; }

const NumberedCase kNumberedCases[] = {
    {"a seat element", [](Board&) {}, "image_turn", 3, true},
    {"the family in capitals", [](Board&) {}, "IMAGE_Played", 4, true},
    {"a name label", [](Board&) {}, "label_playername", 2, true},
    {"a seat the board lacks", [](Board&) {}, "image_turn", 5, false},
    {"a number of two digits",
     [](Board& b) { b.element("image_turn2")->setObjectName("Image_Turn12"); }, "image_turn", 12, true},
    {"the old name after a rename",
     [](Board& b) { b.element("image_turn2")->setObjectName("image_turn12"); }, "image_turn", 2, false},
    {"a number below zero",
     [](Board& b) { b.element("image_eyes1")->setObjectName("image_eyes-1"); }, "image_eyes", -1, true},
    {"the largest number",
     [](Board& b) { (new QLabel(&b))->setObjectName("card2147483647"); }, "card", std::numeric_limits<int>::max(), true},
    {"the smallest number",
     [](Board& b) { (new QLabel(&b))->setObjectName("card-2147483648"); }, "CARD", std::numeric_limits<int>::min(), true},
    {"a hand card added later", [](Board& b) { (new QLabel(&b))->setObjectName("card5"); }, "card", 5, true},
    {"a family beyond ASCII", [](Board& b) { (new QLabel(&b))->setObjectName(QString::fromUtf8("kärte1")); },
     "KÄRTE", 1, true},
    {"a family longer than any name",
     [](Board& b) { (new QLabel(&b))->setObjectName(QString(70, 'x') + "7"); },
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 7, true},
    {"an empty family", [](Board& b) { (new QLabel(&b))->setObjectName("3"); }, "", 3, true},
};

class BoardNumberedNames : public ::testing::TestWithParam<NumberedCase> {};

TEST_P(BoardNumberedNames, FindWhatAWalkOverTheChildrenFinds) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    GetParam().change(board);
    const QString name = QString::fromUtf8(GetParam().family) + QString::number(GetParam().number);
    QWidget* found = board.numberedElement(GetParam().family, GetParam().number);
    EXPECT_EQ(found, walkFor(board, name)) << name.toStdString();
    EXPECT_EQ(found != nullptr, GetParam().found);
    // The typed look-ups answer the same element, or none when it is of
    // another kind.
    EXPECT_EQ(board.seatImage(GetParam().family, GetParam().number), qobject_cast<ImageElement*>(found));
    settle();
}

INSTANTIATE_TEST_SUITE_P(Changes, BoardNumberedNames, ::testing::ValuesIn(kNumberedCases));

TEST(BoardNumberedNames, NameLabelsAndHandCardsFollowTheirNames) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(board.nameLabel(seat), board.text("label_playername" + QString::number(seat)));
    EXPECT_EQ(board.handCard(1), nullptr);
    auto* card = new ImageElement("Card1", &board, QRect(0, 0, 71, 96));
    EXPECT_EQ(board.handCard(1), card);
    card->setObjectName("card2");
    EXPECT_EQ(board.handCard(1), nullptr);
    EXPECT_EQ(board.handCard(2), card);
    board.element("label_playername3")->setObjectName("label_playername7");
    EXPECT_EQ(board.nameLabel(3), nullptr);
    EXPECT_NE(board.nameLabel(7), nullptr);
}

// --- the stacking order -------------------------------------------------------

struct StackCase {
    const char* name;
    std::function<void(Board&)> change;
};

void PrintTo(const StackCase& c, std::ostream* out) { *out << c.name; }

const StackCase kStackCases[] = {
    {"nothing moved", [](Board&) {}},
    {"one played card raised", [](Board& b) { b.seatImage("image_played", 2)->raise(); }},
    {"the lowest child raised", [](Board& b) { b.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).front()->raise(); }},
    {"the topmost child lowered", [](Board& b) { b.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).back()->lower(); }},
    {"a trick's cards and a marker raised in turn",
     [](Board& b) {
         for (int seat : {3, 1, 4, 2}) b.seatImage("image_played", seat)->raise();
         b.image("image_winner")->raise();
         b.seatImage("image_turn", 1)->stackUnder(b.seatImage("image_cards", 1));
     }},
    {"every child raised, topmost first",
     [](Board& b) {
         const QList<QWidget*> children = b.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
         for (auto child = children.rbegin(); child != children.rend(); ++child) (*child)->raise();
     }},
    {"a child deleted and one added below the rest",
     [](Board& b) {
         delete b.element("label_tanteam");
         auto* added = new QLabel(&b);
         added->lower();
         b.seatImage("image_eyes", 3)->raise();
     }},
    {"hand cards dealt and sorted",
     [](Board& b) {
         for (int slot : {4, 2, 5}) b.takeHandCard(QString("card%1").arg(slot), {90, 400, 71, 96});
         b.handCard(2)->raise();
         b.seatImage("image_played", 1)->raise();
     }},
};

class StackingOrder : public ::testing::TestWithParam<StackCase> {};

// The children that were there at the start stand in their start order again
// after the restore, and those added since are gone.
TEST_P(StackingOrder, IsBroughtBackToTheStart) {
    auto artwork = Artwork::shared();
    Board board(*artwork);
    board.rememberStart();
    const QList<QWidget*> start = board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::vector<QPointer<QWidget>> kept(start.begin(), start.end());
    GetParam().change(board);
    board.restoreStart();
    settle();
    std::vector<QWidget*> expected;
    for (const QPointer<QWidget>& child : kept)
        if (child != nullptr) expected.push_back(child);
    const QList<QWidget*> now = board.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(std::vector<QWidget*>(now.begin(), now.end()), expected);
}

INSTANTIATE_TEST_SUITE_P(Changes, StackingOrder, ::testing::ValuesIn(kStackCases));

}  // namespace
}  // namespace vornel::table::test
