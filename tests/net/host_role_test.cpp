// The program as the host, with scripted clients on raw sockets.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstring>
#include <string>

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
using vtest::PlayMsg;
using vtest::RawPeer;

constexpr std::uint32_t kLoopback = 0x7F000001;

std::uint16_t LocalPort(const RawPeer& peer) {
    sockaddr_in sa;
    socklen_t len = sizeof sa;
    getsockname(peer.fd(), reinterpret_cast<sockaddr*>(&sa), &len);
    return ntohs(sa.sin_port);
}

class HostRole : public testing::Test {
  protected:
    void SetUp() override { vtest::ResetNetwork(&view_); }
    void TearDown() override {
        SetJoinTimeoutForTest(0);
        vtest::ReleaseNetwork();
    }

    void Host(std::uint32_t seed = 4242) {
        vtest::ResetNetwork(&view_, seed);
        ASSERT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
    }
    // Waits until the reader has handled or dropped `messages` more messages.
    bool WaitRead(std::uint64_t before, std::uint64_t messages) {
        return vtest::PumpUntil([&] { return Total() >= before + messages; });
    }
    static std::uint64_t Total() {
        std::uint64_t total = g_readStats.DroppedCount() + g_readStats.HandledCount();
        return total;
    }

    vtest::RecordingView view_;
};

TEST_F(HostRole, JoinRoadSendsEachSideItsExactBytes) {
    Host(99);
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"Hana\" (Host) is ready, awaiting...\r\n");
    EXPECT_EQ(g_playerCount, 1);
    const std::uint16_t hostPort = g_bindAddr.port;
    const Bytes hostInfo = vtest::SeatInfoMsg(1, "Hana", g_sock, kLoopback, hostPort);

    // First newcomer: its seat, then the host's record.
    RawPeer ali;
    ASSERT_TRUE(ali.Connect(hostPort));
    EXPECT_EQ(ali.ReadMessage(), Msg({4, 2}));
    EXPECT_EQ(ali.ReadMessage(), hostInfo);
    EXPECT_TRUE(ali.ExpectSilence(50));
    EXPECT_EQ(g_playerCount, 1);  // not counted before its name arrives
    ASSERT_NE(g_seats[2].sock, INVALID_SOCKET);
    EXPECT_STREQ(g_seats[2].name, "");

    view_.Clear();
    ASSERT_TRUE(ali.Send(vtest::JoinMsg("Ali")));
    const Bytes aliInfo = vtest::SeatInfoMsg(2, "Ali", g_seats[2].sock, kLoopback, LocalPort(ali));
    EXPECT_EQ(ali.ReadMessage(), aliInfo);
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"Ali\" is ready.\r\n");
    EXPECT_EQ(view_.LastStatus(), "Waiting user... 2 more needed");
    EXPECT_EQ(g_playerCount, 2);

    // Second newcomer: seat 3, the host's record and seat 2's.
    RawPeer bob;
    ASSERT_TRUE(bob.Connect(hostPort));
    EXPECT_EQ(bob.ReadMessage(), Msg({4, 3}));
    EXPECT_EQ(bob.ReadMessage(), hostInfo);
    EXPECT_EQ(bob.ReadMessage(), aliInfo);
    ASSERT_TRUE(bob.Send(vtest::JoinMsg("Bob")));
    const Bytes bobInfo = vtest::SeatInfoMsg(3, "Bob", g_seats[3].sock, kLoopback, LocalPort(bob));
    EXPECT_EQ(ali.ReadMessage(), bobInfo);
    EXPECT_EQ(bob.ReadMessage(), bobInfo);
    EXPECT_EQ(view_.LastStatus(), "Waiting user... 1 more needed");

    // The fourth join deals: SEAT_INFO, DEAL, NEW_GAME to everyone, in that order.
    g_away[3] = 1;  // a flag left from before is cleared by the new game
    RawPeer cem;
    ASSERT_TRUE(cem.Connect(hostPort));
    EXPECT_EQ(cem.ReadMessage(), Msg({4, 4}));
    EXPECT_EQ(cem.ReadMessage(), hostInfo);
    EXPECT_EQ(cem.ReadMessage(), aliInfo);
    EXPECT_EQ(cem.ReadMessage(), bobInfo);
    ASSERT_TRUE(cem.Send(vtest::JoinMsg("Cem")));

    GameTable expected;
    expected.DealWithSeed(99, 1);
    const Bytes deal = vtest::DealMsg(expected.hands);
    for (RawPeer* peer : {&ali, &bob, &cem}) {
        EXPECT_EQ(peer->ReadMessage(),
                  vtest::SeatInfoMsg(4, "Cem", g_seats[4].sock, kLoopback, LocalPort(cem)));
        EXPECT_EQ(peer->ReadMessage(), deal);
        EXPECT_EQ(peer->ReadMessage(), Msg({6}));
        EXPECT_TRUE(peer->ExpectSilence(20));
    }
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_EQ(view_.LastStatus(), "Game started");
    EXPECT_EQ(g_away[3], 0);
    EXPECT_EQ(g_table->turn, vtest::HolderOf(expected, CARD_OPENING));
    EXPECT_EQ(g_table->mustOpenLowest, 1);
}

