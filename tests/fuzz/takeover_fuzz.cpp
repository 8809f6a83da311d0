// libFuzzer target: a host whose computer player holds seats, and the
// connections of an input that join, take seats over, read their replays in
// part or not at all, send moves, chat lines and away flags for any seat, and
// close.
//
// The host listens on a real socket of this machine; each connection of the
// input is a plain socket connected to it (not the socket layer's), read only
// when the input says so (so a newcomer may stop in the middle of its replay,
// or read it a few bytes at a time). The host is driven by its own event loop; the
// computer's moves (the host's own seat and the seats its computer plays) are
// made by the input, directly, through PlayForSeat and PassForSeat, so that no
// timer is needed.
//
// The first input byte sets the scene: bits 0-1 are how many of seats 2..4
// the computer is given at the start (0..3; the connections take the others
// and the fourth player starts the game), bit 2 gives every connection a
// small receive buffer (so that a replay fills it at once). The rest is a
// list of steps, each one byte (the step, below, by its value mod 10) and its
// argument bytes (0 once the input is used up):
//   0 a new connection (at most kMaxPeers)
//   1 connection a sends its MSG_JOIN
//   2 connection a reads up to (b + 1) * 64 bytes
//   3 connection a reads everything waiting
//   4 connection a makes a legal move b for its own seat (or asks for the
//     next round), when its copy is in step with the host and it is its turn
//   5 connection a sends a play (hand positions: the bits of c and d) or, b
//     odd, a pass for seat byte e mod 6 (not its own seat once it holds it:
//     its own moves are step 4's)
//   6 connection a sends a chat line (b mod 255 + 1 bytes) or, c odd, an
//     away flag, for seat byte d mod 6
//   7 connection a closes
//   8 the computer makes up to a mod 16 + 1 moves (the seat on turn, when the
//     host plays it: its legal move b), asking for the next round after one
//     of its seats has won
//   9 the deadline of seat a mod 3 + 2 strikes (its JOIN_TIMEOUT_MS or
//     HANDOVER_TIMEOUT_MS), as the host's timer would
//
// After every step (and every socket event) the host is checked:
//   - each seat's state agrees with its record (connection, the host's handle
//     for a computer-held seat, empty) and g_playerCount counts exactly the
//     seats that are counted;
//   - the game's log keeps every byte a replaying newcomer still has to be
//     handed and the game itself, and nothing before the older of the two;
//   - while the game is live, every connection holding a seat of its own
//     that has read everything the host sent it (and whose own messages the
//     host has read) has, rebuilt from those bytes alone by the small client
//     below, the host's table and the host's game log: no game message came
//     twice or was lost, replay or live.
#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "bot/moves.h"
#include "net/commands.h"
#include "net/game_log.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/table_view.h"
#include "net/wire.h"
#include "tests/fuzz/net_fuzz_support.h"

namespace {

using fuzz::KernelBytes;

constexpr int kMaxPeers = 6;
// The host's deadlines, far longer than an input takes.
constexpr int kDeadlineMs = 1000;

// One connection of the input and the copy of the game that a client would
// build from what it read: the table and the game's messages since the deal
// that started the game.
struct Peer {
    int fd = -1;
    std::uint16_t port = 0;  // its local port, to find the host's end
    Socket hostConn = INVALID_SOCKET;
    std::size_t sent = 0;                      // bytes it sent the host
    std::vector<std::uint8_t> received, said;  // kept for RecordSeeds only
    bool dead = false;                         // closed by the input, or by the host
    std::vector<std::uint8_t> pending;
    int seat = 0;  // from MSG_SEAT_ASSIGN
    GameTable table;
    std::vector<std::uint8_t> game;  // the game's messages, as the host's log keeps them
    std::size_t lastDeal = 0;
};

fuzz::QuietView g_quietView;
std::vector<Peer>* g_peers = nullptr;
// Per host connection (indexed by its handle): the bytes the host's reader
// has taken from it since it was accepted.
std::map<Socket, std::size_t> g_consumed;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Next() { return at < size ? data[at++] : 0; }
    bool Done() const { return at >= size; }
};

