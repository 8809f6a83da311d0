#include "net/relay.h"

#include <QTimer>
#include <cstring>
#include <vector>

#include "net/notices.h"
#include "net/socket_layer.h"
#include "net/wire.h"

namespace {

int g_joinTimeoutMs = JOIN_TIMEOUT_MS;
// Per client seat, a number that changes at every accept, so that the join
// deadline of a connection that has gone never strikes its successor.
std::uint64_t g_acceptSerial[SEAT_COUNT + 1];

// The host's game since its last new game, as the messages that made it.
std::vector<std::uint8_t> g_gameLog;

// A replay goes out in pieces of whole messages of about this size, the next
// once the socket layer has passed the last one on, so that even the log of
// a very long game never fills the layer's queue for one peer.
constexpr std::size_t REPLAY_PIECE_BYTES = 256 * 1024;

bool IsHost() {
    return g_localSeat == 1;
}

bool FrontEndHasComputer() {
    return g_view != nullptr && g_view->HasComputerPlayer();
}

void TellSeatChanged(int seat) {
    if (g_view != nullptr) g_view->SeatChanged(seat);
}

// The messages a replay carries: what changes the game table.
bool IsGameMessage(std::uint8_t type) {
    return type == MSG_DEAL || type == MSG_NEW_GAME || type == MSG_PLAY || type == MSG_PASS;
}

// Closes the seat's connection if it still has not joined when its time is
// up: a seated one that has sent no name, or a newcomer still waiting to take
// a computer-held seat over.
void StartJoinDeadline(int seat, Socket sock) {
    const std::uint64_t serial = ++g_acceptSerial[seat];
    QTimer::singleShot(g_joinTimeoutMs, [seat, sock, serial] {
        if (g_acceptSerial[seat] != serial || !IsHost()) return;
        const bool waitingSeat = g_seats[seat].sock == sock && g_joined[seat] == 0;
        if (waitingSeat || g_takeoverSock[seat] == sock) OnSocketClose(sock);
    });
}

// Sends to the connection the host's record and the record of every other
// seat whose player has joined (a computer-held seat among them), as every
// newcomer learns who sits at the table.
void SendSeatedRecords(Socket sock, int newcomerSeat) {
    int size = BuildSeatInfo(g_outMsg, g_seats[1]);
    SockSend(sock, g_outMsg, size);
    // A connection still waiting for its name is announced to everyone, this
    // newcomer included, when its MSG_JOIN arrives. Announcing it now as well
    // would make the newcomer count a player the table does not have yet.
    for (int other = 2; other <= SEAT_COUNT; ++other) {
        if (other == newcomerSeat || g_seats[other].sock == INVALID_SOCKET ||
            g_joined[other] == 0) {
            continue;
        }
        size = BuildSeatInfo(g_outMsg, g_seats[other]);
        SockSend(sock, g_outMsg, size);
    }
}

// A seat's player has joined (a MSG_JOIN, or the computer given the seat):
// announced here and to every client, counted, and the fourth starts the game.
void AnnounceJoin(int seat) {
    const SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    g_joined[seat] = 1;
    g_playerCount += 1;
    const int size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, 0);
    TellSeatChanged(seat);
    if (g_playerCount == 4) {
        StartNewTableGame();
    } else {
        ShowWaitingStatus(STATUS_WAITING_HOST);
    }
}

// The seat becomes the computer's: no connection, played from this machine.
void HoldForComputer(int seat, const char* name) {
    SeatRecord& record = g_seats[seat];
    record.number = static_cast<std::int8_t>(seat);
    std::memcpy(record.name, name, NAME_SIZE);
    record.sock = COMPUTER_SOCKET;
    record.addr = g_seats[1].addr;
    g_replayAt[seat] = -1;
}

// The away flags in force, to a newcomer whose replay is done.
void FinishReplay(int seat) {
    g_replayAt[seat] = -1;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (g_away[s] == 0) continue;
        const int size = BuildAway(g_outMsg, s, g_away[s]);
        SockSend(g_seats[seat].sock, g_outMsg, size);
    }
}

