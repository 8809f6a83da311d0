// The local player's commands on the host, with three scripted clients.
#include "net/commands.h"

#include <gtest/gtest.h>

#include <string>

#include "net/connect.h"
#include "net/relay.h"
#include "net/wire.h"
#include "tests/support/scripted_peer.h"

namespace {

using vtest::Bytes;
using vtest::Msg;

class HostCommands : public testing::Test {
  protected:
    void SetUp() override {
        vtest::ResetNetwork(&view_, vtest::SeedOpenedBy(1));  // the host opens
        ASSERT_TRUE(vtest::HostFullTable(&table_));
        view_.Clear();
    }
    void TearDown() override { vtest::ReleaseNetwork(); }

    void ExpectAllReceive(const Bytes& bytes) {
        for (int seat = 2; seat <= 4; ++seat) {
            EXPECT_EQ(table_.seat[seat]->ReadMessage(), bytes) << "seat " << seat;
        }
    }
    void ExpectNobodyReceives() {
        for (int seat = 2; seat <= 4; ++seat) {
            EXPECT_TRUE(table_.seat[seat]->ExpectSilence(20)) << "seat " << seat;
        }
    }

    vtest::RecordingView view_;
    vtest::FullTable table_;
};

TEST_F(HostCommands, PlaySendsTheSelectionAsItWasAndClearsIt) {
    ASSERT_EQ(g_table->turn, 1);
    const int pos = vtest::PositionOf(*g_table, 1, CARD_OPENING);
    const int other = pos == 0 ? 1 : 0;

    // Without the three of diamonds the opening is refused: nothing sent.
    g_table->selection[other] = 0xFF;
    EXPECT_EQ(CommandPlay(), 0);
    EXPECT_EQ(g_table->selection[other], 0xFF);
    ExpectNobodyReceives();
    EXPECT_EQ(view_.repaints, 0);

    g_table->selection[other] = 0;
    g_table->selection[pos] = 0xFF;
    EXPECT_EQ(CommandPlay(), 1);
    ExpectAllReceive(vtest::PlayMsg(1, {pos}));
    for (int p = 0; p < HAND_SIZE; ++p) EXPECT_EQ(g_table->selection[p], 0) << p;
    EXPECT_EQ(g_table->hands[1][pos], NO_CARD);
    EXPECT_GE(view_.repaints, 1);
    EXPECT_FALSE(LocalSeatWonRound());

    // Not the host's turn any more.
    g_table->selection[other] = 0xFF;
    EXPECT_EQ(CommandPlay(), 0);
    EXPECT_EQ(CommandPass(), 0);
    ExpectNobodyReceives();
}

TEST_F(HostCommands, PassIsSentToEveryClient) {
    // Seat 4 opens, so that the host is the next to act.
    const std::uint32_t seed = vtest::SeedOpenedBy(4);
    vtest::ResetNetwork(&view_, seed);
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    const int pos = vtest::PositionOf(*g_table, 4, CARD_OPENING);
    ASSERT_TRUE(table.seat[4]->Send(vtest::PlayMsg(4, {pos})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 1; }));
    table.seat[2]->ReadMessage();
    table.seat[3]->ReadMessage();

    EXPECT_EQ(CommandPass(), 1);
    for (int seat = 2; seat <= 4; ++seat) {
        EXPECT_EQ(table.seat[seat]->ReadMessage(), Msg({MSG_PASS, 1}));
    }
    EXPECT_EQ(g_table->turn, 2);
}

TEST_F(HostCommands, NextRoundDealsForTheHostWinnerAndAsksOtherwise) {
    EXPECT_EQ(CommandNextRound(), 0);  // the round is not over
    ExpectNobodyReceives();

    g_table->roundOver = 1;
    g_table->leader = 1;
    EXPECT_TRUE(LocalSeatWonRound());
    EXPECT_EQ(CommandNextRound(), 1);
    for (int seat = 2; seat <= 4; ++seat) {
        const Bytes deal = table_.seat[seat]->ReadMessage();
        EXPECT_EQ(deal, vtest::DealMsg(g_table->hands));
    }
    ExpectNobodyReceives();  // no MSG_NEW_GAME for a next round
    EXPECT_EQ(g_table->roundOver, 0);
    EXPECT_EQ(view_.LastStatus(), "Game started");

    // A stale button on the host after a client won: the one byte goes out.
    g_table->roundOver = 1;
    g_table->leader = 3;
    EXPECT_EQ(CommandNextRound(), 1);
    ExpectAllReceive(Msg({MSG_NEXT_ROUND}));
}

TEST_F(HostCommands, AwayChangesTheHostsOwnBoxAtOnce) {
    EXPECT_EQ(CommandAway(false), 1);
    ExpectAllReceive(Msg({MSG_AWAY, 1, 1}));
    EXPECT_EQ(g_away[1], 1);
    EXPECT_EQ(view_.awayStates, std::vector<bool>{true});
    EXPECT_EQ(view_.repaints, 1);
    EXPECT_EQ(CommandAway(true), 1);
    ExpectAllReceive(Msg({MSG_AWAY, 1, 0}));
    EXPECT_EQ(g_away[1], 0);
}

TEST_F(HostCommands, ChatIsCutToAThousandAndShownAtOnceInFourPieces) {
    const std::string text(1500, 'q');
    EXPECT_EQ(CommandSendChat(text.data(), text.size()), ChatResult::kSent);
    const std::string sent(1000, 'q');
    ExpectAllReceive(vtest::ChatMsg(1, sent));  // n = 1001, 1005 bytes
    EXPECT_EQ(view_.chatAppends, (std::vector<std::string>{"Hana", ": ", sent, "\r\n"}));

    view_.Clear();
    EXPECT_EQ(CommandSendChat("", 0), ChatResult::kEmpty);
    ExpectNobodyReceives();
    EXPECT_TRUE(view_.chat.empty());
}

TEST_F(HostCommands, NothingApartFromChatActsBeforeFourArePlaying) {
    table_.seat[3]->Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_playerCount == 3; }));
    table_.seat[2]->ReadMessage();  // MSG_SEAT_LEFT
    table_.seat[4]->ReadMessage();
    g_table->selection[vtest::PositionOf(*g_table, 1, CARD_OPENING)] = 0xFF;
    EXPECT_EQ(CommandPlay(), 0);
    EXPECT_EQ(CommandPass(), 0);
    EXPECT_EQ(CommandAway(false), 0);
    g_table->roundOver = 1;
    g_table->leader = 1;
    EXPECT_EQ(CommandNextRound(), 0);
    EXPECT_TRUE(table_.seat[2]->ExpectSilence(20));
    EXPECT_EQ(CommandSendChat("still here", 10), ChatResult::kSent);
    EXPECT_EQ(table_.seat[2]->ReadMessage(), vtest::ChatMsg(1, "still here"));
}

TEST(Commands, ChatBeforeHavingASeatSendsNothing) {
    vtest::RecordingView view;
    vtest::ResetNetwork(&view);
    EXPECT_EQ(CommandSendChat("hello", 5), ChatResult::kNotSeated);
    EXPECT_TRUE(view.chat.empty());
    vtest::ReleaseNetwork();
}

}  // namespace