bool Playing(int seat) {
    return seat >= 1 && seat <= SEAT_COUNT && (seat == 1 || IsComputerSeat(seat));
}

bool SameTable(const GameTable& a, const GameTable& b) {
    return std::memcmp(a.hands[1], b.hands[1], sizeof a.hands - HAND_SIZE) == 0 &&
           std::memcmp(a.lastPlays[1], b.lastPlays[1], sizeof a.lastPlays - PLAY_SIZE) == 0 &&
           std::memcmp(a.tablePlay, b.tablePlay, sizeof a.tablePlay) == 0 && a.leader == b.leader &&
           a.turn == b.turn && a.tableCount == b.tableCount &&
           std::memcmp(a.passed + 1, b.passed + 1, SEAT_COUNT) == 0 && a.roundOver == b.roundOver &&
           a.roundsPlayed == b.roundsPlayed &&
           std::memcmp(a.money + 1, b.money + 1, sizeof a.money - sizeof a.money[0]) == 0 &&
           std::memcmp(a.wins + 1, b.wins + 1, sizeof a.wins - sizeof a.wins[0]) == 0 &&
           a.mustOpenLowest == b.mustOpenLowest;
}

// The small client: applies a game message to the peer's copy as a client
// copy would, and keeps the game's messages it took.
void ApplyToCopy(Peer* peer, const std::uint8_t* msg, std::size_t len) {
    GameTable& t = peer->table;
    bool taken = true;
    switch (msg[0]) {
        case MSG_DEAL:
            taken = IsCompleteDeal(msg + MSG_DEAL_HANDS_OFFSET);
            if (taken) {
                std::memset(t.hands[0], NO_CARD, HAND_SIZE);
                for (int s = 1; s <= SEAT_COUNT; ++s)
                    std::memcpy(t.hands[s], msg + MSG_DEAL_HANDS_OFFSET + HAND_SIZE * s, HAND_SIZE);
                t.ResetRound();
            }
            break;
        case MSG_NEW_GAME:
            t.StartNewGame();
            break;
        case MSG_PLAY: {
            std::uint8_t chosen[HAND_SIZE];
            std::memcpy(chosen, msg + MSG_PLAY_SELECTION_OFFSET, HAND_SIZE);
            taken = t.Play(SeatByte(msg[MSG_SEAT_OFFSET]), chosen) != 0;
            break;
        }
        case MSG_PASS:
            taken = t.Pass(SeatByte(msg[MSG_SEAT_OFFSET])) != 0;
            break;
        default:
            return;
    }
    if (!taken) return;
    if (msg[0] == MSG_DEAL) peer->lastDeal = peer->game.size();
    peer->game.insert(peer->game.end(), msg, msg + len);
    if (msg[0] == MSG_NEW_GAME) {
        peer->game.erase(peer->game.begin(),
                         peer->game.begin() + static_cast<std::ptrdiff_t>(peer->lastDeal));
        peer->lastDeal = 0;
    }
}

bool g_recording = false;

void Feed(Peer* peer, const std::uint8_t* bytes, std::size_t n) {
    if (g_recording) peer->received.insert(peer->received.end(), bytes, bytes + n);
    peer->pending.insert(peer->pending.end(), bytes, bytes + n);
    std::size_t at = 0;
    while (at < peer->pending.size()) {
        const Frame frame = FrameAt(peer->pending.data() + at, peer->pending.size() - at);
        // The host sends only whole messages of known types.
        FUZZ_CHECK(frame.kind != Frame::kUnknownType);
        if (frame.kind == Frame::kIncomplete || frame.size > peer->pending.size() - at) break;
        const std::uint8_t* msg = peer->pending.data() + at;
        FUZZ_CHECK(ReceivedBy(msg[0], false));
        if (msg[0] == MSG_SEAT_ASSIGN) peer->seat = SeatByte(msg[MSG_SEAT_OFFSET]);
        ApplyToCopy(peer, msg, frame.size);
        at += frame.size;
    }
    peer->pending.erase(peer->pending.begin(),
                        peer->pending.begin() + static_cast<std::ptrdiff_t>(at));
}

