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
// The host's seats 2..4 beyond their records. Each has one state
// (HostSeat), moved only by MoveSeat: who holds the seat, whether it is
// counted, and which connection belongs to it. A seat the host's computer
// player holds is occupied and counted; to the clients it is a seat like any
// other, its record carrying the host's own handle (seat 1's `sock`), since
// it is played from the host. A newcomer may take such a seat over: it waits
// for its MSG_JOIN, then is handed the game so far, and only once all of it
// has been handed to its connection does the seat become its own.
#pragma once

#include <cstdint>

#include "net/socket_handle.h"
#include "net/wire.h"
#include "rules/game_table.h"

extern SeatRecord g_seats[SEAT_COUNT + 1];   // index = seat 0..4
extern std::int32_t g_localSeat;             // 0 none, 1 host, 2..4 client seat
extern std::int32_t g_playerCount;           // joined seats, the host counting itself
extern std::int32_t g_away[SEAT_COUNT + 1];  // away flag per seat
// The outgoing message under construction, shared by every writer, filled
// and sent within one handler.
extern std::uint8_t g_outMsg[MSG_BUFFER_SIZE];

// The state of one of the host's client seats.
enum class SeatState : std::uint8_t {
    kEmpty,       // nobody; the record is empty
    kAccepted,    // a connection sits here; its MSG_JOIN has not come (not counted)
    kJoined,      // a person's connection, joined and counted
    kComputer,    // the host's computer player holds and plays it; no connection
    kTakingOver,  // the computer plays it; a newcomer's connection waits for its MSG_JOIN
    kReplaying,   // the computer plays it; the newcomer has joined and is handed the game so far
};

struct HostSeat {
    SeatState state = SeatState::kEmpty;
    // kAccepted, kJoined: the seat's connection. kTakingOver, kReplaying: the
    // newcomer's. INVALID_SOCKET otherwise.
    Socket conn = INVALID_SOCKET;
    // kTakingOver, kReplaying: the newcomer's address; kReplaying: its name.
    SeatAddr newcomerAddr{};
    char newcomerName[NAME_SIZE] = {};
    // kReplaying: the position in the game's log (net/game_log.h) of the next
    // byte to hand to the newcomer.
    std::uint64_t replayAt = 0;
    // kReplaying: a look is due at whether the newcomer has acknowledged the
    // game so far (one at a time).
    bool ackLookDue = false;
    // Changes at every move of the seat, so that a deadline set in one state
    // never strikes a later one.
    std::uint64_t serial = 0;
};

// On the host, per seat 2..4 (index = seat; 0 and 1 unused).
extern HostSeat g_hostSeats[SEAT_COUNT + 1];

// Moves a client seat of the host to `to`, with `conn` as its connection
// (kAccepted, kJoined: the seat's; kTakingOver: the newcomer's; kReplaying
// and the others keep or drop what they had), and sets the record's `sock`
// to match: the connection, the host's handle for a computer-held seat, or
// emptied for kEmpty (ClearSeat, counting the seat out if it was counted).
// The record's name and address are the caller's. Tells the view the seat
// changed. Returns false, changing nothing, for a move that the seat's life
// does not have (see the table in net/seat_table.cpp).
bool MoveSeat(int seat, SeatState to, Socket conn = INVALID_SOCKET);

// True on the host for a state in which the computer plays the seat.
bool IsComputerState(SeatState state);

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
// INVALID_SOCKET), no seat away, every host seat kEmpty,
// g_localSeat and g_playerCount 0, g_sock and g_overflowSock INVALID_SOCKET.
// It closes nothing: a caller that still holds sockets takes them out first
// (Disconnect, SockCleanup).
void ResetSeatTable();

// Empties one record: number = seat, name all zero, sock INVALID_SOCKET,
// address 0 (family and port stay) and, when the seat was counted
// (IsSeatCounted), one player fewer. Does nothing for a record that is
// already empty. On the host, the seat's state is MoveSeat's.
void ClearSeat(int seat);

// Whether g_playerCount counts the seat: on the host, seat 1 while occupied
// and a client seat joined, held by the computer or being taken over; on a
// client, every occupied record.
bool IsSeatCounted(int seat);
// The client seat (2..4) whose own connection is sock on the host (kAccepted
// or kJoined); 0 if none.
int SeatOfSocket(Socket sock);
// On the host, the seat (2..4) that the newcomer on sock is taking over
// (kTakingOver or kReplaying); 0 if none.
int TakeoverSeatOfSocket(Socket sock);
// True on the host for a seat 2..4 that its computer player holds.
bool IsComputerSeat(int seat);
// True while this copy's table is the table's game, so that moves may be
// made on it: on the host while four players are seated; on a client while
// four are seated and a new game has come since it joined.
bool GameLive();
