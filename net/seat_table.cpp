#include "net/seat_table.h"

#include <cstring>

#include "net/table_view.h"

SeatRecord g_seats[SEAT_COUNT + 1];
std::int32_t g_localSeat = 0;
std::int32_t g_playerCount = 0;
std::int32_t g_away[SEAT_COUNT + 1];
std::uint8_t g_outMsg[MSG_BUFFER_SIZE];
HostSeat g_hostSeats[SEAT_COUNT + 1];
bool g_newGameSeen = false;
Socket g_sock = INVALID_SOCKET;
Socket g_overflowSock = INVALID_SOCKET;
GameTable* g_table = nullptr;

namespace {

bool IsClientSeat(int seat) {
    return seat >= 2 && seat <= SEAT_COUNT;
}

bool CountedState(SeatState state) {
    return state == SeatState::kJoined || IsComputerState(state);
}

// The moves a seat's life has. Every state may go back to kEmpty (the host
// leaves the network, or the seat's connection ends).
//
//   from         to
//   kEmpty       kAccepted (an accept), kComputer (the computer given the seat)
//   kAccepted    kJoined (its MSG_JOIN)
//   kJoined      kComputer (its player left a running game)
//   kComputer    kTakingOver (a newcomer accepted for it)
//   kTakingOver  kReplaying (the newcomer's MSG_JOIN), kComputer (it left or was late)
//   kReplaying   kJoined (the game so far handed over), kComputer (it left or was late)
bool MoveAllowed(SeatState from, SeatState to) {
    using S = SeatState;
    if (to == S::kEmpty) return true;
    switch (from) {
        case S::kEmpty:
            return to == S::kAccepted || to == S::kComputer;
        case S::kAccepted:
            return to == S::kJoined;
        case S::kJoined:
            return to == S::kComputer;
        case S::kComputer:
            return to == S::kTakingOver;
        case S::kTakingOver:
            return to == S::kReplaying || to == S::kComputer;
        case S::kReplaying:
            return to == S::kJoined || to == S::kComputer;
    }
    return false;
}

}  // namespace

bool IsComputerState(SeatState state) {
    return state == SeatState::kComputer || state == SeatState::kTakingOver ||
           state == SeatState::kReplaying;
}

void ResetSeatTable() {
    for (int seat = 0; seat <= SEAT_COUNT; ++seat) {
        SeatRecord& record = g_seats[seat];
        std::memset(&record, 0, sizeof record);
        record.number = static_cast<std::int8_t>(seat);
        record.sock = INVALID_SOCKET;
        g_away[seat] = 0;
        g_hostSeats[seat] = HostSeat{};
    }
    g_newGameSeen = false;
    g_localSeat = 0;
    g_playerCount = 0;
    g_sock = INVALID_SOCKET;
    g_overflowSock = INVALID_SOCKET;
}

bool IsSeatCounted(int seat) {
    if (seat < 1 || seat > SEAT_COUNT || g_seats[seat].sock == INVALID_SOCKET) return false;
    if (g_localSeat != 1 || seat == 1) return true;
    return CountedState(g_hostSeats[seat].state);
}

void ClearSeat(int seat) {
    if (seat < 0 || seat > SEAT_COUNT) return;
    SeatRecord& record = g_seats[seat];
    if (record.sock == INVALID_SOCKET) return;
    // An accepted connection that closes before its MSG_JOIN does not lower
    // a count that its join never raised.
    const bool counted = IsSeatCounted(seat);
    record.number = static_cast<std::int8_t>(seat);
    std::memset(record.name, 0, sizeof record.name);
    record.sock = INVALID_SOCKET;
    record.addr.ipv4 = 0;  // family and port stay
    if (counted) g_playerCount -= 1;
}

bool MoveSeat(int seat, SeatState to, Socket conn) {
    if (!IsClientSeat(seat)) return false;
    HostSeat& host = g_hostSeats[seat];
    if (!MoveAllowed(host.state, to)) return false;
    const bool wasCounted = IsSeatCounted(seat);
    if (to == SeatState::kEmpty) ClearSeat(seat);
    host.state = to;
    host.serial += 1;
    switch (to) {
        case SeatState::kEmpty:
        case SeatState::kComputer:
            host.conn = INVALID_SOCKET;
            host.newcomerAddr = SeatAddr{};
            std::memset(host.newcomerName, 0, sizeof host.newcomerName);
            host.replayAt = 0;
            host.ackLookDue = false;
            break;
        case SeatState::kAccepted:
        case SeatState::kTakingOver:
            host.conn = conn;
            break;
        case SeatState::kJoined:
        case SeatState::kReplaying:
            break;  // the connection it had
    }
    SeatRecord& record = g_seats[seat];
    if (to == SeatState::kAccepted || to == SeatState::kJoined) {
        record.sock = host.conn;
    } else if (IsComputerState(to)) {
        record.sock = g_seats[1].sock;  // played from the host
    }
    record.number = static_cast<std::int8_t>(seat);
    if (to != SeatState::kEmpty && !wasCounted && IsSeatCounted(seat)) g_playerCount += 1;
    TellSeatChanged(seat);
    return true;
}

int SeatOfSocket(Socket sock) {
    if (sock == INVALID_SOCKET) return 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        const HostSeat& host = g_hostSeats[t];
        if ((host.state == SeatState::kAccepted || host.state == SeatState::kJoined) &&
            host.conn == sock)
            return t;
    }
    return 0;
}

int TakeoverSeatOfSocket(Socket sock) {
    if (sock == INVALID_SOCKET) return 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        const HostSeat& host = g_hostSeats[t];
        if ((host.state == SeatState::kTakingOver || host.state == SeatState::kReplaying) &&
            host.conn == sock)
            return t;
    }
    return 0;
}

bool IsComputerSeat(int seat) {
    return g_localSeat == 1 && IsClientSeat(seat) && IsComputerState(g_hostSeats[seat].state);
}

bool GameLive() {
    if (g_playerCount != SEAT_COUNT) return false;
    return g_localSeat == 1 || (g_localSeat >= 2 && g_newGameSeen);
}
