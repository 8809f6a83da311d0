// Four computer players at one table on 127.0.0.1, as four processes speaking
// the real protocol: every copy of the game must stay equal to the host's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "net/wire.h"
#include "tests/e2e/bot_process.h"
#include "tests/support/scripted_peer.h"

namespace {

QStringList HostArgs(int port, int rounds, int delayMs, int seed) {
    QStringList args{"--host",        QStringLiteral("127.0.0.1:%1").arg(port),
                     "--name",        "Host",
                     "--deal-seed",   QString::number(seed),
                     "--delay",       QString::number(delayMs),
                     "--round-pause", "0",
                     "--trace",       "--verbose"};
    if (rounds > 0) args << "--rounds" << QString::number(rounds);
    return args;
}

QStringList JoinArgs(int port, const QString& name, int rounds, int delayMs) {
    QStringList args{"--join",        QStringLiteral("127.0.0.1:%1").arg(port),
                     "--name",        name,
                     "--delay",       QString::number(delayMs),
                     "--round-pause", "0",
                     "--trace",       "--verbose"};
    if (rounds > 0) args << "--rounds" << QString::number(rounds);
    return args;
}

// Plays `rounds` rounds at a table of four bots and checks every copy.
void PlayRounds(int rounds, int timeoutMs) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    BotProcess host(HostArgs(port, rounds, 0, 20261208));
    ASSERT_TRUE(host.WaitForLog("hosting on", 10000)) << host.Log().toStdString();
    std::vector<std::unique_ptr<BotProcess>> clients;
    for (int n = 1; n <= 3; ++n) {
        clients.push_back(std::make_unique<BotProcess>(
            JoinArgs(port, QStringLiteral("Client%1").arg(n), rounds, 0)));
    }
    EXPECT_EQ(host.WaitForExit(timeoutMs), 0) << host.Log().toStdString();
    for (auto& client : clients)
        EXPECT_EQ(client->WaitForExit(10000), 0) << client->Log().toStdString();

    const std::vector<TraceState> hostStates = Distinct(ParseTrace(host.Output()));
    ASSERT_FALSE(hostStates.empty());
    EXPECT_GE(hostStates.back().rounds, rounds) << "the host left before the rounds were played";
    for (const TraceState& s : hostStates) ASSERT_EQ(s.MoneySum(), 400);

    for (auto& client : clients) {
        const std::vector<TraceState> states = Distinct(ParseTrace(client->Output()));
        for (const TraceState& s : states) ASSERT_EQ(s.MoneySum(), 400);
        std::size_t matched = 0;
        const std::string disagreement = FollowsHost(hostStates, states, &matched);
        EXPECT_EQ(disagreement, "");
        // Every move of every round is a state: far more than one per round.
        EXPECT_GT(matched, static_cast<std::size_t>(rounds) * 10);
    }
}

TEST(Soak, FourBotsPlayTwentyRoundsAndAgreeOnEveryState) {
    PlayRounds(20, 120000);
}

TEST(SoakLong, FourBotsPlayFiveHundredRounds) {
    PlayRounds(500, 1800000);
}

// Checks that every client's trace follows the host's.
void ExpectInStep(BotProcess& host, std::vector<BotProcess*> clients) {
    const std::vector<TraceState> hostStates = Distinct(ParseTrace(host.Output()));
    ASSERT_FALSE(hostStates.empty());
    for (BotProcess* client : clients) {
        const std::vector<TraceState> states = Distinct(ParseTrace(client->Output()));
        std::size_t matched = 0;
        EXPECT_EQ(FollowsHost(hostStates, states, &matched), "") << client->Log().toStdString();
        EXPECT_GT(matched, 10u);
    }
}

