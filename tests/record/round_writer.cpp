// Plays random rounds and records each finished one in the statistics
// database ($XDG_DATA_HOME/Vantoro) exactly as the window does, one
// transaction per round, printing "round N" once round N is committed.
// Usage: round_writer ROUNDS DELAY_MS. The kill test stops it with SIGKILL.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <QCoreApplication>

#include "bench/support/random_player.h"
#include "record/statistics_store.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const int rounds = std::atoi(argv[1]);
    const int delayMs = std::atoi(argv[2]);
    QCoreApplication application(argc, argv);
    StatisticsStore store;
    if (!store.Open(DefaultStatisticsPath())) return 1;
    RandomPlayer player(11);
    GameTable table;
    for (int round = 0; round < rounds; ++round) {
        table.DealWithSeed(static_cast<std::uint32_t>(round + 1), round == 0 ? 1 : 0);
        while (table.roundOver == 0) {
            const Move move = player.Choose(table, table.turn);
            if (move.pass)
                table.Pass(table.turn);
            else
                table.Play(table.turn, move.chosen);
        }
        FinishedRound finished;
        finished.gameStartedMs = 1000;
        finished.endedMs = 2000 + round;
        finished.playerSeat = 1;
        finished.number = table.roundsPlayed;
        finished.winner = table.leader;
        finished.names[1] = QStringLiteral("Anne");
        for (int s = 2; s <= SEAT_COUNT; ++s) {
            finished.names[s] = QStringLiteral("Ordi %1").arg(s);
            finished.levels[s] = QStringLiteral("hard");
        }
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            finished.paid[s] = table.history[table.roundsPlayed - 1].charged[s];
            finished.money[s] = table.money[s];
        }
        if (!store.RecordRound(finished)) return 1;
        std::printf("round %d\n", finished.number);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    }
    store.CloseGame(9999);
    return 0;
}
