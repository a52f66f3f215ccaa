// Whole seeded games: four computer players, and games where the test plays
// one or two seats from what the announcements tell it.

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "engine/game_audit.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

std::string firstViolation(const GameAudit& audit) {
    return audit.violations().empty() ? std::string() : audit.violations().front();
}

TEST(WholeGames, EveryTargetEndsWithAWinnerAndNoViolation) {
    for (int target = 5; target <= 10; ++target) {
        for (std::uint64_t seed = 1; seed <= 25; ++seed) {
            SCOPED_TRACE("target " + std::to_string(target) + " seed " + std::to_string(seed));
            GameAudit audit;
            ComputerGame game(audit, seed * 100 + static_cast<std::uint64_t>(target));
            game.play(target);
            audit.finishRun();
            const GameState& s = game.engine().state();
            EXPECT_TRUE(audit.violations().empty()) << firstViolation(audit);
            EXPECT_TRUE(game.diagnostics().reports.empty());
            EXPECT_FALSE(game.timer().running());
            EXPECT_FALSE(s.gameRunning);
            const int high = std::max(s.teams[1].score, s.teams[2].score);
            const int low = std::min(s.teams[1].score, s.teams[2].score);
            EXPECT_GE(high, target);
            EXPECT_LE(high, target + 3) << "one hand scores at most 4";
            EXPECT_LT(low, target);
            EXPECT_EQ(audit.figures().team1Wins + audit.figures().team2Wins, 1u);
            EXPECT_EQ(audit.figures().team1Wins == 1, s.teams[1].score > s.teams[2].score);
        }
    }
}

TEST(WholeGames, TheSameSeedReplaysTheSameGame) {
    std::set<std::uint64_t> checksums;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        GameAudit first, second;
        ComputerGame a(first, seed), b(second, seed);
        const std::uint64_t ticksA = a.play(10), ticksB = b.play(10);
        EXPECT_EQ(first.checksum(), second.checksum()) << seed;
        EXPECT_EQ(ticksA, ticksB) << seed;
        EXPECT_EQ(first.figures().hands, second.figures().hands) << seed;
        checksums.insert(first.checksum());
    }
    EXPECT_EQ(checksums.size(), 20u) << "different seeds play different games";
}

