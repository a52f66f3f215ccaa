// The player's hint through the real table and the real host in this
// process. Whole games in which every seat's view the table builds from its
// messages is compared with the host's own view of that seat, the hint is
// asked for at every decision, checked against the expert's choice from the
// host's view, shown, and followed with one click; and a table that joins a
// running game, whose hints the other seats' hidden cards cannot move.

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <memory>

#include "net/qt_host.h"
#include "players/expert_player.h"
#include "players/simulation.h"
#include "table/hint.h"
#include "table/seen_game.h"
#include "table_test_support.h"

namespace vornel::table {
namespace {

using test::press;
using test::shows;
using test::waitUntil;

constexpr int kRestTop = 400;
constexpr int kRaisedTop = 395;

std::string describe(const SeatView& v) {
    std::string out = "seat " + std::to_string(v.seat) + " decision " + std::to_string(static_cast<int>(v.decision)) +
                      " dealer " + std::to_string(v.dealer) + " slots";
    for (int slot = 1; slot <= 5; ++slot) out += " " + std::to_string(v.slots[slot]);
    out += " turned " + std::to_string(v.turnedCard) + " down " + std::to_string(v.turnedDown) + " ordered " +
           std::to_string(v.orderedUp) + " trump " + std::to_string(v.trump) + " left " + std::to_string(v.leftBower) +
           " maker " + std::to_string(v.maker) + " alone " + std::to_string(v.alone) + " discarded " +
           std::to_string(v.discarded) + " scores " + std::to_string(v.scores[1]) + "/" + std::to_string(v.scores[2]) +
           " target " + std::to_string(v.target) + " hands " + std::to_string(v.handsDealt) + " bids";
    for (int i = 0; i < v.bidCount; ++i) out += " " + std::to_string(v.bids[i].seat) + ":" + std::to_string(v.bids[i].value);
    out += " plays";
    for (int i = 0; i < v.playCount; ++i)
        out += " " + std::to_string(v.plays[i].seat) + ":" + std::to_string(v.plays[i].value);
    return out;
}

// The bubble picture that offers a code (the second round's pass shows "Pass").
int bubblePicture(int code) { return code == 22 ? 2 : code; }

// One table in the game.
struct Player {
    RecordingServices services;
    TableWindow table{{services, services, services, services, services}};
    int handledPrompt = -1;   // the last prompt whose hint was followed
    int comparedPrompt = -1;  // the last prompt whose view was compared
    int compared = 0;
    std::vector<std::string> mismatches;
};

class HintGame : public ::testing::Test {
protected:
    FixedBotSpeed speed{2};
    RecordingDiagnostics diagnostics;
    std::unique_ptr<net::QtHost> host;
    std::vector<std::unique_ptr<Player>> players;
    std::map<Decision, int> hinted;
    std::map<Decision, bool> shot;

    void startHost(std::uint64_t seed) {
        host = std::make_unique<net::QtHost>(speed, diagnostics, seed);
        ASSERT_TRUE(host->listen(0)) << host->errorString().toStdString();
    }

    const GameState& hostState() const { return host->core().engine().state(); }

    // A table logs in: the first hosts, the others join. With `compare`,
    // at each prompt for its seat of a hand it saw from the deal, the view
    // it built is compared with the host's view of that seat.
    Player& seatTable(const QString& name, bool compare) {
        players.push_back(std::make_unique<Player>());
        Player& p = *players.back();
        p.table.setPlayer(name, "127.0.0.1");
        p.table.show();
        p.table.connection().setMessageHandler([this, &p, compare](std::string_view message) {
            p.table.dispatch(message);
            if (compare) compareView(p);
        });
        if (players.size() == 1) p.table.hostpress(host->serverPort());
        else p.table.joinpress(host->serverPort());
        // Logged in, and the host has taken the login (a game started before
        // would be replayed to the table as to one joining it).
        EXPECT_TRUE(waitUntil(
            [&] {
                const int seat = p.table.state().ownSeat;
                return p.table.state().loggedIn && isSeat(seat) &&
                       host->core().record(seat).name == name.toStdString();
            },
            30000))
            << name.toStdString();
        return p;
    }

