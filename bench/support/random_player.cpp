#include "bench/support/random_player.h"

#include <vector>

#include "bot/bot_random.h"

std::uint64_t RandomPlayer::Next() {
    // The SplitMix64 output of a counter.
    return BotRandom(state_++).Next();
}

std::uint32_t RandomPlayer::Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
}

Move RandomPlayer::Choose(const GameTable& table, int seat) {
    const std::vector<Move> moves = LegalMoves(table, seat);
    if (moves.empty()) return PassMove();
    return moves[Below(static_cast<std::uint32_t>(moves.size()))];
}
