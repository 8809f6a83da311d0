#include "net/relay.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "net/notices.h"
#include "net/socket_layer.h"
#include "net/wire.h"

namespace {

int g_joinTimeoutMs = JOIN_TIMEOUT_MS;
int g_handoverTimeoutMs = HANDOVER_TIMEOUT_MS;
HostPolicy g_policy;

// A replay goes out in pieces of whole messages of about this size, the next
// once the socket layer has passed the last one on, so that even the log of
// a very long game never fills the layer's queue for one peer.
constexpr std::size_t REPLAY_PIECE_BYTES = 256 * 1024;
// How often a newcomer whose replay has all gone out is looked at again until
// it has acknowledged it.
constexpr int HANDOVER_POLL_MS = 10;

bool IsHost() {
    return g_localSeat == 1;
}

bool IsGameMessage(std::uint8_t type) {
    return type == MSG_DEAL || type == MSG_NEW_GAME || type == MSG_PLAY || type == MSG_PASS;
}

// ---------------------------------------------------------------------------
// The turn limit.
//
// After every change of the host's table it looks at whose move is due: the
// seat on turn, or the winner of a finished round (its next-round request).
// A person's seat that is due is timed: when the limit passes with nothing
// from it, the seat is marked away for everyone; when TURN_FALLBACK_MS more
// pass and the seat is still due, the host's computer plays it. The timing
// starts again at every move, so it is the time of one move.

class TurnLimit {
  public:
    void SetForTest(int limitMs, int fallbackMs) {
        limitForTestMs_ = limitMs > 0 ? limitMs : 0;
        fallbackMs_ = fallbackMs > 0 ? fallbackMs : TURN_FALLBACK_MS;
    }
    int LimitMs() const {
        if (limitForTestMs_ > 0) return limitForTestMs_;
        return g_policy.turnLimitSeconds > 0 ? g_policy.turnLimitSeconds * 1000 : 0;
    }

    // A move was made: whoever is due now starts from nothing.
    void MoveMade() { moves_ += 1; }
    bool PlaysFor(int seat) const { return seat >= 2 && seat <= SEAT_COUNT && hostPlays_[seat]; }
    // The host's computer made a move for the seat.
    void MovedFor(int seat) {
        if (PlaysFor(seat)) movedFor_[seat] = true;
    }
    // Whether the host has moved for the seat since its own program last did.
    bool HasMovedFor(int seat) const { return seat >= 2 && seat <= SEAT_COUNT && movedFor_[seat]; }
    // The seat's own program is back (a move taken, or its away flag cleared),
    // or the seat has changed hands: the host's computer stops playing it.
    void StopPlayingFor(int seat) {
        if (seat < 2 || seat > SEAT_COUNT) return;
        movedFor_[seat] = false;
        if (hostPlays_[seat]) {
            hostPlays_[seat] = false;
            TellTableChanged();
        }
    }
    void Reset() {
        timer_.stop();
        seat_ = 0;
        for (bool& plays : hostPlays_) plays = false;
        for (bool& moved : movedFor_) moved = false;
    }

    // Looks again at whose move is due.
    void Look() {
        const int seat = DueSeat();
        if (seat == 0) {
            timer_.stop();
            seat_ = 0;
            return;
        }
        if (seat == seat_ && moves_ == movesAtStart_) return;  // the same wait goes on
        seat_ = seat;
        movesAtStart_ = moves_;
        StartPhase(g_away[seat] != 0 ? Phase::kFallback : Phase::kLimit);
    }

    int SeatAndLeft(int* msLeft) const {
        if (seat_ == 0 || !timer_.isActive()) {
            if (msLeft != nullptr) *msLeft = 0;
            return 0;
        }
        if (msLeft != nullptr)
            *msLeft = std::max(0, durationMs_ - static_cast<int>(clock_.elapsed()));
        return seat_;
    }

  private:
    enum class Phase { kLimit, kFallback };

