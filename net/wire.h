// The wire format between the host and its clients: the message types, who
// receives each, their sizes and layouts, the 40-byte seat record, and the
// builders and framing that the relay and the reader share.
//
// A message is one type byte (1..13) followed by a payload whose size is
// fixed by the type; only MSG_CHAT carries a length of its own. No header,
// version or checksum. Integers wider than a byte are little-endian, except
// the port and address inside a seat record's `addr`, which are in network
// order. A seat number travels as one byte, read as a signed byte; valid
// seats are 1..4.
//
// Each size constant counts the type byte; the picture beside it shows the
// bytes from offset 0. This header depends on nothing else of the network
// code but the socket handle type.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/socket_handle.h"
#include "rules/game_table.h"

constexpr int NAME_SIZE = 17;  // a nickname: at most 16 characters and a NUL
constexpr int NAME_MAX_CHARS = 16;

// An IPv4 socket address, kept in host byte order in memory. On the wire
// (inside a SeatRecord) it is 16 bytes: family u16 little-endian (2), port u16
// and address u32 in network order, eight zero bytes.
struct SeatAddr {
    std::uint16_t family;  // 2 (AF_INET) once set
    std::uint16_t port;
    std::uint32_t ipv4;  // a.b.c.d = a << 24 | b << 16 | c << 8 | d
};

// One seat. In memory a plain record; on the wire 40 bytes, serialised
// explicitly by EncodeSeatRecord and DecodeSeatRecord:
//   number(1) name(17) filler(2) sock(4, LE) addr(16)
struct SeatRecord {
    std::int8_t number;    // seat number 0..4, equal to the record's index
    char name[NAME_SIZE];  // NUL-terminated nickname
    Socket sock;           // the host's handle of the seat's connection; INVALID_SOCKET = empty
    SeatAddr addr;         // the peer's address (a client seat) or the bound one (the host's)
};

constexpr int SEAT_RECORD_SIZE = 40;

// Message types.
constexpr std::uint8_t MSG_JOIN = 1;
constexpr std::uint8_t MSG_SEAT_INFO = 2;
constexpr std::uint8_t MSG_DEAL = 3;
constexpr std::uint8_t MSG_SEAT_ASSIGN = 4;
constexpr std::uint8_t MSG_SEAT_LEFT = 5;
constexpr std::uint8_t MSG_NEW_GAME = 6;
constexpr std::uint8_t MSG_HOST_FULL = 7;
constexpr std::uint8_t MSG_CLOSE = 8;
constexpr std::uint8_t MSG_PLAY = 9;
constexpr std::uint8_t MSG_PASS = 10;
constexpr std::uint8_t MSG_CHAT = 11;
constexpr std::uint8_t MSG_NEXT_ROUND = 12;
constexpr std::uint8_t MSG_AWAY = 13;
constexpr std::uint8_t MSG_TYPE_LAST = MSG_AWAY;  // types are 1..MSG_TYPE_LAST

// Offsets shared by several layouts.
constexpr int MSG_TYPE_OFFSET = 0;
constexpr int MSG_SEAT_OFFSET = 1;  // PLAY, PASS, CHAT, AWAY, SEAT_ASSIGN, SEAT_LEFT

// Sizes, the type byte included.
constexpr int MSG_JOIN_SIZE = 1 + NAME_SIZE;                     // type | name(17, NUL-terminated)
constexpr int MSG_SEAT_INFO_SIZE = 1 + SEAT_RECORD_SIZE;         // type | SeatRecord(40)
constexpr int MSG_DEAL_SIZE = 1 + (SEAT_COUNT + 1) * HAND_SIZE;  // type | hands[5][13](65)
constexpr int MSG_SEAT_ASSIGN_SIZE = 1 + 1;                      // type | seat
constexpr int MSG_SEAT_LEFT_SIZE = 1 + 1;                        // type | seat
constexpr int MSG_NEW_GAME_SIZE = 1;                             // type
constexpr int MSG_HOST_FULL_SIZE = 1;                            // type
constexpr int MSG_CLOSE_SIZE = 1;                                // type
constexpr int MSG_PLAY_SIZE = 1 + 1 + HAND_SIZE;                 // type | seat | selection(13)
constexpr int MSG_PASS_SIZE = 1 + 1;                             // type | seat
constexpr int MSG_CHAT_HEADER_SIZE = 1 + 1 + 2;  // type | seat | n(u16 LE) | text(n)
constexpr int MSG_NEXT_ROUND_SIZE = 1;           // type
constexpr int MSG_AWAY_SIZE = 1 + 1 + 1;         // type | seat | flag

