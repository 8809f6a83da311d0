// The cost of one decision: the legal moves of a full hand at a free lead,
// and the strategy's choice there and when following.
#include <benchmark/benchmark.h>

#include <cstring>

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
    for (auto _ : state) benchmark::DoNotOptimize(ChooseMove(SeatView(table, table.turn)));
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
    for (auto _ : state) benchmark::DoNotOptimize(ChooseMove(SeatView(table, table.turn)));
}
BENCHMARK(BM_ChooseFollowSingle);

// A hand full of runs and full houses: three threes, fours and fives, two
// sixes and sevens hold 108 runs and dozens of full houses, the most work a
// split of the hand can take.
void BM_ChooseManyCombinations(benchmark::State& state) {
    GameTable table = OpeningTable(7);
    // Threes, fours and fives of diamonds, clubs and hearts, sixes and sevens
    // of diamonds and clubs to seat 1; the other cards in order to seats 2 to 4.
    const std::uint8_t hand[HAND_SIZE] = {2, 15, 28, 3, 16, 29, 4, 17, 30, 5, 18, 6, 19};
    bool mine[DECK_SIZE] = {};
    for (std::uint8_t card : hand) mine[card] = true;
    std::memcpy(table.hands[1], hand, HAND_SIZE);
    int next = 0;
    for (int s = 2; s <= SEAT_COUNT; ++s) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            while (mine[next]) ++next;
            table.hands[s][p] = static_cast<std::uint8_t>(next++);
        }
    }
    table.SortHands();
    table.mustOpenLowest = 0;
    table.turn = table.leader = 1;
    for (auto _ : state) benchmark::DoNotOptimize(ChooseMove(SeatView(table, 1)));
}
BENCHMARK(BM_ChooseManyCombinations);

}  // namespace
