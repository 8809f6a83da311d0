// What every seat at the table has seen of the current round: each play and
// each pass since the deal, in table order, and so the cards gone from the
// hands. Every seat sees the same record, so one per table serves all the
// computer players at it, and a player that starts in the middle of a round
// is handed a copy. The strategy counts the cards gone from it, the search
// reads the passes from it, and the search's play-outs keep one going.
#pragma once

#include <cstdint>
#include <vector>

#include "bot/moves.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

// One action of the round.
struct SeenAction {
    std::uint8_t seat;              // 1..4
    std::uint8_t count;             // cards put down; 0 for a pass
    std::uint8_t cards[PLAY_SIZE];  // the play as it went down, NO_CARD after `count`
};

// A round cannot need more actions than this: every four turns either a card
// leaves a hand or the lead comes back and a play must follow.
constexpr int MAX_ROUND_ACTIONS = 4 * 2 * DECK_SIZE + 16;

class RoundRecord {
  public:
    // A new deal: nothing has happened yet.
    void NewRound();
    // Seat `seat` put down the cards of a play buffer (NO_CARD places are
    // skipped; GameTable::tablePlay after the play is such a buffer).
    void Played(int seat, const std::uint8_t cards[PLAY_SIZE]);
    // Seat `seat` passed.
    void Passed(int seat);
    // Applies the move to the table through ApplyMove and records it when the
    // table accepts it. Returns ApplyMove's result.
    int Apply(GameTable& table, int seat, const Move& move);

    // The actions in table order. Holds at most MAX_ROUND_ACTIONS: further
    // ones are dropped (their cards still count as gone), and the record
    // then no longer covers the round.
    const std::vector<SeenAction>& Actions() const { return actions_; }
    // Whether a card has been played this round (false for NO_CARD), and how
    // many have.
    bool Gone(std::uint8_t card) const { return card < DECK_SIZE && ((gone_ >> card) & 1u) != 0; }
    int GoneCount() const;
    // Cards that `seat` has put down this round.
    int PlayedBy(int seat) const;
    // True when the record tells the whole round up to the table's present:
    // every seat's cards played and cards held make a full hand, and nothing
    // was dropped.
    bool Covers(const SeatView& view) const;

  private:
    std::vector<SeenAction> actions_;
    std::uint64_t gone_ = 0;  // bit c: card c has been played
    bool dropped_ = false;
};
