// The statistics database: scripted rounds land in it and give the numbers
// of the statistics, `vantoro --statistics` prints the same table, a damaged
// or unopenable database gives its message (the damaged file kept aside),
// and a process killed in the middle of a game loses at most its round in
// progress. Every test has its own XDG_DATA_HOME.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>

#include "record/statistics_store.h"

namespace {

class StatisticsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data_.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    QTemporaryDir data_;
};

// One round of `player` (at `seat`): what each seat paid, winner `winner`.
FinishedRound Round(std::int64_t game, int number, const QString& player, int seat, int winner,
                    std::array<int, 4> paid, bool computer) {
    FinishedRound round;
    round.gameStartedMs = game;
    round.endedMs = game + number;
    round.playerSeat = seat;
    round.number = number;
    round.winner = winner;
    int total = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        round.names[s] = s == seat ? player : QStringLiteral("Autre %1").arg(s);
        if (computer && s != seat) round.levels[s] = QStringLiteral("normal");
        round.paid[s] = paid[static_cast<std::size_t>(s - 1)];
        total += round.paid[s];
    }
    for (int s = 1; s <= SEAT_COUNT; ++s)
        round.money[s] = 100 + (s == winner ? total : -round.paid[s]) * number;
    return round;
}

TEST_F(StatisticsStoreTest, ScriptedRoundsGiveTheStatisticsAndTheCommandLineAgrees) {
    {
        StatisticsStore store;
        ASSERT_TRUE(store.Open(DefaultStatisticsPath())) << store.Problem().toStdString();
        EXPECT_TRUE(store.Problem().isEmpty());
        // Against the computer (Normal), Anne at seat 1: +10, -4, +3, +6.
        ASSERT_TRUE(store.RecordRound(Round(1000, 1, "Anne", 1, 1, {0, 3, 5, 2}, true)));
        ASSERT_TRUE(store.RecordRound(Round(1000, 2, "Anne", 1, 2, {4, 0, 1, 1}, true)));
        ASSERT_TRUE(store.RecordRound(Round(1000, 3, "Anne", 1, 1, {0, 1, 1, 1}, true)));
        ASSERT_TRUE(store.RecordRound(Round(1000, 4, "Anne", 1, 1, {0, 2, 2, 2}, true)));
        // A new game (its start differs) closes the one before: in the
        // network, Anne at seat 3: +3, -7.
        ASSERT_TRUE(store.RecordRound(Round(5000, 1, "Anne", 3, 3, {1, 1, 0, 1}, false)));
        ASSERT_TRUE(store.RecordRound(Round(5000, 2, "Anne", 3, 1, {0, 2, 7, 1}, false)));
        // Someone else's game counts for nobody else.
        ASSERT_TRUE(store.RecordRound(Round(9000, 1, "Bruno", 2, 2, {9, 0, 9, 9}, false)));
        store.CloseGame(9999);

        const std::vector<KindSummary> kinds = store.Summaries(QStringLiteral("Anne"));
        ASSERT_EQ(2u, kinds.size());
        const KindSummary& computer = kinds[0];
        EXPECT_EQ("contre l'ordinateur (Normal)", computer.label.toStdString());
        EXPECT_EQ(1, computer.games);
        EXPECT_EQ(4, computer.rounds);
        EXPECT_EQ(3, computer.roundsWon);
        EXPECT_EQ(15, computer.moneyWon);
        EXPECT_EQ(10, computer.bestRound);
        EXPECT_EQ(-4, computer.worstRound);
        EXPECT_EQ(2, computer.longestRun);
        const KindSummary& network = kinds[1];
        EXPECT_EQ("en réseau", network.label.toStdString());
        EXPECT_EQ(1, network.games);
        EXPECT_EQ(2, network.rounds);
        EXPECT_EQ(1, network.roundsWon);
        EXPECT_EQ(-4, network.moneyWon);
        EXPECT_EQ(3, network.bestRound);
        EXPECT_EQ(-7, network.worstRound);
        EXPECT_EQ(1, network.longestRun);
        // Money at each game's end, oldest first: 100 + 6 * 4, 100 - 7 * 2.
        EXPECT_EQ((std::vector<int>{124, 86}), store.MoneyPerGame(QStringLiteral("Anne"), 50));
        EXPECT_EQ("Bruno", store.LatestNickname().toStdString());
    }

    // The program prints the same table, for the nickname asked for.
    StatisticsStore store;
    ASSERT_TRUE(store.Open(DefaultStatisticsPath()));
    const QString expected =
        StatisticsText(QStringLiteral("Anne"), store.Summaries(QStringLiteral("Anne")));
    if (QString(VANTORO_PROGRAM).isEmpty()) GTEST_SKIP() << "built without the window";
    QProcess program;
    program.setProcessEnvironment(Environment());
    program.start(
        QStringLiteral(VANTORO_PROGRAM),
        {QStringLiteral("--statistics"), QStringLiteral("--nickname"), QStringLiteral("Anne")});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(0, program.exitCode());
    EXPECT_EQ(expected.toStdString(),
              QString::fromLocal8Bit(program.readAllStandardOutput()).toStdString());
    EXPECT_NE(std::string::npos, expected.toStdString().find("3 (75.0 %)"));

    // "Effacer les statistiques" forgets everything.
    ASSERT_TRUE(store.Clear());
    EXPECT_TRUE(store.Summaries(QStringLiteral("Anne")).empty());
    EXPECT_TRUE(store.MoneyPerGame(QStringLiteral("Anne"), 50).empty());
}

