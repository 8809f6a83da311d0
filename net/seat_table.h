// The seat table: who sits where, the program's network role, and the one
// game table the network applies moves to. Process-wide state of the network
// layer, used on the one thread that runs the event loop.
//
// Which seats g_playerCount counts. On the host: seat 1 while it is occupied
// (the host counts itself) and seats 2..4 from their MSG_JOIN on, so a
// connection that leaves before it has sent its name is never counted. On a
// client: every record 1..4 received occupied, once however often it comes.
//
// Invariants: a seat is occupied exactly when its record's `sock` is not
// INVALID_SOCKET; an emptied record has `number` equal to its index, an
// all-zero name and address 0. Record 0 never holds a socket, so ClearSeat
// leaves a client's own nickname in it. The host's g_sock is also seat 1's
// `sock`.
#pragma once

#include <cstdint>

#include "net/socket_handle.h"
#include "net/wire.h"
#include "rules/game_table.h"

extern SeatRecord g_seats[SEAT_COUNT + 1];     // index = seat 0..4
extern std::int32_t g_localSeat;               // 0 none, 1 host, 2..4 client seat
extern std::int32_t g_playerCount;             // joined seats, the host counting itself
extern std::int32_t g_away[SEAT_COUNT + 1];    // away flag per seat
extern std::uint8_t g_joined[SEAT_COUNT + 1];  // seats g_playerCount counts (1 = counted)
// The outgoing message under construction, shared by every writer, filled
// and sent within one handler.
extern std::uint8_t g_outMsg[MSG_BUFFER_SIZE];

// On the host, the listening socket; on a client, the connection to the host;
// INVALID_SOCKET while this program has no network role.
extern Socket g_sock;
// The host's one connection accepted while no seat was free, kept only until
// it is told MSG_HOST_FULL and answers with MSG_CLOSE (or closes).
extern Socket g_overflowSock;

// The one game table of this program; owned by the front end (the table
// window or the computer player), which creates it before any network
// activity.
extern GameTable* g_table;

// Puts the seat table where a program that has just started finds it: every
// record empty (number = its seat, name and address zero, sock
// INVALID_SOCKET), no seat joined or away, g_localSeat and g_playerCount 0,
// g_sock and g_overflowSock INVALID_SOCKET. It closes nothing: a caller that
// still holds sockets takes them out first (Disconnect, SockCleanup).
void ResetSeatTable();

// Empties one record: number = seat, name all zero, sock INVALID_SOCKET,
// address 0 (family and port stay) and, when the seat was counted (seat 1,
// or g_joined), one player fewer (repaint at three). Does nothing for a
// record that is already empty.
void ClearSeat(int seat);

// The client seat (2..4) whose connection is sock on the host; 0 if none.
int SeatOfSocket(Socket sock);