    void compareView(Player& p) {
        const SeenGame& seen = p.table.seenGame();
        if (!seen.awaited() || !seen.wholeHand() || seen.promptNumber() == p.comparedPrompt) return;
        p.comparedPrompt = seen.promptNumber();
        ++p.compared;
        const SeatView fromMessages = seen.view();
        const SeatView fromHost = makeSeatView(hostState(), seen.ownSeat(), *seen.awaited());
        if (!(fromMessages == fromHost))
            p.mismatches.push_back("table: " + describe(fromMessages) + "\n host: " + describe(fromHost));
    }

    // The player whose hint is due: asked at a prompt not yet followed.
    Player* asked() {
        for (auto& p : players)
            if (p->table.hintAvailable() && p->table.seenGame().promptNumber() != p->handledPrompt) return p.get();
        return nullptr;
    }

    // Asks for the hint, waits for it on the table and returns its decision and answer.
    std::pair<Decision, int> hint(Player& p) {
        QSignalSpy spy(&p.table, &TableWindow::hintShown);
        EXPECT_TRUE(p.table.action("action_hint")->isEnabled());
        p.table.action("action_hint")->trigger();
        EXPECT_TRUE(waitUntil([&] { return spy.count() > 0; }, 60000)) << "no hint shown";
        if (spy.count() == 0) return {Decision::Play, 0};
        return {static_cast<Decision>(spy.at(0).at(0).toInt()), spy.at(0).at(1).toInt()};
    }

    // Checks what the player sees of a hint, saves a picture of the first
    // of each kind when asked to, and follows it with one click.
    void checkShownAndFollow(Player& p, Decision decision, int answer) {
        TableWindow& t = p.table;
        Board& board = t.board();
        const bool onCard = decision == Decision::Discard || decision == Decision::Play;
        if (onCard) {
            EXPECT_EQ(t.game().hintedSlot(), answer);
            for (int position = 1; position <= 5; ++position) {
                const int slot = t.game().slotAtPosition(position);
                if (slot == -1) continue;
                EXPECT_EQ(board.image(QString("card%1").arg(slot))->y(), slot == answer ? kRaisedTop : kRestTop)
                    << "hand slot " << slot << " with the hint on slot " << answer;
            }
        } else {
            int framed = 0;
            for (int n = 1; n <= 4; ++n) {
                ImageElement* bubble = board.bubble(n);
                if (bubble->tag() == -1) continue;
                const bool plain = shows(bubble, t.artwork().bubble(bubblePicture(bubble->tag())));
                EXPECT_EQ(plain, bubble->tag() != answer) << "bubble " << n << " offering " << bubble->tag();
                framed += !plain;
            }
            EXPECT_EQ(framed, 1);
        }
        saveShot(p, decision);

        if (onCard) {
            ImageElement* card = board.image(QString("card%1").arg(answer));
            ASSERT_NE(card, nullptr);
            press(card);  // the hint raised it as a first click does: this click plays it
            EXPECT_EQ(card->y(), kRaisedTop);
        } else {
            for (int n = 1; n <= 4; ++n)
                if (board.bubble(n)->tag() == answer) {
                    press(board.bubble(n));
                    break;
                }
        }
    }

    void saveShot(Player& p, Decision decision) {
        const QString dir = qEnvironmentVariable("VORNEL_HINT_SHOTS");
        const bool card = decision == Decision::Play;
        if (dir.isEmpty() || !(card || decision == Decision::Bid) || shot[decision]) return;
        shot[decision] = true;
        QDir().mkpath(dir);
        EXPECT_TRUE(p.table.grab().save(dir + (card ? "/hint-card.png" : "/hint-bid.png")));
    }

    // What the host recorded of the hand: a hint must not change it.
    static std::tuple<int, int, int, int, int> recorded(const GameState& s) {
        return {s.history.bidCount, s.history.playCount, s.history.discarded, s.history.maker, s.history.handsDealt};
    }

