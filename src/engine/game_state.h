#pragma once
// The host's authoritative game state: four seats, two teams and the turn
// variables. Of current bidder, chooser, discarder, current player and pending
// dealer at most one is non-zero at a time.

#include <array>
#include <cstdint>

#include "card_sets.h"
#include "cards.h"

namespace vornel {

struct SeatState {
    std::array<int, 6> slots{};  // hand slots 1..5 (index 0 unused); 0 = empty
    int tableCard = kNoCard;     // card played to the current trick
    bool sitsOut = false;        // partner of a lone Maker
    bool wentAlone = false;
    bool computerPlays = false;  // the seated player chose to just watch
    bool inUse = false;          // a table is connected on this record

    bool computerPlayed() const { return !inUse || computerPlays; }
    // The cards in the hand as one set, the slots left out.
    CardSet cards() const {
        return cardSetOf(slots[1], slots[2], slots[3], slots[4], slots[5]);
    }
    int cardsHeld() const {
        int n = 0;
        for (int slot = 1; slot <= 5; ++slot) n += slots[slot] != kNoCard;
        return n;
    }
};

struct TeamState {
    int tricks = 0;
    int score = 0;
    bool maker = false;
};

// What every seat has seen of the current hand: the bidding, the Maker and
// the cards played in order. The dealer's discard is kept too, for the
// dealer's eyes only. The engine records it; the expert players read it.
struct HandHistory {
    struct Entry {
        std::uint8_t seat = 0;
        std::uint8_t value = 0;  // bubble code for a bid, card code for a play
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    int handsDealt = 0;  // in this game, this hand included
    int maker = 0;
    bool alone = false;
    int discarded = kNoCard;
    int bidCount = 0;
    std::array<Entry, 8> bids{};
    int playCount = 0;
    std::array<Entry, 20> plays{};

    void newHand() {
        ++handsDealt;
        maker = 0;
        alone = false;
        discarded = kNoCard;
        bidCount = playCount = 0;
    }
    void bid(int seat, int code) {
        if (bidCount < 8) bids[bidCount++] = {static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(code)};
    }
    void play(int seat, int code) {
        if (playCount < 20) plays[playCount++] = {static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(code)};
    }
};

struct GameState {
    std::array<SeatState, 5> seats{};  // 1..4
    std::array<TeamState, 3> teams{};  // 1..2

    bool gameRunning = false;
    int target = 0;
    int dealer = 0;
    int pendingDealer = 0;
    Deck deck;
    int deckPosition = 0;
    int trump = 0;
    int leftBower = kNoCard;
    int turnedDown = 0;
    int currentBidder = 0;
    int biddingStart = 0;
    int currentChooser = 0;
    int aloneCandidate = 0;
    int discarder = 0;
    int currentPlayer = 0;
    int ledSuit = 0;
    int trickNumber = 1;
    bool orderedUp = false;
    HandHistory history;

    SeatState& seat(int s) { return seats[s]; }
    const SeatState& seat(int s) const { return seats[s]; }
    int card(int s, int slot) const { return seats[s].slots[slot]; }
    int effectiveSuit(int code) const { return vornel::effectiveSuit(code, trump, leftBower); }
    bool isTrump(int code) const { return code != kNoCard && effectiveSuit(code) == trump; }
    // The cards whose effective suit is `suit` under the current trump.
    CardSet suitSet(int suit) const { return effectiveSuitSet(suit, trump, leftBower); }
    // 1 or 2 as the maker flags stand, 0 before trump was first made.
    int makerTeam() const { return teams[1].maker ? 1 : teams[2].maker ? 2 : 0; }
    int turnedCard() const { return deck.at(deckPosition); }
    // The Maker's answer to "go alone?" is still open (the dealer's exchange
    // keeps the candidate set, but the question has been answered by then).
    bool aloneAnswerAwaited() const { return aloneCandidate != 0 && discarder == 0; }
};

}  // namespace vornel