TEST_F(StatisticsStoreTest, DamagedDatabaseIsKeptAsideAndUnopenableOneIsTold) {
    const QString path = DefaultStatisticsPath();
    QDir().mkpath(VantoroDataFolder());
    const QByteArray garbage("not a database, written over by something else\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage.repeated(200));
    }
    StatisticsStore store;
    EXPECT_TRUE(store.Open(path));
    EXPECT_NE(-1, store.Problem().indexOf(QStringLiteral("endommagée")));
    ASSERT_FALSE(store.SetAsidePath().isEmpty());
    EXPECT_NE(-1, store.Problem().indexOf(store.SetAsidePath()));
    EXPECT_TRUE(store.SetAsidePath().startsWith(path + QStringLiteral(".endommagee-")));
    QFile aside(store.SetAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(garbage.repeated(200), aside.readAll());  // kept, byte for byte
    // The new database works.
    EXPECT_TRUE(store.RecordRound(Round(1, 1, "Anne", 1, 1, {0, 1, 1, 1}, true)));

    // A database whose folder cannot be made: told, and nothing is kept.
    QFile blocker(data_.path() + QStringLiteral("/fichier"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    StatisticsStore blocked;
    EXPECT_FALSE(blocked.Open(blocker.fileName() + QStringLiteral("/Vantoro/statistiques.sqlite")));
    EXPECT_FALSE(blocked.IsOpen());
    EXPECT_NE(-1, blocked.Problem().indexOf(QStringLiteral("sans statistiques")));
    EXPECT_FALSE(blocked.RecordRound(Round(1, 1, "Anne", 1, 1, {0, 1, 1, 1}, true)));
}

TEST_F(StatisticsStoreTest, KilledProcessLosesAtMostTheRoundInProgress) {
    QProcess writer;
    writer.setProcessEnvironment(Environment());
    writer.start(QStringLiteral(ROUND_WRITER), {QStringLiteral("1000"), QStringLiteral("5")});
    ASSERT_TRUE(writer.waitForStarted(10000));
    // Kill it with SIGKILL once it has told of round 7 (it goes on writing).
    int told = 0;
    QByteArray out;
    while (told < 7 && writer.waitForReadyRead(10000)) {
        out += writer.readAllStandardOutput();
        told = static_cast<int>(out.count("\n"));
    }
    ASSERT_GE(told, 7);
    ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
    ASSERT_TRUE(writer.waitForFinished(10000));
    EXPECT_EQ(QProcess::CrashExit, writer.exitStatus());
    out += writer.readAllStandardOutput();
    told = static_cast<int>(out.count("\n"));

    StatisticsStore store;
    ASSERT_TRUE(store.Open(DefaultStatisticsPath()));
    EXPECT_TRUE(store.Problem().isEmpty()) << store.Problem().toStdString();
    const std::vector<KindSummary> kinds = store.Summaries(QStringLiteral("Anne"));
    ASSERT_EQ(1u, kinds.size());
    // Every round told is there; at most the one being written when killed is not.
    EXPECT_GE(kinds[0].rounds, told);
    EXPECT_LE(kinds[0].rounds, told + 1);
    EXPECT_EQ("contre l'ordinateur (Difficile)", kinds[0].label.toStdString());
}

}  // namespace
