#include "net/message_handler.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "net/connect.h"
#include "net/relay.h"
#include "net/socket_layer.h"
#include "net/table_view.h"
#include "net/wire.h"

ReadStats g_readStats;

void ResetReadStats() {
    g_readStats = ReadStats{};
}

std::uint64_t DroppedCount(const ReadStats& stats) {
    const ReadStats::Dropped& d = stats.dropped;
    return d.unknownType + d.wrongRole + d.badSeat + d.notSendersSeat + d.joinNoSeat + d.joinTwice +
           d.nextRound + d.badDeal + d.badChatLength;
}

namespace {

bool IsHost() {
    return g_localSeat == 1;
}

bool IsPlayerSeat(int seat) {
    return seat >= 1 && seat <= SEAT_COUNT;
}

// Which types each role receives.
bool HostReceives(std::uint8_t type) {
    switch (type) {
        case MSG_JOIN:
        case MSG_CLOSE:
        case MSG_PLAY:
        case MSG_PASS:
        case MSG_CHAT:
        case MSG_NEXT_ROUND:
        case MSG_AWAY:
            return true;
        default:
            return false;
    }
}

bool ClientReceives(std::uint8_t type) {
    return type != MSG_JOIN && type != MSG_CLOSE && type != MSG_NEXT_ROUND;
}

// A dropped message: counted under its reason, with its bytes.
void Drop(std::uint64_t* reason, std::size_t bytes) {
    *reason += 1;
    g_readStats.droppedBytes += bytes;
}

// On the host, a play, pass, chat or away flag must name the seat of the
// connection it came on; a client believes the host. Counts the drop.
bool SenderMayActFor(Socket sock, int seat, std::size_t size) {
    if (!IsPlayerSeat(seat)) {
        Drop(&g_readStats.dropped.badSeat, size);
        return false;
    }
    if (IsHost() && SeatOfSocket(sock) != seat) {
        Drop(&g_readStats.dropped.notSendersSeat, size);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// One handler per type. Each returns true when the message was handled and
// false when it was dropped (and counted).

bool OnJoin(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatOfSocket(sock);
    if (seat == 0) {
        Drop(&g_readStats.dropped.joinNoSeat, MSG_JOIN_SIZE);
        return false;
    }
    if (g_joined[seat] != 0) {
        Drop(&g_readStats.dropped.joinTwice, MSG_JOIN_SIZE);
        return false;
    }
    SeatRecord& record = g_seats[seat];
    CopyReceivedName(record.name, msg + 1);
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    g_joined[seat] = 1;
    g_playerCount += 1;
    const int size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, 0);
    if (g_playerCount == 4) {
        for (int s = 0; s <= SEAT_COUNT; ++s) g_away[s] = 0;
        DealAndSend(1);
    } else {
        ShowWaitingStatus(STATUS_WAITING_HOST);
    }
    return true;
}

bool OnSeatInfo(const std::uint8_t* msg) {
    SeatRecord record;
    DecodeSeatRecord(msg + 1, &record);
    const int seat = record.number;
    // Record 0 is this client's own nickname and never travels.
    if (!IsPlayerSeat(seat)) {
        Drop(&g_readStats.dropped.badSeat, MSG_SEAT_INFO_SIZE);
        return false;
    }
    const bool wasCounted = g_joined[seat] != 0;
    const bool occupied = record.sock != INVALID_SOCKET;
    g_seats[seat] = record;
    g_joined[seat] = occupied ? 1 : 0;
    // A record that comes again (at the accept of this client and again at
    // that seat's join) is one player, counted once.
    if (occupied && !wasCounted) g_playerCount += 1;
    if (!occupied && wasCounted) g_playerCount -= 1;
    ShowChat(FormatNotice(record.name, seat == 1 ? "is ready. (Host)\r\n" : CHAT_IS_READY));
    ShowWaitingStatus(STATUS_WAITING_CLIENT);
    return true;
}

bool OnDeal(const std::uint8_t* msg) {
    const std::uint8_t* hands = msg + MSG_DEAL_HANDS_OFFSET;
    // Only a whole deck, every card once, reaches the rules and the painter.
    if (!IsCompleteDeal(hands)) {
        Drop(&g_readStats.dropped.badDeal, MSG_DEAL_SIZE);
        return false;
    }
    std::memset(g_table->hands[0], NO_CARD, HAND_SIZE);  // seat 0's row means nothing
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::memcpy(g_table->hands[s], hands + HAND_SIZE * s, HAND_SIZE);
    }
    g_table->ResetRound();
    ShowStatus(STATUS_GAME_STARTED);
    ShowRepaint();
    return true;
}

bool OnSeatAssign(const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (seat < 2 || seat > SEAT_COUNT) {
        Drop(&g_readStats.dropped.badSeat, MSG_SEAT_ASSIGN_SIZE);
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
        Drop(&g_readStats.dropped.badSeat, MSG_SEAT_LEFT_SIZE);
        return false;
    }
    FormatNotice(g_seats[seat].name, CHAT_HAS_LEFT);
    ShowAwayChecked(false);
    ShowChat(g_textBuf);
    ClearSeat(seat);
    ShowWaitingStatus(STATUS_WAITING_CLIENT);
    return true;
}

bool OnNewGame() {
    for (int s = 0; s <= SEAT_COUNT; ++s) g_away[s] = 0;
    g_table->StartNewGame();
    // The turn has moved to the holder of the three of diamonds and the away
    // markers are gone: the window must show it, or the opening player never
    // sees that it is their turn.
    ShowRepaint();
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
    std::uint8_t chosen[HAND_SIZE];
    std::memcpy(chosen, msg + MSG_PLAY_SELECTION_OFFSET, HAND_SIZE);
    if (g_table->Play(seat, chosen) != 0) ShowRepaint();
    // Forwarded whether or not this copy accepted it: every copy decides alike.
    if (IsHost()) SendToOthers(1, msg, MSG_PLAY_SIZE, seat);
    return true;
}

bool OnPass(Socket sock, const std::uint8_t* msg) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    if (!SenderMayActFor(sock, seat, MSG_PASS_SIZE)) return false;
    if (g_table->Pass(seat) != 0) ShowRepaint();
    if (IsHost()) SendToOthers(1, msg, MSG_PASS_SIZE, seat);
    return true;
}