    // After the click the host has taken exactly the hinted choice.
    bool hostTook(const GameState& s, int seat, Decision decision, int answer, int codeAtSlot,
                  const std::tuple<int, int, int, int, int>& before) {
        const auto& h = s.history;
        switch (decision) {
        case Decision::Bid:
        case Decision::Choose:
            // The dealer's second pass throws the hand in: the next one is dealt.
            if (decision == Decision::Choose && answer == 22 && h.handsDealt == std::get<4>(before) + 1) return true;
            return h.bidCount == std::get<0>(before) + 1 && h.bids[h.bidCount - 1].seat == seat &&
                   h.bids[h.bidCount - 1].value == answer;
        case Decision::Alone: return h.maker == seat && h.alone == (answer == 7);
        case Decision::Discard: return h.discarded == codeAtSlot && s.card(seat, answer) == s.turnedCard();
        case Decision::Play:
            return h.playCount == std::get<1>(before) + 1 && h.plays[h.playCount - 1].seat == seat &&
                   h.plays[h.playCount - 1].value == codeAtSlot;
        }
        return false;
    }
};

// Seats 1 and 2 are played by tables that follow every hint; 3 and 4 by the
// host's computer players.
TEST_F(HintGame, EveryDecisionOfAWholeGameIsHintedFromWhatTheTableWasTold) {
    startHost(20261207);
    Player& first = seatTable("Ann", true);
    seatTable("Bob", true);
    // Whole games, until every kind of decision has come to a table.
    int steps = 0;
    for (int game = 0; game < 4 && hinted.size() < 5; ++game) {
        first.table.sendMessage("CMD_startgame", {Field::txt("Ann"), Field::txt("10")});
        ASSERT_TRUE(waitUntil([&] { return hostState().gameRunning; }, 30000));
        for (steps = 0; steps < 1000 && hostState().gameRunning; ++steps) {
            Player* p = nullptr;
            ASSERT_TRUE(waitUntil([&] { return (p = asked()) != nullptr || !hostState().gameRunning; }, 60000))
                << "no table was asked after " << steps << " decisions";
            if (p == nullptr) break;
            const SeenGame& seen = p->table.seenGame();
            const int seat = seen.ownSeat();
            const Decision due = *seen.awaited();
            p->handledPrompt = seen.promptNumber();
            ASSERT_TRUE(seen.wholeHand());
            // The expert's choice from the host's view of the seat.
            ExpertPlayer expert(kHintSeed);
            const int expected = expert.decide(makeSeatView(hostState(), seat, due));
            const auto before = recorded(hostState());

            const auto [decision, answer] = hint(*p);
            ASSERT_EQ(decision, due);
            EXPECT_EQ(answer, expected) << "seat " << seat << " " << describe(seen.view());
            EXPECT_EQ(recorded(hostState()), before) << "the hint reached the host";
            ++hinted[decision];
            const int codeAtSlot = answer >= 1 && answer <= 5 ? hostState().card(seat, answer) : 0;
            checkShownAndFollow(*p, decision, answer);
            EXPECT_TRUE(
                waitUntil([&] { return hostTook(hostState(), seat, decision, answer, codeAtSlot, before); }, 30000))
                << "seat " << seat << " decision " << static_cast<int>(decision) << " answer " << answer;
            if (HasFatalFailure()) return;
        }
        EXPECT_FALSE(hostState().gameRunning) << "the game did not end in " << steps << " decisions";
    }

    for (auto& p : players) {
        EXPECT_GT(p->compared, 10);
        EXPECT_TRUE(p->mismatches.empty()) << p->mismatches.size() << " views differ; the first:\n"
                                           << p->mismatches.front();
    }
    // Every kind of decision was hinted, shown as the table below says.
    const struct {
        Decision decision;
        const char* name;
    } kinds[] = {{Decision::Bid, "ordering up or passing"},
                 {Decision::Choose, "naming a suit"},
                 {Decision::Alone, "going alone"},
                 {Decision::Discard, "discarding"},
                 {Decision::Play, "playing a card"}};
    for (const auto& kind : kinds) EXPECT_GT(hinted[kind.decision], 0) << "no hint for " << kind.name;
}

// Exchanges the cards of the seats other than `seat` among those seats, each
// keeping as many as it holds.
void redealHidden(GameState& state, int seat, int turn) {
    std::vector<int*> places;
    std::vector<int> cards;
    for (int other = 1; other <= 4; ++other) {
        if (other == seat) continue;
        for (int slot = 1; slot <= 5; ++slot) {
            if (state.seat(other).slots[slot] == kNoCard) continue;
            places.push_back(&state.seat(other).slots[slot]);
            cards.push_back(state.seat(other).slots[slot]);
        }
    }
    for (std::size_t i = 0; i < places.size(); ++i) *places[i] = cards[(i + 5 + turn) % cards.size()];
}

TEST_F(HintGame, AJoinedTablesHintDoesNotMoveWhenTheHiddenCardsAreDealtAgain) {
    startHost(777);
    Player& first = seatTable("Ann", false);
    first.table.sendMessage("CMD_startgame", {Field::txt("Ann"), Field::txt("5")});
    first.table.action("action_justwatch")->trigger();  // the computer plays seat 1 too
    // Joins in the first hand's play, once a few cards are down.
    ASSERT_TRUE(waitUntil([&] { return hostState().history.playCount >= 3; }, 60000));
    Player& joined = seatTable("Bob", false);
    ASSERT_EQ(joined.table.state().ownSeat, 2);

    int partial = 0, whole = 0, changedHands = 0;
    for (int turn = 0; turn < 60 && hostState().gameRunning; ++turn) {
        Player* p = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (p = asked()) != nullptr || !hostState().gameRunning; }, 60000));
        if (p == nullptr) break;
        ASSERT_EQ(p, &joined);
        p->handledPrompt = p->table.seenGame().promptNumber();
        (p->table.seenGame().wholeHand() ? whole : partial)++;

