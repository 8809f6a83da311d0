#include "net/message_handler.h"

#include <algorithm>
#include <cstring>

#include "net/notices.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"

ReadStats g_readStats;

void ResetReadStats() {
    g_readStats = ReadStats{};
}

std::uint64_t ReadStats::DroppedCount() const {
    std::uint64_t total = 0;
    for (std::uint64_t n : dropped) total += n;
    return total;
}

std::uint64_t ReadStats::HandledCount() const {
    std::uint64_t total = 0;
    for (std::uint64_t n : handled) total += n;
    return total;
}

namespace {

bool IsHost() {
    return g_localSeat == 1;
}

bool IsPlayerSeat(int seat) {
    return seat >= 1 && seat <= SEAT_COUNT;
}

// A dropped message: counted under its reason, with its bytes.
void Drop(DropReason reason, std::size_t bytes) {
    g_readStats.dropped[static_cast<int>(reason)] += 1;
    g_readStats.droppedBytes += bytes;
}

// On the host, a play, pass, chat or away flag must name the seat of the
// connection it came on; a client believes the host. Counts the drop.
bool SenderMayActFor(Socket sock, int seat, std::size_t size) {
    if (!IsPlayerSeat(seat)) {
        Drop(DropReason::kBadSeat, size);
        return false;
    }
    if (IsHost() && SeatOfSocket(sock) != seat) {
        Drop(DropReason::kNotSendersSeat, size);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// One handler per type. Each returns true when the message was handled and
// false when it was dropped (and counted).

bool OnJoin(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatOfSocket(sock);
    const int takeover = TakeoverSeatOfSocket(sock);
    if (seat == 0 && takeover == 0) {
        Drop(DropReason::kJoinNoSeat, MSG_JOIN_SIZE);
        return false;
    }
    const SeatState state = g_hostSeats[seat != 0 ? seat : takeover].state;
    if (state != SeatState::kAccepted && state != SeatState::kTakingOver) {
        Drop(DropReason::kJoinTwice, MSG_JOIN_SIZE);
        return false;
    }
    return JoinSeat(sock, msg + 1);
}

bool OnSeatInfo(const std::uint8_t* msg) {
    SeatRecord record;
    DecodeSeatRecord(msg + 1, &record);
    const int seat = record.number;
    // Record 0 is this client's own nickname and never travels.
    if (!IsPlayerSeat(seat)) {
        Drop(DropReason::kBadSeat, MSG_SEAT_INFO_SIZE);
        return false;
    }
    const bool wasCounted = IsSeatCounted(seat);
    const bool occupied = record.sock != INVALID_SOCKET;
    g_seats[seat] = record;
    // A record that comes again (at the accept of this client and again at
    // that seat's join) is one player, counted once.
    if (occupied && !wasCounted) g_playerCount += 1;
    if (!occupied && wasCounted) g_playerCount -= 1;
    ShowChat(FormatNotice(record.name, seat == 1 ? CHAT_IS_READY_HOST : CHAT_IS_READY));
    // A seat of a game under way taken by another player (or by the host's
    // computer) completes the table again: the game goes on, no deal follows.
    if (GameLive()) {
        ShowStatus(STATUS_GAME_STARTED);
    } else {
        ShowWaitingStatus(STATUS_WAITING_CLIENT);
    }
    TellSeatChanged(seat);
    return true;
}

bool OnDeal(const std::uint8_t* msg) {
    if (!ApplyGameMessage(msg, MSG_DEAL_SIZE, g_sock)) {
        Drop(DropReason::kBadDeal, MSG_DEAL_SIZE);
        return false;
    }
    return true;
}

bool OnSeatAssign(const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (seat < 2 || seat > SEAT_COUNT) {
        Drop(DropReason::kBadSeat, MSG_SEAT_ASSIGN_SIZE);
        return false;
    }
    g_localSeat = seat;
    const int size = BuildJoin(g_outMsg, g_seats[0].name);
    SockSend(g_sock, g_outMsg, size);
    return true;
}

bool OnSeatLeft(const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (!IsPlayerSeat(seat)) {
        Drop(DropReason::kBadSeat, MSG_SEAT_LEFT_SIZE);
        return false;
    }
    FormatNotice(g_seats[seat].name, CHAT_HAS_LEFT);
    // The box shows this seat's own flag, which another seat's departure
    // does not change.
    ShowAwayChecked(g_localSeat >= 1 && g_localSeat <= SEAT_COUNT && g_away[g_localSeat] != 0);
    ShowChat(g_textBuf);
    ClearSeat(seat);
    ShowWaitingStatus(STATUS_WAITING_CLIENT);
    TellSeatChanged(seat);
    return true;
}

bool OnNewGame(const std::uint8_t* msg) {
    // The turn moves to the holder of the three of diamonds and the away
    // markers go: the view hears of it (and repaints), or the opening player
    // would never see that it is their turn.
    ApplyGameMessage(msg, MSG_NEW_GAME_SIZE, g_sock);
    return true;
}

bool OnHostFull() {
    // The close that follows takes the client's way out of the network.
    g_localSeat = 2;
    ShowChat(CHAT_HOST_FULL);
    const std::uint8_t close[MSG_CLOSE_SIZE] = {MSG_CLOSE};
    SockSend(g_sock, close, MSG_CLOSE_SIZE);
    return true;
}

bool OnClose() {
    CloseSock(&g_overflowSock, 1);
    return true;
}

bool OnPlay(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (!SenderMayActFor(sock, seat, MSG_PLAY_SIZE)) return false;
    ApplyGameMessage(msg, MSG_PLAY_SIZE, sock);
    return true;
}

bool OnPass(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (!SenderMayActFor(sock, seat, MSG_PASS_SIZE)) return false;
    ApplyGameMessage(msg, MSG_PASS_SIZE, sock);
    return true;
}

bool OnChat(Socket sock, const std::uint8_t* msg, std::size_t size) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    const std::size_t n = size - MSG_CHAT_HEADER_SIZE;
    if (n < CHAT_MIN_LENGTH || n > CHAT_MAX_LENGTH) {
        Drop(DropReason::kBadChatLength, size);
        return false;
    }
    if (!SenderMayActFor(sock, seat, size)) return false;
    // The text up to its NUL, never beyond its n bytes, at most 1000 characters.
    char text[CHAT_MAX_CHARS + 1];
    const char* received = reinterpret_cast<const char*>(msg + MSG_CHAT_TEXT_OFFSET);
    const std::size_t length = strnlen(received, std::min<std::size_t>(n, CHAT_MAX_CHARS));
    std::memcpy(text, received, length);
    text[length] = '\0';
    ShowChatLine(seat, text);
    if (IsHost()) SendToOthers(1, msg, static_cast<int>(size), 0);
    return true;
}

bool OnNextRound(Socket sock) {
    // Only the winner of a finished round starts the next one.
    const int seat = SeatOfSocket(sock);
    if (seat == 0 || g_playerCount != 4 || g_table->roundOver == 0 || g_table->leader != seat) {
        Drop(DropReason::kNextRound, MSG_NEXT_ROUND_SIZE);
        return false;
    }
    DealAndSend(0);
    return true;
}

bool OnAway(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (!SenderMayActFor(sock, seat, MSG_AWAY_SIZE)) return false;
    const int flag = SeatByte(msg[MSG_AWAY_FLAG_OFFSET]);  // a signed byte, as the seat
    g_away[seat] = flag;
    if (seat == g_localSeat) ShowAwayChecked(flag != 0);
    if (IsHost()) SendToOthers(1, msg, MSG_AWAY_SIZE, 0);
    HostAwayChanged(seat);
    TellTableChanged();
    return true;
}

bool Handle(Socket sock, const std::uint8_t* msg, std::size_t size) {
    switch (msg[MSG_TYPE_OFFSET]) {
        case MSG_JOIN:
            return OnJoin(sock, msg);
        case MSG_SEAT_INFO:
            return OnSeatInfo(msg);
        case MSG_DEAL:
            return OnDeal(msg);
        case MSG_SEAT_ASSIGN:
            return OnSeatAssign(msg);
        case MSG_SEAT_LEFT:
            return OnSeatLeft(msg);
        case MSG_NEW_GAME:
            return OnNewGame(msg);
        case MSG_HOST_FULL:
            return OnHostFull();
        case MSG_CLOSE:
            return OnClose();
        case MSG_PLAY:
            return OnPlay(sock, msg);
        case MSG_PASS:
            return OnPass(sock, msg);
        case MSG_CHAT:
            return OnChat(sock, msg, size);
        case MSG_NEXT_ROUND:
            return OnNextRound(sock);
        case MSG_AWAY:
            return OnAway(sock, msg);
        default:
            return false;
    }
}

}  // namespace

void OnSocketEvent(Socket sock, int event) {
    switch (event) {
        case FD_READ:
            ReadMessage(sock);
            break;
        case FD_WRITE:
            OnSocketWrite(sock);
            break;
        case FD_ACCEPT:
            OnSocketAccept();
            break;
        case FD_CLOSE:
            OnSocketClose(sock);
            break;
        default:
            break;  // FD_CONNECT and anything else
    }
}

void ReadMessage(Socket sock) {
    std::size_t available = 0;
    if (SockAvailable(sock, &available) == SOCKET_ERROR || available == 0) return;
    std::uint8_t msg[MSG_CHAT_MAX_SIZE];
    const int head = SockPeek(sock, msg, static_cast<int>(std::min<std::size_t>(available, 4)));
    if (head <= 0) return;
    const Frame frame = FrameAt(msg, static_cast<std::size_t>(head));
    if (frame.kind == Frame::kIncomplete) return;
    if (frame.kind == Frame::kUnknownType) {
        SockRecv(sock, msg, 1);
        Drop(DropReason::kUnknownType, 1);
        return;
    }
    const std::uint8_t type = msg[MSG_TYPE_OFFSET];
    const bool receives = ReceivedBy(type, IsHost());
    if (frame.size > sizeof msg) {
        // Only a MSG_CHAT can be this long; its n is beyond what any writer
        // sends. Dropped now, the bytes still to come with it.
        Drop(receives ? DropReason::kBadChatLength : DropReason::kWrongRole, frame.size);
        SockDiscard(sock, frame.size);
        return;
    }
    if (available < frame.size) return;  // the rest has not arrived yet

    if (SockRecv(sock, msg, static_cast<int>(frame.size)) != static_cast<int>(frame.size)) return;
    if (!receives) {
        Drop(DropReason::kWrongRole, frame.size);
        return;
    }
    if (!Handle(sock, msg, frame.size)) return;
    g_readStats.handled[type] += 1;
    TableEvent handled;
    handled.kind = TableEvent::Kind::kMessageHandled;
    handled.type = type;
    TellView(handled);
}