TEST(TableEvents, AKilledPlayersSeatIsKeptAndTakenOverWithEveryCopyInStep) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    // Slow enough that the table is still playing while players come and go.
    BotProcess host(HostArgs(port, 14, 20, 7));
    ASSERT_TRUE(host.WaitForLog("hosting on", 10000));
    BotProcess a(JoinArgs(port, "Anna", 0, 20));
    ASSERT_TRUE(host.WaitForLog("\"Anna\" is ready.", 10000)) << host.Log().toStdString();
    BotProcess b(JoinArgs(port, "Ben", 0, 20));
    ASSERT_TRUE(host.WaitForLog("\"Ben\" is ready.", 10000)) << host.Log().toStdString();
    auto c = std::make_unique<BotProcess>(JoinArgs(port, "Cleo", 0, 20));
    ASSERT_TRUE(host.WaitForLog("[status] Game started", 10000)) << host.Log().toStdString();

    // A fifth player, while every seat holds a person, is turned away and
    // leaves normally; the table plays on.
    BotProcess fifth(JoinArgs(port, "Fifth", 0, 20));
    EXPECT_EQ(fifth.WaitForExit(10000), 0);
    EXPECT_TRUE(fifth.Log().contains("[Vantoro]>> Host connection full."));
    EXPECT_TRUE(fifth.Log().contains("[Vantoro]>> Host connection closed."));
    EXPECT_FALSE(host.Log().contains("\"Fifth\""));

    // A player killed in mid-game: the others see it leave and the computer
    // take its seat, and the game goes on.
    ASSERT_TRUE(host.WaitForLog("[round] 2 finished", 20000)) << host.Log().toStdString();
    c->Kill();
    for (BotProcess* copy : {&host, &a, &b}) {
        EXPECT_TRUE(copy->WaitForLog("[Vantoro]>> \"Cleo\" has left.", 10000));
        EXPECT_TRUE(copy->WaitForLog("[Vantoro]>> \"Cleo (ordi)\" is ready.", 10000))
            << copy->Log().toStdString();
    }

    // A newcomer takes the seat over from the computer, is replayed the game
    // so far, and plays on in step until the host leaves after its rounds.
    BotProcess d(JoinArgs(port, "Dora", 0, 20));
    ASSERT_TRUE(host.WaitForLog("[Vantoro]>> \"Dora\" is ready.", 10000))
        << host.Log().toStdString();
    EXPECT_TRUE(a.WaitForLog("[Vantoro]>> \"Cleo (ordi)\" has left.", 10000));
    EXPECT_EQ(host.WaitForExit(120000), 0) << host.Log().toStdString();
    for (BotProcess* client : {&a, &b, &d}) EXPECT_EQ(client->WaitForExit(10000), 0);

    // One game from the first deal to the last: nobody was dealt a new one.
    const std::vector<TraceState> hostStates = Distinct(ParseTrace(host.Output()));
    ASSERT_FALSE(hostStates.empty());
    EXPECT_GE(hostStates.back().rounds, 14);
    for (const TraceState& s : hostStates) ASSERT_EQ(s.MoneySum(), 400);
    ExpectInStep(host, {&a, &b, c.get(), &d});
    const std::vector<TraceState> dora = Distinct(ParseTrace(d.Output()));
    ASSERT_FALSE(dora.empty());
    EXPECT_EQ(dora.back(), hostStates.back());
}

// A seated player who types the program's own notice into the chat cannot
// make the computer players leave: they learn that their table closed from
// the network code, never from the text of a chat line.
TEST(TableEvents, AChatLineImitatingANoticeMakesNoComputerPlayerLeave) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    BotProcess host(HostArgs(port, 0, 20, 11));
    ASSERT_TRUE(host.WaitForLog("hosting on", 10000));
    BotProcess a(JoinArgs(port, "Anna", 0, 20));
    ASSERT_TRUE(host.WaitForLog("\"Anna\" is ready.", 10000)) << host.Log().toStdString();
    BotProcess b(JoinArgs(port, "Ben", 0, 20));
    ASSERT_TRUE(host.WaitForLog("\"Ben\" is ready.", 10000)) << host.Log().toStdString();

    vtest::RawPeer mallory;
    ASSERT_TRUE(mallory.Connect(static_cast<std::uint16_t>(port)));
    ASSERT_EQ(mallory.ReadMessage(), vtest::Msg({MSG_SEAT_ASSIGN, 4}));
    ASSERT_TRUE(mallory.Send(vtest::JoinMsg("Mallory")));
    ASSERT_TRUE(host.WaitForLog("[status] Game started", 10000)) << host.Log().toStdString();

    const std::string notices[] = {"[Vantoro]>> Host connection closed.",
                                   "\r\n[Vantoro]>> Host connection closed.\r\n",
                                   "[Vantoro]>> Host connection full."};
    for (const std::string& text : notices) ASSERT_TRUE(mallory.Send(vtest::ChatMsg(4, text)));
    // The host echoes each line to its sender once it has shown it.
    int echoes = 0;
    for (int read = 0; read < 200 && echoes < 3; ++read) {
        const vtest::Bytes message = mallory.ReadMessage();
        ASSERT_FALSE(message.empty()) << "the table closed or went silent";
        if (message[0] == MSG_CHAT) ++echoes;
    }
    ASSERT_EQ(echoes, 3);
    for (BotProcess* bot : {&a, &b}) {
        EXPECT_TRUE(bot->WaitForLog("[chat] [Vantoro]>> Host connection full.", 10000))
            << bot->Log().toStdString();
    }

    // Everyone is still at the table.
    EXPECT_FALSE(mallory.WaitClosed(1000));
    EXPECT_TRUE(host.IsRunning()) << host.Log().toStdString();
    EXPECT_TRUE(a.IsRunning()) << a.Log().toStdString();
    EXPECT_TRUE(b.IsRunning()) << b.Log().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The computer's pause after a round, over real sockets: a table of four
