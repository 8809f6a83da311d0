// Seats held by the host's computer player, through real sockets: the host is
// this process (a BotPlayer, as in vantoro-bot --host), the other seats are
// clients that follow the wire format exactly, as the previous build does.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bot/bot_player.h"
#include "net/connect.h"
#include "net/game_log.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/wire_client.h"

namespace {

using vtest::WireClient;

class ComputerSeats : public testing::Test {
  protected:
    void SetUp() override {
        vtest::ResetNetwork(nullptr, 20261208);
        BotOptions options;
        options.name = "Hana";
        options.delayMs = 0;
        options.roundPauseMs = 0;
        host_ = std::make_unique<BotPlayer>(options, stdout, stderr);
        ASSERT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
    }
    void TearDown() override {
        Disconnect();
        host_.reset();
        vtest::ReleaseNetwork();
    }

    // A client that connects and has its seat and every record announced.
    std::unique_ptr<WireClient> Seat(const std::string& name, int expectedSeat) {
        auto client = std::make_unique<WireClient>(name);
        EXPECT_TRUE(client->Connect(g_bindAddr.port));
        EXPECT_TRUE(client->RunUntil([&] { return client->Seat() == expectedSeat; }, false));
        return client;
    }

    // Every client reads and makes its moves until done() or the time is up.
    static bool PlayUntil(const std::vector<WireClient*>& clients,
                          const std::function<bool()>& done) {
        return clients.front()->RunUntil(
            [&] {
                for (WireClient* client : clients) {
                    client->Poll();
                    client->Act();
                }
                return done();
            },
            false);
    }

    std::unique_ptr<BotPlayer> host_;
};

TEST_F(ComputerSeats, AHostWithThreeComputerSeatsPlaysRoundsAtOnce) {
    EXPECT_EQ(FillEmptySeatsWithComputer(), 3);
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_STREQ(g_seats[3].name, "Ordi 3");
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundsPlayed >= 5; }, 10000));
    int money = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) money += g_table->money[s];
    EXPECT_EQ(money, 400);
}

TEST_F(ComputerSeats, AClientDroppedMidRoundIsPlayedOnAndMoneyCarriesOn) {
    auto ali = Seat("Ali", 2);
    auto bob = Seat("Bob", 3);
    auto cem = Seat("Cem", 4);
    std::vector<WireClient*> players{ali.get(), bob.get(), cem.get()};
    // A round is won first, then Bob goes in the middle of the next one.
    ASSERT_TRUE(PlayUntil(players, [] {
        return g_table->roundsPlayed >= 1 && g_table->roundOver == 0 && g_table->tableCount > 0;
    }));
    const int rounds = g_table->roundsPlayed;
    bob->Close();
    players = {ali.get(), cem.get()};
    ASSERT_TRUE(PlayUntil(
        players, [&] { return ali->NameOf(3) == "Bob (ordi)" && cem->NameOf(3) == "Bob (ordi)"; }));
    EXPECT_EQ(ali->Count(), 4);
    EXPECT_TRUE(IsComputerSeat(3));
    // The round goes on to its end with the computer in Bob's seat, and
    // nobody is dealt a new game: money and wins carry on.
    ASSERT_TRUE(PlayUntil(players, [&] { return g_table->roundsPlayed > rounds; }));
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            cem->Poll();
            return vtest::SameGame(ali->Table(), *g_table, nullptr) &&
                   vtest::SameGame(cem->Table(), *g_table, nullptr);
        },
        false, 3000));
    int newGames = 0;
    for (int type : ali->Types()) newGames += type == MSG_NEW_GAME ? 1 : 0;
    EXPECT_EQ(newGames, 1);
}

TEST_F(ComputerSeats, ANewcomerTakesASeatOverAndItsReplayEndsOnTheHostsTable) {
    FillEmptySeatsWithComputer();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundsPlayed >= 3; }, 10000));
    // Away flags in force travel after the replay.
    g_away[1] = 1;
    auto zoe = Seat("Zoe", 2);
    // Seat 2 is the newcomer's from its join on: the table waits for it.
    ASSERT_TRUE(zoe->RunUntil(
        [&] { return zoe->Live() && g_table->turn == 2 && zoe->Table().turn == 2; }, false));
    ASSERT_TRUE(zoe->RunUntil([&] { return zoe->Away(1) == 1; }, false, 3000));
    std::string why;
    EXPECT_TRUE(vtest::SameGame(zoe->Table(), *g_table, &why)) << why;
    EXPECT_EQ(zoe->Count(), 4);
    EXPECT_EQ(zoe->NameOf(1), "Hana");
    EXPECT_EQ(zoe->NameOf(2), "Zoe");
    EXPECT_EQ(zoe->NameOf(3), "Ordi 3");
    EXPECT_FALSE(IsComputerSeat(2));
    // It plays on with the others.
    const int rounds = g_table->roundsPlayed;
    ASSERT_TRUE(zoe->RunUntil([&] { return g_table->roundsPlayed > rounds; }, true));
}