// Runs of games recorded once: every announcement, every random draw and
// every standard choice must stay as it was, or a seeded game no longer
// replays the way it did (vornel-sim prints the same checksum).
TEST(WholeGames, RecordedRunsKeepTheirChecksums) {
    struct Case { std::uint64_t seed; int games; int target; std::uint64_t hands; std::uint64_t checksum; };
    const Case cases[] = {
        {42, 100, 10, 1251, 0xbf5d72e27aff1846ULL},
        {5, 150, 5, 866, 0x406a65a868e35131ULL},
        {2024, 120, 7, 1003, 0xf825af72862cd651ULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        GameAudit audit;
        ComputerGame game(audit, c.seed);
        for (int i = 0; i < c.games; ++i) game.play(c.target);
        audit.finishRun();
        EXPECT_TRUE(audit.violations().empty()) << firstViolation(audit);
        EXPECT_EQ(audit.figures().hands, c.hands);
        EXPECT_EQ(audit.checksum(), c.checksum);
    }
}

TEST(WholeGames, ManyGamesInARowReachEveryKindOfHand) {
    GameAudit audit;
    ComputerGame game(audit, 2024);
    for (int i = 0; i < 300; ++i) game.play(10);
    audit.finishRun();
    const GameFigures& f = audit.figures();
    EXPECT_TRUE(audit.violations().empty()) << firstViolation(audit);
    EXPECT_TRUE(game.diagnostics().reports.empty());
    EXPECT_EQ(f.games, 300u);
    EXPECT_EQ(f.team1Wins + f.team2Wins, 300u);
    EXPECT_GT(f.hands, f.games * 3);
    EXPECT_GT(f.thrownInHands, 0u);
    EXPECT_GT(f.aloneHands, 0u);
    EXPECT_GT(f.marches, 0u);
    EXPECT_GT(f.vornels, 0u);
}

// Plays the given seats the way a table would: it knows only what the
// announcements told it, and answers every prompt addressed to its seats.
class TablePlayers {
public:
    TablePlayers(EngineRig& rig, std::set<int> seats) : rig_(rig), seats_(std::move(seats)) {}

    // Answers the open prompt if it is for one of our seats; false otherwise.
    bool answer() {
        read();
        if (!pending_ || !seats_.count(pending_->seat)) return false;
        asked_ = *pending_;
        pending_.reset();
        act(*asked_);
        read();
        return true;
    }

    std::map<std::string, int> answered;  // by prompt command
    int refusedCards = 0, refusedSuits = 0;

private:
    struct Prompt {
        std::string command;
        int seat = 0, extra = 0;
        std::set<int> refusedSlots;
        bool triedTurnedDown = false;
    };

    int trumpsHeld(int seat) const {
        int count = 0;
        for (int slot = 1; slot <= 5; ++slot)
            count += effectiveSuit(hands_[seat][slot], trump_, leftBowerFor(trump_)) == trump_;
        return count;
    }

    void read() {
        for (; next_ < rig_.out.log.size(); ++next_) {
            const Announcement& a = rig_.out.log[next_];
            const std::vector<int>& f = a.numbers;
            const bool toOurs = a.to.kind == Recipient::Kind::Seat && seats_.count(a.to.seat);
            if (a.command == "CMD_placecard" && toOurs) {
                for (int slot = 1; slot <= 5; ++slot) hands_[f[0]][slot] = f[2 * slot];
            } else if (a.command == "CMD_settrump") {
                trump_ = suitOf(f[0]);
            } else if (a.command == "CMD_trumpchoosen") {
                trump_ = f[1];
            } else if (a.command == "CMD_switch" && toOurs) {
                hands_[f[0]][f[1]] = f[2];
            } else if (a.command == "CMD_playedcard" && seats_.count(f[0])) {
                EXPECT_EQ(hands_[f[0]][f[1]], f[2]) << "seat " << f[0] << " played a card it was not dealt";
                hands_[f[0]][f[1]] = kNoCard;
            } else if (a.command == "CMD_notvalid" && toOurs) {
                ASSERT_TRUE(asked_ && asked_->seat == f[0]) << "a refusal nobody asked for";
                pending_ = asked_;
                if (f[1] == 2) {
                    ++refusedCards;
                    pending_->refusedSlots.insert(f[2]);
                } else {
                    ++refusedSuits;
                    pending_->triedTurnedDown = true;
                }
            } else if (a.command == "CMD_bidder" || a.command == "CMD_chooser" || a.command == "CMD_aloner" ||
                       a.command == "CMD_discarder" || a.command == "CMD_nextplayer") {
                pending_ = Prompt{a.command, f[0], f.size() > 1 ? f[1] : 0, {}, false};
            }
        }
    }

    void act(const Prompt& p) {
        ++answered[p.command];
        HostEngine& engine = rig_.engine;
        const auto& hand = hands_[p.seat];
        if (p.command == "CMD_bidder") {
            engine.selectedbubble(p.seat, trumpsHeld(p.seat) >= 3 ? 1 : 2);
        } else if (p.command == "CMD_chooser") {
            if (!p.triedTurnedDown && refusedSuits == 0) {
                engine.selectedbubble(p.seat, p.extra + 2);  // the table lets its player try; the host refuses
                return;
            }
            int code = 22;
            for (int suit = 1; suit <= 4 && code == 22; ++suit) {
                const int held = static_cast<int>(
                    std::count_if(hand.begin() + 1, hand.end(), [&](int c) { return c && suitOf(c) == suit; }));
                if (suit != p.extra && held >= 2) code = suit + 2;
            }
            engine.selectedbubble(p.seat, code);
        } else if (p.command == "CMD_aloner") {
            engine.selectedbubble(p.seat, trumpsHeld(p.seat) >= 4 ? 7 : 8);
        } else if (p.command == "CMD_discarder") {
            int slot = 1;
            for (int s = 5; s >= 1; --s)
                if (effectiveSuit(hand[s], trump_, leftBowerFor(trump_)) != trump_) slot = s;
            engine.playcard(p.seat, slot);
        } else {
            for (int slot = 1; slot <= 5; ++slot)
                EXPECT_EQ(hand[slot], rig_.state().card(p.seat, slot)) << "the table lost track of its hand";
            for (int slot = 1; slot <= 5; ++slot) {
                if (hand[slot] != kNoCard && !p.refusedSlots.count(slot)) {
                    engine.playcard(p.seat, slot);
                    return;
                }
            }
            ADD_FAILURE() << "seat " << p.seat << " has no card left to try";
        }
    }

    EngineRig& rig_;
    std::set<int> seats_;
    std::array<std::array<int, 6>, 5> hands_{};
    int trump_ = 0;
    std::size_t next_ = 0;
    std::optional<Prompt> pending_, asked_;
};

TEST(WholeGames, HumanSeatsPlayAlongWithTheComputer) {
    const std::set<int> seatings[] = {{1}, {2}, {1, 3}, {2, 3}};
    std::map<std::string, int> answered;  // over all games
    int refusedCards = 0, refusedSuits = 0;
    for (const std::set<int>& humans : seatings) {
        for (std::uint64_t seed : {5u, 6u, 7u}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " humans " + std::to_string(*humans.begin()) + "+" +
                         std::to_string(humans.size()));
            GameAudit audit;
            EngineRig rig(seed, &audit);
            for (int seat : humans) rig.engine.setSeatInUse(seat, true);
            TablePlayers tables(rig, humans);
            rig.engine.startgame("Tester", 10);
            const GameState& s = rig.state();
            int ticks = 0;
            while (s.gameRunning && ticks < 200000) {
                const int awaited = (s.currentBidder != 0) + (s.currentChooser != 0) + (s.discarder != 0) +
                                    (s.currentPlayer != 0) + (s.pendingDealer != 0);
                ASSERT_LE(awaited, 1) << "more than one decision awaited";
                if (tables.answer()) continue;
                ASSERT_TRUE(rig.timer.running()) << "nobody is asked and nothing is pending";
                rig.engine.ctimerTimer();
                ++ticks;
            }
            audit.finishRun();
            EXPECT_FALSE(s.gameRunning);
            EXPECT_EQ(rig.out.log.back().command, "CMD_thewinner");
            EXPECT_TRUE(audit.violations().empty()) << firstViolation(audit);
            EXPECT_TRUE(rig.diagnostics.reports.empty());
            EXPECT_GT(tables.answered["CMD_nextplayer"], 0);
            EXPECT_GT(tables.answered["CMD_bidder"], 0);
            rig.take();
            EXPECT_TRUE(rig.tick(100).empty()) << "nothing happens after the game";
            for (const auto& [prompt, count] : tables.answered) answered[prompt] += count;
            refusedCards += tables.refusedCards;
            refusedSuits += tables.refusedSuits;
        }
    }
    // The games reached every kind of prompt and both kinds of refusal.
    for (const char* prompt : {"CMD_chooser", "CMD_aloner", "CMD_discarder"}) EXPECT_GT(answered[prompt], 0) << prompt;
    EXPECT_GT(refusedCards, 0);
    EXPECT_GT(refusedSuits, 0);
}

