#include "net/seat_table.h"

#include <cstring>

#include "net/table_view.h"

SeatRecord g_seats[SEAT_COUNT + 1];
std::int32_t g_localSeat = 0;
std::int32_t g_playerCount = 0;
std::int32_t g_away[SEAT_COUNT + 1];
std::uint8_t g_joined[SEAT_COUNT + 1];
std::uint8_t g_outMsg[MSG_BUFFER_SIZE];
Socket g_takeoverSock[SEAT_COUNT + 1] = {INVALID_SOCKET, INVALID_SOCKET, INVALID_SOCKET,
                                         INVALID_SOCKET, INVALID_SOCKET};
SeatAddr g_takeoverAddr[SEAT_COUNT + 1];
std::int64_t g_replayAt[SEAT_COUNT + 1] = {-1, -1, -1, -1, -1};
bool g_newGameSeen = false;
Socket g_sock = INVALID_SOCKET;
Socket g_overflowSock = INVALID_SOCKET;
GameTable* g_table = nullptr;
TableView* g_view = nullptr;

void ResetSeatTable() {
    for (int seat = 0; seat <= SEAT_COUNT; ++seat) {
        SeatRecord& record = g_seats[seat];
        std::memset(&record, 0, sizeof record);
        record.number = static_cast<std::int8_t>(seat);
        record.sock = INVALID_SOCKET;
        g_away[seat] = 0;
        g_joined[seat] = 0;
        g_takeoverSock[seat] = INVALID_SOCKET;
        g_takeoverAddr[seat] = SeatAddr{};
        g_replayAt[seat] = -1;
    }
    g_newGameSeen = false;
    g_localSeat = 0;
    g_playerCount = 0;
    g_sock = INVALID_SOCKET;
    g_overflowSock = INVALID_SOCKET;
}

void ClearSeat(int seat) {
    if (seat < 0 || seat > SEAT_COUNT) return;
    SeatRecord& record = g_seats[seat];
    if (record.sock == INVALID_SOCKET) return;
    record.number = static_cast<std::int8_t>(seat);
    std::memset(record.name, 0, sizeof record.name);
    record.sock = INVALID_SOCKET;
    record.addr.ipv4 = 0;  // family and port stay
    g_replayAt[seat] = -1;
    // Seat 1 (the host) is counted whenever it is occupied; a client seat only
    // once its player has joined, so an accepted connection that closes before
    // its MSG_JOIN does not lower a count that its join never raised.
    const bool counted = seat == 1 || g_joined[seat] != 0;
    g_joined[seat] = 0;
    if (!counted) return;
    g_playerCount -= 1;
    if (g_playerCount == 3 && g_view != nullptr) g_view->Repaint();
}

int SeatOfSocket(Socket sock) {
    if (sock == INVALID_SOCKET || sock == COMPUTER_SOCKET) return 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        if (g_seats[t].sock == sock) return t;
    }
    return 0;
}

int TakeoverSeatOfSocket(Socket sock) {
    if (sock == INVALID_SOCKET) return 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        if (g_takeoverSock[t] == sock) return t;
    }
    return 0;
}

bool IsComputerSeat(int seat) {
    return g_localSeat == 1 && seat >= 2 && seat <= SEAT_COUNT &&
           g_seats[seat].sock == COMPUTER_SOCKET;
}

bool GameLive() {
    if (g_playerCount != SEAT_COUNT) return false;
    return g_localSeat == 1 || (g_localSeat >= 2 && g_newGameSeen);
}
