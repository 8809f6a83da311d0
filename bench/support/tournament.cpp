#include "bench/support/tournament.h"

#include <chrono>

namespace {

// A round cannot need more actions than this: every four turns either a card
// leaves a hand or the lead comes back and a play must follow.
constexpr int MAX_ACTIONS_PER_ROUND = 4 * 2 * DECK_SIZE + 16;

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint32_t DealSeed(std::uint64_t seed, int round) {
    return static_cast<std::uint32_t>(
        Mix(seed * 0x100000001B3ull + static_cast<std::uint64_t>(round)) >> 16);
}

bool SomeoneBroke(const GameTable& table) {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (table.money[s] <= 0) return true;
    }
    return false;
}

}  // namespace

TournamentResult RunTournament(const TournamentConfig& config) {
    TournamentResult result;
    RandomPlayer random(Mix(config.seed ^ 0x5EEDull));
    RoundRecord record;  // the round so far, whose cards the strategy counts
    GameTable table;

    int strategySeat = 1;
    int roundsInGame = 0;
    table.DealWithSeed(DealSeed(config.seed, 0), 1);

    for (int round = 0; round < config.rounds; ++round) {
        record.NewRound();
        const std::int32_t moneyBefore = table.money[strategySeat];
        int actions = 0;
        while (table.roundOver == 0 && actions < MAX_ACTIONS_PER_ROUND) {
            const int seat = table.turn;
            Move move;
            if (seat == strategySeat) {
                const auto start = std::chrono::steady_clock::now();
                move = ChooseMove(SeatView(table, seat), config.useMemory ? &record : nullptr,
                                  config.params);
                const auto stop = std::chrono::steady_clock::now();
                ++result.strategyDecisions;
                if (config.timeDecisions) {
                    result.decisionNanos.Add(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(stop - start).count());
                }
            } else {
                move = random.Choose(table, seat);
            }
            if (record.Apply(table, seat, move) != 1) {
                ++result.refusedMoves;
                // Keep the round going with a move the table takes.
                const std::vector<Move> moves = LegalMoves(table, seat);
                if (moves.empty() || record.Apply(table, seat, moves.front()) != 1) break;
            }
            ++actions;
        }
        if (table.roundOver == 0) {
            ++result.unfinishedRounds;
            // Start over with a new game rather than play on from a stuck round.
            table.DealWithSeed(DealSeed(config.seed, round + 1), 1);
            continue;
        }

        ++result.rounds;
        if (++roundsInGame == 1) ++result.games;
        ++result.roundsBySeat[strategySeat];
        if (table.leader == strategySeat) {
            ++result.strategyWins;
            ++result.winsBySeat[strategySeat];
        }
        result.strategyMoney += table.money[strategySeat] - moneyBefore;

        if (SomeoneBroke(table) || roundsInGame >= config.maxRoundsPerGame) {
            strategySeat = strategySeat % SEAT_COUNT + 1;
            roundsInGame = 0;
            table.DealWithSeed(DealSeed(config.seed, round + 1), 1);
        } else {
            table.DealWithSeed(DealSeed(config.seed, round + 1), 0);
        }
    }
    return result;
}
