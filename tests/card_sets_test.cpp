// The fast forms against the plain rules they stand for: card sets against
// card-by-card tests, the trick rules and the standard players' choices over
// random tables, the shuffle and the stream of draws against one draw at a
// time, and the engine's timer.

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/card_sets.h"
#include "engine/rules.h"
#include "players/computer_players.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

// --- the plain rules, card by card, as the rules describe them ----------

bool plainCheckforsuit(const GameState& s, int seat) {
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code != kNoCard && s.effectiveSuit(code) == s.ledSuit) return true;
    }
    return false;
}

int plainWinner(const GameState& s) {
    auto holder = [&](int code) {
        for (int seat = 1; seat <= 4; ++seat)
            if (!s.seat(seat).sitsOut && code != kNoCard && s.seat(seat).tableCard == code) return seat;
        return 0;
    };
    if (int seat = holder(rightBowerFor(s.trump))) return seat;
    if (int seat = holder(s.leftBower)) return seat;
    auto bestOfBlock = [&](int suit) {
        int best = 0;
        for (int seat = 1; seat <= 4; ++seat) {
            const int code = s.seat(seat).tableCard;
            if (s.seat(seat).sitsOut || code == kNoCard || suitOf(code) != suit) continue;
            if (best == 0 || rankPosition(code) > rankPosition(s.seat(best).tableCard)) best = seat;
        }
        return best;
    };
    if (int seat = bestOfBlock(s.trump)) return seat;
    return bestOfBlock(s.ledSuit);
}

int plainHighest(const GameState& s, int suit) {
    auto isJack = [](int code) { return remainderOf(code) == 10; };
    int best = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        const int code = s.seat(seat).tableCard;
        if (seat == s.currentPlayer || code == kNoCard || s.effectiveSuit(code) != suit) continue;
        if (best == 0) {
            best = seat;
            continue;
        }
        const int bestCode = s.seat(best).tableCard;
        if (suit == s.trump) {
            if (isJack(bestCode)) continue;
            if (isJack(code)) best = seat;
            else if (bestCode != s.leftBower && (code == s.leftBower || code > bestCode)) best = seat;
        } else if (code > bestCode) {
            best = seat;
        }
    }
    return best;
}

// A state as play leaves it: trump made, hands of up to five distinct cards
// with gaps, some table cards, perhaps a lone hand, any seat to play.
GameState randomTable(std::mt19937& rng) {
    std::array<int, 24> deck{};
    std::copy(kInPlayCodes.begin(), kInPlayCodes.end(), deck.begin());
    std::shuffle(deck.begin(), deck.end(), rng);
    GameState s;
    setTrump(s, static_cast<int>(rng() % 4) + 1);
    std::size_t next = 0;
    const int out = rng() % 3 == 0 ? static_cast<int>(rng() % 4) + 1 : 0;
    for (int seat = 1; seat <= 4; ++seat) {
        s.seat(seat).sitsOut = seat == out;
        for (int slot = 1; slot <= 5; ++slot) s.seat(seat).slots[slot] = rng() % 4 != 0 ? deck[next++] : kNoCard;
        s.seat(seat).tableCard = seat != out && rng() % 2 == 0 ? deck[next++] : kNoCard;
    }
    s.currentPlayer = static_cast<int>(rng() % 5);
    const int leader = static_cast<int>(rng() % 4) + 1;
    const int led = s.seat(leader).tableCard;
    s.ledSuit = led != kNoCard ? s.effectiveSuit(led) : static_cast<int>(rng() % 5);
    return s;
}

// --- card sets -----------------------------------------------------------

TEST(CardSets, HoldExactlyTheCardsTheCardTestsName) {
    for (int trump = 0; trump <= 4; ++trump) {
        const int left = leftBowerFor(trump);
        for (int suit = 0; suit <= 4; ++suit) {
            const CardSet set = effectiveSuitSet(suit, trump, left);
            for (int code = 0; code <= 52; ++code)
                EXPECT_EQ(contains(set, code), code != kNoCard && effectiveSuit(code, trump, left) == suit)
                    << "code " << code << " suit " << suit << " trump " << trump;
        }
    }
    for (int code = 0; code <= 52; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(contains(cardSetOf(code), code), code != kNoCard);
        EXPECT_EQ(contains(kInPlayCards, code), isInPlay(code));
        EXPECT_EQ(contains(kJackCards, code), code != kNoCard && remainderOf(code) == 10);
        for (int other = 0; other <= 52; ++other) EXPECT_EQ(contains(cardsAbove(code), other), other > code) << other;
        for (int r = 0; r < 13; ++r)
            EXPECT_EQ(contains(kRemainderAbove[static_cast<unsigned>(r)], code), code != kNoCard && remainderOf(code) > r);
    }
    EXPECT_EQ(cardSetOf(CJ, 0, HA, 0, D9), cardSetOf(CJ) | cardSetOf(HA) | cardSetOf(D9));
    EXPECT_EQ(cardSetOf(0, 0, 0, 0, 0), CardSet{0});
}

