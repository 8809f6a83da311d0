// The computer player's choice of move.
//
// The strategy sees only what a player at the table sees (a SeatView): its own
// hand, the play on the table and the latest plays, whose lead it is, how
// many cards each other seat holds, and (through the round's record, kept by
// the caller) the cards played so far this round. The view holds no other
// seat's cards.
//
// It splits its hand into the cheapest set of plays (pairs, triples and
// five-card hands kept together, weak cards costing more than strong ones),
// values each legal move by how much cheaper it leaves the rest of the hand,
// and adds what the moment asks for: go out when it can, spend sure winners
// first when only one other play is left, and play high when an opponent is
// about to go out. The choice is deterministic: the same inputs give the
// same move.
#pragma once

#include <cstdint>
#include <vector>

#include "bot/moves.h"
#include "bot/round_record.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

// How the strategy weighs its choices. The defaults are the tuned ones.
struct StrategyParams {
    // Extra cost of a play by how weak it is: a play costs 1 + weakness x (1 - strength).
    float weakness = 1.0f;
    // Bonus per card beyond the first when leading: sheds cards faster.
    float leadPerExtraCard = 0.1f;
    // A follow must make the hand at least this much cheaper to be preferred to a pass.
    float followThreshold = 0.0f;
    // Weight of a play's strength when an opponent could go out on a play of its size.
    float blockWeight = 10.0f;
    // When an opponent holds at most closeCards cards, bonus per card played.
    int closeCards = 6;
    float shedPerCardWhenClose = 2.0f;
};

// The move for the view's seat, which must be on turn in a round that is not
// over: always one of LegalMoves(view). When the seat has no legal move (not
// on turn, round over) it returns a pass, which the table refuses. `record`
// (the round so far: the strategy counts the cards gone) may be null;
// without it the strategy still counts the cards it can see on the table.
Move ChooseMove(const SeatView& view, const RoundRecord* record = nullptr,
                const StrategyParams& params = StrategyParams{});

// The strategy's score of each of `moves`, which must be legal moves of the
// view's seat (as LegalMoves gives them): scores[i] for moves[i], higher is
// better. ChooseMove takes the first move of the highest score, except that
// it takes a forced move without scoring. Empty `moves` give empty scores.
void ScoreMoves(const SeatView& view, const std::vector<Move>& moves, std::vector<float>& scores,
                const RoundRecord* record = nullptr,
                const StrategyParams& params = StrategyParams{});

// The groups (FindGroups: the pairs, threes and five-card hands) of a hand,
// found once. A hand that has only lost cards since holds exactly those of
// them whose cards it still holds all, so a play-out can find each seat's
// groups at its start and spare the strategy the search at every turn.
class HandGroups {
  public:
    // Finds the groups of a seat's 13 hand positions (NO_CARD ones skipped).
    void Find(const std::uint8_t hand[HAND_SIZE]);
    // Each group as its cards (bit c = card c), in FindGroups's order.
    const std::vector<std::uint64_t>& Groups() const { return groups_; }

  private:
    std::vector<std::uint64_t> groups_;
};

// Exactly ChooseMove's move, found faster: `groups` must have been found for
// this seat's hand as it is or as it was before it lost some of its cards.
Move ChooseMoveWithGroups(const SeatView& view, const HandGroups& groups,
                          const RoundRecord* record = nullptr,
                          const StrategyParams& params = StrategyParams{});
