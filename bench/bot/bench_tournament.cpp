// The strategy against three random players over complete rounds.
//
//   bench_tournament [rounds] [seed]     (defaults: 10000 rounds, seed 1)
//
// Prints the strategy seat's win rate (a player equal to the others wins 25%
// of the rounds; the strategy must win at least 60%), its average money per
// round, and the time of one decision (p50, p99, max). Exits with 1 when the
// win rate is under 60% or the table refused a move.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/support/tournament.h"

int main(int argc, char** argv) {
    TournamentConfig config;
    config.timeDecisions = true;
    if (argc > 1) config.rounds = std::atoi(argv[1]);
    if (argc > 2) config.seed = std::strtoull(argv[2], nullptr, 10);

    const auto start = std::chrono::steady_clock::now();
    TournamentResult result = RunTournament(config);
    const auto stop = std::chrono::steady_clock::now();

    std::printf("rounds             %d in %d games (seed %llu)\n", result.rounds, result.games,
                static_cast<unsigned long long>(config.seed));
    std::printf("strategy wins      %d = %.1f%%\n", result.strategyWins, 100.0 * result.WinRate());
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        const int rounds = result.roundsBySeat[s];
        std::printf("  in seat %d        %d of %d = %.1f%%\n", s, result.winsBySeat[s], rounds,
                    rounds > 0 ? 100.0 * result.winsBySeat[s] / rounds : 0.0);
    }
    std::printf("money per round    %+.2f\n", result.MoneyPerRound());
    std::printf("decisions          %lld\n", static_cast<long long>(result.strategyDecisions));
    std::printf("decision time us   p50 %.1f  p99 %.1f  max %.1f\n",
                result.decisionNanos.Percentile(0.50) / 1000.0,
                result.decisionNanos.Percentile(0.99) / 1000.0,
                result.decisionNanos.Max() / 1000.0);
    std::printf("refused moves      %lld\n", static_cast<long long>(result.refusedMoves));
    std::printf("unfinished rounds  %lld\n", static_cast<long long>(result.unfinishedRounds));
    std::printf("wall time s        %.1f\n", std::chrono::duration<double>(stop - start).count());

    const bool ok =
        result.WinRate() >= 0.60 && result.refusedMoves == 0 && result.unfinishedRounds == 0;
    return ok ? 0 : 1;
}
