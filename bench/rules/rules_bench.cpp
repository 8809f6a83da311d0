// How fast the rules are: IsValidPlay and ComparePlays over all 2,598,960
// five-card hands, Play on a mid-game record, and random games per second.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/support/random_player.h"
#include "rules/game_table.h"
#include "tests/rules/legal_plays.h"

namespace {

using Hand = std::array<std::uint8_t, PLAY_SIZE>;

// Every five-card hand, each in hand order, in the order of enumeration.
const std::vector<Hand>& AllHands() {
    static const std::vector<Hand> hands = [] {
        auto card = [](int key) { return static_cast<std::uint8_t>((key % 4) * 13 + key / 4); };
        std::vector<Hand> all;
        all.reserve(2598960);
        for (int a = 0; a < 52; ++a)
            for (int b = a + 1; b < 52; ++b)
                for (int c = b + 1; c < 52; ++c)
                    for (int d = c + 1; d < 52; ++d)
                        for (int e = d + 1; e < 52; ++e)
                            all.push_back({card(a), card(b), card(c), card(d), card(e)});
        return all;
    }();
    return hands;
}

const std::vector<Hand>& LegalHands() {
    static const std::vector<Hand> hands = [] {
        std::vector<Hand> legal;
        for (const Hand& h : AllHands()) {
            if (GameTable::IsValidPlay(h.data(), 5)) legal.push_back(h);
        }
        return legal;
    }();
    return hands;
}

// Reports the time of one call as "per_call" (seconds, printed with an SI
// prefix: "6.5n" is 6.5 ns).
void CountCalls(benchmark::State& state, std::size_t callsPerIteration) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(callsPerIteration));
    state.counters["per_call"] = benchmark::Counter(
        static_cast<double>(callsPerIteration),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_IsValidPlay_AllHands(benchmark::State& state) {
    const auto& hands = AllHands();
    for (auto _ : state) {
        int legal = 0;
        for (const Hand& h : hands) legal += GameTable::IsValidPlay(h.data(), 5);
        benchmark::DoNotOptimize(legal);
    }
    CountCalls(state, hands.size());
}
BENCHMARK(BM_IsValidPlay_AllHands)->Unit(benchmark::kMillisecond);

// Against six-to-ten on the table: most hands are no combination and are
// turned away early; the legal ones go through the classification.
void BM_ComparePlays_AllHandsAgainstMidStraight(benchmark::State& state) {
    const auto& hands = AllHands();
    const Hand table = {5, 19, 33, 47, 9};  // six of diamonds ... ten of diamonds, mixed suits
    for (auto _ : state) {
        int beats = 0;
        for (const Hand& h : hands)
            beats += GameTable::ComparePlays(table.data(), h.data(), 5) == 1;
        benchmark::DoNotOptimize(beats);
    }
    CountCalls(state, hands.size());
}
BENCHMARK(BM_ComparePlays_AllHandsAgainstMidStraight)->Unit(benchmark::kMillisecond);

// Each hand of the list against the one before it.
template <typename Hands>
void CompareEachWithPrevious(benchmark::State& state, const Hands& hands) {
    for (auto _ : state) {
        int beats = 0;
        for (std::size_t i = 1; i < hands.size(); ++i) {
            beats += GameTable::ComparePlays(hands[i - 1].data(), hands[i].data(), 5) == 1;
        }
        benchmark::DoNotOptimize(beats);
    }
    CountCalls(state, hands.size() - 1);
}

void BM_ComparePlays_AllHandsAgainstPrevious(benchmark::State& state) {
    CompareEachWithPrevious(state, AllHands());
}
BENCHMARK(BM_ComparePlays_AllHandsAgainstPrevious)->Unit(benchmark::kMillisecond);

// Only the 19,716 legal hands, each against the one before: the full path.
void BM_ComparePlays_LegalHandsAgainstPrevious(benchmark::State& state) {
    CompareEachWithPrevious(state, LegalHands());
}
BENCHMARK(BM_ComparePlays_LegalHandsAgainstPrevious)->Unit(benchmark::kMicrosecond);

// A record in the middle of a round: random moves from a fixed deal until
// about twenty cards are down and the seat on turn must follow a play that it
// can beat. `accepted` is one such play; `refused` one of the same size that
// does not beat the table.
struct MidGame {
    GameTable table;
    std::array<std::uint8_t, HAND_SIZE> accepted{};
    std::array<std::uint8_t, HAND_SIZE> refused{};
};

const MidGame& PrepareMidGame() {
    static const MidGame mid = [] {
        for (std::uint32_t seed = 1;; ++seed) {
            MidGame m;
            m.table.DealWithSeed(seed, 1);
            RandomPlayer player(seed);
            int down = 0;
            while (!m.table.roundOver && down < 20) {
                const Move move = player.Choose(m.table, m.table.turn);
                if (move.pass) {
                    m.table.Pass(m.table.turn);
                } else {
                    m.table.Play(m.table.turn, move.chosen);
                    down += MoveSize(move);
                }
            }
            if (m.table.roundOver || m.table.leader == m.table.turn) continue;
            std::array<std::vector<rules_test::PlayChoice>, 6> plays;
            rules_test::ListLegalPlays(m.table, plays);
            if (plays[m.table.tableCount].empty()) continue;
            m.accepted = plays[m.table.tableCount].front().chosen;
            // The lowest cards of the same count: they do not beat the table.
            int n = 0;
            for (int p = 0; p < HAND_SIZE && n < m.table.tableCount; ++p) {
                if (m.table.hands[m.table.turn][p] != NO_CARD && m.accepted[p] == 0) {
                    m.refused[p] = 0xFF;
                    ++n;
                }
            }
            GameTable probe = m.table;
            if (n != m.table.tableCount || probe.Play(probe.turn, m.refused.data()) != 0) continue;
            return m;
        }
    }();
    return mid;
}

// Restoring the record by assignment is part of every iteration; the
// restore-only run gives the share to subtract.
void BM_Play_RestoreOnly(benchmark::State& state) {
    const MidGame& mid = PrepareMidGame();
    GameTable t = mid.table;
    for (auto _ : state) {
        t = mid.table;
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_Play_RestoreOnly);

void BM_Play_AcceptedPlusRestore(benchmark::State& state) {
    const MidGame& mid = PrepareMidGame();
    GameTable t = mid.table;
    state.SetLabel("following " + std::to_string(t.tableCount) + " card(s), " +
                   std::to_string(GameTable::CountCards(t.hands[t.turn], HAND_SIZE)) + " in hand");
    for (auto _ : state) {
        t = mid.table;
        benchmark::DoNotOptimize(t.Play(t.turn, mid.accepted.data()));
    }
}
BENCHMARK(BM_Play_AcceptedPlusRestore);

// A refused play changes nothing, so no restore is needed.
void BM_Play_RefusedDoesNotBeat(benchmark::State& state) {
    const MidGame& mid = PrepareMidGame();
    GameTable t = mid.table;
    for (auto _ : state) benchmark::DoNotOptimize(t.Play(t.turn, mid.refused.data()));
}
BENCHMARK(BM_Play_RefusedDoesNotBeat);

void BM_Play_RefusedNotOnTurn(benchmark::State& state) {
    const MidGame& mid = PrepareMidGame();
    GameTable t = mid.table;
    const int other = t.turn % 4 + 1;
    for (auto _ : state) benchmark::DoNotOptimize(t.Play(other, mid.accepted.data()));
}
BENCHMARK(BM_Play_RefusedNotOnTurn);

// One complete round per iteration: a new game dealt, then the random player
// on every seat until a seat goes out. Most of the time goes to listing the
// legal moves (every subset of one to five cards at a free lead).
void BM_RandomGames(benchmark::State& state) {
    GameTable t;
    RandomPlayer player(1);
    std::uint32_t seed = 0;
    std::int64_t moves = 0;
    for (auto _ : state) {
        t.DealWithSeed(seed++, 1);
        while (!t.roundOver) {
            const Move move = player.Choose(t, t.turn);
            if (move.pass) {
                t.Pass(t.turn);
            } else {
                t.Play(t.turn, move.chosen);
            }
            ++moves;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["games_per_s"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["moves_per_game"] =
        static_cast<double>(moves) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RandomGames);

}  // namespace
