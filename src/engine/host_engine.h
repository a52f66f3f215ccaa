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
#include "manual_ports.h"
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
    // With computers at once (for simulations that do not wait), a
    // computer's decision is made as soon as it is awaited instead of after
    // the timer's delay, except the first bid of each deal: the same
    // announcements in the same order, and one step runs from a deal's
    // first bid to the first pause (after a trick or a hand, or a deal
    // thrown in).
    void setComputersAtOnce(bool atOnce) { computersAtOnce_ = atOnce; }

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
    // A computer-played seat's decision is awaited: armed, or made at once.
    template <int step>
    void awaitComputer();
    template <int step>
    void runComputerStep();

    void startround();
    void finddealer();
    void dealtype(int seat, int pattern);
    template <int first>
    void dealPackets();
    void announceDeal();
    void findbidder();
    void bidtype(int seat, int code);
    void findchooser();
    void choosetype(int seat, int code);
    void findaloner(int maker);
    void alonetype(int seat, int code);
    void hesdiscarding(int seat, int slot);
    void starthand();
    void findnextplayer();
    template <bool announces>
    void playInTurn();
    void hesplaying(int seat, int slot);
    void placeCard(int seat, int slot, int code, int suit);
#if defined(__GNUC__)
    [[gnu::always_inline]]
#endif
    inline void putOnTable(int seat, int slot, int code, int suit);
    unsigned seatsDone() const;
    void playComputerCard(int seat, int slot, int code, bool follows);
    void reportPlayedDouble(int seat);
    void refuseCard(int seat, int slot);
    void finishtrick();
    void tallyscore();

    void setTrump(int suit);
    void makeMaker(int seat);
    template <typename... Numbers>
    void announce(Recipient to, std::string_view command, Numbers... numbers) {
        if (!listened_) return;
        const std::array<Field, sizeof...(Numbers)> fields{Field::num(numbers)...};
        ports_.output.announce(to, command, std::span<const Field>(fields.data(), fields.size()));
    }
    // The timer and bot speed ports, called directly when they are the
    // manual ones of a simulation (no jump through the port's table).
    void startTimerPort(int intervalMs) {
        if (manualTimer_ != nullptr) manualTimer_->start(intervalMs);
        else ports_.timer.start(intervalMs);
    }
    void stopTimerPort() {
        if (manualTimer_ != nullptr) manualTimer_->stop();
        else ports_.timer.stop();
    }
    int botSpeedMs() const { return fixedSpeed_ != nullptr ? fixedSpeed_->milliseconds() : ports_.botSpeed.milliseconds(); }

    int draw(int n) { return seeded_ != nullptr ? seeded_->below(n) : ports_.random.below(n); }

    GameState state_;
    Ports ports_;
    // The engine's own generator, when it is the one given: called directly
    // in the shuffle, the hottest loop of a simulated hand.
    SeededRandom* seeded_ = nullptr;
    ManualTimer* manualTimer_ = nullptr;
    const FixedBotSpeed* fixedSpeed_ = nullptr;
    // Whether the output wants announcements; when not, none are made.
    bool listened_ = true;
    int interval_ = 0;
    int stepCode_ = 0;
    int delayCounter_ = 0;
    bool timerStarted_ = false;  // started by armTimer() and not stopped since
    bool computersAtOnce_ = false;
    int decisionsRunning_ = 0;  // computers' decisions made at once, one inside the other
    int seatBeforeLeader_ = 0;  // held through the pause after a trick
    ComputerPlayer& playerOf(int seat) const { return players_[seat] != nullptr ? *players_[seat] : ports_.computer; }
    int ask(int seat, Decision decision) { return playerOf(seat).decide(state_, seat, decision, ports_.random); }

    std::array<ComputerPlayer*, 5> players_{};
};

}  // namespace vornel