// Reads up to `limit` bytes the host has sent the peer.
void Read(Peer* peer, std::size_t limit) {
    std::uint8_t buf[4096];
    while (limit > 0 && !peer->dead) {
        const std::size_t want = limit < sizeof buf ? limit : sizeof buf;
        const ssize_t got = recv(peer->fd, buf, want, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            peer->dead = true;  // the host closed it
            close(peer->fd);
            peer->fd = -1;
            return;
        }
        if (got < 0) return;
        Feed(peer, buf, static_cast<std::size_t>(got));
        limit -= static_cast<std::size_t>(got);
    }
}

void Send(Peer* peer, const std::uint8_t* msg, int len) {
    if (peer->dead) return;
    if (send(peer->fd, msg, static_cast<std::size_t>(len), MSG_NOSIGNAL | MSG_DONTWAIT) != len) {
        peer->dead = true;
        return;
    }
    peer->sent += static_cast<std::size_t>(len);
    if (g_recording) peer->said.insert(peer->said.end(), msg, msg + len);
}

// The port at the far end of one of the host's connections; 0 if none.
std::uint16_t PeerPort(Socket end) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getpeername(static_cast<int>(end), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    return ntohs(addr.sin_port);
}

// The peer's connection is the seat's own (joined, or handed over). The
// handle alone does not tell: the host may have closed the peer's connection
// and given its number to a newer one.
bool HoldsSeat(const Peer& peer) {
    if (peer.dead || peer.seat < 2 || peer.seat > SEAT_COUNT) return false;
    const HostSeat& host = g_hostSeats[peer.seat];
    return host.state == SeatState::kJoined && host.conn == peer.hostConn &&
           PeerPort(peer.hostConn) == peer.port;
}

// Bytes that came on the host's end of a connection and are not handled yet:
// in the kernel, or kept by the socket layer for the reader.
bool HostHasUnread(Socket conn) {
    std::size_t kept = 0;
    return KernelBytes(static_cast<int>(conn), FIONREAD) != 0 ||
           (SockAvailable(conn, &kept) == 0 && kept != 0);
}

// The peer has read all the host has sent it, and the host all it sent.
bool InStep(const Peer& peer) {
    if (!HoldsSeat(peer) || !peer.pending.empty()) return false;
    if (g_consumed[peer.hostConn] != peer.sent) return false;
    const int conn = static_cast<int>(peer.hostConn);
    return SockQueued(peer.hostConn) == 0 && KernelBytes(conn, SIOCOUTQNSD) == 0 &&
           !HostHasUnread(peer.hostConn) && KernelBytes(peer.fd, FIONREAD) == 0;
}

// What a failed comparison shows: both copies.
void PrintTable(const char* who, const GameTable& t) {
    std::fprintf(stderr, "%s: turn %d leader %d count %d over %d rounds %d open %d passed", who,
                 t.turn, t.leader, t.tableCount, t.roundOver, t.roundsPlayed, t.mustOpenLowest);
    for (int s = 1; s <= SEAT_COUNT; ++s) std::fprintf(stderr, " %d", t.passed[s]);
    std::fprintf(stderr, " money");
    for (int s = 1; s <= SEAT_COUNT; ++s) std::fprintf(stderr, " %d", t.money[s]);
    std::fprintf(stderr, " hands");
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::fprintf(stderr, " |");
        for (int p = 0; p < HAND_SIZE; ++p) std::fprintf(stderr, " %d", t.hands[s][p]);
    }
    std::fprintf(stderr, "\n");
}