    int DueSeat() const {
        if (!IsHost() || LimitMs() == 0 || g_table == nullptr || !GameLive()) return 0;
        // After the game's end nobody's move is due: the host deals the new game.
        if (HostGameOver(nullptr)) return 0;
        const int seat = g_table->roundOver != 0 ? g_table->leader : g_table->turn;
        if (seat < 1 || seat > SEAT_COUNT || IsComputerSeat(seat) || PlaysFor(seat)) return 0;
        // The host's own seat is played by this program once it is away.
        if (seat == 1 && g_away[1] != 0) return 0;
        return seat;
    }

    void StartPhase(Phase phase) {
        phase_ = phase;
        durationMs_ = phase == Phase::kLimit ? LimitMs() : fallbackMs_;
        clock_.start();
        if (!timer_.isSingleShot()) {
            timer_.setSingleShot(true);
            QObject::connect(&timer_, &QTimer::timeout, [this] { Strike(); });
            ticker_.setInterval(1000);
            QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
        }
        timer_.start(durationMs_);
        ticker_.start();
    }

    // Once a second while a wait runs, so that a countdown on the felt moves.
    void Tick() {
        if (!timer_.isActive()) {
            ticker_.stop();
            return;
        }
        TellTableChanged();
    }

    void Strike() {
        const int seat = seat_;
        if (seat == 0 || DueSeat() != seat || moves_ != movesAtStart_) {
            Look();
            return;
        }
        if (phase_ == Phase::kLimit && g_away[seat] == 0) {
            // Marked away as the seat's own MSG_AWAY would: every client, the
            // seat's own program included, shows it and plays it if it can.
            g_away[seat] = 1;
            const int size = BuildAway(g_outMsg, seat, 1);
            SendToOthers(1, g_outMsg, size, 0);
            if (seat == 1) {
                // The host's own box, and its program plays the seat from now on.
                ShowAwayChecked(true);
                timer_.stop();
                seat_ = 0;
            } else {
                StartPhase(Phase::kFallback);
            }
            TellTableChanged();
            return;
        }
        if (seat == 1) return;
        // The seat's own program has not played it: the host's computer does,
        // until that program moves or clears its away flag.
        hostPlays_[seat] = true;
        timer_.stop();
        seat_ = 0;
        TellTableChanged();
    }

    QTimer timer_;
    QTimer ticker_;
    QElapsedTimer clock_;
    Phase phase_ = Phase::kLimit;
    int durationMs_ = 0;
    int seat_ = 0;
    std::uint64_t moves_ = 0;
    std::uint64_t movesAtStart_ = 0;
    int limitForTestMs_ = 0;
    int fallbackMs_ = TURN_FALLBACK_MS;
    bool hostPlays_[SEAT_COUNT + 1] = {};
    bool movedFor_[SEAT_COUNT + 1] = {};
};

TurnLimit& TheTurnLimit() {
    static TurnLimit limit;
    return limit;
}

// The host's end of a game: armed when a round brings the game to its length,
// it deals the new game when its time is up.
class GameEnd {
  public:
    void Arm() {
        if (!timer_.isSingleShot()) {
            timer_.setSingleShot(true);
            QObject::connect(&timer_, &QTimer::timeout, [] { StartNewTableGame(); });
        }
        clock_.start();
        timer_.start(GAME_END_PAUSE_MS);
    }
    void Cancel() { timer_.stop(); }
    bool Pending(int* msLeft) const {
        const bool pending = timer_.isActive();
        if (msLeft != nullptr)
            *msLeft =
                pending ? std::max(0, GAME_END_PAUSE_MS - static_cast<int>(clock_.elapsed())) : 0;
        return pending;
    }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
};

GameEnd& TheGameEnd() {
    static GameEnd end;
    return end;
}

// ---------------------------------------------------------------------------
// Seats.

// Closes the seat's newcomer or unjoined connection if the seat is still in
// the state it was put in when its time is up.
void StartDeadline(int seat, int ms) {
    const HostSeat& host = g_hostSeats[seat];
    const std::uint64_t serial = host.serial;
    const Socket sock = host.conn;
    QTimer::singleShot(ms, [seat, sock, serial] {
        if (!IsHost() || g_hostSeats[seat].serial != serial || g_hostSeats[seat].conn != sock)
            return;
        OnSocketClose(sock);
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
        if (other == newcomerSeat || !IsSeatCounted(other)) continue;
        size = BuildSeatInfo(g_outMsg, g_seats[other]);
        SockSend(sock, g_outMsg, size);
    }
}

// A seat's player has joined (a MSG_JOIN, or the computer given the seat):
// announced here and to every client, and the fourth starts the game.
void AnnounceJoin(int seat) {
    const SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    const int size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, 0);
    if (g_playerCount == 4) {
        StartNewTableGame();
    } else {
        ShowWaitingStatus(STATUS_WAITING_HOST);
    }
}

// The record of a seat the computer is given.
void NameForComputer(int seat, const char* name) {
    SeatRecord& record = g_seats[seat];
    record.number = static_cast<std::int8_t>(seat);
    std::memcpy(record.name, name, NAME_SIZE);
    record.addr = g_seats[1].addr;
}

// The log keeps what the newcomers being replayed have still to be handed.
void HoldForReplays() {
    std::uint64_t hold = GameLog::NO_HOLD;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        if (g_hostSeats[t].state == SeatState::kReplaying)
            hold = std::min(hold, g_hostSeats[t].replayAt);
    }
    g_gameLog.Hold(hold);
}

