// Socket events and the handling of every received message.
//
// OnSocketEvent takes each notification of the socket layer and hands it on:
// a read to ReadMessage, a write, an accept or a close to the relay.
// ReadMessage applies one received message to this copy of the table: the
// seat table, the game table (deals, plays, passes), the chat log and the
// status line, and on the host forwards what a client said to the others.
//
// The host is the copy whose g_localSeat is 1; every other copy is a client.
// Each role handles only the types it can receive (the host 1, 8, 9, 10, 11,
// 12, 13; a client 2..7, 9, 10, 11, 13); anything else, and every message
// that breaks the rules below, is read whole and dropped, and counted in
// g_readStats by reason. In particular:
//   - a seat byte outside 1..4 (MSG_PLAY, MSG_PASS, MSG_CHAT, MSG_AWAY,
//     MSG_SEAT_LEFT), outside 2..4 (MSG_SEAT_ASSIGN), or a seat record whose
//     number is outside 1..4 (record 0 is the client's own and never travels);
//   - on the host, a play, pass, chat line or away flag for a seat other than
//     the one of the connection it came on, a MSG_JOIN from a connection with
//     no seat or from a seat that has joined already, and a MSG_NEXT_ROUND
//     that is not from the winner of a finished round;
//   - on a client, a MSG_DEAL whose seats 1..4 do not hold each card once;
//   - a MSG_CHAT whose n is not 2..1001 (lengths no writer sends). Such a
//     message is still read whole, so the stream stays in step; one longer
//     than the socket layer keeps at once is dropped as its bytes arrive.
// A chat text is shown up to its NUL, never beyond its n bytes.
#pragma once

#include <cstdint>

#include "net/socket_handle.h"
#include "net/wire.h"

// Why the reader dropped a message (or a stray byte).
enum class DropReason : int {
    kUnknownType,     // a byte that is no type (0, 14.., negative): that byte
    kWrongRole,       // a type this role never receives
    kBadSeat,         // a seat byte or record number outside its range
    kNotSendersSeat,  // host: a seat other than the connection's own
    kJoinNoSeat,      // host: MSG_JOIN on a connection that holds no seat
    kJoinTwice,       // host: a second MSG_JOIN from a seat
    kNextRound,       // host: MSG_NEXT_ROUND not from the winner of a finished round
    kBadDeal,         // client: hands not holding each card exactly once
    kBadChatLength,   // MSG_CHAT whose n is not 2..1001
    kCount,
};
constexpr int DROP_REASON_COUNT = static_cast<int>(DropReason::kCount);

// What the reader handled and what it dropped, and why. Counters only grow;
// ResetReadStats starts them again (tests, a verbose computer player).
struct ReadStats {
    std::uint64_t handled[MSG_TYPE_LAST + 1];  // by type: messages handled
    std::uint64_t dropped[DROP_REASON_COUNT];  // by reason: messages and stray bytes
    std::uint64_t droppedBytes;                // every byte of every dropped message

    std::uint64_t Dropped(DropReason reason) const { return dropped[static_cast<int>(reason)]; }
    std::uint64_t DroppedCount() const;  // all reasons together
    std::uint64_t HandledCount() const;  // all types together
};

extern ReadStats g_readStats;
void ResetReadStats();

// The one handler of socket events: FD_READ to ReadMessage, FD_WRITE to
// OnSocketWrite, FD_ACCEPT to OnSocketAccept, FD_CLOSE to OnSocketClose;
// any other event does nothing. Install it with SetSocketEventHandler.
void OnSocketEvent(Socket sock, int event);

// Reads and handles at most one message waiting on the connection. If the
// message at the front is not whole yet, nothing is consumed: the socket layer
// calls again when more bytes arrive. A byte that is no message type is
// consumed alone and dropped. A MSG_CHAT longer than any writer sends is
// dropped at once, its bytes still to come with it (the socket layer discards
// them as they arrive). After a handled message g_view->MessageHandled is
// told its type.
void ReadMessage(Socket sock);