void CheckInvariants() {
    FUZZ_CHECK(g_localSeat == 1);
    int counted = IsSeatCounted(1) ? 1 : 0;
    for (int s = 2; s <= SEAT_COUNT; ++s) {
        const HostSeat& host = g_hostSeats[s];
        const SeatRecord& record = g_seats[s];
        FUZZ_CHECK(strnlen(record.name, NAME_SIZE) < static_cast<std::size_t>(NAME_SIZE));
        switch (host.state) {
            case SeatState::kEmpty:
                FUZZ_CHECK(record.sock == INVALID_SOCKET && host.conn == INVALID_SOCKET);
                FUZZ_CHECK(!IsSeatCounted(s));
                break;
            case SeatState::kAccepted:
            case SeatState::kJoined:
                FUZZ_CHECK(host.conn != INVALID_SOCKET && record.sock == host.conn);
                FUZZ_CHECK(IsSeatCounted(s) == (host.state == SeatState::kJoined));
                FUZZ_CHECK(SeatOfSocket(host.conn) == s && TakeoverSeatOfSocket(host.conn) == 0);
                FUZZ_CHECK(!IsComputerSeat(s));
                break;
            case SeatState::kComputer:
                FUZZ_CHECK(host.conn == INVALID_SOCKET);
                [[fallthrough]];
            case SeatState::kTakingOver:
            case SeatState::kReplaying:
                FUZZ_CHECK(record.sock == g_seats[1].sock && IsSeatCounted(s));
                FUZZ_CHECK(IsComputerSeat(s));
                if (host.state != SeatState::kComputer) {
                    FUZZ_CHECK(host.conn != INVALID_SOCKET && host.conn != g_seats[1].sock);
                    FUZZ_CHECK(TakeoverSeatOfSocket(host.conn) == s);
                    FUZZ_CHECK(SeatOfSocket(host.conn) == 0);
                }
                break;
        }
        if (IsSeatCounted(s)) ++counted;
        if (host.conn != INVALID_SOCKET) {
            FUZZ_CHECK(host.conn != g_overflowSock);
            for (int o = s + 1; o <= SEAT_COUNT; ++o) FUZZ_CHECK(g_hostSeats[o].conn != host.conn);
        }
    }
    FUZZ_CHECK(g_playerCount == counted);

    // The log keeps what a newcomer still has to be handed, and the game.
    std::uint64_t keep = g_gameLog.GameStart();
    for (int s = 2; s <= SEAT_COUNT; ++s) {
        const HostSeat& host = g_hostSeats[s];
        if (host.state != SeatState::kReplaying) continue;
        FUZZ_CHECK(host.replayAt <= g_gameLog.End());
        if (host.replayAt < keep) keep = host.replayAt;
    }
    FUZZ_CHECK(g_gameLog.Base() == keep);
    FUZZ_CHECK(g_gameLog.HeldBytes() == g_gameLog.End() - keep);

    // With fewer than four at the table, the host's table is the last game's
    // and nobody is sent it: the next deal starts everyone again.
    if (g_peers == nullptr || !GameLive()) return;
    for (const Peer& peer : *g_peers) {
        if (!InStep(peer)) continue;
        if (!SameTable(peer.table, *g_table)) {
            std::fprintf(stderr, "the copy of seat %d:\n", peer.seat);
            PrintTable("copy", peer.table);
            PrintTable("host", *g_table);
        }
        FUZZ_CHECK(SameTable(peer.table, *g_table));
        FUZZ_CHECK(peer.game.size() == g_gameLog.GameSize());
        FUZZ_CHECK(std::memcmp(peer.game.data(), g_gameLog.GameData(), peer.game.size()) == 0);
    }
}

// The bytes that came on a host connection and wait to be handled: those
// the socket layer keeps and those still in the kernel; -1 for no connection.
long Unhandled(Socket sock) {
    std::size_t kept = 0;
    if (SockAvailable(sock, &kept) != 0) return -1;
    const int inKernel = KernelBytes(static_cast<int>(sock), FIONREAD);
    return inKernel < 0 ? -1 : static_cast<long>(kept) + inKernel;
}

