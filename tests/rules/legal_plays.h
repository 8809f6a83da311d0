// The legal plays of the seat on turn, listed with the combination rules alone
// (not with the computer player's move generator, which the rules tests must
// not trust), and a small generator for the tests' random probes. Header-only
// so that the rules' benchmarks can use the same list.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rules/game_table.h"

namespace rules_test {

// A small deterministic generator (xorshift64*), the same on every machine.
class TestRandom {
  public:
    explicit TestRandom(std::uint64_t seed) : state_(seed * 2 + 1) {}
    std::uint32_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 2685821657736338717ull) >> 32);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint64_t state_;
};

struct PlayChoice {
    std::array<std::uint8_t, HAND_SIZE> chosen{};
    int size = 0;
};

// Every play the seat on turn may make: the three of diamonds at the opening
// of a game; any combination at a free lead; otherwise as many cards as on the
// table that beat them. `plays[k]` lists the plays of k cards.
inline void ListLegalPlays(const GameTable& t, std::array<std::vector<PlayChoice>, 6>& plays) {
    for (auto& list : plays) list.clear();
    const int seat = t.turn;
    if (seat < 1 || seat > SEAT_COUNT || t.roundOver != 0) return;
    const bool freeLead = t.tableCount == 0 || t.leader == seat;
    int held[HAND_SIZE];
    int count = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (t.hands[seat][p] != NO_CARD) held[count++] = p;
    }
    for (int size : {1, 2, 3, 5}) {
        if (!freeLead && size != t.tableCount) continue;
        if (size > count) continue;
        int pick[5];
        for (int i = 0; i < size; ++i) pick[i] = i;
        for (;;) {
            std::uint8_t buffer[PLAY_SIZE] = {NO_CARD, NO_CARD, NO_CARD, NO_CARD, NO_CARD};
            bool opening = false;
            for (int i = 0; i < size; ++i) {
                buffer[i] = t.hands[seat][held[pick[i]]];
                opening = opening || buffer[i] == CARD_OPENING;
            }
            const bool legal = (t.mustOpenLowest == 0 || opening) &&
                               (freeLead ? GameTable::IsValidPlay(buffer, size) == 1
                                         : GameTable::ComparePlays(t.tablePlay, buffer, size) == 1);
            if (legal) {
                PlayChoice choice;
                choice.size = size;
                for (int i = 0; i < size; ++i) choice.chosen[held[pick[i]]] = 0xFF;
                plays[size].push_back(choice);
            }
            // Next subset of `size` indexes out of `count`, in ascending order.
            int i = size - 1;
            while (i >= 0 && pick[i] == count - size + i) --i;
            if (i < 0) break;
            ++pick[i];
            for (int k = i + 1; k < size; ++k) pick[k] = pick[k - 1] + 1;
        }
    }
}

}  // namespace rules_test