TEST(CardSets, ChooseWithoutJumpsAsTheirTestsWould) {
    // The highest code against a plain maximum, over every pair of codes
    // (no card included).
    for (int a = 0; a <= 52; ++a)
        for (int b = a; b <= 52; ++b)
            ASSERT_EQ(highestIn(cardSetOf(a) | cardSetOf(b)), std::max(a, b)) << a << " " << b;
    struct Case {
        CardSet set, otherwise, expected;
    };
    const Case cases[] = {
        {0, 0, 0},
        {0, cardSetOf(HA), cardSetOf(HA)},
        {cardSetOf(C9), cardSetOf(HA), cardSetOf(C9)},
        {cardSetOf(C9) | cardSetOf(SJ), kAllCodes, cardSetOf(C9) | cardSetOf(SJ)},
        {0, kAllCodes, kAllCodes},
    };
    for (const Case& c : cases) EXPECT_EQ(unlessEmpty(c.set, c.otherwise), c.expected);
    EXPECT_EQ(allIf(true), ~CardSet{0});
    EXPECT_EQ(allIf(false), CardSet{0});
}

// --- the trick rules over random tables ------------------------------------

TEST(Rules, MatchThePlainRulesOverRandomTables) {
    std::mt19937 rng(20);
    for (int round = 0; round < 20000; ++round) {
        const GameState s = randomTable(rng);
        SCOPED_TRACE("round " + std::to_string(round));
        for (int seat = 1; seat <= 4; ++seat) ASSERT_EQ(checkforsuit(s, seat), plainCheckforsuit(s, seat)) << seat;
        ASSERT_EQ(thewinner(s), plainWinner(s));
        for (int suit = 0; suit <= 4; ++suit) ASSERT_EQ(highest(s, suit), plainHighest(s, suit)) << suit;
        const TrickLeaders leaders = trickLeaders(s);
        auto cardOf = [&](int seat) { return seat != 0 ? s.seat(seat).tableCard : kNoCard; };
        ASSERT_EQ(leaders.ledCard, cardOf(plainHighest(s, s.ledSuit)));
        ASSERT_EQ(leaders.trumpCard, cardOf(plainHighest(s, s.trump)));
    }
}

TEST(Rules, OfTwoBowersOnTheTableTheLowerSeatLeads) {
    struct Case { std::array<int, 4> table; int current, highestSeat, ledCard; };
    const Case cases[] = {  // Hearts trump and led
        {{DJ, 0, HJ, 0}, 2, 1, DJ},
        {{HJ, 0, DJ, 0}, 2, 1, HJ},
        {{0, HA, DJ, HJ}, 1, 3, DJ},
        {{0, HA, DJ, HJ}, 3, 4, HJ},
        {{H9, HA, 0, 0}, 3, 2, HA},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, kHearts);
        s.ledSuit = kHearts;
        s.currentPlayer = c.current;
        setTable(s, c.table);
        EXPECT_EQ(highest(s, kHearts), c.highestSeat);
        EXPECT_EQ(trickLeaders(s).ledCard, c.ledCard);
        EXPECT_EQ(trickLeaders(s).trumpCard, c.ledCard);
    }
}

// --- the standard players' choices, card by card --------------------------

int plainRandomSlot(const GameState& s, int seat, RandomSource& random) {
    if (s.seat(seat).cardsHeld() == 0) return 0;
    int slot;
    do {
        slot = random.below(5) + 1;
    } while (s.card(seat, slot) == kNoCard);
    return slot;
}

int plainBidder(const GameState& s, int seat) {
    int score = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code == kNoCard) continue;
        const int rem = remainderOf(code);
        if (suitOf(code) == s.trump || code == s.leftBower) score += rem == 10 || rem == 12 ? 100 : code % 12 == 11 ? 50 : 25;
        else score += rem == 12 ? 50 : 25;
    }
    if (score >= 200 && seat == s.dealer) return 1;
    if (score >= 250 && seat == partnerOf(s.dealer)) return 1;
    return score >= 300 ? 1 : 2;
}