// The seat goes from its newcomer to the computer again (the newcomer left
// or was too late): nobody else had heard of the newcomer.
void DropNewcomer(int seat) {
    HostSeat& host = g_hostSeats[seat];
    Socket sock = host.conn;
    CloseSock(&sock, 1);
    MoveSeat(seat, SeatState::kComputer);
    HoldForReplays();
}

// The newcomer in `seat` has been handed the whole game: the seat is its own.
// The others hear the computer's seat leave and the newcomer arrive; the
// newcomer, which has heard every change of the other seats since its accept,
// hears its own record and the away flags in force (a new game in its replay
// cleared those it had heard meanwhile).
void HandOver(int seat) {
    HostSeat& host = g_hostSeats[seat];
    SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_HAS_LEFT));
    int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, seat);  // the newcomer never had the computer's record

    record.addr = host.newcomerAddr;
    std::memcpy(record.name, host.newcomerName, NAME_SIZE);
    const Socket sock = host.conn;
    MoveSeat(seat, SeatState::kJoined);
    HoldForReplays();
    ShowChat(FormatNotice(record.name, CHAT_IS_READY));
    size = BuildSeatInfo(g_outMsg, record);
    SendToOthers(1, g_outMsg, size, seat);
    SockSend(sock, g_outMsg, size);
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (g_away[s] == 0) continue;
        size = BuildAway(g_outMsg, s, g_away[s]);
        SockSend(sock, g_outMsg, size);
    }
    TheTurnLimit().Look();
}

// Hands the newcomer in `seat` as much of the game's log as the socket layer
// takes without waiting; the write event brings the rest. Once the log's end
// has gone to the kernel, the seat is handed over.
void PumpReplay(int seat) {
    HostSeat& host = g_hostSeats[seat];
    while (host.state == SeatState::kReplaying) {
        if (SockQueued(host.conn) > 0) return;
        if (host.replayAt >= g_gameLog.End()) {
            // Handed over once the newcomer has acknowledged the whole game:
            // bytes a stopped reader leaves in the kernel's buffers are not
            // its. No event tells of the acknowledgement; look again soon.
            if (SockUnacknowledged(host.conn) == 0) {
                HandOver(seat);
            } else if (!host.ackLookDue) {
                host.ackLookDue = true;
                const std::uint64_t serial = host.serial;
                QTimer::singleShot(HANDOVER_POLL_MS, [seat, serial] {
                    if (!IsHost() || g_hostSeats[seat].serial != serial) return;
                    g_hostSeats[seat].ackLookDue = false;
                    PumpReplay(seat);
                });
            }
            return;
        }
        std::uint64_t end = host.replayAt;
        while (end < g_gameLog.End() && end - host.replayAt < REPLAY_PIECE_BYTES) {
            end += FrameAt(g_gameLog.At(end), static_cast<std::size_t>(g_gameLog.End() - end)).size;
        }
        const int length = static_cast<int>(end - host.replayAt);
        if (SockSend(host.conn, g_gameLog.At(host.replayAt), length) != length) {
            return;  // the connection has failed: its close follows
        }
        host.replayAt = end;
        HoldForReplays();
    }
}