TEST_F(HostRole, FifthConnectionIsTurnedAwayAndTheSeatedSeeNothing) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    view_.Clear();

    RawPeer fifth;
    ASSERT_TRUE(fifth.Connect(g_bindAddr.port));
    EXPECT_EQ(fifth.ReadMessage(), Msg({MSG_HOST_FULL}));
    ASSERT_TRUE(fifth.Send(Msg({MSG_CLOSE})));
    EXPECT_TRUE(fifth.WaitClosed());
    EXPECT_EQ(g_overflowSock, INVALID_SOCKET);
    for (int seat = 2; seat <= 4; ++seat) EXPECT_TRUE(table.seat[seat]->ExpectSilence(20));
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_TRUE(view_.chat.empty());
    EXPECT_TRUE(view_.statuses.empty());
}

TEST_F(HostRole, NewcomersWithNoFreeSeatGoTheOverflowWayAndTheOlderIsClosed) {
    Host();
    // Seats 2..4 taken by connections that never send their name.
    RawPeer waiting[3];
    for (RawPeer& peer : waiting) {
        ASSERT_TRUE(peer.Connect(g_bindAddr.port));
        ASSERT_EQ(peer.ReadMessage()[0], MSG_SEAT_ASSIGN);
    }
    EXPECT_EQ(g_playerCount, 1);
    RawPeer first;
    ASSERT_TRUE(first.Connect(g_bindAddr.port));
    EXPECT_EQ(first.ReadMessage(), Msg({MSG_HOST_FULL}));
    // A second overflow connection: the first one is closed, not leaked.
    RawPeer second;
    ASSERT_TRUE(second.Connect(g_bindAddr.port));
    EXPECT_EQ(second.ReadMessage(), Msg({MSG_HOST_FULL}));
    EXPECT_TRUE(first.WaitClosed());
    for (int seat = 2; seat <= 4; ++seat) EXPECT_NE(g_seats[seat].sock, INVALID_SOCKET);
}

TEST_F(HostRole, ANewcomerIsToldOnlyOfSeatsWhosePlayersHaveJoined) {
    Host();
    RawPeer ali;
    ASSERT_TRUE(ali.Connect(g_bindAddr.port));
    ASSERT_EQ(ali.ReadMessage(), Msg({4, 2}));
    ASSERT_EQ(ali.ReadMessage().size(), 41u);
    // Seat 2 has not sent its name: the next newcomer hears of the host only,
    // so that it cannot count a player the host does not count.
    RawPeer bob;
    ASSERT_TRUE(bob.Connect(g_bindAddr.port));
    EXPECT_EQ(bob.ReadMessage(), Msg({4, 3}));
    EXPECT_EQ(bob.ReadMessage()[1], 1);  // the host's record
    EXPECT_TRUE(bob.ExpectSilence(30));
    // Seat 2's join reaches both, once.
    ASSERT_TRUE(ali.Send(vtest::JoinMsg("Ali")));
    for (RawPeer* peer : {&ali, &bob}) {
        const Bytes info = peer->ReadMessage();
        ASSERT_EQ(info.size(), 41u);
        EXPECT_EQ(info[1], 2);
        EXPECT_TRUE(peer->ExpectSilence(20));
    }
    EXPECT_EQ(g_playerCount, 2);
}