static_assert(MSG_JOIN_SIZE == 18);
static_assert(MSG_SEAT_INFO_SIZE == 41);
static_assert(MSG_DEAL_SIZE == 66);
static_assert(MSG_SEAT_ASSIGN_SIZE == 2 && MSG_SEAT_LEFT_SIZE == 2);
static_assert(MSG_NEW_GAME_SIZE == 1 && MSG_HOST_FULL_SIZE == 1 && MSG_CLOSE_SIZE == 1);
static_assert(MSG_PLAY_SIZE == 15);
static_assert(MSG_PASS_SIZE == 2);
static_assert(MSG_CHAT_HEADER_SIZE == 4);  // 4 + n in all
static_assert(MSG_NEXT_ROUND_SIZE == 1);
static_assert(MSG_AWAY_SIZE == 3);

// MSG_PLAY: the 13 selection bytes, one per hand position (0 = not chosen).
constexpr int MSG_PLAY_SELECTION_OFFSET = 2;
static_assert(MSG_PLAY_SELECTION_OFFSET + HAND_SIZE == MSG_PLAY_SIZE);
// MSG_DEAL: hands of seats 0..4, 13 bytes each; position p of seat s at 1 + 13 * s + p.
constexpr int MSG_DEAL_HANDS_OFFSET = 1;
// MSG_AWAY: the new flag (1 away, 0 present).
constexpr int MSG_AWAY_FLAG_OFFSET = 2;
// MSG_CHAT: n counts the text bytes, the NUL included; the writer sends at
// most 1000 characters, so n is 2..1001 and the largest message 1005 bytes.
constexpr int MSG_CHAT_LENGTH_OFFSET = 2;
constexpr int MSG_CHAT_TEXT_OFFSET = 4;
constexpr int CHAT_MAX_CHARS = 1000;
constexpr int CHAT_MIN_LENGTH = 2;                   // one character and the NUL
constexpr int CHAT_MAX_LENGTH = CHAT_MAX_CHARS + 1;  // n
constexpr int MSG_CHAT_MAX_SIZE = MSG_CHAT_HEADER_SIZE + CHAT_MAX_LENGTH;
static_assert(MSG_CHAT_MAX_SIZE == 1005);
// The largest message: a 1000-character chat line. g_outMsg holds it.
constexpr int MSG_BUFFER_SIZE = MSG_CHAT_MAX_SIZE;

// The 40-byte seat record:
//   number(1) | name(17) | filler(2, zero) | sock(u32 LE) |
//   family(u16 LE, 2) | port(u16 BE) | ipv4(u32 BE) | zero(8)
constexpr int SEAT_NUMBER_OFFSET = 0;
constexpr int SEAT_NAME_OFFSET = 1;
constexpr int SEAT_FILLER_OFFSET = SEAT_NAME_OFFSET + NAME_SIZE;  // 18
constexpr int SEAT_SOCK_OFFSET = SEAT_FILLER_OFFSET + 2;          // 20
constexpr int SEAT_ADDR_OFFSET = SEAT_SOCK_OFFSET + 4;            // 24
constexpr int SEAT_FAMILY_OFFSET = SEAT_ADDR_OFFSET;              // 24
constexpr int SEAT_PORT_OFFSET = SEAT_ADDR_OFFSET + 2;            // 26
constexpr int SEAT_IPV4_OFFSET = SEAT_ADDR_OFFSET + 4;            // 28
constexpr int SEAT_ADDR_ZERO_OFFSET = SEAT_ADDR_OFFSET + 8;       // 32
constexpr int SEAT_ADDR_SIZE = 16;
static_assert(SEAT_ADDR_OFFSET + SEAT_ADDR_SIZE == SEAT_RECORD_SIZE);
static_assert(SEAT_FILLER_OFFSET == 18 && SEAT_SOCK_OFFSET == 20 && SEAT_IPV4_OFFSET == 28);

constexpr std::uint16_t ADDR_FAMILY_INET = 2;

// Which copies receive a type: the host, the clients, or both.
enum MessageReceivers : std::uint8_t {
    TO_HOST = 1,
    TO_CLIENT = 2,
    BOTH_WAYS = TO_HOST | TO_CLIENT,
};

// Everything the code knows of one message type, in one table that the
// framing, the reader's role filter, its counters and the tests all read.
struct MessageKind {
    std::uint8_t type;
    const char* name;        // "MSG_JOIN", for traces and test messages
    int size;                // total bytes, type byte included; for MSG_CHAT its header
    bool lengthInPayload;    // MSG_CHAT: size + n, n read at MSG_CHAT_LENGTH_OFFSET
    std::uint8_t receivers;  // MessageReceivers
};

