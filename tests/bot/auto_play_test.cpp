// Seats held by the host's computer player, through real sockets: the host is
// this process (a BotPlayer, as in vantoro-bot --host), the other seats are
// clients that follow the wire format exactly, as the previous build does.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "bot/bot_player.h"
#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
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
    ASSERT_TRUE(ali->RunUntil(
        [&] { return ali->Live() && bob->Poll() && cem->Poll() && bob->Live() && cem->Live(); },
        true));
    // A round is won first, then Bob goes in the middle of the next one.
    auto play = [&] {
        bob->Act();
        cem->Act();
        return true;
    };
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            return play() && g_table->roundsPlayed >= 1 && g_table->roundOver == 0 &&
                   GameTable::CountCards(g_table->hands[3], 13) < 13;
        },
        true));
    const int rounds = g_table->roundsPlayed;
    bob->Close();
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            return cem->Poll() && ali->NameOf(3) == "Bob (ordi)" && cem->NameOf(3) == "Bob (ordi)";
        },
        false));
    EXPECT_EQ(ali->Count(), 4);
    EXPECT_TRUE(IsComputerSeat(3));
    // The round goes on to its end with the computer in Bob's seat, and
    // nobody was dealt a new game.
    ASSERT_TRUE(ali->RunUntil([&] { return play() && g_table->roundsPlayed > rounds; }, true));
    std::string why;
    ASSERT_TRUE(ali->RunUntil(
        [&] {
            return cem->Poll() && vtest::SameGame(ali->Table(), *g_table, nullptr) &&
                   vtest::SameGame(cem->Table(), *g_table, nullptr);
        },
        false, 3000));
    EXPECT_EQ(g_table->roundsPlayed, ali->Table().roundsPlayed);
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
