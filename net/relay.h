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
// The host's seats. Whoever starts the host sets its policy (HostPolicy):
// whether its computer player keeps the seat of a player who leaves a running
// game and may be given empty seats, and the turn limit. Each client seat
// moves through the states of net/seat_table.h. A newcomer who arrives at a
// table with no empty seat takes a computer-held seat over: the computer keeps
// playing it while the newcomer is handed the game so far (the game's log, as
// the ordinary messages) and the moves made meanwhile; the seat is the
// newcomer's once all of it has gone to its connection.
//
// One path for the game. Every deal, new game, play and pass, whoever makes
// it (a player's move relayed, this program's own, its computer's), goes
// through ApplyGameMessage, which applies it, logs it in g_gameLog, sends it
// on and tells the view. SendToOthers carries everything else.
#pragma once

#include <cstdint>

#include "net/game_log.h"
#include "net/seat_table.h"
#include "rules/game_table.h"

// How long the host waits, from the accept, for a seated connection's
// MSG_JOIN. A connection that has not joined by then is closed by the host
// exactly as if it had closed itself, so connections that never join cannot
// hold the seats.
constexpr int JOIN_TIMEOUT_MS = 10000;

// Tests only: the host waits ms milliseconds for a MSG_JOIN instead (a value
// of 0 or less restores JOIN_TIMEOUT_MS). Applies to connections accepted
// from then on.
void SetJoinTimeoutForTest(int ms);

// How long a newcomer that has joined to take a computer-held seat over may
// take to be handed the game so far. One that has not taken it all by then
// (it stopped reading, or reads too slowly) is closed as if it had closed
// itself, and the seat stays the computer's: no connection can hold the
// table up.
constexpr int HANDOVER_TIMEOUT_MS = 30000;
// Tests only, as SetJoinTimeoutForTest, for HANDOVER_TIMEOUT_MS.
void SetHandoverTimeoutForTest(int ms);

// How long a game lasts at the host's table: `rounds` finished rounds (0 for
// no count), or, with `untilBroke`, until a round leaves a seat with no money
// (0 or less); with neither the game never ends by itself ("Jamais").
struct GameLength {
    int rounds = 0;
    bool untilBroke = false;
};
// True when the game on `table` has reached its length: checked after a round
// ends, so a table with no finished round never has.
bool GameLengthReached(const GameTable& table, const GameLength& length);

// How long the host's standings stay up after the game's end before the host
// deals the new game.
constexpr int GAME_END_PAUSE_MS = 10000;

// What the host does with its seats, set by whoever starts the host before
// the first connection (the window's dialogs, vantoro-bot's options).
struct HostPolicy {
    // The host's computer player keeps the seat of a player who leaves a
    // running game, and may be given empty seats (GiveSeatToComputer).
    // The host's computer plays those seats (bot/host_computer.h).
    bool computerHoldsSeats = false;
    // The turn limit: when a person's move (or their next-round request
    // after winning) is due and nothing comes from their seat within this
    // many seconds, the host marks the seat away with MSG_AWAY; 0 for none.
    int turnLimitSeconds = 0;
    // When a game ends: once a round has brought it to its length, the host
    // deals no next round; after GAME_END_PAUSE_MS (or at once through
    // StartNewTableGame) it starts a new game.
    GameLength gameLength;
};
void SetHostPolicy(const HostPolicy& policy);
const HostPolicy& CurrentHostPolicy();

// After the turn limit has marked a seat away, how long the host waits for
// the seat's own program to play it (ours do, as for any away seat) before
// its own computer plays the seat's moves.
constexpr int TURN_FALLBACK_MS = 10000;
// Tests only: the turn limit in milliseconds instead of the policy's
// seconds, and the fallback's wait (values of 0 or less restore both).
void SetTurnLimitForTest(int limitMs, int fallbackMs);
// On the host: the seat whose move the turn limit waits for and the
// milliseconds left before it strikes (the limit, then the fallback);
// 0 when nothing is timed.
int TurnLimitSeat(int* msLeft);
// On the host, true for a client seat whose moves its computer makes because
// the seat's own program did not (see TURN_FALLBACK_MS), until that program
// sends a move or clears its away flag.
bool HostPlaysForSeat(int seat);
// On the host, after a seat's away flag has changed (its own MSG_AWAY, or the
// host's player's box): a cleared flag gives the seat back to its program,
// and the turn limit looks again.
void HostAwayChanged(int seat);

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
// whose own connection (an accepted or joined seat) is open and whose number
// is not skipSeat (0 skips nobody), and to a newcomer taking a seat over. A
// computer-held seat has no connection and is skipped; a newcomer is skipped
// for a game message (a deal, a new game, a play or a pass), which it is
// handed from the log in its order (ApplyGameMessage). Results are
// not looked at: the socket layer keeps what it cannot send at once and
// sends it in order later.
void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat);

// The one way a deal, a new game, a play or a pass changes this copy's game.
// `from` is the connection it came on, or INVALID_SOCKET for this program's
// own (its player's move, a move it makes for a seat its computer plays, or
// the host's deal, which Deal has already applied to g_table). It
//   - applies the message to g_table (a received deal only when it holds
//     each card once);
//   - appends it to g_gameLog when the table took it;
//   - sends it on: this program's own, when taken, to the others (a client
//     to the host); on the host a received play or pass to the others but
//     its sender, taken or not, since every copy decides alike;
//   - tells the view (kRoundDealt, kGameEnding and kGameStarted, kPlayApplied
//     then kRoundEnded when the play emptied a hand, kPassApplied).
// Returns whether the table took it. The caller has checked who may send it.
bool ApplyGameMessage(const std::uint8_t* msg, int len, Socket from);

// The host's deal: only on the host with four players. Deals (with the
// new-game reset when newGame is set), sends MSG_DEAL and, for a new game,
// MSG_NEW_GAME to every client (a new game also starts the game's log anew),
// tells the view (RoundDealt, and NewGameStarted for a new game), shows "Game
// started".
void DealAndSend(int newGame);

// The host's first deal of a game, once the fourth player is seated: every
// away flag cleared (the host's own box too), then DealAndSend with a new
// game.
void StartNewTableGame();

// On the host, true from the round that brought the game to its length until
// the new game is dealt (a next-round request is not dealt meanwhile);
// *msLeft, when given, is the time left before the new game.
bool HostGameOver(int* msLeft = nullptr);

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
// and the host's policy has its computer hold seats, the seat is kept for it
// and announced again with MSG_SEAT_INFO (no new deal), otherwise it is
// emptied. A connection that never joined leaves unheard; a newcomer that
// leaves before its takeover is complete leaves the seat to the computer.
void OnSocketClose(Socket sock);

// The host gives an empty seat 2..4 to its computer player, named
// COMPUTER_NAME with the seat: the seat is joined and announced as for a
// MSG_JOIN, and the fourth player starts the game. Returns false, changing
// nothing, when this program is not the host, its policy does not have the
// computer hold seats or the seat is not empty.
bool GiveSeatToComputer(int seat);
// Gives every empty seat 2..4 to the computer; returns how many it gave.
int FillEmptySeatsWithComputer();
