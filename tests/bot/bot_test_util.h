// Hand-made positions for the computer player's tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bot/moves.h"
#include "rules/game_table.h"

namespace bot_test {

inline constexpr std::string_view kRanks = "A23456789TJQK";  // by rank index
inline constexpr std::string_view kSuits = "DCHS";           // by suit

// A card written as rank and suit: "3D" three of diamonds, "TH" ten of
// hearts, "2S" two of spades, "AC" ace of clubs.
inline std::uint8_t Card(const std::string& name) {
    const auto rank = kRanks.find(name.at(0));
    const auto suit = kSuits.find(name.at(1));
    if (name.size() != 2 || rank == std::string::npos || suit == std::string::npos) {
        throw std::invalid_argument("no such card: " + name);
    }
    return static_cast<std::uint8_t>(13 * suit + rank);
}

// Cards in hand order (rank index, then suit).
inline std::vector<std::uint8_t> Cards(const std::string& names) {
    std::vector<std::uint8_t> cards;
    std::istringstream in(names);
    for (std::string name; in >> name;) cards.push_back(Card(name));
    std::sort(cards.begin(), cards.end(), [](std::uint8_t a, std::uint8_t b) {
        return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
    });
    return cards;
}

// The cards as Card reads them, in the given order, separated by spaces.
inline std::string Names(const std::vector<std::uint8_t>& cards) {
    std::string names;
    for (std::uint8_t card : cards) {
        if (!names.empty()) names += ' ';
        names += kRanks.at(card % 13);
        names += kSuits.at(card / 13);
    }
    return names;
}

// A table in the middle of a round of a game that is not new: the given
// hands (positions 0 onward in hand order, NO_CARD after), `turn` on turn,
// and `play` (empty for a free lead) on the table, put down by `leader`.
// With `filler`, seat s also receives filler[s] cards that no hand and no
// play holds (the lowest unused ones), so that opponents can hold cards the
// seat on turn cannot know. Throws std::invalid_argument for a hand of more
// than HAND_SIZE cards or a play of more than PLAY_SIZE.
inline GameTable MakeTable(const std::string hands[SEAT_COUNT + 1], int turn, int leader,
                           const std::string& play, const int filler[SEAT_COUNT + 1] = nullptr) {
    GameTable table;
    std::memset(table.hands, NO_CARD, sizeof table.hands);
    std::memset(table.lastPlays, NO_CARD, sizeof table.lastPlays);
    std::memset(table.tablePlay, NO_CARD, sizeof table.tablePlay);
    std::memset(table.passed, 0, sizeof table.passed);
    std::memset(table.selection, 0, sizeof table.selection);
    bool used[DECK_SIZE] = {};
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        const std::vector<std::uint8_t> cards = Cards(hands[s]);
        if (cards.size() > HAND_SIZE) throw std::invalid_argument("too many cards: " + hands[s]);
        for (std::size_t p = 0; p < cards.size(); ++p) {
            table.hands[s][p] = cards[p];
            used[cards[p]] = true;
        }
    }
    const std::vector<std::uint8_t> onTable = Cards(play);
    if (onTable.size() > PLAY_SIZE) throw std::invalid_argument("too many cards: " + play);
    for (std::size_t i = 0; i < onTable.size(); ++i) {
        table.tablePlay[i] = onTable[i];
        table.lastPlays[leader][i] = onTable[i];
        used[onTable[i]] = true;
    }
    if (filler != nullptr) {
        int next = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            const int held = GameTable::CountCards(table.hands[s], HAND_SIZE);
            for (int p = held; p < held + filler[s]; ++p) {
                while (used[next]) ++next;
                table.hands[s][p] = static_cast<std::uint8_t>(next);
                used[next] = true;
            }
            std::sort(table.hands[s], table.hands[s] + held + filler[s],
                      [](std::uint8_t a, std::uint8_t b) {
                          return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
                      });
        }
    }
    table.tableCount = static_cast<std::int32_t>(onTable.size());
    table.turn = turn;
    table.leader = leader;
    table.roundOver = 0;
    table.mustOpenLowest = 0;
    return table;
}

// The cards a move plays, in hand order; empty for a pass.
inline std::vector<std::uint8_t> Played(const GameTable& table, int seat, const Move& move) {
    std::vector<std::uint8_t> cards;
    if (move.pass) return cards;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (move.chosen[p] != 0) cards.push_back(table.hands[seat][p]);
    }
    return cards;
}

// The table with the cards of every seat but `seat` dealt among them again,
// each keeping its count.
inline GameTable OthersReshuffled(const GameTable& table, int seat) {
    GameTable shuffled = table;
    std::vector<std::uint8_t> hidden;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (s == seat) continue;
        for (std::uint8_t card : table.hands[s]) {
            if (card != NO_CARD) hidden.push_back(card);
        }
    }
    std::rotate(hidden.begin(), hidden.begin() + static_cast<std::ptrdiff_t>(hidden.size() / 3),
                hidden.end());
    std::size_t next = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (s == seat) continue;
        for (std::uint8_t& card : shuffled.hands[s]) {
            if (card != NO_CARD) card = hidden[next++];
        }
        std::sort(shuffled.hands[s], shuffled.hands[s] + HAND_SIZE,
                  [](std::uint8_t a, std::uint8_t b) {
                      if (a == NO_CARD || b == NO_CARD) return b == NO_CARD && a != NO_CARD;
                      return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
                  });
    }
    return shuffled;
}

}  // namespace bot_test
