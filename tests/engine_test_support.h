#pragma once
// Helpers shared by the engine tests: an output that records every
// announcement as text, a random source that can be scripted, an engine wired
// to a hand-ticked timer, and shortcuts for building hands.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/host_engine.h"
#include "players/simulation.h"

namespace vornel::test {

// Card codes by name: suit letter, then rank (T = ten).
inline constexpr int C9 = 8, CT = 9, CJ = 10, CQ = 11, CK = 12, CA = 13;
inline constexpr int D9 = 21, DT = 22, DJ = 23, DQ = 24, DK = 25, DA = 26;
inline constexpr int S9 = 34, ST = 35, SJ = 36, SQ = 37, SK = 38, SA = 39;
inline constexpr int H9 = 47, HT = 48, HJ = 49, HQ = 50, HK = 51, HA = 52;

using Hand = std::array<int, 5>;  // slots 1..5

struct Announcement {
    Recipient to;
    std::string command;
    std::vector<int> numbers;  // a text field reads as 0 here
    std::string text;          // "all CMD_bidder 2", "seat1 CMD_switch 1 3 52", "others1 CMD_placecard ..."
};

// Records every announcement; can pass each one on to another output.
class RecordingOutput final : public Output {
public:
    explicit RecordingOutput(Output* forward = nullptr) : forward_(forward) {}

    void announce(Recipient to, std::string_view command, std::span<const Field> fields) override {
        Announcement a{to, std::string(command), {}, {}};
        a.text = to.kind == Recipient::Kind::All    ? "all"
                 : to.kind == Recipient::Kind::Seat ? "seat" + std::to_string(to.seat)
                                                    : "others" + std::to_string(to.seat);
        a.text += " " + a.command;
        for (const Field& f : fields) {
            a.numbers.push_back(f.isText ? 0 : f.number);
            a.text += " " + (f.isText ? std::string(f.text) : std::to_string(f.number));
        }
        log.push_back(std::move(a));
        if (forward_ != nullptr) forward_->announce(to, command, fields);
    }

    // The announcements made since the previous call, as text.
    std::vector<std::string> take() {
        std::vector<std::string> fresh;
        for (; taken_ < log.size(); ++taken_) fresh.push_back(log[taken_].text);
        return fresh;
    }

    std::vector<Announcement> log;

private:
    Output* forward_;
    std::size_t taken_ = 0;
};

// Hands out scripted draws first, then falls back to a seeded generator.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::uint64_t seed = 1) : fallback_(seed) {}
    void script(std::initializer_list<int> values) { queue_.insert(queue_.end(), values); }
    std::size_t scriptLeft() const { return queue_.size(); }

    int below(int n) override {
        requests.push_back(n);
        if (queue_.empty()) {
            ++fallbackDraws;
            return fallback_.below(n);
        }
        const int value = queue_.front();
        queue_.pop_front();
        EXPECT_TRUE(value >= 0 && value < n) << "scripted draw " << value << " for below(" << n << ")";
        return value;
    }

    std::vector<int> requests;  // the n of every draw, in order
    int fallbackDraws = 0;

private:
    std::deque<int> queue_;
    SeededRandom fallback_;
};

// One engine with recording ports; seats are computer-played until marked human.
struct EngineRig {
    explicit EngineRig(std::uint64_t seed = 1, Output* forward = nullptr)
        : out(forward), random(seed), engine({out, timer, random, diagnostics, speed, standard}) {}

    void humans(std::initializer_list<int> seats) {
        for (int seat : seats) engine.setSeatInUse(seat, true);
    }
    GameState& state() { return engine.stateForTesting(); }
    std::vector<std::string> take() { return out.take(); }
    // Ticks the engine timer `n` times and returns what that announced.
    std::vector<std::string> tick(int n = 1) {
        for (int i = 0; i < n; ++i) engine.ctimerTimer();
        return take();
    }

    RecordingOutput out;
    ManualTimer timer;
    ScriptedRandom random;
    RecordingDiagnostics diagnostics;
    FixedBotSpeed speed{500};
    StandardPlayer standard;
    HostEngine engine;
};

inline void setHand(GameState& s, int seat, const Hand& cards) {
    for (int slot = 1; slot <= 5; ++slot) s.seat(seat).slots[slot] = cards[slot - 1];
}

inline void setTrump(GameState& s, int trump) {
    s.trump = trump;
    s.leftBower = leftBowerFor(trump);
}

inline void setTable(GameState& s, const std::array<int, 4>& cards) {
    for (int seat = 1; seat <= 4; ++seat) s.seat(seat).tableCard = cards[seat - 1];
}

// Puts a dealt game at the first card of a trick: trump made by `maker`'s
// team, the given hands, `leader` to play, every other turn cleared.
inline void positionForPlay(GameState& s, int trump, int maker, int leader, const std::array<Hand, 4>& hands) {
    s.currentBidder = s.currentChooser = s.aloneCandidate = s.discarder = s.pendingDealer = 0;
    setTrump(s, trump);
    s.teams[teamOf(maker)].maker = true;
    s.teams[3 - teamOf(maker)].maker = false;
    for (int seat = 1; seat <= 4; ++seat) {
        setHand(s, seat, hands[seat - 1]);
        s.seat(seat).tableCard = kNoCard;
    }
    s.ledSuit = 0;
    s.currentPlayer = leader;
}

}  // namespace vornel::test