TEST_F(HostRole, AConnectionThatLeavesBeforeItsJoinLeavesTheCountAloneAndGoesUnheard) {
    Host();
    RawPeer early;
    ASSERT_TRUE(early.Connect(g_bindAddr.port));
    ASSERT_EQ(early.ReadMessage(), Msg({4, 2}));
    early.Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_seats[2].sock == INVALID_SOCKET; }));
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_EQ(view_.LastStatus(), "Waiting user... 3 more needed");

    // The seat is free again and the next join counts once.
    RawPeer ali;
    ASSERT_TRUE(ali.Connect(g_bindAddr.port));
    ASSERT_EQ(ali.ReadMessage(), Msg({4, 2}));
    ali.ReadMessage();
    ASSERT_TRUE(ali.Send(vtest::JoinMsg("Ali")));
    ASSERT_EQ(ali.ReadMessage().size(), 41u);
    EXPECT_EQ(g_playerCount, 2);

    // A connection that was never announced leaves unheard by the others.
    RawPeer late;
    ASSERT_TRUE(late.Connect(g_bindAddr.port));
    ASSERT_EQ(late.ReadMessage(), Msg({4, 3}));
    late.Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_seats[3].sock == INVALID_SOCKET; }));
    EXPECT_TRUE(ali.ExpectSilence());
    EXPECT_EQ(view_.chat.find("has left"), std::string::npos);
    EXPECT_EQ(g_playerCount, 2);
}

// Connections that never finish their MSG_JOIN cannot hold the seats: each
// is closed when its time is up, unheard, and the players who come next sit
// down and are dealt.
TEST_F(HostRole, SilentConnectionsLoseTheirSeatsToPlayersWhoJoin) {
    SetJoinTimeoutForTest(300);
    Host();
    RawPeer silent[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(silent[i].Connect(g_bindAddr.port));
        ASSERT_EQ(silent[i].ReadMessage(), Msg({4, 2 + i}));
    }
    const Bytes join = vtest::JoinMsg("Half");
    ASSERT_TRUE(silent[1].Send(Bytes(join.begin(), join.begin() + 9)));  // half a join
    ASSERT_TRUE(silent[2].Send(Msg({MSG_JOIN})));                        // its type alone
    for (RawPeer& peer : silent) EXPECT_TRUE(peer.WaitClosed());
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_EQ(view_.chat.find("has left"), std::string::npos);

    RawPeer players[3];
    const char* names[] = {"Ali", "Bob", "Cem"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(players[i].Connect(g_bindAddr.port));
        ASSERT_EQ(players[i].ReadMessage(), Msg({4, 2 + i}));
        ASSERT_TRUE(players[i].Send(vtest::JoinMsg(names[i])));
    }
    for (RawPeer& player : players) {
        Bytes message;
        do {
            message = player.ReadMessage();
        } while (message.size() == MSG_SEAT_INFO_SIZE);
        EXPECT_EQ(message.size(), static_cast<std::size_t>(MSG_DEAL_SIZE));
        EXPECT_EQ(player.ReadMessage(), Msg({MSG_NEW_GAME}));
    }
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_STREQ(g_seats[4].name, "Cem");
}

TEST_F(HostRole, AClientLeavingMidGameIsToldToTheOthers) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    view_.Clear();

    table.seat[3]->Close();
    EXPECT_EQ(table.seat[2]->ReadMessage(), Msg({MSG_SEAT_LEFT, 3}));
    EXPECT_EQ(table.seat[4]->ReadMessage(), Msg({MSG_SEAT_LEFT, 3}));
    EXPECT_EQ(view_.chat, "[Vantoro]>> \"Bob\" has left.\r\n");
    EXPECT_EQ(view_.LastStatus(), "Waiting user... 1 more needed");
    EXPECT_EQ(g_playerCount, 3);
    EXPECT_GE(view_.repaints, 1);  // the table leaves the game view
    ASSERT_FALSE(view_.awayStates.empty());
    EXPECT_FALSE(view_.awayStates.back());
    EXPECT_EQ(g_seats[3].sock, INVALID_SOCKET);
    EXPECT_STREQ(g_seats[3].name, "");

    // A newcomer fills the seat and a new game is dealt.
    RawPeer dan;
    ASSERT_TRUE(dan.Connect(g_bindAddr.port));
    EXPECT_EQ(dan.ReadMessage(), Msg({4, 3}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(dan.ReadMessage().size(), 41u);
    ASSERT_TRUE(dan.Send(vtest::JoinMsg("Dan")));
    for (RawPeer* peer : {table.seat[2].get(), &dan, table.seat[4].get()}) {
        EXPECT_EQ(peer->ReadMessage().size(), 41u);
        EXPECT_EQ(peer->ReadMessage()[0], MSG_DEAL);
        EXPECT_EQ(peer->ReadMessage(), Msg({MSG_NEW_GAME}));
    }
    EXPECT_EQ(g_playerCount, 4);
}

TEST_F(HostRole, TheHostLeavingClosesEveryConnection) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    view_.Clear();
    Disconnect();
    for (int seat = 2; seat <= 4; ++seat) {
        EXPECT_TRUE(table.seat[seat]->ExpectSilence(10));  // no message, only the close
        EXPECT_TRUE(table.seat[seat]->WaitClosed());
    }
    EXPECT_EQ(view_.statuses, std::vector<std::string>{"Ready/No Connection"});
    for (int seat = 0; seat <= 4; ++seat) EXPECT_EQ(g_seats[seat].sock, INVALID_SOCKET);
    EXPECT_EQ(g_playerCount, 0);
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    // The program can host again.
    EXPECT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
}

