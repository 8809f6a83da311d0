// The seat table: who sits where, and the one game table the network applies
// moves to. Process-wide state of the network layer, used on the one thread
// that runs the event loop.
#pragma once

#include <cstdint>

#include "rules/game_table.h"

// A socket handle as it travels in a seat record (u32). On this platform it
// is the POSIX descriptor.
using Socket = std::uint32_t;
constexpr Socket INVALID_SOCKET = 0xFFFFFFFFu;

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
// explicitly by the wire format:
//   number(1) name(17) filler(2) sock(4, LE) addr(16)
struct SeatRecord {
    std::int8_t number;    // seat number 0..4, equal to the record's index
    char name[NAME_SIZE];  // NUL-terminated nickname
    Socket sock;           // the host's handle of the seat's connection; INVALID_SOCKET = empty
    SeatAddr addr;         // the peer's address (a client seat) or the bound one (the host's)
};

constexpr int SEAT_RECORD_SIZE = 40;
constexpr int MSG_BUFFER_SIZE = 1005;  // the largest message: a 1000-character chat line

extern SeatRecord g_seats[SEAT_COUNT + 1];   // index = seat 0..4
extern std::int32_t g_localSeat;             // 0 none, 1 host, 2..4 client seat
extern std::int32_t g_playerCount;           // joined seats, the host counting itself
extern std::int32_t g_away[SEAT_COUNT + 1];  // away flag per seat
extern std::uint8_t g_outMsg[MSG_BUFFER_SIZE];
// Which seats g_playerCount counts. On the host: seat 1 while it is occupied
// (the host counts itself) and seats 2..4 from their MSG_JOIN on, so a
// connection that leaves before it has sent its name is never counted. On a
// client: every record 1..4 received occupied, once however often it comes.
// ClearSeat lowers the count only for a counted seat, and clears the flag.
extern std::uint8_t g_joined[SEAT_COUNT + 1];

// The one game table of this program; owned by the front end (the table
// window or the computer player), which creates it before any network
// activity.
extern GameTable* g_table;

// Empties one record: number = seat, name all zero, sock INVALID_SOCKET,
// address 0 (family and port stay) and, when the seat was counted (seat 1,
// or g_joined), one player fewer (repaint at three). Does nothing for a
// record that is already empty.
void ClearSeat(int seat);
