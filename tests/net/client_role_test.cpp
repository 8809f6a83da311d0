// The program as a client, with a scripted host on a raw socket.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "net/commands.h"
#include "net/connect.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/wire.h"
#include "tests/support/scripted_peer.h"

namespace {

using vtest::Bytes;
using vtest::ChatMsg;
using vtest::Concat;
using vtest::Msg;
using vtest::RawPeer;
using vtest::SeatInfoMsg;

constexpr std::uint32_t kLoopback = 0x7F000001;

class ClientRole : public testing::Test {
  protected:
    void SetUp() override {
        vtest::ResetNetwork(&view_);
        ASSERT_EQ(JoinTable("Cem", "127.0.0.1", std::to_string(host_.port()).c_str()).step,
                  ConnectStep::Connected);
        conn_ = host_.Accept();
        ASSERT_NE(conn_, nullptr);
        deal_.DealWithSeed(vtest::SeedOpenedBy(4), 1);  // this client opens
    }
    void TearDown() override {
        conn_.reset();
        vtest::ReleaseNetwork();
    }

    static std::uint64_t Total() {
        std::uint64_t total = g_readStats.DroppedCount() + g_readStats.HandledCount();
        return total;
    }
    // Sends bytes and waits until the reader has dealt with `messages` more.
    void Feed(const Bytes& bytes, std::uint64_t messages) {
        const std::uint64_t start = Total();
        ASSERT_TRUE(conn_->Send(bytes));
        ASSERT_TRUE(vtest::PumpUntil([&] { return Total() >= start + messages; }));
    }
    // Seat 4, the four records, the deal and the new game.
    void SeatEveryone() {
        Feed(Concat({Msg({4, 4}), SeatInfoMsg(1, "Hana", 5, kLoopback, 7171),
                     SeatInfoMsg(2, "Ali", 6, kLoopback, 40001),
                     SeatInfoMsg(3, "Bob", 7, kLoopback, 40002),
                     SeatInfoMsg(4, "Cem", 8, kLoopback, 40003), vtest::DealMsg(deal_.hands),
                     Msg({6})}),
             7);
        ASSERT_EQ(conn_->ReadMessage(), vtest::JoinMsg("Cem"));
        view_.Clear();
    }

    vtest::RecordingView view_;
    vtest::ScriptedHost host_;
    std::unique_ptr<RawPeer> conn_;
    GameTable deal_;
};

TEST_F(ClientRole, JoinRoadFromTheClientsSide) {
    EXPECT_TRUE(view_.chat.empty());
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_STREQ(g_seats[0].name, "Cem");

    Feed(Msg({4, 3}), 1);
    EXPECT_EQ(g_localSeat, 3);
    EXPECT_EQ(conn_->ReadMessage(), vtest::JoinMsg("Cem"));  // exactly 18 bytes

    Feed(SeatInfoMsg(1, "Hana", 5, kLoopback, 7171), 1);
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"Hana\" is ready. (Host)\r\n");
    EXPECT_EQ(view_.LastStatus(), "Connected, waiting user... 3 more needed");
    EXPECT_EQ(g_seats[1].sock, 5u);
    EXPECT_EQ(g_seats[1].addr.port, 7171);
    EXPECT_EQ(g_seats[1].addr.ipv4, kLoopback);

    Feed(SeatInfoMsg(2, "Ali", 6, kLoopback, 40001), 1);
    EXPECT_EQ(view_.LastStatus(), "Connected, waiting user... 2 more needed");
    Feed(SeatInfoMsg(3, "Cem", 7, kLoopback, 40002), 1);
    Feed(SeatInfoMsg(4, "Dan", 8, kLoopback, 40003), 1);
    // Between the fourth record and the deal the table is full but not dealt.
    EXPECT_EQ(view_.LastStatus(), "Connected, waiting user... 0 more needed");
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_EQ(view_.chat,
              "[Vantoro]>> \"Hana\" is ready. (Host)\r\n"
              "[Vantoro]>> \"Ali\" is ready.\r\n"
              "[Vantoro]>> \"Cem\" is ready.\r\n"
              "[Vantoro]>> \"Dan\" is ready.\r\n");