int plainLead(const GameState& s, int seat, RandomSource& random) {
    if (!s.teams[teamOf(seat)].maker) {
        int reference = 1;
        for (int slot = 1; slot <= 5; ++slot)
            if (s.card(seat, slot) != kNoCard && !s.isTrump(s.card(seat, slot))) reference = slot;
        const int referenceRem = remainderOf(s.card(seat, reference));
        for (int slot = 2; slot <= 5; ++slot) {
            const int code = s.card(seat, slot);
            if (slot != reference && code != kNoCard && !s.isTrump(code) && remainderOf(code) > referenceRem) return slot;
        }
        return plainRandomSlot(s, seat, random);
    }
    const int t = s.trump;
    for (int wanted : {rightBowerFor(t), s.leftBower, cardCode(t, kAce), cardCode(t, kKing), cardCode(t, kQueen),
                       cardCode(t, kTen), cardCode(t, kNine)})
        for (int slot = 1; slot <= 5; ++slot)
            if (s.card(seat, slot) == wanted) return slot;
    return plainRandomSlot(s, seat, random);
}

int plainPlay(const GameState& s, int seat, RandomSource& random) {
    const int led = s.ledSuit, trump = s.trump, left = s.leftBower;
    if (led == 0) return plainLead(s, seat, random);
    auto isJack = [](int code) { return remainderOf(code) == 10; };
    const int w = plainHighest(s, led), t = plainHighest(s, trump), partner = partnerOf(seat);
    const int wCard = w ? s.seat(w).tableCard : kNoCard, tCard = t ? s.seat(t).tableCard : kNoCard;
    auto follows = [&](int slot) { return s.card(seat, slot) != kNoCard && s.effectiveSuit(s.card(seat, slot)) == led; };
    if (w != partner) {  // A
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = s.card(seat, slot);
            if (!follows(slot)) continue;
            if (led == trump) {
                if (isJack(code)) return slot;
                if (wCard != kNoCard && wCard == left) continue;
                if (code > tCard) return slot;
            } else if (t == 0 && code > wCard) {
                return slot;
            }
        }
    }
    int choice = 0;  // B
    for (int slot = 1; slot <= 5; ++slot) {
        if (!follows(slot)) continue;
        const int code = s.card(seat, slot);
        if (choice == 0) choice = slot;
        else if (led == trump && (isJack(s.card(seat, choice)) ||
                                  (code < s.card(seat, choice) && remainderOf(code) != 11 && code != left)))
            choice = slot;
        if (led != trump) break;
    }
    if (choice != 0) return choice;
    if (!(t != 0 && t == partner) && !(tCard != kNoCard && isJack(tCard)))  // C
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = s.card(seat, slot);
            if (s.isTrump(code) && (t == 0 || remainderOf(code) == 11 || code == left || code > tCard)) return slot;
        }
    int firstSide = 0, firstAny = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code == kNoCard) continue;
        if (firstAny == 0) firstAny = slot;
        if (s.isTrump(code)) continue;
        if (remainderOf(code) >= 1 && remainderOf(code) <= 9) return slot;
        if (firstSide == 0) firstSide = slot;
    }
    return firstSide != 0 ? firstSide : firstAny;
}

TEST(ComputerPlayer, ChoosesAsThePlainRulesOverRandomTables) {
    std::mt19937 rng(7);
    int leads = 0, follows = 0, voids = 0;
    for (int round = 0; round < 20000; ++round) {
        GameState s = randomTable(rng);
        SCOPED_TRACE("round " + std::to_string(round));
        const int seat = static_cast<int>(rng() % 4) + 1;
        s.dealer = static_cast<int>(rng() % 4) + 1;
        s.teams[1].maker = rng() % 2 == 0;
        s.teams[2].maker = !s.teams[1].maker;
        if (rng() % 4 == 0) s.ledSuit = 0;
        ASSERT_EQ(cbidderChoice(s, seat), plainBidder(s, seat));
        {
            // Any trump, none included, and now and then a Left Bower that
            // is not the trump's usual one (drawn apart, not to change the tables).
            std::mt19937 other(static_cast<std::uint32_t>(round));
            GameState bidding = s;
            setTrump(bidding, static_cast<int>(other() % 5));
            if (other() % 3 == 0) bidding.leftBower = kInPlayCodes[other() % kInPlayCodes.size()];
            ASSERT_EQ(cbidderChoice(bidding, seat), plainBidder(bidding, seat))
                << "trump " << bidding.trump << " left " << bidding.leftBower;
        }
        SeededRandom fast(static_cast<std::uint64_t>(round)), plain(static_cast<std::uint64_t>(round));
        ASSERT_EQ(cnextplayerChoice(s, seat, fast), plainPlay(s, seat, plain));
        ASSERT_EQ(fast.below(1000), plain.below(1000)) << "the same draws were made";
        leads += s.ledSuit == 0;
        follows += s.ledSuit != 0 && plainCheckforsuit(s, seat);
        voids += s.ledSuit != 0 && !plainCheckforsuit(s, seat);
    }
    EXPECT_GT(leads, 2000);
    EXPECT_GT(follows, 2000);
    EXPECT_GT(voids, 2000);
}

