// The player that knows the rules and nothing else: it picks uniformly among
// the seat's legal moves (LegalMoves, the pass included when it is allowed).
// The benchmarks seat it against the computer player, the tests play random
// games with it, and it is deterministic for a seed on every machine and
// standard library (its own generator, no library distribution).
#pragma once

#include <cstdint>

#include "bot/moves.h"
#include "rules/game_table.h"

class RandomPlayer {
  public:
    explicit RandomPlayer(std::uint64_t seed) : state_(seed) {}
    // One of LegalMoves(table, seat); a pass, which the table refuses, when
    // the seat has no move (not on turn, round over).
    Move Choose(const GameTable& table, int seat);
    // A value in [0, bound), bound > 0, from the same generator.
    std::uint32_t Below(std::uint32_t bound);

  private:
    std::uint64_t Next();
    std::uint64_t state_;
};
