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
//
// Computer-held seats. On the host, a seat 2..4 may be held by the host's
// own computer player: its record is occupied and joined, with the
// COMPUTER_SOCKET mark for a socket, and it counts as a player; to the
// clients it is a seat like any other. A newcomer may take such a seat over
// (g_takeoverSock, then the replay of the game, g_replayAt).
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

// The `sock` of a seat that the host's computer player holds: occupied, with
// no connection. It is no descriptor, so no socket event can name it; it
// travels to the clients like any occupied seat's handle.
constexpr Socket COMPUTER_SOCKET = 0xFFFFFFFEu;

// On the host, per seat: a newcomer's connection that takes the
// computer-held seat over once its MSG_JOIN arrives (INVALID_SOCKET when
// none), and the newcomer's address.
extern Socket g_takeoverSock[SEAT_COUNT + 1];
extern SeatAddr g_takeoverAddr[SEAT_COUNT + 1];
// On the host, per seat: how many bytes of the game's log a newcomer who took
// the seat over has been sent so far; -1 while no replay is going on there.
extern std::int64_t g_replayAt[SEAT_COUNT + 1];
// On a client: a MSG_NEW_GAME has come since this program joined, so its
// table holds the table's game (while four players are seated).
extern bool g_newGameSeen;

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
// INVALID_SOCKET), no seat joined or away, no takeover or replay going on,
// g_localSeat and g_playerCount 0, g_sock and g_overflowSock INVALID_SOCKET.
// It closes nothing: a caller that still holds sockets takes them out first
// (Disconnect, SockCleanup).
void ResetSeatTable();

// Empties one record: number = seat, name all zero, sock INVALID_SOCKET,
// address 0 (family and port stay) and, when the seat was counted (seat 1,
// or g_joined), one player fewer (repaint at three). Does nothing for a
// record that is already empty.
void ClearSeat(int seat);

// The client seat (2..4) whose connection is sock on the host; 0 if none
// (a computer-held seat has no connection).
int SeatOfSocket(Socket sock);
// On the host, the seat (2..4) that the newcomer on sock is to take over; 0
// if none.
int TakeoverSeatOfSocket(Socket sock);
// True on the host for a seat 2..4 that its computer player holds.
bool IsComputerSeat(int seat);
// True while this copy's table is the table's game, so that moves may be
// made on it: on the host while four players are seated; on a client while
// four are seated and a new game has come since it joined.
bool GameLive();