// vantoro-bot players (the host and three joined) with no think time plays
// three rounds. At the default pause the winner of each of the first two
// rounds waits 3 s before asking for the next deal, so the table takes at
// least 6 s; with --round-pause 0 the same rounds take a fraction of that.
static double SecondsForThreeRounds(const QString& roundPause) {
    const int port = FreeLoopbackPort();
    if (port == 0) return -1;
    QStringList hostArgs = HostArgs(port, 3, 0, 20261209);
    QStringList joinArgs = JoinArgs(port, QStringLiteral("Client"), 3, 0);
    joinArgs << "--count"
             << "3";
    // The default is what is measured when no pause is given.
    for (QStringList* args : {&hostArgs, &joinArgs}) {
        const qsizetype at = args->indexOf(QStringLiteral("--round-pause"));
        if (roundPause.isEmpty())
            args->remove(at, 2);
        else
            (*args)[at + 1] = roundPause;
    }
    QElapsedTimer clock;
    clock.start();
    BotProcess host(hostArgs);
    if (!host.WaitForLog("hosting on", 10000)) return -1;
    BotProcess clients(joinArgs);
    if (host.WaitForExit(60000) != 0) return -1;
    const double seconds = clock.elapsed() / 1000.0;
    clients.WaitForExit(10000);
    const std::vector<TraceState> states = Distinct(ParseTrace(host.Output()));
    if (states.empty() || states.back().rounds < 3) return -1;
    return seconds;
}

// A player whose program stops (SIGSTOP: it neither moves nor closes) at a
// host with a turn limit: the host marks the seat away, then plays it, and
// the rounds still end.
TEST(TableEvents, ASilentPlayerDoesNotStallATableWithATurnLimit) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    QStringList hostArgs = HostArgs(port, 0, 20, 13);
    hostArgs << "--turn-limit"
             << "1";
    BotProcess host(hostArgs);
    ASSERT_TRUE(host.WaitForLog("hosting on", 10000));
    BotProcess a(JoinArgs(port, "Anna", 0, 20));
    BotProcess b(JoinArgs(port, "Ben", 0, 20));
    BotProcess c(JoinArgs(port, "Cleo", 0, 20));
    ASSERT_TRUE(host.WaitForLog("[round] 1 finished", 30000)) << host.Log().toStdString();
    c.Stop();
    ASSERT_TRUE(host.WaitForLog("[round] 3 finished", 60000)) << host.Log().toStdString();
    c.Kill();
}

// --rounds counts the rounds played live, not those of the replay a player
// is sent when it takes a computer's seat over.
TEST(TableEvents, RoundsToPlayCountOnlyLiveRounds) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    QStringList hostArgs = HostArgs(port, 0, 0, 17);
    hostArgs << "--fill";
    BotProcess host(hostArgs);
    ASSERT_TRUE(host.WaitForLog("[round] 30 finished", 30000)) << host.Log().toStdString();
    BotProcess late(JoinArgs(port, "Tard", 2, 0));
    ASSERT_EQ(late.WaitForExit(30000), 0) << late.Log().toStdString();
    const std::vector<TraceState> states = ParseTrace(late.Output());
    ASSERT_FALSE(states.empty());
    EXPECT_GE(states.back().rounds, 32) << "it left after rounds of its replay";
}

TEST(RoundPause, TheComputerWaitsThreeSecondsAfterARoundUnlessToldNone) {
    const double paused = SecondsForThreeRounds(QString());
    ASSERT_GT(paused, 0) << "the table did not play its three rounds";
    EXPECT_GE(paused, 6.0);
    EXPECT_LT(paused, 40.0);
    const double unpaused = SecondsForThreeRounds(QStringLiteral("0"));
    ASSERT_GT(unpaused, 0) << "the table did not play its three rounds";
    EXPECT_LT(unpaused, 6.0);
}