void OnEvent(Socket sock, int event) {
    const long before = event == FD_READ ? Unhandled(sock) : -1;
    OnSocketEvent(sock, event);
    const long after = before >= 0 ? Unhandled(sock) : -1;
    // (Bytes that arrive meanwhile would make it less: none are sent then.)
    if (after >= 0 && after <= before) g_consumed[sock] += static_cast<std::size_t>(before - after);
    CheckInvariants();
}

// Whether the host has something left to read or accept.
bool HostBusy() {
    pollfd listener = {static_cast<int>(g_sock), POLLIN, 0};
    if (poll(&listener, 1, 0) > 0) return true;
    for (int s = 2; s <= SEAT_COUNT; ++s) {
        const Socket conn = g_hostSeats[s].conn;
        if (conn != INVALID_SOCKET && HostHasUnread(conn)) return true;
    }
    // Bytes a seated peer sent that the host has not read yet (on their way).
    if (g_peers == nullptr) return false;
    for (const Peer& peer : *g_peers) {
        if (HoldsSeat(peer) && g_consumed[peer.hostConn] < peer.sent) return true;
    }
    return false;
}

// Runs the host's event loop until it has taken everything sent to it.
void Settle() {
    int quiet = 0;
    for (int round = 0; round < 2000 && quiet < 3; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        quiet = HostBusy() ? 0 : quiet + 1;
    }
}

// The host's end of the peer's connection, found by its peer's port.
void FindHostEnd(Peer* peer) {
    std::vector<Socket> ends;
    for (int s = 2; s <= SEAT_COUNT; ++s) ends.push_back(g_hostSeats[s].conn);
    ends.push_back(g_overflowSock);
    for (Socket end : ends) {
        if (end != INVALID_SOCKET && PeerPort(end) == peer->port) {
            peer->hostConn = end;
            g_consumed[end] = 0;
            return;
        }
    }
}

