// A recorded session delivered in every possible way: whole, split in two at
// every offset, one byte at a time. However the bytes arrive, the reader must
// end in the same state, having handled every message once and in order.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

// Everything a session can change that the player or the peers could notice.
struct Outcome {
    std::string chat;
    std::vector<std::string> statuses;
    std::vector<int> handledTypes;
    std::uint64_t dropped = 0;
    int playerCount = 0;
    int localSeat = 0;
    int away[5] = {};
    std::string names[5];
    std::uint8_t hands[5][13] = {};
    int turn = 0;
    int leader = 0;
    int tableCount = 0;
    Bytes sentBack;  // what the program sent to its peer(s)

    std::string Describe() const {
        std::string d = "count " + std::to_string(playerCount) + " seat " +
                        std::to_string(localSeat) + " turn " + std::to_string(turn) + " leader " +
                        std::to_string(leader) + " tableCount " + std::to_string(tableCount) +
                        " dropped " + std::to_string(dropped) + " sent " +
                        std::to_string(sentBack.size()) + " handled";
        for (int t : handledTypes) d += " " + std::to_string(t);
        d += " statuses";
        for (const std::string& st : statuses) d += " [" + st + "]";
        return d + " chat [" + chat + "]";
    }

    bool operator==(const Outcome& o) const {
        for (int s = 0; s < 5; ++s) {
            if (away[s] != o.away[s] || names[s] != o.names[s]) return false;
        }
        return chat == o.chat && statuses == o.statuses && handledTypes == o.handledTypes &&
               dropped == o.dropped && playerCount == o.playerCount && localSeat == o.localSeat &&
               std::memcmp(hands, o.hands, sizeof hands) == 0 && turn == o.turn &&
               leader == o.leader && tableCount == o.tableCount && sentBack == o.sentBack;
    }
};

Outcome Capture(const vtest::RecordingView& view, Bytes sentBack) {
    Outcome o;
    o.chat = view.chat;
    o.statuses = view.statuses;
    o.handledTypes = view.handledTypes;
    o.dropped = g_readStats.DroppedCount();
    o.playerCount = g_playerCount;
    o.localSeat = g_localSeat;
    for (int s = 0; s < 5; ++s) {
        o.away[s] = g_away[s];
        o.names[s] = g_seats[s].name;
    }
    std::memcpy(o.hands, g_table->hands, sizeof o.hands);
    o.turn = g_table->turn;
    o.leader = g_table->leader;
    o.tableCount = g_table->tableCount;
    o.sentBack = std::move(sentBack);
    return o;
}

// A seat record carries the host's descriptor and the peer's port, which
// differ from one connection to the next: blank them for comparing.
Bytes BlankConnectionFields(Bytes stream) {
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t size = vtest::MessageSizeAt(stream, at);
        if (size == 0 || at + size > stream.size()) break;
        if (stream[at] == MSG_SEAT_INFO) {
            for (int i : {20, 21, 22, 23, 26, 27}) stream[at + 1 + i] = 0;
        }
        at += size;
    }
    return stream;
}

std::uint64_t Total() {
    std::uint64_t total = g_readStats.DroppedCount() + g_readStats.HandledCount();
    return total;
}

// ---------------------------------------------------------------------------
// The program as a client: the host's stream, from the seat to a finished
// exchange of plays, chat and a departure, with stray bytes and a dropped
// message on the way.

class ClientSplit : public testing::Test {
  protected:
    void SetUp() override {
        GameTable deal;
        deal.DealWithSeed(vtest::SeedOpenedBy(4), 1);
        const int pos = vtest::PositionOf(deal, 4, CARD_OPENING);
        session_ =
            Concat({Msg({4, 3}), vtest::SeatInfoMsg(1, "Hana", 5, 0x7F000001, 7171),
                    vtest::SeatInfoMsg(2, "Ali", 6, 0x7F000001, 40001), Msg({0x00}),
                    vtest::SeatInfoMsg(3, "Bob", 7, 0x7F000001, 40002),
                    vtest::SeatInfoMsg(4, "Cem", 8, 0x7F000001, 40003), vtest::DealMsg(deal.hands),
                    Msg({6}), vtest::PlayMsg(4, {pos}), Msg({MSG_PASS, 1}), Msg({0xF3}),
                    ChatMsg(2, "nice one"), vtest::PlayMsg(9, {1}), Msg({MSG_AWAY, 3, 1}),
                    ChatMsg(4, std::string(40, 'w')), Msg({MSG_SEAT_LEFT, 4})});
        messages_ = 16;  // 13 handled, 3 dropped (two stray bytes, a seat 9)
    }
    void TearDown() override { vtest::ReleaseNetwork(); }

