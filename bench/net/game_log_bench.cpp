// The host's game log, from which a newcomer who takes a computer-held seat
// over is replayed: a host with three computer seats (vantoro-bot --host
// --fill, in this process, no think time) plays rounds, and the log's size
// is read after each batch. Counters: bytes_per_round, bytes_per_message
// (a play is 15 bytes, a pass 2, a deal 66) and the log's size in KiB after
// all the rounds of the run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>

#include "bot/bot_player.h"
#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"

namespace {

void BM_GameLogOfAComputerTable(benchmark::State& state) {
    const int rounds = static_cast<int>(state.range(0));
    SetDealSeedSource([seed = std::uint32_t{20261208}]() mutable { return seed++; });
    ResetSeatTable();
    GameTable table;
    g_table = &table;
    BotOptions options;
    options.name = "Hote";
    options.delayMs = 0;
    options.roundPauseMs = 0;
    std::size_t bytes = 0;
    std::size_t messages = 0;
    for (auto _ : state) {
        BotPlayer host(options, stdout, stderr);
        StartNetwork();
        if (HostTable("Hote", "127.0.0.1", "0").step != ConnectStep::Connected) {
            state.SkipWithError("could not host");
            break;
        }
        FillEmptySeatsWithComputer();
        while (g_table->roundsPlayed < rounds) QCoreApplication::processEvents();
        bytes = g_gameLog.GameSize();
        messages = 0;
        for (std::size_t at = 0; at < bytes; ++messages) {
            at += FrameAt(g_gameLog.GameData() + at, bytes - at).size;
        }
        Disconnect();
    }
    state.counters["bytes_per_round"] = static_cast<double>(bytes) / rounds;
    state.counters["bytes_per_message"] =
        static_cast<double>(bytes) / static_cast<double>(messages);
    state.counters["log_KiB"] = static_cast<double>(bytes) / 1024.0;
    g_table = nullptr;
    SetDealSeedSource(nullptr);
}
BENCHMARK(BM_GameLogOfAComputerTable)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