// Sends the newcomer in `seat` as much of the game's log as the socket layer
// takes without waiting; the write event brings the rest.
void PumpReplay(int seat) {
    const Socket sock = g_seats[seat].sock;
    while (g_replayAt[seat] >= 0) {
        const auto at = static_cast<std::size_t>(g_replayAt[seat]);
        if (at >= g_gameLog.size()) {
            FinishReplay(seat);
            return;
        }
        if (SockQueued(sock) > 0) return;
        std::size_t end = at;
        while (end < g_gameLog.size() && end - at < REPLAY_PIECE_BYTES) {
            end += FrameAt(g_gameLog.data() + end, g_gameLog.size() - end).size;
        }
        const int length = static_cast<int>(end - at);
        if (SockSend(sock, g_gameLog.data() + at, length) != length) {
            g_replayAt[seat] = -1;  // the connection has failed: its close follows
            return;
        }
        g_replayAt[seat] = static_cast<std::int64_t>(end);
    }
}

// A newcomer's MSG_JOIN for the computer-held seat it is taking over.
void CompleteTakeover(int seat, const char* name) {
    SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_HAS_LEFT));
    int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, 0);

    record.sock = g_takeoverSock[seat];
    record.addr = g_takeoverAddr[seat];
    std::memcpy(record.name, name, NAME_SIZE);
    g_takeoverSock[seat] = INVALID_SOCKET;
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, seat);
    SockSend(record.sock, g_outMsg, size);
    g_replayAt[seat] = 0;
    PumpReplay(seat);
    TellSeatChanged(seat);
    ShowRepaint();
}

// A joined player has left a running game: the computer keeps the seat.
void KeepSeatForComputer(int seat) {
    SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_HAS_LEFT));
    CloseSock(&record.sock, 0);
    char name[NAME_SIZE];
    ComputerSeatName(seat, record.name, name);
    HoldForComputer(seat, name);
    int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, 0);
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, 0);
    // The empty chair of an away player goes: the computer is at the table.
    if (g_away[seat] != 0) {
        g_away[seat] = 0;
        size = BuildAway(g_outMsg, seat, 0);
        SendToOthers(1, g_outMsg, size, 0);
    }
    TellSeatChanged(seat);
    ShowRepaint();
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
            // A computer-held seat has no connection to close.
            if (g_seats[seat].sock != COMPUTER_SOCKET) CloseSock(&g_seats[seat].sock, 0);
            ClearSeat(seat);
            CloseSock(&g_takeoverSock[seat], 1);
        }
        // Seat 1's socket was the listening socket, closed above.
        g_sock = INVALID_SOCKET;
        // A connection still waiting to be told that the table is full would
        // otherwise stay open and later reach this program, now off the
        // network, as a stray close.
        CloseSock(&g_overflowSock, 1);
        g_gameLog.clear();
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
    g_newGameSeen = false;
    g_playerCount = 0;
    g_localSeat = 0;
}

void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat) {
    if (fromSeat != 1) {
        SockSend(g_sock, buf, len);
        return;
    }
    const std::int8_t skip = static_cast<std::int8_t>(skipSeat);
    const bool gameMessage = len > 0 && IsGameMessage(static_cast<const std::uint8_t*>(buf)[0]);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        const SeatRecord& record = g_seats[seat];
        if (record.sock == INVALID_SOCKET || record.sock == COMPUTER_SOCKET) continue;
        if (skip != 0 && record.number == skip) continue;
        if (gameMessage && g_replayAt[seat] >= 0) continue;  // the replay carries it
        SockSend(record.sock, buf, len);
    }
}

void SendGameMessage(int fromSeat, const std::uint8_t* msg, int len, int skipSeat) {
    if (fromSeat == 1 && IsHost()) g_gameLog.insert(g_gameLog.end(), msg, msg + len);
    SendToOthers(fromSeat, msg, len, skipSeat);
}

void DealAndSend(int newGame) {
    if (g_localSeat != 1 || g_playerCount != 4 || g_table == nullptr) return;
    g_table->Deal(newGame);
    if (newGame != 0) g_gameLog.clear();
    const int size = BuildDeal(g_outMsg, g_table->hands);
    SendGameMessage(1, g_outMsg, size, 0);
    if (newGame != 0) {
        const std::uint8_t newGameMsg[MSG_NEW_GAME_SIZE] = {MSG_NEW_GAME};
        SendGameMessage(1, newGameMsg, MSG_NEW_GAME_SIZE, 0);
    }
    ShowStatus(STATUS_GAME_STARTED);
    ShowRepaint();
    if (g_view != nullptr) {
        g_view->RoundDealt();
        if (newGame != 0) g_view->NewGameStarted();
    }
}