// A newcomer's MSG_JOIN for the computer-held seat it is taking over: it is
// handed the game so far while the computer plays on.
void StartReplay(int seat, const char* name) {
    HostSeat& host = g_hostSeats[seat];
    std::memcpy(host.newcomerName, name, NAME_SIZE);
    MoveSeat(seat, SeatState::kReplaying);
    host.replayAt = g_gameLog.GameStart();
    HoldForReplays();
    StartDeadline(seat, g_handoverTimeoutMs);
    PumpReplay(seat);
}

// A joined player has left a running game: the computer keeps the seat.
void KeepSeatForComputer(int seat) {
    SeatRecord& record = g_seats[seat];
    ShowChat(FormatNotice(record.name, CHAT_HAS_LEFT));
    Socket sock = g_hostSeats[seat].conn;
    CloseSock(&sock, 1);
    char name[NAME_SIZE];
    ComputerSeatName(seat, record.name, name);
    NameForComputer(seat, name);
    MoveSeat(seat, SeatState::kComputer);
    TheTurnLimit().StopPlayingFor(seat);
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
    TheTurnLimit().Look();
}

}  // namespace

void SetJoinTimeoutForTest(int ms) {
    g_joinTimeoutMs = ms > 0 ? ms : JOIN_TIMEOUT_MS;
}

void SetHandoverTimeoutForTest(int ms) {
    g_handoverTimeoutMs = ms > 0 ? ms : HANDOVER_TIMEOUT_MS;
}

void SetHostPolicy(const HostPolicy& policy) {
    g_policy = policy;
    TheTurnLimit().Look();
}

const HostPolicy& CurrentHostPolicy() {
    return g_policy;
}

void SetTurnLimitForTest(int limitMs, int fallbackMs) {
    TheTurnLimit().SetForTest(limitMs, fallbackMs);
    // As a new policy does: a table already waiting for a seat is timed now,
    // not from the next move, which may never come.
    TheTurnLimit().Look();
}

int TurnLimitSeat(int* msLeft) {
    return TheTurnLimit().SeatAndLeft(msLeft);
}

bool HostPlaysForSeat(int seat) {
    return IsHost() && TheTurnLimit().PlaysFor(seat);
}

void CloseSock(Socket* sock, int mark) {
    if (*sock == INVALID_SOCKET) return;
    SockShutdown(*sock, SD_RECEIVE);
    SockClose(*sock);
    if (mark != 0) *sock = INVALID_SOCKET;
}

void Disconnect() {
    if (g_localSeat == 1) {
        TheTurnLimit().Reset();
        TheGameEnd().Cancel();
        for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
            Socket sock = g_hostSeats[seat].conn;
            CloseSock(&sock, 1);
            MoveSeat(seat, SeatState::kEmpty);
        }
        // Seat 1's socket is the listening socket.
        CloseSock(&g_seats[1].sock, 0);
        ClearSeat(1);
        g_sock = INVALID_SOCKET;
        // A connection still waiting to be told that the table is full would
        // otherwise stay open and later reach this program, now off the
        // network, as a stray close.
        CloseSock(&g_overflowSock, 1);
        g_gameLog.Hold(GameLog::NO_HOLD);
        ShowStatus(STATUS_NO_CONNECTION);
    } else if (g_localSeat >= 2 || g_sock != INVALID_SOCKET) {
        // A client, seated or still waiting for its seat.
        CloseSock(&g_sock, 1);
        for (int seat = 0; seat <= SEAT_COUNT; ++seat) ClearSeat(seat);
        ShowStatus(STATUS_DISCONNECTED);
    } else {
        return;  // off the network already
    }
    g_newGameSeen = false;
    g_playerCount = 0;
    g_localSeat = 0;
    TellSeatChanged(0);
}