// Indexed by type; entry 0 is no type.
inline constexpr MessageKind MESSAGE_KINDS[MSG_TYPE_LAST + 1] = {
    {0, nullptr, 0, false, 0},
    {MSG_JOIN, "MSG_JOIN", MSG_JOIN_SIZE, false, TO_HOST},
    {MSG_SEAT_INFO, "MSG_SEAT_INFO", MSG_SEAT_INFO_SIZE, false, TO_CLIENT},
    {MSG_DEAL, "MSG_DEAL", MSG_DEAL_SIZE, false, TO_CLIENT},
    {MSG_SEAT_ASSIGN, "MSG_SEAT_ASSIGN", MSG_SEAT_ASSIGN_SIZE, false, TO_CLIENT},
    {MSG_SEAT_LEFT, "MSG_SEAT_LEFT", MSG_SEAT_LEFT_SIZE, false, TO_CLIENT},
    {MSG_NEW_GAME, "MSG_NEW_GAME", MSG_NEW_GAME_SIZE, false, TO_CLIENT},
    {MSG_HOST_FULL, "MSG_HOST_FULL", MSG_HOST_FULL_SIZE, false, TO_CLIENT},
    {MSG_CLOSE, "MSG_CLOSE", MSG_CLOSE_SIZE, false, TO_HOST},
    {MSG_PLAY, "MSG_PLAY", MSG_PLAY_SIZE, false, BOTH_WAYS},
    {MSG_PASS, "MSG_PASS", MSG_PASS_SIZE, false, BOTH_WAYS},
    {MSG_CHAT, "MSG_CHAT", MSG_CHAT_HEADER_SIZE, true, BOTH_WAYS},
    {MSG_NEXT_ROUND, "MSG_NEXT_ROUND", MSG_NEXT_ROUND_SIZE, false, TO_HOST},
    {MSG_AWAY, "MSG_AWAY", MSG_AWAY_SIZE, false, BOTH_WAYS},
};

constexpr bool MessageKindsInTypeOrder() {
    for (int t = 1; t <= MSG_TYPE_LAST; ++t) {
        if (MESSAGE_KINDS[t].type != t || MESSAGE_KINDS[t].name == nullptr) return false;
    }
    return true;
}
static_assert(MessageKindsInTypeOrder(), "one entry per type, at its own index");

// True for a type byte 1..13 (read as a signed byte, as the wire defines it).
bool IsKnownMessageType(std::uint8_t type);
// The table entry of a known type; null for any other byte.
const MessageKind* MessageKindOf(std::uint8_t type);
// True when a copy in that role (host or client) receives the type.
bool ReceivedBy(std::uint8_t type, bool host);

// What the front of a received stream holds.
struct Frame {
    enum Kind {
        kIncomplete,   // not enough bytes to know or to hold the message yet
        kUnknownType,  // the first byte is no message type: drop that byte
        kMessage,      // a message of `size` bytes starts here (size may exceed the bytes given)
    };
    Kind kind;
    std::size_t size;  // kMessage: the total size of the message, type byte included
};

// Looks at the first `available` bytes of a stream (at least the first four
// are read when present) and tells what the first message is.
Frame FrameAt(const std::uint8_t* data, std::size_t available);

// The received name: the 17 bytes as they came, cut to 16 characters and
// terminated when they hold no NUL; the bytes after the first NUL are zeroed.
void CopyReceivedName(char out[NAME_SIZE], const std::uint8_t* in);

// The record in its 40 wire bytes; the filler and the address's last eight
// bytes are zero.
void EncodeSeatRecord(const SeatRecord& record, std::uint8_t out[SEAT_RECORD_SIZE]);
// The record from its 40 wire bytes, its name terminated as CopyReceivedName
// does. The number is copied as it came; the caller checks it.
void DecodeSeatRecord(const std::uint8_t in[SEAT_RECORD_SIZE], SeatRecord* record);

// Message builders: each writes the whole message at `out` and returns its
// size. `out` must hold the size (g_outMsg holds every message).
int BuildJoin(std::uint8_t* out, const char* name);
int BuildSeatInfo(std::uint8_t* out, const SeatRecord& record);
int BuildDeal(std::uint8_t* out, const std::uint8_t hands[SEAT_COUNT + 1][HAND_SIZE]);
int BuildSeatAssign(std::uint8_t* out, int seat);
int BuildSeatLeft(std::uint8_t* out, int seat);
int BuildPlay(std::uint8_t* out, int seat, const std::uint8_t selection[HAND_SIZE]);
int BuildPass(std::uint8_t* out, int seat);
// `text` is `length` bytes (at most CHAT_MAX_CHARS, no NUL among them); n =
// length + 1 and the NUL is written after the text. Returns length + 5.
int BuildChat(std::uint8_t* out, int seat, const char* text, int length);
int BuildAway(std::uint8_t* out, int seat, int flag);

// Little-endian 16-bit value at p.
inline std::uint16_t ReadU16LE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// A received seat byte taken as a signed byte, as the wire defines it.
inline int SeatByte(std::uint8_t byte) {
    return static_cast<std::int8_t>(byte);
}

// True when seats 1..4 of a MSG_DEAL payload (65 bytes from seat 0's row)
// hold each card 0..51 exactly once.
bool IsCompleteDeal(const std::uint8_t* hands65);
