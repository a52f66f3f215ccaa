#include "table/hint.h"

#include <array>

#include <QtConcurrent/QtConcurrentRun>

#include "engine/random.h"
#include "engine/rules.h"
#include "players/computer_players.h"
#include "players/expert_player.h"
#include "table/seen_game.h"

namespace vornel::table {

namespace {

bool playable(const GameState& seen, int seat, Decision decision, int slot) {
    if (slot < 1 || slot > 5) return false;
    const int code = seen.card(seat, slot);
    if (code == kNoCard) return false;
    if (decision == Decision::Discard) return true;
    return seen.ledSuit == 0 || seen.effectiveSuit(code) == seen.ledSuit || !checkforsuit(seen, seat);
}

bool answers(Decision decision, int answer) {
    switch (decision) {
    case Decision::Bid: return answer == 1 || answer == 2;
    case Decision::Choose: return (answer >= 3 && answer <= 6) || answer == 22;
    case Decision::Alone: return answer == 7 || answer == 8;
    case Decision::Discard:
    case Decision::Play: return answer >= 1 && answer <= 5;
    }
    return false;
}

// Whether the view is one a hand played by the rules can give: the expert
// reads it as such, and a host that sends steps out of order (or a table
// that joined late) must not lead it off its arrays.
bool expertCanRead(const SeatView& v) {
    if (!isSeat(v.seat) || !isSeat(v.dealer) || v.trump < 1 || v.trump > 4 || !isInPlay(v.turnedCard)) return false;
    if (v.decision == Decision::Choose && (v.turnedDown < 1 || v.turnedDown > 4)) return false;
    if (v.decision != Decision::Bid && v.decision != Decision::Choose && !isSeat(v.maker)) return false;
    if (v.decision == Decision::Alone && v.maker != v.seat) return false;
    if (v.decision == Decision::Discard && v.seat != v.dealer) return false;
    std::uint64_t seenCards = 0;
    auto once = [&](int code) {
        if (!isInPlay(code) || (seenCards >> code & 1u) != 0) return false;
        seenCards |= std::uint64_t{1} << code;
        return true;
    };
    int held = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        if (v.slots[slot] == kNoCard) continue;
        if (!once(v.slots[slot])) return false;
        ++held;
    }
    std::array<int, 5> played{};
    for (int i = 0; i < v.playCount; ++i) {
        const int seat = v.plays[i].seat;
        if (!isSeat(seat) || seat == v.sittingOut() || !once(v.plays[i].value)) return false;
        ++played[seat];
    }
    // Every seat plays once a trick, in turn; the own hand is what was dealt less what was played.
    const int tricks = v.playCount / v.cardsPerTrick();
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == v.sittingOut()) continue;
        if (played[seat] < tricks || played[seat] > tricks + 1) return false;
    }
    return held + played[v.seat] == 5;
}

}  // namespace

HintQuestion hintQuestion(const SeenGame& seen) {
    HintQuestion q;
    q.prompt = seen.promptNumber();
    q.decision = seen.awaited().value_or(Decision::Play);
    q.seat = seen.ownSeat();
    q.wholeHand = seen.wholeHand();
    q.view = seen.view();
    q.seen = seen.state();
    return q;
}

int hintAnswer(const HintQuestion& q) {
    const bool card = q.decision == Decision::Discard || q.decision == Decision::Play;
    if (q.wholeHand && expertCanRead(q.view)) {
        ExpertPlayer expert(kHintSeed);
        const int answer = expert.decide(q.view);
        const bool valid = card ? playable(q.seen, q.seat, q.decision, answer) : answers(q.decision, answer);
        if (valid) return answer;
    }
    SeededRandom random(kHintSeed);
    StandardPlayer standard;
    return standard.decide(q.seen, q.seat, q.decision, random);
}

HintAdvisor::HintAdvisor(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcher<int>::finished, this, [this] {
        const HintQuestion done = open_;
        const int answer = watcher_.result();
        if (waiting_) {
            start(*waiting_);
            waiting_.reset();
        }
        Q_EMIT answered(done.prompt, done.decision, answer);
    });
}

HintAdvisor::~HintAdvisor() {
    // The worker holds only its own copy of the question; waiting here
    // keeps it from outliving the program's objects at shutdown.
    watcher_.waitForFinished();
}

void HintAdvisor::ask(const HintQuestion& question) {
    asked_ = true;
    if (busy()) waiting_ = question;
    else start(question);
}

void HintAdvisor::start(const HintQuestion& question) {
    open_ = question;
    watcher_.setFuture(QtConcurrent::run([question] { return hintAnswer(question); }));
}

}  // namespace vornel::table
