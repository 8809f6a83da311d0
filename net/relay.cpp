#include "net/relay.h"

#include <QTimer>
#include <cstring>

#include "net/notices.h"
#include "net/socket_layer.h"
#include "net/wire.h"

namespace {

int g_joinTimeoutMs = JOIN_TIMEOUT_MS;
// Per client seat, a number that changes at every accept, so that the join
// deadline of a connection that has gone never strikes its successor.
std::uint64_t g_acceptSerial[SEAT_COUNT + 1];

// Closes the seat's connection if it still has not joined when its time is up.
void StartJoinDeadline(int seat) {
    const std::uint64_t serial = ++g_acceptSerial[seat];
    QTimer::singleShot(g_joinTimeoutMs, [seat, serial] {
        if (g_acceptSerial[seat] != serial || g_localSeat != 1) return;
        const Socket sock = g_seats[seat].sock;
        if (sock == INVALID_SOCKET || g_joined[seat] != 0) return;
        OnSocketClose(sock);
    });
}

}  // namespace

void SetJoinTimeoutForTest(int ms) {
    g_joinTimeoutMs = ms > 0 ? ms : JOIN_TIMEOUT_MS;
}

void CloseSock(Socket* sock, int mark) {
    if (*sock == INVALID_SOCKET) return;
    SockShutdown(*sock, SD_RECEIVE);
    SockClose(*sock);
    if (mark != 0) *sock = INVALID_SOCKET;
}

void Disconnect() {
    if (g_localSeat == 1) {
        for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
            if (g_seats[seat].sock == INVALID_SOCKET) continue;
            CloseSock(&g_seats[seat].sock, 0);
            ClearSeat(seat);
        }
        // Seat 1's socket was the listening socket, closed above.
        g_sock = INVALID_SOCKET;
        // A connection still waiting to be told that the table is full would
        // otherwise stay open and later reach this program, now off the
        // network, as a stray close.
        CloseSock(&g_overflowSock, 1);
        ShowStatus(STATUS_NO_CONNECTION);
    } else if (g_localSeat >= 2 || g_sock != INVALID_SOCKET) {
        // A client, seated or still waiting for its seat.
        CloseSock(&g_sock, 1);
        for (int seat = 0; seat <= SEAT_COUNT; ++seat) ClearSeat(seat);
        ShowStatus(STATUS_DISCONNECTED);
    } else {
        return;  // off the network already
    }
    std::memset(g_joined, 0, sizeof g_joined);
    g_playerCount = 0;
    g_localSeat = 0;
}

void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat) {
    if (fromSeat != 1) {
        SockSend(g_sock, buf, len);
        return;
    }
    const std::int8_t skip = static_cast<std::int8_t>(skipSeat);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        const SeatRecord& record = g_seats[seat];
        if (record.sock == INVALID_SOCKET) continue;
        if (skip != 0 && record.number == skip) continue;
        SockSend(record.sock, buf, len);
    }
}

void DealAndSend(int newGame) {
    if (g_localSeat != 1 || g_playerCount != 4 || g_table == nullptr) return;
    g_table->Deal(newGame);
    const int size = BuildDeal(g_outMsg, g_table->hands);
    SendToOthers(1, g_outMsg, size, 0);
    if (newGame != 0) {
        const std::uint8_t newGameMsg[MSG_NEW_GAME_SIZE] = {MSG_NEW_GAME};
        SendToOthers(1, newGameMsg, MSG_NEW_GAME_SIZE, 0);
    }
    ShowStatus(STATUS_GAME_STARTED);
    ShowRepaint();
    if (g_view != nullptr) {
        g_view->RoundDealt();
        if (newGame != 0) g_view->NewGameStarted();
    }
}

void OnSocketWrite() {
    if (g_overflowSock == INVALID_SOCKET) return;
    const std::uint8_t full[MSG_HOST_FULL_SIZE] = {MSG_HOST_FULL};
    SockSend(g_overflowSock, full, MSG_HOST_FULL_SIZE);
}

void OnSocketAccept() {
    if (g_localSeat != 1) return;  // only the host listens
    int seat = 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        if (g_seats[t].sock == INVALID_SOCKET) {
            seat = t;
            break;
        }
    }
    // A full table, or every client seat held by a connection that has not
    // joined yet: the newcomer is turned away. An older turned-away
    // connection still open is closed first, so no handle is lost.
    if (g_playerCount >= 4 || seat == 0) {
        CloseSock(&g_overflowSock, 1);
        g_overflowSock = SockAccept(g_sock, nullptr);
        return;
    }
    SockAddrIn peer;
    const Socket sock = SockAccept(g_sock, &peer);
    if (sock == INVALID_SOCKET) return;
    SeatRecord& record = g_seats[seat];
    record.number = static_cast<std::int8_t>(seat);
    std::memset(record.name, 0, sizeof record.name);
    record.sock = sock;
    record.addr.family = ADDR_FAMILY_INET;
    record.addr.port = peer.port;
    record.addr.ipv4 = peer.ipv4;
    g_joined[seat] = 0;  // counted when its MSG_JOIN arrives
    StartJoinDeadline(seat);

    int size = BuildSeatAssign(g_outMsg, seat);
    SockSend(sock, g_outMsg, size);
    size = BuildSeatInfo(g_outMsg, g_seats[1]);
    SockSend(sock, g_outMsg, size);
    // Only seats whose players have joined: a connection still waiting for
    // its name is announced to everyone, this newcomer included, when its
    // MSG_JOIN arrives. Announcing it now as well would make the newcomer
    // count a player the table does not have yet.
    for (int other = 2; other <= SEAT_COUNT; ++other) {
        if (other == seat || g_seats[other].sock == INVALID_SOCKET || g_joined[other] == 0) {
            continue;
        }
        size = BuildSeatInfo(g_outMsg, g_seats[other]);
        SockSend(sock, g_outMsg, size);
    }
}

void OnSocketClose(Socket sock) {
    if (g_localSeat != 1) {
        // A client: only its connection to the host can close.
        if (sock == INVALID_SOCKET || sock != g_sock) return;
        Disconnect();
        ShowChat(CHAT_HOST_CLOSED);
        ShowAwayChecked(false);
        if (g_view != nullptr) g_view->TableClosed();
        return;
    }
    if (sock != INVALID_SOCKET && sock == g_overflowSock) {
        CloseSock(&g_overflowSock, 1);
        return;
    }
    ShowAwayChecked(false);
    const int seat = SeatOfSocket(sock);
    if (seat == 0) return;
    // A connection that never sent its name was never announced: the others
    // hear nothing of it, and the host's log names nobody.
    const bool joined = g_joined[seat] != 0;
    if (joined) ShowChat(FormatNotice(g_seats[seat].name, CHAT_HAS_LEFT));
    CloseSock(&g_seats[seat].sock, 0);
    ClearSeat(seat);
    ShowWaitingStatus(STATUS_WAITING_HOST);
    if (!joined) return;
    const int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, 0);
}