TEST_F(HostRole, ForwardsGoToTheRightSeats) {
    const std::uint32_t seed = vtest::SeedOpenedBy(2);
    vtest::ResetNetwork(&view_, seed);
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    RawPeer& ali = *table.seat[2];
    RawPeer& bob = *table.seat[3];
    RawPeer& cem = *table.seat[4];

    // Seat 2 opens with the three of diamonds: applied, and forwarded to 3
    // and 4 only.
    const int pos = vtest::PositionOf(*g_table, 2, CARD_OPENING);
    const Bytes opening = PlayMsg(2, {pos});
    ASSERT_TRUE(ali.Send(opening));
    EXPECT_EQ(bob.ReadMessage(), opening);
    EXPECT_EQ(cem.ReadMessage(), opening);
    EXPECT_TRUE(ali.ExpectSilence(30));
    EXPECT_EQ(g_table->hands[2][pos], NO_CARD);
    EXPECT_EQ(g_table->turn, 3);

    // Seat 4 is not on turn: refused here, forwarded all the same.
    const Bytes early = PlayMsg(4, {0});
    ASSERT_TRUE(cem.Send(early));
    EXPECT_EQ(ali.ReadMessage(), early);
    EXPECT_EQ(bob.ReadMessage(), early);
    EXPECT_TRUE(cem.ExpectSilence(30));
    EXPECT_NE(g_table->hands[4][0], NO_CARD);

    // A pass skips its sender too.
    ASSERT_TRUE(bob.Send(Msg({MSG_PASS, 3})));
    EXPECT_EQ(ali.ReadMessage(), Msg({MSG_PASS, 3}));
    EXPECT_EQ(cem.ReadMessage(), Msg({MSG_PASS, 3}));
    EXPECT_TRUE(bob.ExpectSilence(30));
    EXPECT_EQ(g_table->turn, 4);

    // Chat and away come back to their sender as well.
    view_.Clear();
    const Bytes chat = ChatMsg(3, "hi all");
    ASSERT_TRUE(bob.Send(chat));
    for (RawPeer* peer : {&ali, &bob, &cem}) EXPECT_EQ(peer->ReadMessage(), chat);
    EXPECT_EQ(view_.chatAppends, (std::vector<std::string>{"Bob", ": ", "hi all", "\r\n"}));

    ASSERT_TRUE(cem.Send(Msg({MSG_AWAY, 4, 1})));
    for (RawPeer* peer : {&ali, &bob, &cem}) EXPECT_EQ(peer->ReadMessage(), Msg({13, 4, 1}));
    EXPECT_EQ(g_away[4], 1);
    EXPECT_TRUE(view_.awayStates.empty());  // not the host's own box
}

TEST_F(HostRole, MessagesForAnotherSeatOrOutOfRangeAreDropped) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    RawPeer& ali = *table.seat[2];
    const GameTable before = *g_table;

    std::uint64_t start = Total();
    // Seat 2's connection speaking for seat 3 or for the host.
    ASSERT_TRUE(ali.Send(
        Concat({PlayMsg(3, {0}), Msg({MSG_PASS, 1}), ChatMsg(4, "me?"), Msg({MSG_AWAY, 3, 1})})));
    ASSERT_TRUE(WaitRead(start, 4));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kNotSendersSeat), 4u);
    // Seats that do not exist.
    start = Total();
    ASSERT_TRUE(ali.Send(Concat({PlayMsg(0, {0}), PlayMsg(5, {0}), Msg({MSG_PASS, 0xFF}),
                                 ChatMsg(0, "x"), Msg({MSG_AWAY, 7, 1})})));
    ASSERT_TRUE(WaitRead(start, 5));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kBadSeat), 5u);
    for (int seat = 2; seat <= 4; ++seat) EXPECT_TRUE(table.seat[seat]->ExpectSilence(20));
    EXPECT_EQ(std::memcmp(before.hands, g_table->hands, sizeof before.hands), 0);
    EXPECT_EQ(g_table->turn, before.turn);
    for (int seat = 0; seat <= 4; ++seat) EXPECT_EQ(g_away[seat], 0);
}

