// The host's relay and the connection events: keeps the connections of a
// table in order and gives the rest of the program its network primitives
// (sending to the other seats, the host's deal, leaving the network).
//
// Everything runs on the one thread of the event loop; the seat table and
// g_outMsg are used without locks. What the player sees goes through the
// notices (net/notices.h). The reading of messages is the message handler's,
// which sits above this layer and calls into it.
#pragma once

#include "net/seat_table.h"

// How long the host waits, from the accept, for a seated connection's
// MSG_JOIN. A connection that has not joined by then is closed by the host
// exactly as if it had closed itself, so connections that never join cannot
// hold the seats.
constexpr int JOIN_TIMEOUT_MS = 10000;

// Tests only: the host waits ms milliseconds for a MSG_JOIN instead (a value
// of 0 or less restores JOIN_TIMEOUT_MS). Applies to connections accepted
// from then on.
void SetJoinTimeoutForTest(int ms);

// If *sock holds a socket: shut down its receiving side and close it; with
// `mark` set, *sock becomes INVALID_SOCKET.
void CloseSock(Socket* sock, int mark);

// Takes this program out of the network. The host closes every connection
// and its listening socket (no message; each client sees its own close) and
// shows "Ready/No Connection"; a client closes its connection to the host,
// empties every record and shows "Disconnected from host". A client that is
// connected but not yet seated (g_localSeat 0 while g_sock is open) is taken
// out the client's way too, so that it can connect again. Afterwards
// g_playerCount and g_localSeat are 0. g_away stays.
void Disconnect();

// Sends len bytes from buf to the others: from a client (fromSeat not 1) to
// the host on g_sock; from the host to each of seats 2, 3, 4 in that order
// that holds a connection and whose number is not skipSeat (0 skips nobody).
// Results are not looked at: the socket layer keeps what it cannot send at
// once and sends it in order later.
void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat);

// The host's deal: only on the host with four players. Deals (with the
// new-game reset when newGame is set), sends MSG_DEAL and, for a new game,
// MSG_NEW_GAME to every client, tells the view (RoundDealt, and
// NewGameStarted for a new game), shows "Game started" and repaints.
void DealAndSend(int newGame);

// The write-ready event, whichever socket it is for: tells the overflow
// connection, if one is open, that the table is full (MSG_HOST_FULL).
void OnSocketWrite();
// The accept event on the host's listening socket (g_sock). The newcomer
// takes the first free seat of 2..4 and is sent MSG_SEAT_ASSIGN, the host's
// record and the record of every other seat whose player has joined; it has
// JOIN_TIMEOUT_MS to send its MSG_JOIN. With no free seat (a full table, or
// seats held by connections that have not sent their name) it is kept in
// g_overflowSock, an older one there being closed.
void OnSocketAccept();
// The close event for a socket. On a client, the connection to the host:
// Disconnect, "Host connection closed." and TableClosed. On the host, a
// client seat's connection: the seat is emptied; a player who had joined is
// announced as gone ("has left." here and MSG_SEAT_LEFT to the others),
// while a connection that never joined leaves unheard.
void OnSocketClose(Socket sock);