void SendToOthers(int fromSeat, const void* buf, int len, int skipSeat) {
    if (fromSeat != 1) {
        SockSend(g_sock, buf, len);
        return;
    }
    const std::int8_t skip = static_cast<std::int8_t>(skipSeat);
    const bool gameMessage = len > 0 && IsGameMessage(static_cast<const std::uint8_t*>(buf)[0]);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        const HostSeat& host = g_hostSeats[seat];
        if (host.conn == INVALID_SOCKET) continue;
        if (skip != 0 && g_seats[seat].number == skip) continue;
        // A newcomer is handed the game from the log, in order.
        const bool newcomer =
            host.state == SeatState::kTakingOver || host.state == SeatState::kReplaying;
        if (newcomer && gameMessage) continue;
        SockSend(host.conn, buf, len);
    }
}

bool ApplyGameMessage(const std::uint8_t* msg, int len, Socket from) {
    const std::uint8_t type = msg[MSG_TYPE_OFFSET];
    if (!IsGameMessage(type) || g_table == nullptr) return false;
    const bool own = from == INVALID_SOCKET;
    const int seat = type == MSG_PLAY || type == MSG_PASS ? SeatByte(msg[MSG_SEAT_OFFSET]) : 0;
    const bool gameLive = GameLive();

    bool taken = true;
    switch (type) {
        case MSG_DEAL:
            if (!own) {
                const std::uint8_t* hands = msg + MSG_DEAL_HANDS_OFFSET;
                // Only a whole deck, every card once, reaches the rules and the painter.
                taken = IsCompleteDeal(hands);
                if (!taken) break;
                std::memset(g_table->hands[0], NO_CARD, HAND_SIZE);  // seat 0's row means nothing
                for (int s = 1; s <= SEAT_COUNT; ++s)
                    std::memcpy(g_table->hands[s], hands + HAND_SIZE * s, HAND_SIZE);
                g_table->ResetRound();
            }
            break;
        case MSG_NEW_GAME:
            if (!own) {
                TableEvent ending;
                ending.kind = TableEvent::Kind::kGameEnding;
                ending.gameLive = gameLive;
                TellView(ending);
                for (int s = 0; s <= SEAT_COUNT; ++s) g_away[s] = 0;
                ShowAwayChecked(false);
                g_newGameSeen = true;
                g_table->StartNewGame();
            }
            break;
        case MSG_PLAY: {
            std::uint8_t chosen[HAND_SIZE];
            std::memcpy(chosen, msg + MSG_PLAY_SELECTION_OFFSET, HAND_SIZE);
            taken = g_table->Play(seat, chosen) != 0;
            break;
        }
        case MSG_PASS:
            taken = g_table->Pass(seat) != 0;
            break;
        default:
            break;
    }

    if (taken) g_gameLog.Append(msg, static_cast<std::size_t>(len));
    if (own && taken) {
        SendToOthers(g_localSeat, msg, len, 0);
    } else if (!own && IsHost()) {
        // Forwarded whether or not this copy took it: every copy decides alike.
        SendToOthers(1, msg, len, seat);
    }
    if (IsHost()) {
        for (int t = 2; t <= SEAT_COUNT; ++t) {
            if (g_hostSeats[t].state == SeatState::kReplaying) PumpReplay(t);
        }
    }
    if (IsHost() && seat != 0) {
        TurnLimit& limit = TheTurnLimit();
        if (!own && taken) limit.StopPlayingFor(seat);
        if (own && taken && seat != 1) limit.MovedFor(seat);
        // A move of the seat's own program that crossed one the host made for
        // it: that program has applied its own move and is out of step with
        // the table. Its connection is closed; the seat is kept, and the
        // player can come back and be handed the game as it is.
        if (!own && !taken && limit.HasMovedFor(seat)) {
            const std::uint64_t serial = g_hostSeats[seat].serial;
            QTimer::singleShot(0, [seat, from, serial] {
                if (IsHost() && g_hostSeats[seat].serial == serial &&
                    g_hostSeats[seat].conn == from)
                    OnSocketClose(from);
            });
        }
    }
    if (!taken) return false;

    if (IsHost()) TheTurnLimit().MoveMade();
    TableEvent event;
    event.seat = seat;
    switch (type) {
        case MSG_DEAL:
            ShowStatus(STATUS_GAME_STARTED);
            event.kind = TableEvent::Kind::kRoundDealt;
            TellView(event);
            break;
        case MSG_NEW_GAME:
            event.kind = TableEvent::Kind::kGameStarted;
            TellView(event);
            break;
        case MSG_PLAY:
            event.kind = TableEvent::Kind::kPlayApplied;
            event.cards = g_table->tablePlay;
            TellView(event);
            if (g_table->roundOver != 0 && g_table->leader == seat) {
                // The view hears of the round's end with the game's end, if
                // it came, already known.
                if (IsHost() && GameLive() && GameLengthReached(*g_table, g_policy.gameLength))
                    TheGameEnd().Arm();
                event.kind = TableEvent::Kind::kRoundEnded;
                event.cards = nullptr;
                TellView(event);
            }
            break;
        case MSG_PASS:
            event.kind = TableEvent::Kind::kPassApplied;
            TellView(event);
            break;
        default:
            break;
    }
    if (IsHost()) TheTurnLimit().Look();
    return true;
}

