#pragma once
// The host's game engine: deal, both bidding rounds, going alone, the
// dealer's exchange, five tricks, scoring and the end of the game.
//
// Human, computer and remote seats all enter through selectedbubble() and
// playcard(); the engine reports through the ports it is given and is paced
// by its timer, whose ticks arrive through ctimerTimer().

#include <array>
#include <string_view>

#include "computer_player.h"
#include "game_state.h"
#include "ports.h"
#include "random.h"

namespace vornel {

class HostEngine {
public:
    struct Ports {
        Output& output;
        EngineTimer& timer;
        RandomSource& random;
        Diagnostics& diagnostics;
        const BotSpeed& botSpeed;
        // Decides for every computer-played seat without a player of its own.
        ComputerPlayer& computer;
    };

    explicit HostEngine(Ports ports);

    // Entry points.
    void startgame(std::string_view firstField, int target);
    void selectedbubble(int seat, int code);
    void playcard(int seat, int slot);
    void ctimerTimer();
    // Runs the armed step now, as if its delay had run out (for simulations
    // that do not wait). Does nothing when the timer is idle.
    void runArmedStep();

    // Set by the connection layer.
    void setSeatInUse(int seat, bool inUse);
    void setComputerPlays(int seat, bool computerPlays);
    // Who decides for the seat when the computer plays it: the given player
    // (not owned), or the ports' computer when null, as by default.
    void setSeatPlayer(int seat, ComputerPlayer* player);
    ComputerPlayer* seatPlayer(int seat) const { return isSeat(seat) ? players_[seat] : nullptr; }
    // A seat just became computer-played: if its decision is awaited, the
    // computer makes it now, without the usual delay.
    void actNowForSeat(int seat);

    // The computer players; each acts only when the seat's decision is awaited.
    void cbidder(int seat);
    void cchooser(int seat);
    void caloner(int seat);
    void cdiscarder(int seat);
    void cnextplayer(int seat);

    const GameState& state() const { return state_; }
    GameState& stateForTesting() { return state_; }
    int stepCode() const { return stepCode_; }
    int delayCounter() const { return delayCounter_; }
    int interval() const { return interval_; }  // the bot speed read when the timer was last armed

private:
    void haltTimer();
    void stopTimer();
    void disableTimer();
    void armTimer(int step, int delay);

    void startround();
    void finddealer();
    void dealtype(int seat, int pattern);
    void findbidder();
    void bidtype(int seat, int code);
    void findchooser();
    void choosetype(int seat, int code);
    void findaloner(int maker);
    void alonetype(int seat, int code);
    void hesdiscarding(int seat, int slot);
    void starthand();
    void findnextplayer();
    void hesplaying(int seat, int slot);
    void reportPlayedDouble(int seat);
    void refuseCard(int seat, int slot);
    void finishtrick();
    void tallyscore();

    void setTrump(int suit);
    void makeMaker(int seat);
    template <typename... Numbers>
    void announce(Recipient to, std::string_view command, Numbers... numbers) {
        const std::array<Field, sizeof...(Numbers)> fields{Field::num(numbers)...};
        ports_.output.announce(to, command, std::span<const Field>(fields.data(), fields.size()));
    }

    int draw(int n) { return seeded_ != nullptr ? seeded_->below(n) : ports_.random.below(n); }

    GameState state_;
    Ports ports_;
    // The engine's own generator, when it is the one given: called directly
    // in the shuffle, the hottest loop of a simulated hand.
    SeededRandom* seeded_ = nullptr;
    int interval_ = 0;
    int stepCode_ = 0;
    int delayCounter_ = 0;
    bool timerStarted_ = false;  // started by armTimer() and not stopped since
    int seatBeforeLeader_ = 0;  // held through the pause after a trick
    ComputerPlayer& playerOf(int seat) const { return players_[seat] != nullptr ? *players_[seat] : ports_.computer; }
    int ask(int seat, Decision decision) { return playerOf(seat).decide(state_, seat, decision, ports_.random); }

    std::array<ComputerPlayer*, 5> players_{};
};

}  // namespace vornel