TEST_F(ComputerSeats, NobodySpeaksForAComputerSeatAndANewcomerWhoLeavesGivesItBack) {
    FillEmptySeatsWithComputer();
    auto ali = Seat("Ali", 2);
    ASSERT_TRUE(ali->RunUntil([&] { return ali->Live(); }, false));
    // Moves, chat and away flags sent for a seat the computer holds are dropped.
    const std::uint64_t dropped = g_readStats.Dropped(DropReason::kNotSendersSeat);
    ali->Send(vtest::Msg({MSG_PASS, 3}));
    ali->Send(vtest::ChatMsg(3, "je suis l'ordi"));
    ali->Send(vtest::Msg({MSG_AWAY, 3, 1}));
    ASSERT_TRUE(vtest::PumpUntil(
        [&] { return g_readStats.Dropped(DropReason::kNotSendersSeat) == dropped + 3; }));
    EXPECT_EQ(g_away[3], 0);

    // Bea takes seat 3 over and leaves while her replay is still on its way:
    // the seat goes back to the computer, and four still play.
    auto bea = Seat("Bea", 3);
    ASSERT_TRUE(vtest::PumpUntil([] { return std::string(g_seats[3].name) == "Bea"; }));
    bea->Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return IsComputerSeat(3); }));
    EXPECT_STREQ(g_seats[3].name, "Bea (ordi)");
    EXPECT_EQ(g_playerCount, 4);
    ASSERT_TRUE(ali->RunUntil([&] { return ali->NameOf(3) == "Bea (ordi)"; }, true));
}

// The turn limit: a player who stops playing is marked away for everyone,
// then, when its program does not play the seat either, the host's computer
// plays it; the round ends, every copy in step, and the player takes the seat
// back by clearing its away flag.
TEST_F(ComputerSeats, ASilentPlayerIsMarkedAwayThenPlayedByTheHost) {
    SetTurnLimitForTest(300, 300);
    auto ali = Seat("Ali", 2);
    auto bob = Seat("Bob", 3);  // follows the table, never moves
    auto cem = Seat("Cem", 4);
    auto others = [&](const std::function<bool()>& done) {
        return ali->RunUntil(
            [&] {
                bob->Poll();
                cem->Poll();
                cem->Act();
                return done();
            },
            true, 20000);
    };
    ASSERT_TRUE(
        others([&] { return ali->Away(3) == 1 && bob->Away(3) == 1 && cem->Away(3) == 1; }));
    ASSERT_TRUE(others([] { return HostPlaysForSeat(3); }));
    ASSERT_TRUE(others([] { return g_table->roundsPlayed >= 1; }));
    // Without the limit the table waits for the people, and every copy settles.
    SetTurnLimitForTest(0, 0);
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            bob->Poll();
            cem->Poll();
            return vtest::SameGame(ali->Table(), *g_table, nullptr) &&
                   vtest::SameGame(bob->Table(), *g_table, nullptr) &&
                   vtest::SameGame(cem->Table(), *g_table, nullptr);
        },
        false, 5000));
    EXPECT_FALSE(HostPlaysForSeat(2));
    ASSERT_TRUE(bob->Send(vtest::Msg({MSG_AWAY, 3, 0})));
    ASSERT_TRUE(others([] { return !HostPlaysForSeat(3) && g_away[3] == 0; }));
}