void DealAndSend(int newGame) {
    if (g_localSeat != 1 || g_playerCount != 4 || g_table == nullptr) return;
    // The game has ended: its next deal is the new game's.
    if (newGame == 0 && TheGameEnd().Pending(nullptr)) return;
    TheGameEnd().Cancel();
    if (newGame != 0) {
        TableEvent ending;
        ending.kind = TableEvent::Kind::kGameEnding;
        ending.gameLive = GameLive();
        TellView(ending);
    }
    g_table->Deal(newGame);
    int size = BuildDeal(g_outMsg, g_table->hands);
    ApplyGameMessage(g_outMsg, size, INVALID_SOCKET);
    if (newGame != 0) {
        const std::uint8_t newGameMsg[MSG_NEW_GAME_SIZE] = {MSG_NEW_GAME};
        ApplyGameMessage(newGameMsg, MSG_NEW_GAME_SIZE, INVALID_SOCKET);
    }
}

bool GameLengthReached(const GameTable& table, const GameLength& length) {
    if (table.roundsPlayed <= 0) return false;
    if (length.rounds > 0 && table.roundsPlayed >= length.rounds) return true;
    if (length.untilBroke) {
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (table.money[s] <= 0) return true;
        }
    }
    return false;
}

bool HostGameOver(int* msLeft) {
    return TheGameEnd().Pending(msLeft);
}

void StartNewTableGame() {
    TheGameEnd().Cancel();
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
    const int seat = TakeoverSeatOfSocket(sock);
    if (seat != 0 && g_hostSeats[seat].state == SeatState::kReplaying) PumpReplay(seat);
}