    // Joins a fresh scripted host, delivers the session in the given pieces
    // (pumping between them) and returns what came of it.
    Outcome Run(const std::vector<Bytes>& pieces) {
        vtest::ResetNetwork(&view_);
        vtest::ScriptedHost host;
        EXPECT_EQ(JoinTable("Bob", "127.0.0.1", std::to_string(host.port()).c_str()).step,
                  ConnectStep::Connected);
        std::unique_ptr<RawPeer> conn = host.Accept();
        if (conn == nullptr) return {};
        for (const Bytes& piece : pieces) {
            EXPECT_TRUE(conn->Send(piece));
            vtest::Pump(1);
        }
        EXPECT_TRUE(vtest::PumpUntil([&] { return Total() >= messages_; }));
        vtest::Pump(2);  // nothing more may happen
        return Capture(view_, conn->Drain());
    }

    vtest::RecordingView view_;
    Bytes session_;
    std::uint64_t messages_ = 0;
};

TEST_F(ClientSplit, WholeSessionGivesTheExpectedTable) {
    const Outcome whole = Run({session_});
    EXPECT_EQ(whole.handledTypes, (std::vector<int>{4, 2, 2, 2, 2, 3, 6, 9, 10, 11, 13, 11, 5}));
    EXPECT_EQ(whole.dropped, 3u);
    EXPECT_EQ(whole.localSeat, 3);
    EXPECT_EQ(whole.playerCount, 3);  // seat 4 left
    EXPECT_EQ(whole.away[3], 1);
    EXPECT_EQ(whole.turn, 2);  // seat 4 opened, seat 1 passed
    EXPECT_EQ(whole.tableCount, 1);
    EXPECT_EQ(whole.sentBack, vtest::JoinMsg("Bob"));
    EXPECT_EQ(whole.statuses.back(), "Connected, waiting user... 1 more needed");
    EXPECT_NE(whole.chat.find("Ali: nice one\r\n"), std::string::npos);
    EXPECT_NE(whole.chat.find("Cem: " + std::string(40, 'w') + "\r\n"), std::string::npos);
    const std::string left = "[Vantoro]>> \"Cem\" has left.\r\n";
    ASSERT_GE(whole.chat.size(), left.size());
    EXPECT_EQ(whole.chat.substr(whole.chat.size() - left.size()), left);
}

TEST_F(ClientSplit, EverySplitOffsetGivesTheSameResult) {
    const Outcome whole = Run({session_});
    for (std::size_t cut = 1; cut < session_.size(); ++cut) {
        const Bytes head(session_.begin(), session_.begin() + static_cast<long>(cut));
        const Bytes tail(session_.begin() + static_cast<long>(cut), session_.end());
        ASSERT_TRUE(Run({head, tail}) == whole) << "split at " << cut;
    }
}

TEST_F(ClientSplit, OneByteAtATimeGivesTheSameResult) {
    const Outcome whole = Run({session_});
    std::vector<Bytes> bytes;
    for (std::uint8_t b : session_) bytes.push_back(Bytes{b});
    EXPECT_TRUE(Run(bytes) == whole);
}

// ---------------------------------------------------------------------------
// The program as the host: seat 2's stream, whose join completes the table,
// then its moves; what the host shows and what the other seats receive must
// not depend on how the stream was cut.