void Connect(std::vector<Peer>* peers, std::uint16_t hostPort, bool smallBuffer) {
    Peer peer;
    peer.fd = socket(AF_INET, SOCK_STREAM, 0);
    if (peer.fd < 0) return;
    fuzz::ResetOnClose(peer.fd);
    // Each message leaves at once, rather than wait for the host's delayed
    // acknowledgement of the one before.
    const int noDelay = 1;
    setsockopt(peer.fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    if (smallBuffer) {
        const int size = 2048;
        setsockopt(peer.fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(hostPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(peer.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(peer.fd);
        return;
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    getsockname(peer.fd, reinterpret_cast<sockaddr*>(&local), &len);
    peer.port = ntohs(local.sin_port);
    peers->push_back(std::move(peer));
    Settle();
    FindHostEnd(&peers->back());
}

// The host plays the seats it holds: up to `count` moves.
void ComputerMoves(int count, std::uint8_t choice) {
    for (int i = 0; i < count && GameLive(); ++i) {
        const GameTable& t = *g_table;
        if (t.roundOver != 0) {
            if (!Playing(t.leader)) return;
            FUZZ_CHECK(NextRoundForSeat(t.leader) == 1);
        } else {
            const int seat = t.turn;
            if (!Playing(seat)) return;
            const std::vector<Move> moves = LegalMoves(t, seat);
            FUZZ_CHECK(!moves.empty());
            const Move& move = moves[(choice + i) % moves.size()];
            const int done = move.pass ? PassForSeat(seat) : PlayForSeat(seat, move.chosen);
            FUZZ_CHECK(done == 1);
        }
        Settle();
        CheckInvariants();
    }
}

void PeerMove(Peer* peer, std::uint8_t choice) {
    if (!InStep(*peer)) return;
    GameTable& t = peer->table;
    std::uint8_t msg[MSG_PLAY_SIZE];
    int size = 0;
    if (t.roundOver != 0) {
        if (t.leader != peer->seat) return;
        msg[0] = MSG_NEXT_ROUND;
        size = MSG_NEXT_ROUND_SIZE;
    } else {
        if (t.turn != peer->seat) return;
        const std::vector<Move> moves = LegalMoves(t, peer->seat);
        if (moves.empty()) return;
        const Move& move = moves[choice % moves.size()];
        size = move.pass ? BuildPass(msg, peer->seat) : BuildPlay(msg, peer->seat, move.chosen);
        // A client applies its own move as it sends it.
        ApplyToCopy(peer, msg, static_cast<std::size_t>(size));
    }
    Send(peer, msg, size);
}

void Spoof(Peer* peer, std::uint8_t kind, std::uint8_t positions, std::uint8_t more,
           std::uint8_t seatByte) {
    const int seat = seatByte % 6;
    // Its own moves are PeerMove's, once the seat is its own: whether or not
    // it has read its MSG_SEAT_ASSIGN yet.
    if (seat >= 2 && seat <= SEAT_COUNT && !peer->dead &&
        g_hostSeats[seat].state == SeatState::kJoined && g_hostSeats[seat].conn == peer->hostConn &&
        PeerPort(peer->hostConn) == peer->port)
        return;
    std::uint8_t msg[MSG_PLAY_SIZE];
    int size = 0;
    if ((kind & 1) != 0) {
        size = BuildPass(msg, seat);
    } else {
        std::uint8_t chosen[HAND_SIZE] = {};
        const unsigned bits = positions | static_cast<unsigned>(more) << 8;
        for (int p = 0; p < HAND_SIZE; ++p) chosen[p] = (bits >> p) & 1;
        size = BuildPlay(msg, seat, chosen);
    }
    Send(peer, msg, size);
}

void ChatOrAway(Peer* peer, std::uint8_t length, std::uint8_t kind, std::uint8_t seatByte) {
    const int seat = seatByte % 6;
    std::uint8_t msg[MSG_CHAT_MAX_SIZE];
    int size = 0;
    if ((kind & 1) != 0) {
        size = BuildAway(msg, seat, (kind >> 1) & 1);
    } else {
        char text[256];
        const int n = length % 255 + 1;
        std::memset(text, 'a' + kind % 26, static_cast<std::size_t>(n));
        size = BuildChat(msg, seat, text, n);
    }
    Send(peer, msg, size);
}

void Strike(int seat) {
    const HostSeat& host = g_hostSeats[seat];
    if (host.state == SeatState::kAccepted || host.state == SeatState::kTakingOver ||
        host.state == SeatState::kReplaying) {
        OnSocketClose(host.conn);
    }
}

// With TAKEOVER_RECORD_DIR set, every connection's session is written there
// as seeds of message_reader_fuzz: what it received, as a client's stream
// (scene byte 1), and what it sent, as the stream of its seat at a host whose
// other seats have joined (scene byte 16 + 2 * (seat - 2)).
void RecordSeeds(const std::vector<Peer>& peers, const char* folder) {
    static int count = 0;
    for (const Peer& peer : peers) {
        if (peer.seat < 2 || peer.seat > SEAT_COUNT) continue;
        const std::uint8_t clientScene[2] = {1, 0};
        const std::uint8_t hostScene[2] = {static_cast<std::uint8_t>(16 + 2 * (peer.seat - 2)), 0};
        const std::pair<const std::uint8_t*, const std::vector<std::uint8_t>*> seeds[2] = {
            {clientScene, &peer.received}, {hostScene, &peer.said}};
        for (const auto& [scene, bytes] : seeds) {
            char path[512];
            std::snprintf(path, sizeof path, "%s/session_%s_%d", folder,
                          scene == clientScene ? "client" : "host", count++);
            if (FILE* f = std::fopen(path, "wb")) {
                std::fwrite(scene, 1, 2, f);
                std::fwrite(bytes->data(), 1, bytes->size(), f);
                std::fclose(f);
            }
        }
    }
}

void Reset() {
    Disconnect();
    fuzz::ResetProgram();
    // Serials never seen before, so that a deadline of an earlier input that
    // goes off now finds no seat of its own.
    static std::uint64_t inputs = 0;
    inputs += 1;
    for (int s = 2; s <= SEAT_COUNT; ++s) g_hostSeats[s].serial = inputs << 32;
    ResetReadStats();
    g_gameLog.Clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartProgram(argc, argv, &g_quietView, OnEvent);
    g_recording = std::getenv("TAKEOVER_RECORD_DIR") != nullptr;
    // The deadlines strike when the input says so (step 9). Their timers are
    // still set, long enough not to strike within an input; they go off
    // later, harmlessly, so that they do not pile up in the event loop.
    SetJoinTimeoutForTest(kDeadlineMs);
    SetHandoverTimeoutForTest(kDeadlineMs);
    HostPolicy policy;
    policy.computerHoldsSeats = true;
    SetHostPolicy(policy);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    Reset();
    Input in{data, size};
    const std::uint8_t scene = in.Next();

    const Socket listener = SockCreate();
    if (listener == INVALID_SOCKET) return 0;
    SockAddrIn bindTo;
    bindTo.ipv4 = 0x7F000001u;
    if (SockBind(listener, bindTo) != 0 || SockListen(listener, 8) != 0 ||
        SockAsyncSelect(listener, HOST_EVENTS) != 0) {
        SockClose(listener);
        return 0;
    }
    SockAddrIn bound;
    SockGetName(listener, &bound);
    g_sock = listener;
    g_localSeat = 1;
    fuzz::Occupy(1, "Host", listener, bound.port, bound.ipv4);
    g_playerCount = 1;
    for (int s = 2; s < 2 + (scene & 3); ++s) GiveSeatToComputer(s);
    CheckInvariants();

    std::vector<Peer> peers;
    peers.reserve(kMaxPeers);
    g_peers = &peers;
    g_consumed.clear();
    const bool smallBuffer = (scene & 4) != 0;
    while (!in.Done()) {
        const std::uint8_t step = in.Next() % 10;
        if (step == 0) {
            if (peers.size() < kMaxPeers) Connect(&peers, bound.port, smallBuffer);
        } else if (step == 8) {
            const int count = in.Next() % 16 + 1;
            ComputerMoves(count, in.Next());
        } else if (step == 9) {
            Strike(in.Next() % 3 + 2);
        } else {
            const std::uint8_t a = in.Next();
            if (peers.empty()) continue;
            Peer* peer = &peers[a % peers.size()];
            if (peer->dead) continue;
            switch (step) {
                case 1: {
                    char name[NAME_SIZE];
                    std::snprintf(name, sizeof name, "Joueur%u",
                                  static_cast<unsigned>(a % peers.size()));
                    std::uint8_t msg[MSG_JOIN_SIZE];
                    Send(peer, msg, BuildJoin(msg, name));
                    break;
                }
                case 2:
                    Read(peer, (static_cast<std::size_t>(in.Next()) + 1) * 64);
                    break;
                case 3:
                    Read(peer, SIZE_MAX);
                    break;
                case 4:
                    PeerMove(peer, in.Next());
                    break;
                case 5: {
                    const std::uint8_t kind = in.Next();
                    const std::uint8_t positions = in.Next();
                    const std::uint8_t more = in.Next();
                    Spoof(peer, kind, positions, more, in.Next());
                    break;
                }
                case 6: {
                    const std::uint8_t length = in.Next();
                    const std::uint8_t kind = in.Next();
                    ChatOrAway(peer, length, kind, in.Next());
                    break;
                }
                case 7:
                    close(peer->fd);
                    peer->fd = -1;
                    peer->dead = true;
                    break;
                default:
                    break;
            }
        }
        Settle();
        CheckInvariants();
    }
    if (g_recording) RecordSeeds(peers, std::getenv("TAKEOVER_RECORD_DIR"));
    for (Peer& peer : peers) {
        if (peer.fd >= 0) close(peer.fd);
    }
    g_peers = nullptr;
    // What the socket layer and the deadlines let go of with deleteLater is
    // freed only here: processEvents never runs deferred deletions.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
