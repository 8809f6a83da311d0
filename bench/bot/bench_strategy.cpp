// The cost of one decision: the legal moves of a full hand at a free lead,
// and the strategy's choice there and when following.
#include <benchmark/benchmark.h>

#include "bot/moves.h"
#include "bot/strategy.h"

namespace {

GameTable OpeningTable(std::uint32_t seed) {
    GameTable table;
    table.DealWithSeed(seed, 1);
    return table;
}

void BM_LegalMovesAtOpening(benchmark::State& state) {
    const GameTable table = OpeningTable(7);
    for (auto _ : state) benchmark::DoNotOptimize(LegalMoves(table, table.turn));
}
BENCHMARK(BM_LegalMovesAtOpening);

void BM_LegalMovesFreeLead(benchmark::State& state) {
    GameTable table = OpeningTable(7);
    table.mustOpenLowest = 0;  // any combination may lead: the most moves
    for (auto _ : state) benchmark::DoNotOptimize(LegalMoves(table, table.turn));
}
BENCHMARK(BM_LegalMovesFreeLead);

void BM_ChooseFreeLeadFullHand(benchmark::State& state) {
    GameTable table = OpeningTable(static_cast<std::uint32_t>(state.range(0)));
    table.mustOpenLowest = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ChooseMove(table, table.turn));
}
BENCHMARK(BM_ChooseFreeLeadFullHand)->Arg(7)->Arg(11)->Arg(12345);

void BM_ChooseFollowSingle(benchmark::State& state) {
    GameTable table = OpeningTable(7);
    // The opening seat plays its three of diamonds alone; the next seat follows.
    std::uint8_t chosen[HAND_SIZE] = {};
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (table.hands[table.turn][p] == CARD_OPENING) chosen[p] = 1;
    }
    table.Play(table.turn, chosen);
    for (auto _ : state) benchmark::DoNotOptimize(ChooseMove(table, table.turn));
}
BENCHMARK(BM_ChooseFollowSingle);

}  // namespace