class HostSplit : public testing::Test {
  protected:
    void SetUp() override {
        seed_ = vtest::SeedOpenedBy(2);
        GameTable deal;
        deal.DealWithSeed(seed_, 1);
        const int pos = vtest::PositionOf(deal, 2, CARD_OPENING);
        session_ = Concat({vtest::JoinMsg("Ali"), ChatMsg(2, "hello"), Msg({0x99}),
                           vtest::PlayMsg(2, {pos}), Msg({MSG_AWAY, 2, 1}), vtest::PlayMsg(3, {0}),
                           Msg({MSG_PASS, 2})});
        messages_ = 7;  // 5 handled; a stray byte and a play for another seat dropped
    }
    void TearDown() override { vtest::ReleaseNetwork(); }

    Outcome Run(const std::vector<Bytes>& pieces) {
        vtest::ResetNetwork(&view_, seed_);
        EXPECT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
        RawPeer seat[5];
        // Seat 2 connects first but joins last; seats 3 and 4 join at once.
        EXPECT_TRUE(seat[2].Connect(g_bindAddr.port));
        EXPECT_EQ(seat[2].ReadMessage(), Msg({4, 2}));
        for (int s = 3; s <= 4; ++s) {
            EXPECT_TRUE(seat[s].Connect(g_bindAddr.port));
            EXPECT_EQ(seat[s].ReadMessage(), Msg({4, s}));
            EXPECT_TRUE(seat[s].Send(vtest::JoinMsg(s == 3 ? "Bob" : "Cem")));
            EXPECT_TRUE(vtest::PumpUntil([s] { return IsSeatCounted(s); }));
        }
        for (RawPeer& peer : seat) peer.IsOpen() ? (void)peer.Drain() : (void)0;
        view_.Clear();
        ResetReadStats();
        for (const Bytes& piece : pieces) {
            EXPECT_TRUE(seat[2].Send(piece));
            vtest::Pump(1);
        }
        EXPECT_TRUE(vtest::PumpUntil([&] { return Total() >= messages_; }));
        vtest::Pump(2);
        // What seats 3 and 4 received, one after the other, and seat 2's echoes.
        Bytes received = seat[3].Drain();
        const Bytes four = seat[4].Drain();
        const Bytes two = seat[2].Drain();
        received.insert(received.end(), four.begin(), four.end());
        received.insert(received.end(), two.begin(), two.end());
        return Capture(view_, BlankConnectionFields(received));
    }

    vtest::RecordingView view_;
    std::uint32_t seed_ = 0;
    Bytes session_;
    std::uint64_t messages_ = 0;
};

TEST_F(HostSplit, WholeSessionGivesTheExpectedTable) {
    const Outcome whole = Run({session_});
    EXPECT_EQ(whole.handledTypes, (std::vector<int>{1, 11, 9, 13, 10}));
    EXPECT_EQ(whole.dropped, 2u);
    EXPECT_EQ(whole.playerCount, 4);
    EXPECT_EQ(whole.away[2], 1);
    EXPECT_EQ(whole.turn, 3);  // seat 2 opened; its pass was not its turn
    EXPECT_EQ(whole.statuses, std::vector<std::string>{"Game started"});
    // Seat 3 got: seat 2's record, the deal, the new game, the chat, the
    // play, the away flag and the (refused) pass.
    EXPECT_EQ(whole.sentBack.size(), 3 * (41 + 66 + 1 + 10 + 3) + 2 * (15 + 2));
}

TEST_F(HostSplit, EverySplitOffsetGivesTheSameResult) {
    const Outcome whole = Run({session_});
    for (std::size_t cut = 1; cut < session_.size(); ++cut) {
        const Bytes head(session_.begin(), session_.begin() + static_cast<long>(cut));
        const Bytes tail(session_.begin() + static_cast<long>(cut), session_.end());
        const Outcome split = Run({head, tail});
        ASSERT_TRUE(split == whole) << "split at " << cut << "\n"
                                    << split.Describe() << "\n"
                                    << whole.Describe();
    }
    std::vector<Bytes> bytes;
    for (std::uint8_t b : session_) bytes.push_back(Bytes{b});
    EXPECT_TRUE(Run(bytes) == whole);
}

}  // namespace
