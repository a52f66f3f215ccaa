#include "game_audit.h"

#include <set>

#include "cards.h"
#include "commands.h"

namespace vornel {

namespace {
int num(std::span<const Field> fields, std::size_t i) { return i < fields.size() ? fields[i].number : -1; }
}  // namespace

void GameAudit::hash(std::string_view bytes) {
    for (unsigned char c : bytes) {
        checksum_ ^= c;
        checksum_ *= 0x100000001b3ULL;
    }
}

void GameAudit::hashNumber(int number) {
    const auto value = static_cast<std::uint32_t>(number);
    for (int shift = 0; shift < 32; shift += 8) {
        checksum_ ^= (value >> shift) & 0xffU;
        checksum_ *= 0x100000001b3ULL;
    }
}

void GameAudit::fail(std::string what) {
    if (violations_.size() < 100) violations_.push_back(std::move(what));
}

void GameAudit::announce(Recipient to, std::string_view command, std::span<const Field> fields) {
    hashNumber(static_cast<int>(to.kind));
    hashNumber(to.seat);
    hash(command);
    for (const Field& f : fields) {
        if (f.isText) hash(f.text);
        else hashNumber(f.number);
    }

    if (command == cmd::StartGame) {
        gameOn_ = true;
        gameOver_ = false;
        handOn_ = false;
        target_ = num(fields, 1);
        scores_ = {};
        ++figures_.games;
    } else if (command == cmd::Dealer) {
        if (!gameOn_ || gameOver_) fail("a hand was dealt outside a running game");
        endHand();
        handOn_ = true;
        trumpMade_ = scored_ = alone_ = false;
        dealer_ = num(fields, 0);
        turned_ = maker_ = dealtSeats_ = cardsInTrick_ = tricks_ = 0;
        teamTricks_ = {};
        hands_ = {};
        ++figures_.hands;
    } else if (command == cmd::PlaceCard) {
        onDeal(to, fields);
    } else if (command == cmd::SetTrump) {
        turned_ = num(fields, 0);
        std::set<int> seen;
        for (int s = 1; s <= 4; ++s)
            for (int slot = 1; slot <= 5; ++slot) seen.insert(hands_[s][slot]);
        if (dealtSeats_ != 4 || seen.size() != 20 || seen.count(0) != 0)
            fail("a deal did not hand out 20 distinct cards");
        for (int code : seen)
            if (!isInPlay(code)) fail("a card not in play was dealt: " + std::to_string(code));
        if (!isInPlay(turned_) || seen.count(turned_) != 0) fail("the turned card is not a fresh card in play");
    } else if (command == cmd::TrumpChoosen) {
        trumpMade_ = true;
        maker_ = num(fields, 0);
    } else if (command == cmd::GoingAlone) {
        alone_ = num(fields, 1) == 7;
        if (alone_) ++figures_.aloneHands;
    } else if (command == cmd::Switch) {
        onSwitch(fields);
    } else if (command == cmd::PlayedCard) {
        onPlayed(fields);
    } else if (command == cmd::TrickWinner) {
        onTrick(fields);
    } else if (command == cmd::Score) {
        onScore(fields);
    } else if (command == cmd::TheWinner) {
        onWinner(fields);
    }
}

void GameAudit::onDeal(Recipient to, std::span<const Field> fields) {
    const int seat = num(fields, 0);
    if (!isSeat(seat) || fields.size() != 11) {
        fail("malformed CMD_placecard");
        return;
    }
    for (int i = 0; i < 5; ++i)
        if (num(fields, 1 + 2 * i) != i + 1) fail("CMD_placecard slots out of order");
    if (to == Recipient::only(seat)) {
        for (int slot = 1; slot <= 5; ++slot) hands_[seat][slot] = num(fields, 2 * slot);
        ++dealtSeats_;
    } else {
        for (int slot = 1; slot <= 5; ++slot)
            if (num(fields, 2 * slot) != 0) fail("another seat's cards were shown");
    }
}

void GameAudit::onSwitch(std::span<const Field> fields) {
    const int seat = num(fields, 0), slot = num(fields, 1), code = num(fields, 2);
    if (seat != dealer_ || slot < 1 || slot > 5 || code != turned_) {
        fail("the exchange was not the dealer taking the turned card");
        return;
    }
    hands_[seat][slot] = code;
}

void GameAudit::onPlayed(std::span<const Field> fields) {
    const int seat = num(fields, 0), slot = num(fields, 1), code = num(fields, 2);
    if (!isSeat(seat) || slot < 1 || slot > 5 || code == 0 || hands_[seat][slot] != code) {
        fail("seat " + std::to_string(seat) + " played a card it does not hold");
        return;
    }
    hands_[seat][slot] = 0;
    ++cardsInTrick_;
}

void GameAudit::onTrick(std::span<const Field> fields) {
    const int expected = alone_ ? 3 : 4;
    if (cardsInTrick_ != expected) fail("a trick had " + std::to_string(cardsInTrick_) + " cards");
    cardsInTrick_ = 0;
    ++tricks_;
    teamTricks_ = {0, num(fields, 1), num(fields, 2)};
    if (teamTricks_[1] + teamTricks_[2] != tricks_) fail("the teams' tricks do not add up");
}

GameFigures& GameFigures::operator+=(const GameFigures& other) {
    games += other.games;
    hands += other.hands;
    thrownInHands += other.thrownInHands;
    team1Wins += other.team1Wins;
    team2Wins += other.team2Wins;
    aloneHands += other.aloneHands;
    marches += other.marches;
    loneMarches += other.loneMarches;
    vornels += other.vornels;
    team1Points += other.team1Points;
    team2Points += other.team2Points;
    return *this;
}

void GameAudit::onScore(std::span<const Field> fields) {
    const int makerTeam = num(fields, 0);
    const int s1 = num(fields, 1), p1 = num(fields, 2), s2 = num(fields, 3), p2 = num(fields, 4);
    if (tricks_ != 5) fail("a hand was scored after " + std::to_string(tricks_) + " tricks");
    if (!trumpMade_ || makerTeam != teamOf(maker_)) fail("the score names the wrong Maker team");
    if ((p1 != 0) == (p2 != 0)) fail("not exactly one team scored");
    const int makerPoints = makerTeam == 1 ? p1 : p2;
    const int defenderPoints = makerTeam == 1 ? p2 : p1;
    const int makerTricks = makerTeam == 1 ? teamTricks_[1] : teamTricks_[2];
    const int expectedMaker = makerTricks == 5 ? (alone_ ? 4 : 2) : makerTricks >= 3 ? 1 : 0;
    const int expectedDefenders = makerTricks < 3 ? 2 : 0;
    if (makerPoints != expectedMaker || defenderPoints != expectedDefenders)
        fail("the points do not match the Maker's " + std::to_string(makerTricks) + " tricks");
    if (s1 != scores_[1] + p1 || s2 != scores_[2] + p2) fail("the scores do not add up");
    figures_.team1Points += static_cast<std::uint64_t>(p1);
    figures_.team2Points += static_cast<std::uint64_t>(p2);
    scores_ = {0, s1, s2};
    if (makerTricks == 5) {
        ++figures_.marches;
        if (alone_) ++figures_.loneMarches;
    }
    if (makerTricks < 3) ++figures_.vornels;
    scored_ = true;
    handOn_ = false;
}

void GameAudit::onWinner(std::span<const Field> fields) {
    const int team = num(fields, 0);
    if (!scored_) fail("the game ended without a scored hand");
    if (scores_[team == 1 ? 1 : 2] < target_ || scores_[team == 1 ? 2 : 1] >= scores_[team == 1 ? 1 : 2])
        fail("the winner has not reached the target");
    if (team == 1) ++figures_.team1Wins;
    else if (team == 2) ++figures_.team2Wins;
    else fail("no such team won");
    gameOver_ = true;
    gameOn_ = false;
}

void GameAudit::endHand() {
    if (!handOn_) {
        if (scored_ && (scores_[1] >= target_ || scores_[2] >= target_))
            fail("a hand was dealt after a team reached the target");
        return;
    }
    if (!trumpMade_) ++figures_.thrownInHands;
    else if (!scored_) fail("a hand with trump made was never scored");
}

void GameAudit::finishRun() {
    if (gameOn_) fail("a game stopped before a team won");
}

}  // namespace vornel