    g_away[2] = 1;
    Feed(vtest::DealMsg(deal_.hands), 1);
    EXPECT_EQ(view_.LastStatus(), "Game started");
    EXPECT_EQ(std::memcmp(g_table->hands, deal_.hands, sizeof deal_.hands), 0);
    Feed(Msg({6}), 1);
    EXPECT_EQ(g_away[2], 0);
    EXPECT_EQ(g_table->turn, vtest::HolderOf(deal_, CARD_OPENING));
    EXPECT_EQ(g_table->leader, g_table->turn);
    EXPECT_EQ(g_table->mustOpenLowest, 1);
    EXPECT_EQ(view_.handledTypes, (std::vector<int>{4, 2, 2, 2, 2, 3, 6}));
}

TEST_F(ClientRole, ARecordReceivedTwiceIsOnePlayer) {
    // A newcomer is sent every occupied seat at its accept, a seat that has
    // not joined yet among them, and that seat's record again at its join.
    Feed(Concat({Msg({4, 4}), SeatInfoMsg(1, "Hana", 5, kLoopback, 7171),
                 SeatInfoMsg(2, "", 6, kLoopback, 40001)}),
         3);
    EXPECT_EQ(g_playerCount, 2);
    Feed(SeatInfoMsg(2, "Ali", 6, kLoopback, 40001), 1);
    EXPECT_EQ(g_playerCount, 2);
    EXPECT_STREQ(g_seats[2].name, "Ali");
    EXPECT_EQ(view_.LastStatus(), "Connected, waiting user... 2 more needed");
    Feed(SeatInfoMsg(4, "Cem", 8, kLoopback, 40003), 1);
    EXPECT_EQ(g_playerCount, 3);
}

TEST_F(ClientRole, ASeatLeavingIsShown) {
    SeatEveryone();
    g_away[3] = 1;
    Feed(Msg({MSG_SEAT_LEFT, 3}), 1);
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"Bob\" has left.\r\n");
    ASSERT_EQ(view_.awayStates.size(), 1u);
    EXPECT_FALSE(view_.awayStates[0]);
    EXPECT_EQ(g_seats[3].sock, INVALID_SOCKET);
    EXPECT_STREQ(g_seats[3].name, "");
    EXPECT_EQ(g_playerCount, 3);
    EXPECT_EQ(view_.repaints, 1);  // the count fell to 3
    EXPECT_EQ(view_.LastStatus(), "Connected, waiting user... 1 more needed");
    EXPECT_EQ(g_away[3], 1);  // kept until the next game
}

TEST_F(ClientRole, TheHostClosingTakesTheClientOffTheNetwork) {
    SeatEveryone();
    conn_->Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_sock == INVALID_SOCKET; }));
    EXPECT_EQ(view_.statuses, std::vector<std::string>{"Disconnected from host"});
    EXPECT_EQ(view_.chat, "[Vantoro]>> Host connection closed.\r\n");
    ASSERT_FALSE(view_.awayStates.empty());
    EXPECT_FALSE(view_.awayStates.back());
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(g_seats[seat].sock, INVALID_SOCKET);
    EXPECT_EQ(g_playerCount, 0);
    EXPECT_EQ(g_localSeat, 0);
}

TEST_F(ClientRole, ATurnedAwayClientSaysCloseAndLeaves) {
    Feed(Msg({MSG_HOST_FULL}), 1);
    EXPECT_EQ(view_.chat, "[Vantoro]>> Host connection full.\r\n");
    EXPECT_EQ(conn_->ReadMessage(), Msg({MSG_CLOSE}));
    conn_->Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_sock == INVALID_SOCKET; }));
    EXPECT_EQ(view_.chat,
              "[Vantoro]>> Host connection full.\r\n"
              "[Vantoro]>> Host connection closed.\r\n");
    EXPECT_EQ(view_.LastStatus(), "Disconnected from host");
    EXPECT_EQ(g_localSeat, 0);
}

