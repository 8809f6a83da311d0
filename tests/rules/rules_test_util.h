// Helpers shared by the rules tests: readable cards, play buffers, fixed
// deals and raw snapshots of a record.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "rules/game_table.h"

namespace rules_test {

enum Rank { ACE, TWO, THREE, FOUR, FIVE, SIX, SEVEN, EIGHT, NINE, TEN, JACK, QUEEN, KING };
enum Suit { DIAMONDS, CLUBS, HEARTS, SPADES };

constexpr std::uint8_t Card(int rank, int suit) {
    return static_cast<std::uint8_t>(suit * 13 + rank);
}

// A card of each suit by rank: D(THREE) is the three of diamonds.
constexpr std::uint8_t D(int rank) {
    return Card(rank, DIAMONDS);
}
constexpr std::uint8_t Cl(int rank) {
    return Card(rank, CLUBS);
}
constexpr std::uint8_t H(int rank) {
    return Card(rank, HEARTS);
}
constexpr std::uint8_t S(int rank) {
    return Card(rank, SPADES);
}

// Position of a card in hand order: rank index first, then suit.
constexpr int HandOrderKey(std::uint8_t card) {
    return (card % 13) * 4 + card / 13;
}

inline void SortIntoHandOrder(std::vector<std::uint8_t>& cards) {
    std::sort(cards.begin(), cards.end(),
              [](std::uint8_t a, std::uint8_t b) { return HandOrderKey(a) < HandOrderKey(b); });
}

using Group = std::array<std::uint8_t, PLAY_SIZE>;
using Chosen = std::array<std::uint8_t, HAND_SIZE>;

// A play buffer holding these cards in hand order, NO_CARD after them.
inline Group G(std::initializer_list<std::uint8_t> cards) {
    std::vector<std::uint8_t> sorted(cards);
    SortIntoHandOrder(sorted);
    Group g;
    g.fill(NO_CARD);
    std::copy(sorted.begin(), sorted.end(), g.begin());
    return g;
}

// Puts these hands (any order, at most 13 cards each) into the record sorted
// into hand order, then runs the steps a client runs after a new-game deal.
inline void InstallNewGame(GameTable& t, const std::array<std::vector<std::uint8_t>, 4>& hands) {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::vector<std::uint8_t> cards = hands[s - 1];
        SortIntoHandOrder(cards);
        std::memset(t.hands[s], NO_CARD, HAND_SIZE);
        std::copy(cards.begin(), cards.end(), t.hands[s]);
    }
    t.ResetRound();
    t.StartNewGame();
}

// The 13 chosen bytes that pick the positions of the seat's hand holding
// these cards.
inline Chosen Choose(const GameTable& t, int seat, std::initializer_list<std::uint8_t> cards) {
    Chosen chosen{};
    for (std::uint8_t card : cards) {
        const std::uint8_t* hand = t.hands[seat];
        const std::uint8_t* at = std::find(hand, hand + HAND_SIZE, card);
        if (at == hand + HAND_SIZE) {
            ADD_FAILURE() << "seat " << seat << " does not hold card " << int(card);
        } else {
            chosen[static_cast<std::size_t>(at - hand)] = 0xFF;
        }
    }
    return chosen;
}

inline int PlayCards(GameTable& t, int seat, std::initializer_list<std::uint8_t> cards) {
    const Chosen chosen = Choose(t, seat, cards);
    return t.Play(seat, chosen.data());
}

// The raw bytes of every field of the record except the history pointer
// (padding left out), followed by the roundsPlayed records it points to.
inline std::vector<unsigned char> Snapshot(const GameTable& t) {
    std::vector<unsigned char> bytes;
    auto add = [&bytes](const auto& field) {
        const auto* raw = reinterpret_cast<const unsigned char*>(&field);
        bytes.insert(bytes.end(), raw, raw + sizeof field);
    };
    add(t.hands);
    add(t.lastPlays);
    add(t.tablePlay);
    add(t.leader);
    add(t.turn);
    add(t.tableCount);
    add(t.selection);
    add(t.passed);
    add(t.roundOver);
    add(t.roundsPlayed);
    add(t.money);
    add(t.wins);
    add(t.mustOpenLowest);
    if (t.history != nullptr && t.roundsPlayed > 0) {
        const auto* records = reinterpret_cast<const unsigned char*>(t.history);
        bytes.insert(bytes.end(), records, records + t.roundsPlayed * sizeof(RoundResult));
    }
    return bytes;
}

// Restores the default seed source when a test that installed its own ends.
class SeedSourceGuard {
  public:
    SeedSourceGuard() = default;
    ~SeedSourceGuard() { SetDealSeedSource(nullptr); }
    SeedSourceGuard(const SeedSourceGuard&) = delete;
    SeedSourceGuard& operator=(const SeedSourceGuard&) = delete;
};

}  // namespace rules_test
