// What a set of cards can form, for counting the cards still out.
#pragma once

#include <cstdint>

#include "rules/game_table.h"

// The strongest five-card hand that the available cards (available[c] for
// card c) can form, in hand order, by the table's own ranking
// (GameTable::ComparePlays). Any five-card hand of those cards that beats a
// play, this one beats too. Returns false, writing nothing, when they form
// no five-card hand.
bool StrongestFiveCardHand(const bool available[DECK_SIZE], std::uint8_t strongest[PLAY_SIZE]);
