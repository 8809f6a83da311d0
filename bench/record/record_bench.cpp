// What keeping a game costs. In a temporary XDG_DATA_HOME:
//   BM_RecordRound         one round written to the statistics database, in
//                          its own transaction (the window does this at every
//                          round's end); counter db_bytes_per_1000_rounds, the
//                          database's size (WAL checkpointed) per 1,000 rounds
//   BM_OpenThousandRoundFile  a saved game of 1,000 rounds read, checked move
//                          by move by the rules and made ready to step through
//                          (what "Revoir une partie..." does before showing);
//                          counter file_kib
//   BM_StatisticsOfThousandRounds  the statistics table read back over 1,000
//                          rounds (what "Statistiques..." and --statistics do)
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "bench/support/recorded_game.h"
#include "record/game_file.h"
#include "record/statistics_store.h"

namespace {

FinishedRound SomeRound(int number) {
    FinishedRound round;
    round.gameStartedMs = 1765000000000 + number / 20;  // a game every 20 rounds
    round.endedMs = 1765000000000 + number;
    round.playerSeat = 1;
    round.number = number % 20 + 1;
    round.winner = number % 4 + 1;
    round.names[1] = QStringLiteral("Anne");
    for (int s = 2; s <= SEAT_COUNT; ++s) {
        round.names[s] = QStringLiteral("Ordi %1").arg(s);
        round.levels[s] = QStringLiteral("normal");
    }
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        round.paid[s] = s == round.winner ? 0 : (number * s) % 14;
        round.money[s] = 100 - round.paid[s];
    }
    return round;
}

void BM_RecordRound(benchmark::State& state) {
    QTemporaryDir data;
    const QString path = data.filePath(QStringLiteral("statistiques.sqlite"));
    std::int64_t rounds = 0;
    {
        StatisticsStore store;
        if (!store.Open(path)) {
            state.SkipWithError("the database cannot be opened");
            return;
        }
        for (auto _ : state) {
            if (!store.RecordRound(SomeRound(static_cast<int>(rounds)))) {
                state.SkipWithError("a round was not recorded");
                break;
            }
            ++rounds;
        }
        store.CloseGame(0);
    }
    {
        // Everything into the main file, so that its size is the database's.
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("size"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("size"));
    if (rounds > 0)
        state.counters["db_bytes_per_1000_rounds"] =
            static_cast<double>(QFileInfo(path).size()) * 1000.0 / static_cast<double>(rounds);
}
BENCHMARK(BM_RecordRound)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_OpenThousandRoundFile(benchmark::State& state) {
    const RecordedGame game = PlayRecordedGame(1000, 2026, false);
    GameFileHeader header;
    header.playerSeat = 1;
    const std::vector<std::uint8_t> bytes =
        EncodeGameFile(header, game.messages.data(), game.messages.size());
    for (auto _ : state) {
        GameFile file;
        GameFileError error;
        if (!ReadGameFile(bytes.data(), bytes.size(), &file, &error)) {
            state.SkipWithError(GameFileErrorText(error).c_str());
            break;
        }
        GameReplay replay(&file);
        benchmark::DoNotOptimize(replay.PositionCount());
    }
    state.counters["file_kib"] = static_cast<double>(bytes.size()) / 1024.0;
}
BENCHMARK(BM_OpenThousandRoundFile)->Unit(benchmark::kMillisecond);

void BM_StatisticsOfThousandRounds(benchmark::State& state) {
    QTemporaryDir data;
    StatisticsStore store;
    store.Open(data.filePath(QStringLiteral("statistiques.sqlite")));
    for (int n = 0; n < 1000; ++n) store.RecordRound(SomeRound(n));
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Summaries(QStringLiteral("Anne")));
        benchmark::DoNotOptimize(store.MoneyPerGame(QStringLiteral("Anne"), 50));
    }
}
BENCHMARK(BM_StatisticsOfThousandRounds)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