// The game's log takes every message that changes the game, whichever path
// made it: the host's own moves, a client's move relayed, the next round a
// client asks for, the moves the host's computer makes for a kept seat and
// for a silent one, a new game, and a newcomer's replay. A client seated
// from the start took exactly the log's bytes (a refused move, which the host
// forwards and nobody takes, changes nothing); the newcomer took the game's.
TEST_F(ComputerSeats, EveryGameMessageAClientTakesIsTheLogsByteForByte) {
    auto ali = Seat("Ali", 2);
    auto bob = Seat("Bob", 3);
    auto cem = Seat("Cem", 4);
    std::vector<WireClient*> everyone{ali.get(), bob.get(), cem.get()};
    ASSERT_TRUE(PlayUntil(everyone, [] { return g_table->roundsPlayed >= 1; }));

    // Bob falls silent: the turn limit has the host's computer play him.
    // A limit that a prompt player never reaches, even on a loaded machine.
    SetTurnLimitForTest(1000, 500);
    std::vector<WireClient*> others{ali.get(), cem.get()};
    const auto follow = [&](const std::function<bool()>& done) {
        return PlayUntil(others, [&] {
            bob->Poll();
            return done();
        });
    };
    ASSERT_TRUE(follow([] { return HostPlaysForSeat(3); }));
    int rounds = g_table->roundsPlayed;
    ASSERT_TRUE(follow([&] { return g_table->roundsPlayed > rounds && g_table->roundOver == 0; }));
    SetTurnLimitForTest(0, 0);
    ASSERT_TRUE(bob->Send(vtest::Msg({MSG_AWAY, 3, 0})));

    // Cem leaves mid-round; the computer plays his seat on.
    everyone = {ali.get(), bob.get()};
    ASSERT_TRUE(PlayUntil(everyone, [] { return g_table->tableCount > 0 && g_table->turn != 2; }));
    // A pass out of turn: forwarded by the host, taken by nobody.
    ASSERT_TRUE(ali->Send(vtest::Msg({MSG_PASS, 2})));
    cem->Close();
    rounds = g_table->roundsPlayed;
    ASSERT_TRUE(PlayUntil(everyone, [&] { return g_table->roundsPlayed > rounds; }));

    // A new game, dealt while the table waits for a client that has caught
    // up and holds its move (no move can cross the deal), then a newcomer
    // takes Cem's seat over and plays a round.
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            bob->Poll();
            return g_table->roundOver == 0 && (g_table->turn == 2 || g_table->turn == 3) &&
                   vtest::SameGame(ali->Table(), *g_table, nullptr) &&
                   vtest::SameGame(bob->Table(), *g_table, nullptr);
        },
        false));
    DealAndSend(1);
    auto zoe = Seat("Zoe", 4);
    everyone = {ali.get(), bob.get(), zoe.get()};
    ASSERT_TRUE(PlayUntil(everyone, [&] { return zoe->Live(); }));
    rounds = g_table->roundsPlayed;
    ASSERT_TRUE(PlayUntil(everyone, [&] { return g_table->roundsPlayed > rounds; }));
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            bob->Poll();
            zoe->Poll();
            return vtest::SameGame(ali->Table(), *g_table, nullptr) &&
                   vtest::SameGame(bob->Table(), *g_table, nullptr) &&
                   vtest::SameGame(zoe->Table(), *g_table, nullptr);
        },
        false, 5000));

    const GameLog& log = g_gameLog;
    const vtest::Bytes kept(log.At(log.Base()), log.At(log.End()));
    for (const WireClient* client : {ali.get(), bob.get()}) {
        const vtest::Bytes& taken = client->GameBytes();
        ASSERT_EQ(taken.size(), log.End()) << client->NameOf(client->Seat());
        EXPECT_TRUE(std::equal(kept.begin(), kept.end(), taken.end() - kept.size()))
            << client->NameOf(client->Seat());
    }
    const vtest::Bytes game(log.GameData(), log.GameData() + log.GameSize());
    EXPECT_EQ(zoe->GameBytes(), game);
}

// A newcomer that stops reading its replay can no longer hold the table up:
// the computer plays the seat on, the newcomer is dropped at the deadline,
// and the next newcomer takes the seat over in step with the table.
TEST_F(ComputerSeats, ANewcomerThatStopsReadingIsDroppedAndTheTablePlaysOn) {
    SetHandoverTimeoutForTest(2000);
    FillEmptySeatsWithComputer();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundsPlayed >= 300; }, 60000));
    vtest::RawPeer stalled;
    ASSERT_TRUE(stalled.Connect(g_bindAddr.port, 4096));
    ASSERT_EQ(stalled.ReadMessage(), vtest::Msg({MSG_SEAT_ASSIGN, 2}));
    ASSERT_TRUE(stalled.Send(vtest::JoinMsg("Zed")));
    // A few KiB of the replay, then not one byte more.
    std::uint8_t some[4096];
    ASSERT_TRUE(
        vtest::PumpUntil([&] { return recv(stalled.fd(), some, sizeof some, MSG_DONTWAIT) > 0; }));
    const int rounds = g_table->roundsPlayed;
    ASSERT_TRUE(vtest::PumpUntil([] { return g_hostSeats[2].state == SeatState::kComputer; }, 5000))
        << static_cast<int>(g_hostSeats[2].state) << " at " << g_hostSeats[2].replayAt << " of "
        << g_gameLog.End() << ", unacknowledged " << SockUnacknowledged(g_hostSeats[2].conn);
    EXPECT_GT(g_table->roundsPlayed, rounds) << "the table played on meanwhile";
    EXPECT_TRUE(stalled.WaitClosed());
    EXPECT_STREQ(g_seats[2].name, "Ordi 2");

    // The next newcomer reads on, so it gets the usual deadline: the short one
    // above would drop it too on a loaded or sanitized machine, where catching
    // up with a table that plays at full speed takes seconds.
    SetHandoverTimeoutForTest(0);
    auto slow = std::make_unique<WireClient>("Zoe");
    ASSERT_TRUE(slow->Connect(g_bindAddr.port));
    ASSERT_TRUE(slow->RunUntil([&] { return slow->Live(); }, false, 40000));
    EXPECT_EQ(g_hostSeats[2].state, SeatState::kJoined);
    std::string why;
    ASSERT_TRUE(
        slow->RunUntil([&] { return vtest::SameGame(slow->Table(), *g_table, &why); }, true, 5000))
        << why;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