TEST_F(HostRole, JoinsThatChangeNothingAreDropped) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    const std::uint64_t start = Total();
    ASSERT_TRUE(table.seat[3]->Send(vtest::JoinMsg("Bobby")));
    ASSERT_TRUE(WaitRead(start, 1));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kJoinTwice), 1u);
    EXPECT_STREQ(g_seats[3].name, "Bob");
    EXPECT_EQ(g_playerCount, 4);
    for (int seat = 2; seat <= 4; ++seat) EXPECT_TRUE(table.seat[seat]->ExpectSilence(20));

    // The turned-away connection holds no seat: its name is not taken.
    RawPeer fifth;
    ASSERT_TRUE(fifth.Connect(g_bindAddr.port));
    ASSERT_EQ(fifth.ReadMessage(), Msg({MSG_HOST_FULL}));
    ASSERT_TRUE(fifth.Send(vtest::JoinMsg("Eve")));
    ASSERT_TRUE(WaitRead(start + 1, 1));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kJoinNoSeat), 1u);
    EXPECT_EQ(g_playerCount, 4);
}

TEST_F(HostRole, TypesOnlyAClientReceivesAreReadWholeAndDropped) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    RawPeer& ali = *table.seat[2];
    GameTable stale;
    stale.DealWithSeed(1, 1);
    const std::uint64_t start = Total();
    // A record for the host's own seat, a deal, a seat assignment, a
    // departure, a new game and a full table: none may touch the host.
    ASSERT_TRUE(ali.Send(
        Concat({vtest::SeatInfoMsg(1, "Evil", 3, 0, 0), vtest::DealMsg(stale.hands), Msg({4, 2}),
                Msg({5, 3}), Msg({6}), Msg({7}), ChatMsg(2, "still in step")})));
    ASSERT_TRUE(WaitRead(start, 7));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kWrongRole), 6u);
    EXPECT_EQ(g_readStats.handled[MSG_CHAT], 1u);
    EXPECT_STREQ(g_seats[1].name, "Hana");
    EXPECT_STREQ(g_seats[3].name, "Bob");
    EXPECT_NE(std::memcmp(stale.hands, g_table->hands, sizeof stale.hands), 0);
    EXPECT_EQ(g_localSeat, 1);
    EXPECT_EQ(g_playerCount, 4);
}

TEST_F(HostRole, StrayBytesAndChatLengthsNoWriterSendsKeepTheStreamInStep) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    RawPeer& ali = *table.seat[2];
    view_.Clear();

    Bytes oversized = {MSG_CHAT, 2, 0xEA, 0x03};  // n = 1002
    oversized.resize(4 + 1002, 'y');
    Bytes huge = {MSG_CHAT, 2, 0xFF, 0xFF};  // n = 65535: more than the layer keeps at once
    huge.resize(4 + 65535, 'z');
    const std::uint64_t start = Total();
    ASSERT_TRUE(ali.Send(
        Concat({Msg({0x00, 0x0E, 0x80, 0xFF}), Msg({MSG_CHAT, 2, 0, 0}),
                Msg({MSG_CHAT, 2, 1, 0, 0}), oversized, huge, ChatMsg(2, "after all that")})));
    ASSERT_TRUE(WaitRead(start, 9));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kUnknownType), 4u);
    EXPECT_EQ(g_readStats.Dropped(DropReason::kBadChatLength), 4u);
    EXPECT_EQ(view_.chat, "Ali: after all that\r\n");
    EXPECT_EQ(table.seat[3]->ReadMessage(), ChatMsg(2, "after all that"));
    EXPECT_TRUE(table.seat[3]->ExpectSilence(20));
    EXPECT_EQ(g_readStats.droppedBytes, 4u + 4u + 5u + 1006u + 65539u);
}