// The first suit, not the one turned down, of which the hand holds three.
int plainChooser(const GameState& s, int seat) {
    for (int suit = 1; suit <= 4; ++suit) {
        if (suit == s.turnedDown) continue;
        int held = 0;
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = s.card(seat, slot);
            if (code != kNoCard && suitOf(code) == suit) ++held;
        }
        if (held >= 3) return suit + 2;
    }
    return 22;
}

// Alone with five cards of the trump block and the Left Bower together.
int plainAloner(const GameState& s, int seat) {
    int trumps = 0;
    bool left = false;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code == kNoCard) continue;
        if (suitOf(code) == s.trump) ++trumps;
        if (code == s.leftBower) left = true;
    }
    return trumps + (left ? 1 : 0) == 5 ? 7 : 8;
}

// The side card, aces left out, with the lowest remainder, the first of
// equals; with none, any slot drawn.
int plainDiscarder(const GameState& s, int seat, RandomSource& random) {
    int chosen = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code == kNoCard) continue;
        if (s.isTrump(code)) continue;
        if (remainderOf(code) == 0) continue;
        if (chosen == 0) chosen = slot;
        else if (remainderOf(code) < remainderOf(s.card(seat, chosen))) chosen = slot;
    }
    if (chosen == 0) return random.below(5) + 1;
    return chosen;
}

TEST(ComputerPlayer, NamesGoesAloneAndDiscardsAsThePlainRulesOverRandomHands) {
    std::mt19937 rng(11);
    int named = 0, alone = 0, drawn = 0;
    for (int round = 0; round < 20000; ++round) {
        GameState s = randomTable(rng);
        SCOPED_TRACE("round " + std::to_string(round));
        const int seat = static_cast<int>(rng() % 4) + 1;
        setTrump(s, static_cast<int>(rng() % 5));
        s.turnedDown = static_cast<int>(rng() % 6);  // 5 lies outside the suits
        if (rng() % 8 == 0) s.leftBower = kInPlayCodes[rng() % kInPlayCodes.size()];
        if (rng() % 4 == 0 && s.trump != 0) {
            // Five of the trump block and the Left Bower, so that some go alone.
            std::vector<int> trumps{s.leftBower};
            for (int code : kInPlayCodes)
                if (suitOf(code) == s.trump) trumps.push_back(code);
            std::shuffle(trumps.begin(), trumps.end(), rng);
            for (int slot = 1; slot <= 5; ++slot) s.seat(seat).slots[slot] = trumps[static_cast<unsigned>(slot - 1)];
        }
        ASSERT_EQ(cchooserChoice(s, seat), plainChooser(s, seat)) << "turned down " << s.turnedDown;
        ASSERT_EQ(calonerChoice(s, seat), plainAloner(s, seat)) << "trump " << s.trump << " left " << s.leftBower;
        SeededRandom fast(static_cast<std::uint64_t>(round)), plain(static_cast<std::uint64_t>(round));
        ASSERT_EQ(cdiscarderChoice(s, seat, fast), plainDiscarder(s, seat, plain));
        ASSERT_EQ(fast.below(1000), plain.below(1000)) << "the same draws were made";
        named += plainChooser(s, seat) != 22;
        alone += plainAloner(s, seat) == 7;
        ScriptedRandom counting;
        plainDiscarder(s, seat, counting);
        drawn += !counting.requests.empty();
    }
    // Every answer turns up often.
    EXPECT_GT(named, 1000);
    EXPECT_GT(alone, 200);
    EXPECT_GT(drawn, 200);
}