        const auto [decision, answer] = hint(*p);
        GameState& dealt = host->core().engine().stateForTesting();
        const GameState kept = dealt;
        redealHidden(dealt, 2, turn);
        for (int seat = 1; seat <= 4; ++seat) changedHands += dealt.seat(seat).slots != kept.seat(seat).slots;
        const auto [againDecision, again] = hint(*p);
        EXPECT_EQ(againDecision, decision);
        EXPECT_EQ(again, answer) << "turn " << turn << ": the hint moved with the other seats' cards";
        checkShownAndFollow(*p, decision, answer);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(partial, 0) << "no hint in the hand joined midway";
    EXPECT_GT(whole, 0) << "no hint in a hand seen from its deal";
    EXPECT_GT(changedHands, 0);
}

// The item on its own: when it is offered and what asking for it does
// without a host, through the table's dispatch and a capturing socket.
TEST(HintItem, OfferedOnlyOnTheOwnSeatsTurn) {
    struct Case {
        const char* name;
        int ownSeat;
        std::vector<std::string> messages;
        bool offered;
    };
    const std::string deal = "CMD_placecard+1+1+13+2+36+3+49+4+22+5+10";
    const std::vector<Case> cases = {
        {"own bidding turn", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_bidder+1+"}, true},
        {"another seat bids", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_bidder+2+"}, false},
        {"own pass heard", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_bidder+1+", "CMD_hepassed+1+"}, false},
        {"own naming turn", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_chooser+1+2+"}, true},
        {"own alone question", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_aloner+1+"}, true},
        {"alone answered", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_aloner+1+", "CMD_goingalone+1+8+"}, false},
        {"own discard", 1, {"CMD_dealer+1+", deal, "CMD_settrump+23+", "CMD_discarder+1+"}, true},
        {"own card to play", 1, {"CMD_dealer+4+", deal, "CMD_settrump+23+", "CMD_nextplayer+1+"}, true},
        {"own card played", 1, {"CMD_dealer+4+", deal, "CMD_nextplayer+1+", "CMD_playedcard+1+1+13+"}, false},
        {"refused card: the turn stays", 1, {"CMD_dealer+4+", deal, "CMD_nextplayer+1+", "CMD_notvalid+1+2+1+"}, true},
        {"just watching", 1, {"CMD_dealer+4+", deal, "CMD_justwatching+1+1", "CMD_nextplayer+1+"}, false},
        {"a watcher", 6, {"CMD_dealer+4+", "CMD_nextplayer+1+", "CMD_bidder+1+"}, false},
        {"the dealer is not asked", 1, {"CMD_dealer+1+", deal}, false},
    };
    for (const Case& c : cases) {
        test::TableFixture f;
        test::SentCapture capture(f.table);
        ASSERT_TRUE(waitUntil([&] { return capture.connected(); }, 10000));
        f.login(c.ownSeat);
        for (const std::string& m : c.messages) f.dispatch(m);
        capture.takeSent();  // the login's answer
        EXPECT_EQ(f.table.action("action_hint")->isEnabled(), c.offered) << c.name;
        EXPECT_EQ(f.table.hintAvailable(), c.offered) << c.name;
        QSignalSpy spy(&f.table, &TableWindow::hintShown);
        f.table.action("action_hint")->trigger();
        if (c.offered) {
            EXPECT_TRUE(waitUntil([&] { return spy.count() > 0; }, 30000)) << c.name;
        } else {
            waitUntil([] { return false; }, 50);
            EXPECT_EQ(spy.count(), 0) << c.name;
        }
        const auto sent = capture.takeSent();
        EXPECT_TRUE(sent.empty()) << c.name << ": the hint sent " << sent.front();
    }
}

// The key H asks for the hint; typed into the chat line it is a letter.
TEST(HintItem, TheKeyHAsksForTheHintButTypesInTheChatLine) {
    test::TableFixture f;
    f.login(1);
    for (const char* m : {"CMD_dealer+4+", "CMD_placecard+1+1+13+2+36+3+49+4+22+5+10", "CMD_settrump+23+",
                          "CMD_bidder+1+"})
        f.dispatch(m);
    f.table.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.table));
    QSignalSpy spy(&f.table, &TableWindow::hintShown);

    f.board().mychat()->setFocus();
    QTest::keyClick(f.board().mychat(), Qt::Key_H);
    EXPECT_EQ(f.board().mychat()->text(), "h");
    waitUntil([] { return false; }, 50);
    EXPECT_EQ(spy.count(), 0);

    f.board().setFocus();
    QTest::keyClick(&f.table, Qt::Key_H);
    EXPECT_TRUE(waitUntil([&] { return spy.count() > 0; }, 30000));
}

// A card raised by the hint is played by the next click; lowered cards and
// the hint's card after the turn went by are at rest again.
TEST(HintItem, TheHintedCardIsPlayedByOneClickAndDroppedWhenTheTurnPasses) {
    test::TableFixture f;
    test::SentCapture capture(f.table);
    ASSERT_TRUE(waitUntil([&] { return capture.connected(); }, 10000));
    f.login(1);
    for (const char* m : {"CMD_dealer+4+", "CMD_placecard+1+1+13+2+36+3+49+4+22+5+10", "CMD_settrump+23+",
                          "CMD_nextplayer+1+"})
        f.dispatch(m);
    capture.takeSent();  // the login's answer
    ASSERT_TRUE(f.game().raiseHintedCard(3));
    EXPECT_EQ(f.card(3)->y(), kRaisedTop);
    press(f.card(3));
    EXPECT_EQ(f.card(3)->y(), kRaisedTop);
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_playcard+1+3+"});
    EXPECT_EQ(f.game().hintedSlot(), 0);

    // A hint not followed goes when the turn passes; the card the player
    // raised and the host refused stays up.
    f.dispatch("CMD_notvalid+1+2+3+");
    ASSERT_TRUE(f.game().raiseHintedCard(4));
    f.dispatch("CMD_nextplayer+2+");
    EXPECT_EQ(f.card(4)->y(), kRestTop);
    EXPECT_EQ(f.card(3)->y(), kRaisedTop);
    EXPECT_EQ(f.game().hintedSlot(), 0);

    f.dispatch("CMD_nextplayer+1+");
    f.dispatch("CMD_playedcard+1+5+10+");
    test::settle();
    EXPECT_FALSE(f.game().raiseHintedCard(5)) << "a played card cannot be hinted";
}

}  // namespace
}  // namespace vornel::table