TEST_F(ClientRole, AHostThatClosesBeforeTheSeatLetsTheClientJoinAgain) {
    conn_->Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_sock == INVALID_SOCKET; }));
    EXPECT_EQ(view_.LastStatus(), "Disconnected from host");
    EXPECT_EQ(JoinTable("Cem", "127.0.0.1", std::to_string(host_.port()).c_str()).step,
              ConnectStep::Connected);
    conn_ = host_.Accept();
    ASSERT_NE(conn_, nullptr);
    Feed(Msg({4, 2}), 1);
    EXPECT_EQ(conn_->ReadMessage(), vtest::JoinMsg("Cem"));
}

TEST_F(ClientRole, SeatNumbersOutOfRangeNeverTouchTheTable) {
    Feed(Concat({SeatInfoMsg(0, "Zero", 9, 0, 0), SeatInfoMsg(5, "Five", 9, 0, 0),
                 SeatInfoMsg(0xFF, "Neg", 9, 0, 0), Msg({4, 1}), Msg({4, 5}), Msg({4, 0x80}),
                 Msg({5, 0}), Msg({5, 9}), vtest::PlayMsg(7, {0}), Msg({10, 0}), ChatMsg(6, "x"),
                 Msg({13, 0xFC, 1})}),
         12);
    EXPECT_EQ(g_readStats.Dropped(DropReason::kBadSeat), 12u);
    EXPECT_STREQ(g_seats[0].name, "Cem");  // the own nickname stays
    EXPECT_EQ(g_seats[0].sock, INVALID_SOCKET);
    EXPECT_EQ(g_playerCount, 0);
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_TRUE(conn_->ExpectSilence(30));  // no MSG_JOIN for a seat that cannot be
    EXPECT_TRUE(view_.chat.empty());
}

TEST_F(ClientRole, ADealThatIsNotOneWholeDeckIsDropped) {
    SeatEveryone();
    const GameTable before = *g_table;
    GameTable bad;
    bad.DealWithSeed(77, 1);
    bad.hands[2][5] = bad.hands[3][7];  // one card twice
    GameTable outside;
    outside.DealWithSeed(78, 1);
    outside.hands[4][12] = 60;  // no such card
    GameTable shortHand;
    shortHand.DealWithSeed(79, 1);
    shortHand.hands[1][0] = NO_CARD;
    Feed(Concat({vtest::DealMsg(bad.hands), vtest::DealMsg(outside.hands),
                 vtest::DealMsg(shortHand.hands)}),
         3);
    EXPECT_EQ(g_readStats.Dropped(DropReason::kBadDeal), 3u);
    EXPECT_EQ(std::memcmp(before.hands, g_table->hands, sizeof before.hands), 0);
    EXPECT_TRUE(view_.statuses.empty());

    // Seat 0's row carries no meaning: it is not taken from the wire.
    GameTable good;
    good.DealWithSeed(80, 0);
    std::memset(good.hands[0], 0xC8, HAND_SIZE);
    Feed(vtest::DealMsg(good.hands), 1);
    for (int p = 0; p < HAND_SIZE; ++p) EXPECT_EQ(g_table->hands[0][p], NO_CARD);
    EXPECT_EQ(std::memcmp(good.hands[1], g_table->hands[1], 4 * HAND_SIZE), 0);
}

TEST_F(ClientRole, TypesOnlyTheHostReceivesAreDropped) {
    SeatEveryone();
    Feed(Concat({vtest::JoinMsg("Mallory"), Msg({MSG_CLOSE}), Msg({MSG_NEXT_ROUND}),
                 ChatMsg(2, "ok")}),
         4);
    EXPECT_EQ(g_readStats.Dropped(DropReason::kWrongRole), 3u);
    EXPECT_EQ(view_.chat, "Ali: ok\r\n");
    EXPECT_TRUE(conn_->ExpectSilence(30));  // a client never deals or forwards
}