TEST_F(HostRole, ChatTextStopsAtItsNulAndNeverPassesItsLength) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    view_.Clear();
    const Bytes early = {MSG_CHAT, 2, 6, 0, 'a', 'b', 0, 'c', 'd', 0};
    const Bytes unterminated = {MSG_CHAT, 2, 3, 0, 'x', 'y', 'z'};
    const std::uint64_t start = Total();
    ASSERT_TRUE(table.seat[2]->Send(Concat({early, unterminated, ChatMsg(2, "end")})));
    ASSERT_TRUE(WaitRead(start, 3));
    EXPECT_EQ(view_.chat, "Ali: ab\r\nAli: xyz\r\nAli: end\r\n");
    // Forwarded as they came.
    EXPECT_EQ(table.seat[3]->ReadMessage(), early);
    EXPECT_EQ(table.seat[3]->ReadMessage(), unterminated);
}

TEST_F(HostRole, OnlyTheWinnerOfAFinishedRoundStartsTheNext) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table));
    // While the round goes on nobody can ask for the next.
    std::uint64_t start = Total();
    ASSERT_TRUE(table.seat[3]->Send(Msg({MSG_NEXT_ROUND})));
    ASSERT_TRUE(WaitRead(start, 1));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kNextRound), 1u);

    // Seat 3 has won the round (its last card played).
    g_table->roundOver = 1;
    g_table->leader = 3;
    g_table->money[3] = 123;
    start = Total();
    ASSERT_TRUE(table.seat[2]->Send(Msg({MSG_NEXT_ROUND})));
    ASSERT_TRUE(WaitRead(start, 1));
    EXPECT_EQ(g_readStats.Dropped(DropReason::kNextRound), 2u);
    for (int seat = 2; seat <= 4; ++seat) EXPECT_TRUE(table.seat[seat]->ExpectSilence(20));

    view_.Clear();
    ASSERT_TRUE(table.seat[3]->Send(Msg({MSG_NEXT_ROUND})));
    for (int seat = 2; seat <= 4; ++seat) {
        const Bytes deal = table.seat[seat]->ReadMessage();
        ASSERT_EQ(deal.size(), 66u);
        EXPECT_EQ(deal, vtest::DealMsg(g_table->hands));
        EXPECT_TRUE(table.seat[seat]->ExpectSilence(20));  // no MSG_NEW_GAME
    }
    EXPECT_EQ(g_table->roundOver, 0);
    EXPECT_EQ(g_table->turn, 3);        // the winner leads
    EXPECT_EQ(g_table->money[3], 123);  // the game goes on
    EXPECT_EQ(view_.LastStatus(), "Game started");
}

TEST_F(HostRole, ASlowReaderGetsEveryForwardInOrder) {
    vtest::FullTable table;
    ASSERT_TRUE(vtest::HostFullTable(&table, 4096));
    RawPeer& ali = *table.seat[2];
    RawPeer& cem = *table.seat[4];  // reads nothing until the end
    // Keep the kernel's share small on the host's side too, so that most of
    // what is due to seat 4 has to wait in the socket layer.
    const int small = 4096;
    setsockopt(static_cast<int>(g_seats[4].sock), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);

    constexpr int kLines = 2000;
    auto line = [](int i) {
        std::string text = std::to_string(i) + ":";
        text.resize(1000, static_cast<char>('a' + i % 26));
        return text;
    };
    const std::uint64_t start = g_readStats.handled[MSG_CHAT];
    for (int i = 0; i < kLines; ++i) {
        ASSERT_TRUE(ali.Send(ChatMsg(2, line(i)))) << i;
        if (i % 50 == 0) {
            ali.Drain();
            table.seat[3]->Drain();
        }
    }
    ASSERT_TRUE(vtest::PumpUntil(
        [&] {
            ali.Drain();
            table.seat[3]->Drain();
            return g_readStats.handled[MSG_CHAT] == start + kLines;
        },
        20000));
    // The kernel holds only part of what is due to the slow reader: the rest
    // waits in the socket layer's queue for that connection.
    int inReceiveQueue = 0;
    int inSendQueue = 0;
    ioctl(cem.fd(), FIONREAD, &inReceiveQueue);
    ioctl(static_cast<int>(g_seats[4].sock), SIOCOUTQ, &inSendQueue);
    EXPECT_LT(inReceiveQueue + inSendQueue, kLines * 1005);

    for (int i = 0; i < kLines; ++i) {
        const Bytes got = cem.ReadMessage(5000);
        ASSERT_EQ(got, ChatMsg(2, line(i))) << "line " << i;
    }
    EXPECT_TRUE(cem.ExpectSilence(20));
}

}  // namespace