bool OnChat(Socket sock, const std::uint8_t* msg, std::size_t size) {
    const int seat = SeatByte(msg[MSG_SEAT_OFFSET]);
    const std::size_t n = size - MSG_CHAT_HEADER_SIZE;
    if (n < CHAT_MIN_LENGTH || n > CHAT_MAX_LENGTH) {
        Drop(&g_readStats.dropped.badChatLength, size);
        return false;
    }
    if (!SenderMayActFor(sock, seat, size)) return false;
    // The text up to its NUL, never beyond its n bytes, at most 1000 characters.
    char text[CHAT_MAX_CHARS + 1];
    const char* received = reinterpret_cast<const char*>(msg + MSG_CHAT_TEXT_OFFSET);
    const std::size_t length = strnlen(received, std::min<std::size_t>(n, CHAT_MAX_CHARS));
    std::memcpy(text, received, length);
    text[length] = '\0';
    char name[NAME_SIZE];
    std::memcpy(name, g_seats[seat].name, NAME_SIZE);
    name[NAME_MAX_CHARS] = '\0';
    ShowChat(name);
    ShowChat(": ");
    ShowChat(text);
    ShowChat("\r\n");
    if (IsHost()) SendToOthers(1, msg, static_cast<int>(size), 0);
    return true;
}

bool OnNextRound(Socket sock) {
    // Only the winner of a finished round starts the next one.
    const int seat = SeatOfSocket(sock);
    if (seat == 0 || g_playerCount != 4 || g_table->roundOver == 0 || g_table->leader != seat) {
        Drop(&g_readStats.dropped.nextRound, MSG_NEXT_ROUND_SIZE);
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
    ShowRepaint();
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
            return OnNewGame();
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

// A MSG_CHAT whose n is beyond anything a writer sends may be longer than
// the socket layer keeps for a connection, so it is not awaited whole: what
// has arrived is dropped at once and the rest as it comes. Per connection, the
// bytes of such a message still to come.
std::unordered_map<Socket, std::size_t>& Skipping() {
    static std::unordered_map<Socket, std::size_t> skipping;
    return skipping;
}

// Consumes and forgets up to `size` waiting bytes; returns how many.
std::size_t Discard(Socket sock, std::size_t size) {
    std::uint8_t scratch[1024];
    std::size_t done = 0;
    while (done < size) {
        const int want = static_cast<int>(std::min(size - done, sizeof scratch));
        const int got = SockRecv(sock, scratch, want);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// Drops the rest of an overlong message still arriving on the connection.
// Returns true when bytes of it were (or are still) due, and nothing else may
// be read in this call.
bool SkipOverlong(Socket sock, std::size_t available) {
    auto it = Skipping().find(sock);
    if (it == Skipping().end()) return false;
    const std::size_t done = Discard(sock, std::min(available, it->second));
    g_readStats.droppedBytes += done;
    it->second -= std::min(done, it->second);
    if (it->second == 0) Skipping().erase(it);
    return true;
}

}  // namespace

void ForgetConnection(Socket sock) {
    Skipping().erase(sock);
}

void OnSocketEvent(Socket sock, int event) {
    switch (event) {
        case FD_READ:
            ReadMessage(sock);
            break;
        case FD_WRITE:
            OnSocketWrite();
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
    if (SkipOverlong(sock, available)) return;
    std::uint8_t msg[MSG_CHAT_MAX_SIZE];
    const int head = SockPeek(sock, msg, static_cast<int>(std::min<std::size_t>(available, 4)));
    if (head <= 0) return;
    const Frame frame = FrameAt(msg, static_cast<std::size_t>(head));
    if (frame.kind == Frame::kIncomplete) return;
    if (frame.kind == Frame::kUnknownType) {
        SockRecv(sock, msg, 1);
        Drop(&g_readStats.dropped.unknownType, 1);
        return;
    }
    const std::uint8_t type = msg[MSG_TYPE_OFFSET];
    const bool receives = IsHost() ? HostReceives(type) : ClientReceives(type);
    if (frame.size > sizeof msg) {
        // Only a MSG_CHAT can be this long; its n is beyond what any writer
        // sends. Dropped now, and its rest as it arrives.
        Drop(receives ? &g_readStats.dropped.badChatLength : &g_readStats.dropped.wrongRole, 0);
        const std::size_t done = Discard(sock, std::min(available, frame.size));
        g_readStats.droppedBytes += done;
        if (done < frame.size) Skipping()[sock] = frame.size - done;
        return;
    }
    if (available < frame.size) return;  // the rest has not arrived yet

    if (SockRecv(sock, msg, static_cast<int>(frame.size)) != static_cast<int>(frame.size)) return;
    if (!receives) {
        Drop(&g_readStats.dropped.wrongRole, frame.size);
        return;
    }
    if (!Handle(sock, msg, frame.size)) return;
    g_readStats.handled[type] += 1;
    if (g_view != nullptr) g_view->MessageHandled(type);
}