// --- the shuffle and the stream of draws -------------------------------------

// The shuffle as described: codes ascending, each drawn to a free position.
std::array<int, 25> plainShuffle(RandomSource& random) {
    std::array<int, 25> cards{};
    for (int code : kInPlayCodes) {
        int position;
        do {
            position = random.below(24) + 1;
        } while (cards[static_cast<unsigned>(position)] != kNoCard);
        cards[static_cast<unsigned>(position)] = code;
    }
    return cards;
}

std::array<int, 25> positionsOf(const Deck& deck) {
    std::array<int, 25> cards{};
    for (int position = 1; position <= 24; ++position) cards[static_cast<unsigned>(position)] = deck.at(position);
    return cards;
}

TEST(Shuffle, DrawsTheSameNumbersAsOneDrawAtATime) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        for (int before : {0, 1}) {  // with and without a spare half word waiting
            SCOPED_TRACE("seed " + std::to_string(seed) + " draws before " + std::to_string(before));
            SeededRandom fast(seed), plain(seed), virtualHop(seed);
            for (int i = 0; i < before; ++i) {
                fast.below(7);
                plain.below(7);
                virtualHop.below(7);
            }
            Deck deck, viaPort;
            deck.shuffle(fast);
            RandomSource& port = virtualHop;
            viaPort.shuffle(port);
            const std::array<int, 25> expected = plainShuffle(plain);
            ASSERT_EQ(positionsOf(deck), expected);
            ASSERT_EQ(positionsOf(viaPort), expected);
            for (int n : {2, 5, 24, 1000}) {  // and every generator goes on alike
                const int next = plain.below(n);
                ASSERT_EQ(fast.below(n), next);
                ASSERT_EQ(virtualHop.below(n), next);
            }
        }
    }
}

TEST(SeededRandom, AStreamOfDrawsIsBelowCalledOnceEach) {
    // Bounds with almost no refused halves, and one that refuses about a third.
    const int bounds[] = {1, 2, 5, 24, 1000, 1431655766, std::numeric_limits<int>::max()};
    for (int n : bounds) {
        for (int before : {0, 1}) {
            for (int count : {1, 2, 3, 50}) {
                SCOPED_TRACE("n " + std::to_string(n) + " before " + std::to_string(before) + " count " +
                             std::to_string(count));
                SeededRandom stream(99), plain(99);
                for (int i = 0; i < before; ++i) {
                    stream.below(3);
                    plain.below(3);
                }
                std::vector<int> drawn;
                stream.drawWhile(n, [&](int draw) {
                    drawn.push_back(draw);
                    return static_cast<int>(drawn.size()) < count;
                });
                std::vector<int> expected;
                for (int i = 0; i < count; ++i) expected.push_back(plain.below(n));
                ASSERT_EQ(drawn, expected);
                ASSERT_EQ(stream.below(24), plain.below(24)) << "the generator goes on alike";
                ASSERT_EQ(stream.below(24), plain.below(24));
            }
        }
    }
}

// --- the engine's timer ------------------------------------------------------

// Counts what the engine asks of its timer.
class CountingTimer final : public EngineTimer {
public:
    void start(int) override {
        running = true;
        ++starts;
    }
    void stop() override {
        stopsWhileStopped += running ? 0 : 1;
        running = false;
    }
    bool running = false;
    int starts = 0;
    int stopsWhileStopped = 0;
};

TEST(EngineTimer, RunsExactlyWhileAStepIsArmed) {
    DiscardingOutput out;
    CountingTimer timer;
    SeededRandom random(31);
    RecordingDiagnostics diagnostics;
    FixedBotSpeed speed(500);
    StandardPlayer standard;
    HostEngine engine({out, timer, random, diagnostics, speed, standard});
    for (int game = 0; game < 20; ++game) {
        engine.startgame("", 10);
        for (int step = 0; step < 100000 && timer.running; ++step) {
            engine.runArmedStep();
            ASSERT_EQ(timer.running, engine.stepCode() != 0) << "game " << game << " step " << step;
        }
        ASSERT_FALSE(timer.running);
        ASSERT_FALSE(engine.state().gameRunning);
    }
    EXPECT_GT(timer.starts, 1000);
    EXPECT_EQ(timer.stopsWhileStopped, 0) << "a stopped timer is not stopped again";
}

}  // namespace
}  // namespace vornel::test