// A computer player that answers every decision in a way the rules refuse.
class RefusedAnswers final : public ComputerPlayer {
public:
    explicit RefusedAnswers(int kind) : kind_(kind) {}
    int decide(const GameState& state, int seat, Decision decision, RandomSource&) override {
        ++asked;
        if (decision != Decision::Discard && decision != Decision::Play) return kind_ == 0 ? 0 : 99;
        switch (kind_) {
        case 0: return 0;  // no slot
        case 1: return 9;  // past the hand
        default:           // an empty slot, else a card that does not follow when one would
            for (int slot = 1; slot <= 5; ++slot)
                if (state.card(seat, slot) == kNoCard) return slot;
            for (int slot = 1; slot <= 5; ++slot)
                if (state.ledSuit != 0 && state.effectiveSuit(state.card(seat, slot)) != state.ledSuit) return slot;
            return 1;
        }
    }
    int asked = 0;

private:
    int kind_;
};

TEST(WholeGames, AComputerPlayerWhoseAnswersAreRefusedCannotStallTheGame) {
    for (int kind = 0; kind <= 2; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        GameAudit audit;
        ComputerGame game(audit, 500 + static_cast<std::uint64_t>(kind));
        RefusedAnswers player(kind);
        for (int seat = 2; seat <= 4; seat += 2) game.engine().setSeatPlayer(seat, &player);
        game.play(5);
        audit.finishRun();
        EXPECT_TRUE(audit.violations().empty()) << firstViolation(audit);
        EXPECT_TRUE(game.diagnostics().reports.empty());
        EXPECT_EQ(audit.figures().team1Wins + audit.figures().team2Wins, 1u);
        EXPECT_GT(player.asked, 20);
    }
}

}  // namespace
}  // namespace vornel::test
