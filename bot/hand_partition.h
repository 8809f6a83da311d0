// The split of a hand into plays.
//
// A hand of k cards (k <= 13, in hand order) is named by bit masks over its
// card indexes 0..k-1. A group is a mask of 2, 3 or 5 cards that the rules
// accept as a combination at a free lead; a single card is always a play. The
// partition gives every sub-hand the cheapest way to play it out as disjoint
// groups and singles, under costs the caller chooses, so one solve answers
// "what is left worth" for every move the seat could make; it works out only
// the sub-hands those answers need.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/game_table.h"

using CardMask = std::uint16_t;

// Every group of 2, 3 or 5 of the k cards (in hand order) that
// GameTable::IsValidPlay accepts, in ascending order of size, then of index.
std::vector<CardMask> FindGroups(const std::uint8_t* cards, int k);

class HandPartition {
  public:
    // Takes the k cards' costs: groupCost[i] is the cost of playing
    // groups[i], singleCost[j] the cost of playing card j alone. Each
    // sub-hand is solved when first asked for, and its answer kept until the
    // next Solve.
    void Solve(int k, const std::vector<CardMask>& groups, const std::vector<float>& groupCost,
               const float* singleCost);

    // The cheapest total cost of the cards in mask (0 for the empty mask).
    float Cost(CardMask mask) const;

    // The plays of the cheapest split of mask, single cards as one-bit masks,
    // in the order the solve takes them (the lowest card's play first).
    std::vector<CardMask> Split(CardMask mask) const;

  private:
    struct Group {
        CardMask mask;
        float cost;
    };
    // Solves mask and every sub-hand its cheapest split needs. Of several
    // splits of equal cost the first found wins: the lowest card alone, then
    // the groups holding it in the order given.
    void Evaluate(CardMask mask) const;

    float singleCost_[HAND_SIZE] = {};
    std::vector<Group> byLowest_;            // groups by their lowest card, in the order given
    int firstOfLowest_[HAND_SIZE + 1] = {};  // byLowest_ index of each lowest card's first group
    mutable std::vector<float> cost_;
    mutable std::vector<CardMask> choice_;
    mutable std::vector<std::uint8_t> known_;
};

// The least number of plays that empties the 13-position hand (NO_CARD
// positions are ignored).
int MinimumPlays(const std::uint8_t* hand);
