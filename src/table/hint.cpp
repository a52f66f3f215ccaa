#include "table/hint.h"

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
    if (q.wholeHand) {
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
    if (busy()) waiting_ = question;
    else start(question);
}

void HintAdvisor::start(const HintQuestion& question) {
    open_ = question;
    watcher_.setFuture(QtConcurrent::run([question] { return hintAnswer(question); }));
}

}  // namespace vornel::table