void StartNewTableGame() {
    for (int s = 0; s <= SEAT_COUNT; ++s) g_away[s] = 0;
    ShowAwayChecked(false);
    DealAndSend(1);
}

void OnSocketWrite(Socket sock) {
    if (g_overflowSock != INVALID_SOCKET) {
        const std::uint8_t full[MSG_HOST_FULL_SIZE] = {MSG_HOST_FULL};
        SockSend(g_overflowSock, full, MSG_HOST_FULL_SIZE);
    }
    if (!IsHost()) return;
    const int seat = SeatOfSocket(sock);
    if (seat != 0 && g_replayAt[seat] >= 0) PumpReplay(seat);
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
    if (g_playerCount >= 4 || seat == 0) {
        // No free seat: a newcomer may still take one the computer holds.
        int takeover = 0;
        for (int t = 2; t <= SEAT_COUNT && takeover == 0; ++t) {
            if (IsComputerSeat(t) && g_takeoverSock[t] == INVALID_SOCKET) takeover = t;
        }
        if (takeover != 0) {
            SockAddrIn peer;
            const Socket sock = SockAccept(g_sock, &peer);
            if (sock == INVALID_SOCKET) return;
            g_takeoverSock[takeover] = sock;
            g_takeoverAddr[takeover] = {ADDR_FAMILY_INET, peer.port, peer.ipv4};
            StartJoinDeadline(takeover, sock);
            const int size = BuildSeatAssign(g_outMsg, takeover);
            SockSend(sock, g_outMsg, size);
            SendSeatedRecords(sock, takeover);
            return;
        }
        // A full table, or every client seat held by a connection that has
        // not joined yet: the newcomer is turned away. An older turned-away
        // connection still open is closed first, so no handle is lost.
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
    StartJoinDeadline(seat, sock);

    const int size = BuildSeatAssign(g_outMsg, seat);
    SockSend(sock, g_outMsg, size);
    SendSeatedRecords(sock, seat);
}

bool JoinSeat(Socket sock, const std::uint8_t* nameBytes) {
    char name[NAME_SIZE];
    CopyReceivedName(name, nameBytes);
    const int takeover = TakeoverSeatOfSocket(sock);
    if (takeover != 0) {
        CompleteTakeover(takeover, name);
        return true;
    }
    const int seat = SeatOfSocket(sock);
    if (seat == 0 || g_joined[seat] != 0) return false;
    std::memcpy(g_seats[seat].name, name, NAME_SIZE);
    AnnounceJoin(seat);
    return true;
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
    // A newcomer that leaves before taking its seat over: the seat stays the
    // computer's, and nobody heard of it.
    const int takeover = TakeoverSeatOfSocket(sock);
    if (takeover != 0) {
        CloseSock(&g_takeoverSock[takeover], 1);
        return;
    }
    // The host's own box shows its own flag, which no departure changes.
    ShowAwayChecked(g_away[1] != 0);
    const int seat = SeatOfSocket(sock);
    if (seat == 0) return;
    const bool joined = g_joined[seat] != 0;
    if (joined && g_playerCount == 4 && FrontEndHasComputer()) {
        KeepSeatForComputer(seat);
        return;
    }
    // A connection that never sent its name was never announced: the others
    // hear nothing of it, and the host's log names nobody.
    if (joined) ShowChat(FormatNotice(g_seats[seat].name, CHAT_HAS_LEFT));
    CloseSock(&g_seats[seat].sock, 0);
    ClearSeat(seat);
    ShowWaitingStatus(STATUS_WAITING_HOST);
    TellSeatChanged(seat);
    if (!joined) return;
    const int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, 0);
}

bool GiveSeatToComputer(int seat) {
    if (!IsHost() || !FrontEndHasComputer() || seat < 2 || seat > SEAT_COUNT) return false;
    if (g_seats[seat].sock != INVALID_SOCKET) return false;
    char name[NAME_SIZE];
    ComputerSeatName(seat, nullptr, name);
    HoldForComputer(seat, name);
    AnnounceJoin(seat);
    return true;
}

int FillEmptySeatsWithComputer() {
    int given = 0;
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) given += GiveSeatToComputer(seat) ? 1 : 0;
    return given;
}

const std::uint8_t* GameLogData() {
    return g_gameLog.data();
}

std::size_t GameLogSize() {
    return g_gameLog.size();
}
