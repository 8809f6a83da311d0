// The hard computer player: a search over the cards it cannot see.
//
// At each decision it draws deals of the unseen cards that agree with what
// its seat knows (DealSampler), plays each of its candidate moves out to the
// end of the round in every deal, with the strategy of bot/strategy.h for
// every seat (its own included) and the cards played counted for all, and
// takes the move with the best mean money at the end of the round. In the
// play-outs the other seats now and then make any legal move instead of the
// strategy's (SearchParams::slipPercent), as people do. All
// candidates are played out in the same deals, so they are compared on equal
// cards. The candidates are the strategy's best few moves and the pass; a
// forced move, or one that empties the hand, is taken without a search, as
// is the strategy's move when the record does not tell the whole round.
//
// The work of a decision is bounded by a count of the strategy's decisions
// in the play-outs, each weighed by the size of the hand it looks at, not by
// the clock: the same view, record and generator state give the same move
// on any machine.
#pragma once

#include <cstdint>

#include "bot/bot_random.h"
#include "bot/deal_sampler.h"
#include "bot/moves.h"
#include "bot/round_record.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

struct SearchParams {
    int candidates = 5;            // the strategy's best moves searched (the pass comes on top)
    std::int64_t budget = 250000;  // work of one decision, in DecisionWork units
    int maxDeals = 400;            // deals drawn at most
    int minDeals = 8;              // deals drawn before a candidate can be dropped
    float dropMargin = 2.0f;       // a candidate is dropped when this many standard errors behind
    int drawTries = 64;            // draws tried per deal for one that the passes accept
    // The chance, in percent, that another seat's move in a play-out is any
    // of its legal moves rather than the strategy's. People err; a search
    // that expects flawless play from everybody spends its cards guarding
    // against plays that seldom come (against players who move at random it
    // won 86.9 % of 4000 rounds with none and 88.2 % of 40000 with 15, and
    // against three players of the strategy +2.60 a round instead of +2.67).
    int slipPercent = 15;
    PassOdds passOdds;
};

// What one decision did.
struct SearchStats {
    bool searched = false;  // false: forced, going out, or the strategy's move taken as is
    int candidates = 0;
    int deals = 0;
    int playOuts = 0;
    std::int64_t work = 0;
};

// The work units of one strategy decision over a hand of `held` cards (the
// strategy's cost grows with the number of ways to split the hand), and of
// finding the groups of such a hand.
int DecisionWork(int held);
int GroupsWork(int held);

// The move for the view's seat, which must be on turn in a round that is not
// over: always one of LegalMoves(view), a pass when there is none. Knows
// only the view and the record; the worlds it plays out are tables of its
// own, dealt from them. Draws from `random`.
Move ChooseSearchedMove(const SeatView& view, const RoundRecord& record, BotRandom& random,
                        const SearchParams& params = SearchParams{}, SearchStats* stats = nullptr);
