#pragma once
// The player's hint: the choice the expert computer player would make for
// the own seat, worked out from nothing but what this table has been told
// (SeenGame). Asking for it sends nothing to the host.

#include <QFutureWatcher>
#include <QObject>
#include <cstdint>
#include <optional>

#include "engine/computer_player.h"
#include "engine/game_state.h"
#include "players/seat_view.h"

namespace vornel::table {

class SeenGame;

// The expert's seed for every hint, so that the same view gives the same hint.
inline constexpr std::uint64_t kHintSeed = 0x5EA70F4A11ULL;

// One prompt's question, copied out of the table so that it can be
// answered on another thread.
struct HintQuestion {
    int prompt = 0;
    Decision decision = Decision::Play;
    int seat = 0;
    bool wholeHand = false;
    SeatView view;   // for the expert, when the whole hand was seen
    GameState seen;  // the seen state, for the standard rules otherwise
};

HintQuestion hintQuestion(const SeenGame& seen);

// A bubble code for the bidding decisions, a hand slot for the discard and
// for playing. The expert reads a hand from its deal on; in the rest of a
// hand this table joined midway it cannot, and the standard rules (which
// need only the own cards and the trick on the table) answer instead. A card
// the rules would refuse is never hinted.
int hintAnswer(const HintQuestion& question);

// Works the hint out on a worker thread, so the table never waits for it.
class HintAdvisor final : public QObject {
    Q_OBJECT
public:
    explicit HintAdvisor(QObject* parent = nullptr);
    ~HintAdvisor() override;

    // Starts on the question; one asked while another is being worked out
    // waits for it, and a later one takes its place.
    void ask(const HintQuestion& question);
    bool busy() const { return watcher_.isRunning(); }
    // Whether anything was ever asked: one never asked is as a new one.
    bool asked() const { return asked_; }

Q_SIGNALS:
    void answered(int prompt, vornel::Decision decision, int answer);

private:
    void start(const HintQuestion& question);

    QFutureWatcher<int> watcher_;
    HintQuestion open_;
    std::optional<HintQuestion> waiting_;
    bool asked_ = false;
};

}  // namespace vornel::table