void OnSocketAccept() {
    if (g_localSeat != 1) return;  // only the host listens
    int seat = 0;
    for (int t = 2; t <= SEAT_COUNT; ++t) {
        if (g_hostSeats[t].state == SeatState::kEmpty) {
            seat = t;
            break;
        }
    }
    if (g_playerCount >= 4 || seat == 0) {
        // No free seat: a newcomer may still take one the computer holds.
        int takeover = 0;
        for (int t = 2; t <= SEAT_COUNT && takeover == 0; ++t) {
            if (g_hostSeats[t].state == SeatState::kComputer) takeover = t;
        }
        if (takeover != 0) {
            SockAddrIn peer;
            const Socket sock = SockAccept(g_sock, &peer);
            if (sock == INVALID_SOCKET) return;
            MoveSeat(takeover, SeatState::kTakingOver, sock);
            g_hostSeats[takeover].newcomerAddr = {ADDR_FAMILY_INET, peer.port, peer.ipv4};
            StartDeadline(takeover, g_joinTimeoutMs);
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
    std::memset(record.name, 0, sizeof record.name);
    record.addr.family = ADDR_FAMILY_INET;
    record.addr.port = peer.port;
    record.addr.ipv4 = peer.ipv4;
    MoveSeat(seat, SeatState::kAccepted, sock);  // counted when its MSG_JOIN arrives
    StartDeadline(seat, g_joinTimeoutMs);

    const int size = BuildSeatAssign(g_outMsg, seat);
    SockSend(sock, g_outMsg, size);
    SendSeatedRecords(sock, seat);
}

bool JoinSeat(Socket sock, const std::uint8_t* nameBytes) {
    char name[NAME_SIZE];
    CopyReceivedName(name, nameBytes);
    const int takeover = TakeoverSeatOfSocket(sock);
    if (takeover != 0) {
        if (g_hostSeats[takeover].state != SeatState::kTakingOver) return false;
        StartReplay(takeover, name);
        return true;
    }
    const int seat = SeatOfSocket(sock);
    if (seat == 0 || g_hostSeats[seat].state != SeatState::kAccepted) return false;
    std::memcpy(g_seats[seat].name, name, NAME_SIZE);
    MoveSeat(seat, SeatState::kJoined);
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
        TableEvent closed;
        closed.kind = TableEvent::Kind::kTableClosed;
        TellView(closed);
        return;
    }
    if (sock != INVALID_SOCKET && sock == g_overflowSock) {
        CloseSock(&g_overflowSock, 1);
        return;
    }
    // A newcomer that leaves before its takeover is complete: the seat stays
    // the computer's, and nobody heard of it.
    const int takeover = TakeoverSeatOfSocket(sock);
    if (takeover != 0) {
        DropNewcomer(takeover);
        return;
    }
    // The host's own box shows its own flag, which no departure changes.
    ShowAwayChecked(g_away[1] != 0);
    const int seat = SeatOfSocket(sock);
    if (seat == 0) return;
    const bool joined = g_hostSeats[seat].state == SeatState::kJoined;
    if (joined && g_playerCount == 4 && g_policy.computerHoldsSeats) {
        KeepSeatForComputer(seat);
        return;
    }
    // A connection that never sent its name was never announced: the others
    // hear nothing of it, and the host's log names nobody.
    if (joined) ShowChat(FormatNotice(g_seats[seat].name, CHAT_HAS_LEFT));
    Socket conn = g_hostSeats[seat].conn;
    CloseSock(&conn, 1);
    TheTurnLimit().StopPlayingFor(seat);
    MoveSeat(seat, SeatState::kEmpty);
    ShowWaitingStatus(STATUS_WAITING_HOST);
    TheTurnLimit().Look();
    if (!joined) return;
    const int size = BuildSeatLeft(g_outMsg, seat);
    SendToOthers(1, g_outMsg, size, 0);
}

bool GiveSeatToComputer(int seat) {
    if (!IsHost() || !g_policy.computerHoldsSeats || seat < 2 || seat > SEAT_COUNT) return false;
    if (g_hostSeats[seat].state != SeatState::kEmpty) return false;
    char name[NAME_SIZE];
    ComputerSeatName(seat, nullptr, name);
    NameForComputer(seat, name);
    MoveSeat(seat, SeatState::kComputer);
    AnnounceJoin(seat);
    return true;
}

int FillEmptySeatsWithComputer() {
    int given = 0;
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) given += GiveSeatToComputer(seat) ? 1 : 0;
    return given;
}

void HostAwayChanged(int seat) {
    if (!IsHost()) return;
    if (g_away[seat] == 0) TheTurnLimit().StopPlayingFor(seat);
    TheTurnLimit().Look();
}
