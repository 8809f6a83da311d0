// The wire format byte for byte, without sockets.
#include "net/wire.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/scripted_peer.h"

namespace {

using vtest::Bytes;

TEST(WireSizes, EveryTypeHasItsTotalSizeAndItsReceivers) {
    // Type 1..13 and their sizes, the type byte counted; MSG_CHAT is 4 + n.
    const int expected[14] = {0, 18, 41, 66, 2, 2, 1, 1, 1, 15, 2, 4, 1, 3};
    // The host receives JOIN, CLOSE, PLAY, PASS, CHAT, NEXT_ROUND and AWAY; a
    // client every type but JOIN, CLOSE and NEXT_ROUND.
    const char* toHost = "-1000000111111";  // by type, index 0 unused
    const char* toClient = "-0111111011101";
    for (int type = 1; type <= 13; ++type) {
        const auto byte = static_cast<std::uint8_t>(type);
        ASSERT_NE(MessageKindOf(byte), nullptr) << type;
        EXPECT_EQ(MessageKindOf(byte)->size, expected[type]) << type;
        EXPECT_EQ(MessageKindOf(byte)->lengthInPayload, type == MSG_CHAT) << type;
        EXPECT_EQ(ReceivedBy(byte, true), toHost[type] == '1') << type;
        EXPECT_EQ(ReceivedBy(byte, false), toClient[type] == '1') << type;
    }
    for (int type : {0, 14, 127, 128, 200, 255}) {
        EXPECT_FALSE(IsKnownMessageType(static_cast<std::uint8_t>(type))) << type;
        EXPECT_EQ(MessageKindOf(static_cast<std::uint8_t>(type)), nullptr) << type;
        EXPECT_FALSE(ReceivedBy(static_cast<std::uint8_t>(type), true)) << type;
        EXPECT_FALSE(ReceivedBy(static_cast<std::uint8_t>(type), false)) << type;
    }
}

TEST(WireFrame, TellsWholeIncompleteAndUnknown) {
    const Bytes play = vtest::PlayMsg(2, {0});
    Frame f = FrameAt(play.data(), 1);
    EXPECT_EQ(f.kind, Frame::kMessage);  // a fixed size is known from the type alone
    EXPECT_EQ(f.size, 15u);
    f = FrameAt(play.data(), 0);
    EXPECT_EQ(f.kind, Frame::kIncomplete);

    const Bytes chat = vtest::ChatMsg(3, "hello");  // n = 6
    EXPECT_EQ(FrameAt(chat.data(), 3).kind, Frame::kIncomplete);
    f = FrameAt(chat.data(), 4);
    EXPECT_EQ(f.kind, Frame::kMessage);
    EXPECT_EQ(f.size, 10u);

    for (int stray : {0x00, 0x0E, 0x80, 0xFF}) {
        const std::uint8_t byte = static_cast<std::uint8_t>(stray);
        f = FrameAt(&byte, 1);
        EXPECT_EQ(f.kind, Frame::kUnknownType) << stray;
        EXPECT_EQ(f.size, 1u);
    }
    // n is little-endian: 0x03E9 = 1001 gives the largest message, 1005 bytes.
    const std::uint8_t longest[4] = {11, 2, 0xE9, 0x03};
    EXPECT_EQ(FrameAt(longest, 4).size, 1005u);
}

TEST(WireSeatRecord, EncodesEachFieldAtItsOffset) {
    SeatRecord record;
    std::memset(&record, 0x77, sizeof record);  // stray bytes in memory must not travel
    record.number = 3;
    std::memset(record.name, 0, sizeof record.name);
    std::strcpy(record.name, "Bob");
    record.sock = 0x01020304;
    record.addr.family = 2;
    record.addr.port = 7171;        // 0x1C03
    record.addr.ipv4 = 0xC0A80A15;  // 192.168.10.21
    std::uint8_t out[SEAT_RECORD_SIZE];
    EncodeSeatRecord(record, out);

    const Bytes expected =
        vtest::SeatInfoMsg(3, "Bob", 0x01020304, 0xC0A80A15, 7171);  // built from the layout
    EXPECT_EQ(Bytes(out, out + 40), Bytes(expected.begin() + 1, expected.end()));
    // Spot checks written out: sock little-endian, port and address in network order.
    EXPECT_EQ(out[20], 0x04);
    EXPECT_EQ(out[23], 0x01);
    EXPECT_EQ(out[24], 2);
    EXPECT_EQ(out[25], 0);
    EXPECT_EQ(out[26], 0x1C);
    EXPECT_EQ(out[27], 0x03);
    EXPECT_EQ(out[28], 192);
    EXPECT_EQ(out[31], 21);
    for (int i = 32; i < 40; ++i) EXPECT_EQ(out[i], 0) << i;
    EXPECT_EQ(out[18], 0);
    EXPECT_EQ(out[19], 0);

    SeatRecord back;
    DecodeSeatRecord(out, &back);
    EXPECT_EQ(back.number, 3);
    EXPECT_STREQ(back.name, "Bob");
    EXPECT_EQ(back.sock, 0x01020304u);
    EXPECT_EQ(back.addr.family, 2);
    EXPECT_EQ(back.addr.port, 7171);
    EXPECT_EQ(back.addr.ipv4, 0xC0A80A15u);
}

TEST(WireNames, ANameWithoutItsNulIsCutToSixteen) {
    std::uint8_t raw[17];
    std::memset(raw, 'A', sizeof raw);
    char name[NAME_SIZE];
    CopyReceivedName(name, raw);
    EXPECT_EQ(std::string(name), std::string(16, 'A'));

    // Bytes after the NUL carry no meaning and are not kept.
    const std::uint8_t withTail[17] = {'J', 'o', 0, 'x', 'y', 'z'};
    CopyReceivedName(name, withTail);
    EXPECT_STREQ(name, "Jo");
    for (int i = 2; i < NAME_SIZE; ++i) EXPECT_EQ(name[i], 0) << i;

    SeatRecord record;
    const Bytes info = vtest::SeatInfoMsg(2, std::string(17, 'Z'), 9, 0, 0);
    DecodeSeatRecord(info.data() + 1, &record);
    EXPECT_EQ(std::string(record.name), std::string(16, 'Z'));
}

TEST(WireDeal, PositionZeroOfSeatOneIsPayloadByteThirteen) {
    GameTable table;
    table.DealWithSeed(7, 1);
    std::uint8_t out[MSG_BUFFER_SIZE];
    ASSERT_EQ(BuildDeal(out, table.hands), 66);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1 + 13], table.hands[1][0]);
    EXPECT_EQ(out[1 + 13 * 4 + 12], table.hands[4][12]);
    EXPECT_TRUE(IsCompleteDeal(out + 1));
}

TEST(WireDeal, OnlyAWholeDeckIsComplete) {
    GameTable table;
    table.DealWithSeed(11, 1);
    std::uint8_t hands[65];
    std::memcpy(hands, table.hands, 65);
    ASSERT_TRUE(IsCompleteDeal(hands));

    std::uint8_t bad[65];
    std::memcpy(bad, hands, 65);
    bad[13] = bad[14];  // one card twice, another missing
    EXPECT_FALSE(IsCompleteDeal(bad));
    std::memcpy(bad, hands, 65);
    bad[40] = 52;  // no such card
    EXPECT_FALSE(IsCompleteDeal(bad));
    std::memcpy(bad, hands, 65);
    bad[64] = NO_CARD;  // a hand short of a card
    EXPECT_FALSE(IsCompleteDeal(bad));
    // Seat 0's row means nothing: whatever it holds, the deal stands.
    std::memcpy(bad, hands, 65);
    std::memset(bad, 0xEE, 13);
    EXPECT_TRUE(IsCompleteDeal(bad));
}

}  // namespace
