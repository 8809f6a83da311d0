// The host's relay and the connection events: keeps the connections of a
// table in order and gives the rest of the program its network primitives
// (sending to the other seats, the host's deal, leaving the network, the
// seats its computer player holds).
//
// Everything runs on the one thread of the event loop; the seat table and
// g_outMsg are used without locks. What the player sees goes through the
// notices (net/notices.h). The reading of messages is the message handler's,
// which sits above this layer and calls into it.
//
// Computer-held seats. The host can give an empty seat 2..4 to its own
// computer player (when its front end has one, TableView::HasComputerPlayer):
// to the clients that seat is a joined player like any other. The network
// code holds the seat and sends its moves; the front end's computer player
// chooses them. When a joined client leaves a running game, its seat is kept
// the same way; a newcomer who arrives at a table with no empty seat takes a
// computer-held seat over and is sent the game so far (its log since the new
// game) as the ordinary messages, so that its table equals everyone's.
#pragma once

#include <cstdint>

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
// and its listening socket (no message; each client sees its own close),
// lets go of its computer-held seats and shows "Ready/No Connection"; a
// client closes its connection to the host, empties every record and shows
// "Disconnected from host". A client that is connected but not yet seated
// (g_localSeat 0 while g_sock is open) is taken out the client's way too, so
// that it can connect again. Afterwards g_playerCount and g_localSeat are 0.
// g_away stays.
void Disconnect();

// Sends len bytes from buf to the others: from a client (fromSeat not 1) to
// the host on g_sock; from the host to each of seats 2, 3, 4 in that order
// that holds a connection and whose number is not skipSeat (0 skips nobody).
// A computer-held seat has no connection and is skipped; so is a game
// message (a deal, a new game, a play or a pass) for a seat whose replay has
// not caught up with the game yet, since the replay will carry it. Results
// are not looked at: the socket layer keeps what it cannot send at once and
// sends it in order later.
void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat);

// A deal, a new game, a play or a pass that this copy has applied, told to
// the others like SendToOthers. On the host it is also kept in the game's
// log since the last new game, from which a newcomer is replayed.
void SendGameMessage(int fromSeat, const std::uint8_t* msg, int len, int skipSeat);

// The host's deal: only on the host with four players. Deals (with the
// new-game reset when newGame is set), sends MSG_DEAL and, for a new game,
// MSG_NEW_GAME to every client (a new game also starts the game's log anew),
// tells the view (RoundDealt, and NewGameStarted for a new game), shows "Game
// started" and repaints.
void DealAndSend(int newGame);

// The host's first deal of a game, once the fourth player is seated: every
// away flag cleared (the host's own box too), then DealAndSend with a new
// game.
void StartNewTableGame();

// The write-ready event for a socket. Tells the overflow connection, if one
// is open, that the table is full (MSG_HOST_FULL), whichever socket the event
// is for; and goes on with the replay to a newcomer whose socket it is.
void OnSocketWrite(Socket sock);
// The accept event on the host's listening socket (g_sock). The newcomer
// takes the first free seat of 2..4 and is sent MSG_SEAT_ASSIGN, the host's
// record and the record of every other seat whose player has joined; it has
// JOIN_TIMEOUT_MS to send its MSG_JOIN. With no free seat but one that the
// computer holds, it is to take that seat over: the same messages, the seat
// staying the computer's until its MSG_JOIN. With neither (a full table of
// people, or seats held by connections that have not sent their name) it is
// kept in g_overflowSock, an older one there being closed.
void OnSocketAccept();
// The MSG_JOIN of the connection on sock, with its 17 name bytes: the seat
// gets the name and is announced ("is ready." here, MSG_SEAT_INFO to every
// client), and the fourth player starts the game. A newcomer taking over a
// computer-held seat is announced as the computer's seat leaving (MSG_SEAT_LEFT
// to the others) and the newcomer arriving (MSG_SEAT_INFO), and is sent its
// own record, the game's log and the away flags in force. Returns false,
// changing nothing, for a connection with no seat or a seat already joined.
bool JoinSeat(Socket sock, const std::uint8_t* nameBytes);
// The close event for a socket. On a client, the connection to the host:
// Disconnect, "Host connection closed." and TableClosed. On the host, a
// client seat's connection: a player who had joined is announced as gone
// ("has left." here and MSG_SEAT_LEFT to the others); if four were playing
// and the front end has a computer player, the seat is kept for it and
// announced again with MSG_SEAT_INFO (no new deal), otherwise it is emptied.
// A connection that never joined leaves unheard.
void OnSocketClose(Socket sock);

// The host gives an empty seat 2..4 to its computer player, named
// COMPUTER_NAME with the seat: the seat is joined and announced as for a
// MSG_JOIN, and the fourth player starts the game. Returns false, changing
// nothing, when this program is not the host, its front end has no computer
// player or the seat is not empty.
bool GiveSeatToComputer(int seat);
// Gives every empty seat 2..4 to the computer; returns how many it gave.
int FillEmptySeatsWithComputer();

// The host's game log since the last new game: the messages of the deals,
// the new game and every applied play and pass, in order, as sent.
const std::uint8_t* GameLogData();
std::size_t GameLogSize();
