// A window killed with SIGKILL in the middle of a game against the computer
// loses at most the round in progress: every round it had finished is in the
// statistics database, which opens clean, and `vantoro --statistics` shows
// them. Real processes, each run with its own data and settings folders.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>

#include "record/statistics_store.h"

namespace {

TEST(KilledWindow, LosesAtMostTheRoundInProgress) {
    QTemporaryDir data;
    QTemporaryDir config;
    ASSERT_TRUE(data.isValid() && config.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(KEEPING_WINDOW), {});
    ASSERT_TRUE(window.waitForStarted(10000));
    QByteArray out;
    int told = 0;
    while (told < 4 && window.waitForReadyRead(30000)) {
        out += window.readAllStandardOutput();
        told = static_cast<int>(out.count("\n"));
    }
    ASSERT_GE(told, 4) << window.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(window.processId()), SIGKILL);
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(QProcess::CrashExit, window.exitStatus());
    out += window.readAllStandardOutput();
    told = static_cast<int>(out.count("\n"));

    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    StatisticsStore store;
    ASSERT_TRUE(store.Open(DefaultStatisticsPath()));
    EXPECT_TRUE(store.Problem().isEmpty()) << store.Problem().toStdString();
    const std::vector<KindSummary> kinds = store.Summaries(QStringLiteral("Kim"));
    ASSERT_EQ(1u, kinds.size());
    EXPECT_EQ("contre l'ordinateur (Facile)", kinds[0].label.toStdString());
    EXPECT_GE(kinds[0].rounds, told);
    EXPECT_LE(kinds[0].rounds, told + 1);

    // The program's own --statistics reads the same database.
    QProcess statistics;
    statistics.setProcessEnvironment(environment);
    statistics.start(QStringLiteral(VANTORO_PROGRAM), {QStringLiteral("--statistics")});
    ASSERT_TRUE(statistics.waitForFinished(20000));
    EXPECT_EQ(0, statistics.exitCode());
    EXPECT_EQ(StatisticsText(QStringLiteral("Kim"), kinds).toStdString(),
              QString::fromLocal8Bit(statistics.readAllStandardOutput()).toStdString());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
