// Deals of the cards a seat cannot see, drawn so that they agree with what a
// player at that seat knows: its own hand, every card played this round, how
// many cards each other seat holds, and who passed on what.
//
// A pass is a choice, not proof that the seat could not play, so passes
// weigh a deal rather than rule it out, with one exception: a seat that
// could have put its whole hand down on the play it passed on would have
// gone out and won the round; no player passes that up, so such a deal is
// refused outright. The other passes make a deal less likely by how often a
// player who could beat the play passes anyway (PassOdds), and deals are
// kept with that chance. The clues count the cards a seat held when it
// passed: the ones it holds now plus the ones it has played since.
#pragma once

#include <cstdint>
#include <vector>

#include "bot/bot_random.h"
#include "bot/round_record.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

// The chance, out of 256, that a player passes on a play of n cards (index n)
// although its hand holds a play of that size that beats it (and more cards
// besides). 256 makes such passes tell nothing.
struct PassOdds {
    std::uint16_t outOf256[PLAY_SIZE + 1] = {256, 256, 256, 256, 256, 256};
};

class DealSampler {
  public:
    // Reads what the view's seat knows: its own hand, the other seats' card
    // counts, and the round's record.
    DealSampler(const SeatView& view, const RoundRecord& record, const PassOdds& odds = PassOdds{});

    // True when the record covers the round and the cards the seat cannot
    // see are exactly as many as the other seats hold; Draw needs it.
    bool Valid() const { return valid_; }
    // The cards the seat cannot see (bit c = card c).
    std::uint64_t Unseen() const { return unseen_; }

    // Deals the unseen cards into `world`, a table that agrees with the
    // sampler's view (SeatView::PublicTable): each other seat's hand becomes as many unseen cards
    // as it holds, in hand order from position 0, NO_CARD after; nothing else changes. Tries up to
    // `tries` draws for one that the passes accept, then takes the most likely one drawn; a deal
    // that would have let a seat go out on a play it passed on is taken only when every draw was
    // such a deal. Only when Valid(). Returns the work done, in the units of DecisionWork
    // (bot/search.h): the draws tried and the passes weighed.
    int Draw(BotRandom& random, GameTable& world, int tries = 64) const;

  private:
    struct Clue {
        int seat;
        int tableCount;
        std::uint8_t tablePlay[PLAY_SIZE];
        int heldAtPass;
        std::uint64_t playedSince;  // cards the seat has put down since
    };
    // How likely the passes of the round are with these hands: 0 for a deal
    // that would have let a seat go out, else the product of PassOdds. Adds
    // the work done to `work`.
    double Likelihood(const std::uint64_t hands[SEAT_COUNT + 1], int& work) const;

    int seat_;
    PassOdds odds_;
    bool valid_ = false;
    std::uint64_t unseen_ = 0;
    int held_[SEAT_COUNT + 1] = {};
    std::vector<std::uint8_t> unseenCards_;
    std::vector<Clue> clues_;
};

// True when the cards of `hand` (bit c = card c) hold a play of n cards that
// beats the n-card play `tablePlay` (a buffer in hand order).
bool HoldsBeatingPlay(std::uint64_t hand, const std::uint8_t tablePlay[PLAY_SIZE], int n);