TEST_F(ClientRole, AReceivedNameWithoutItsNulIsCut) {
    Feed(SeatInfoMsg(2, std::string(17, 'N'), 6, kLoopback, 1), 1);
    EXPECT_EQ(std::string(g_seats[2].name), std::string(16, 'N'));
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"" + std::string(16, 'N') + "\" is ready.\r\n");
}

TEST_F(ClientRole, PlaysAndPassesFromTheHostAreApplied) {
    SeatEveryone();
    const int opener = g_table->turn;
    const int pos = vtest::PositionOf(*g_table, opener, CARD_OPENING);
    Feed(vtest::PlayMsg(opener, {pos}), 1);
    EXPECT_EQ(g_table->hands[opener][pos], NO_CARD);
    EXPECT_EQ(view_.repaints, 1);
    const int next = opener % 4 + 1;
    Feed(Msg({MSG_PASS, next}), 1);
    EXPECT_EQ(g_table->turn, next % 4 + 1);
    EXPECT_EQ(view_.repaints, 2);
    // A refused play is read and changes nothing.
    Feed(vtest::PlayMsg(opener, {0}), 1);
    EXPECT_EQ(view_.repaints, 2);
    EXPECT_TRUE(conn_->ExpectSilence(30));
}

TEST_F(ClientRole, OwnChatAndAwayShowOnlyWhenTheHostEchoesThem) {
    SeatEveryone();
    EXPECT_EQ(CommandSendChat("hello", 5), ChatResult::kSent);
    EXPECT_EQ(conn_->ReadMessage(), ChatMsg(4, "hello"));
    EXPECT_TRUE(view_.chat.empty());
    Feed(ChatMsg(4, "hello"), 1);
    EXPECT_EQ(view_.chatAppends, (std::vector<std::string>{"Cem", ": ", "hello", "\r\n"}));

    EXPECT_EQ(CommandAway(false), 1);
    EXPECT_EQ(conn_->ReadMessage(), Msg({MSG_AWAY, 4, 1}));
    EXPECT_TRUE(view_.awayStates.empty());
    EXPECT_EQ(g_away[4], 0);
    Feed(Msg({MSG_AWAY, 4, 1}), 1);
    EXPECT_EQ(view_.awayStates, std::vector<bool>{true});
    EXPECT_EQ(g_away[4], 1);
    // Another seat's flag does not move this copy's box.
    Feed(Msg({MSG_AWAY, 2, 1}), 1);
    EXPECT_EQ(view_.awayStates.size(), 1u);
    EXPECT_EQ(g_away[2], 1);
}

TEST_F(ClientRole, ClientCommandsGoToTheHostOnly) {
    SeatEveryone();
    ASSERT_EQ(g_table->turn, 4);
    // The opening play must hold the three of diamonds: refused, nothing sent,
    // the selection kept.
    const int other = vtest::PositionOf(*g_table, 4, CARD_OPENING) == 0 ? 1 : 0;
    g_table->selection[other] = 0xFF;
    EXPECT_EQ(CommandPlay(), 0);
    EXPECT_EQ(g_table->selection[other], 0xFF);
    EXPECT_TRUE(conn_->ExpectSilence(30));
    g_table->selection[other] = 0;

    const int pos = vtest::PositionOf(*g_table, 4, CARD_OPENING);
    g_table->selection[pos] = 0xFF;
    EXPECT_EQ(CommandPlay(), 1);
    EXPECT_EQ(conn_->ReadMessage(), vtest::PlayMsg(4, {pos}));
    for (int p = 0; p < HAND_SIZE; ++p) EXPECT_EQ(g_table->selection[p], 0);
    EXPECT_FALSE(LocalSeatWonRound());

    // The round over, won by this seat: the client asks the host with one byte.
    g_table->roundOver = 1;
    g_table->leader = 4;
    EXPECT_TRUE(LocalSeatWonRound());
    EXPECT_EQ(CommandNextRound(), 1);
    EXPECT_EQ(conn_->ReadMessage(), Msg({MSG_NEXT_ROUND}));
}

}  // namespace
