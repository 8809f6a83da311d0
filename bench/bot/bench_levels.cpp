// Matches between the levels on fixed deals (bench/support/match.h).
//
//   bench_levels TESTED OTHERS [deals] [seed] [first-deal] [budget]
//       TESTED against three OTHERS (random, easy, normal or hard); defaults
//       10000 deals (each played four times, the tested player in every
//       seat), seed 1, from deal 0, and the hard player's own budget.
//   bench_levels
//       the four matches the levels are measured by, over 200 deals each:
//       hard against normal and against random, normal against easy, easy
//       against random. The full 10000 deals of hard take hours; run them
//       one at a time on one core (nice taskset -c 1 bench_levels hard normal).
//
// Prints the tested player's rounds won, its money per round with the 95%
// confidence interval (from the per-deal means), the time of its decisions
// (all, and those a hard player searched: p50, p99, max; processor time of
// the deciding thread, then all decisions on the clock) and the process's
// peak memory after every 1000 deals, which must not grow once the first
// deals have warmed up (the times are kept in a histogram of fixed size; the
// money of each deal, 8 bytes a deal, is all the benchmark adds). Exits with
// 1 when the table refused a move or a round did not end.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/support/match.h"

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void PrintTimes(const char* name, const TimeHistogram& nanos) {
    std::printf("%-18s %lld: p50 %.3f  p99 %.3f  max %.3f ms\n", name,
                static_cast<long long>(nanos.Count()), nanos.Percentile(0.50) / 1.0e6,
                nanos.Percentile(0.99) / 1.0e6, nanos.Max() / 1.0e6);
}

// Plays one match in stretches of 1000 deals and prints it. True when no
// move was refused and every round ended.
bool Measure(Contender tested, Contender others, int deals, std::uint64_t seed, int firstDeal,
             const SearchParams& search = SearchParams{}) {
    MatchConfig config;
    config.lineup[0] = tested;
    config.lineup[1] = config.lineup[2] = config.lineup[3] = others;
    config.seed = seed;
    config.timeDecisions = true;
    config.search = search;

    std::printf(
        "== %s against three %s, %d deals x 4 seats from deal %d (seed %llu, budget %lld)\n",
        ContenderName(tested), ContenderName(others), deals, firstDeal,
        static_cast<unsigned long long>(seed), static_cast<long long>(search.budget));
    const long peakBefore = PeakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    MatchResult result;
    constexpr int kStretch = 1000;
    for (int done = 0; done < deals; done += kStretch) {
        config.firstDeal = firstDeal + done;
        config.deals = std::min(kStretch, deals - done);
        result.Merge(RunMatch(config));
        std::printf(
            "  after %5d deals: won %.2f%%, money %+.3f, peak memory %ld kB, %.0f s\n",
            done + config.deals, 100.0 * result.WinRate(), result.MoneyPerRound(), PeakKilobytes(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::fflush(stdout);
    }

    const double half = result.MoneyHalfWidth95();
    std::printf("rounds             %d\n", result.rounds);
    std::printf("rounds won         %d = %.2f%%\n", result.wins, 100.0 * result.WinRate());
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::printf("  in seat %d        %.2f%%\n", s,
                    100.0 * result.winsBySeat[s] / std::max(1, result.rounds / SEAT_COUNT));
    }
    std::printf("money per round    %+.3f, 95%% interval [%+.3f, %+.3f]\n", result.MoneyPerRound(),
                result.MoneyPerRound() - half, result.MoneyPerRound() + half);
    std::printf("decisions          %lld, searched %lld\n",
                static_cast<long long>(result.decisions),
                static_cast<long long>(result.searchedDecisions));
    PrintTimes("decision time", result.decisionNanos);
    PrintTimes("searched decisions", result.searchedNanos);
    PrintTimes("on the clock", result.clockNanos);
    std::printf("peak memory kB     %ld before, %ld after\n", peakBefore, PeakKilobytes());
    std::printf("refused moves      %lld\n", static_cast<long long>(result.refusedMoves));
    std::printf("unfinished rounds  %lld\n", static_cast<long long>(result.unfinishedRounds));
    std::printf("wall time s        %.1f\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::fflush(stdout);
    return result.refusedMoves == 0 && result.unfinishedRounds == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        bool ok = true;
        ok = Measure(Contender::kHard, Contender::kNormal, 200, 1, 0) && ok;
        ok = Measure(Contender::kHard, Contender::kRandom, 200, 1, 0) && ok;
        ok = Measure(Contender::kNormal, Contender::kEasy, 200, 1, 0) && ok;
        ok = Measure(Contender::kEasy, Contender::kRandom, 200, 1, 0) && ok;
        return ok ? 0 : 1;
    }
    Contender tested = Contender::kHard;
    Contender others = Contender::kNormal;
    if (argc < 3 || !ParseContender(argv[1], &tested) || !ParseContender(argv[2], &others)) {
        std::fprintf(stderr,
                     "usage: bench_levels [TESTED OTHERS [deals] [seed] [first-deal] [budget]]\n"
                     "       TESTED, OTHERS: random, easy, normal or hard\n");
        return 2;
    }
    const int deals = argc > 3 ? std::atoi(argv[3]) : 10000;
    const std::uint64_t seed = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1;
    const int firstDeal = argc > 5 ? std::atoi(argv[5]) : 0;
    SearchParams search;
    if (argc > 6) search.budget = std::atoll(argv[6]);
    return Measure(tested, others, deals, seed, firstDeal, search) ? 0 : 1;
}
