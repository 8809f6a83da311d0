// libFuzzer target: arbitrary byte streams into the message reader, in the
// host's role and in a client's.
//
// The first input byte sets the scene:
//   bit 0     role: 0 host, 1 client
//   bits 1-2  host: the stream comes from seat 2, 3 or 4, or (3) from the
//             overflow connection
//   bits 3-4  host: 0 the three clients are connected but unnamed; 1 all
//             three have joined and a game is on; 2 all but the stream's own
//             seat have joined (its MSG_JOIN deals); client: bit 3 set means
//             already seated in a game
// The second byte is the size of the pieces the stream arrives in (0 = all
// at once), so that partial messages are read too. The rest is the stream.
//
// Every connection is one end of a socket pair; the stream's end is registered
// with the socket layer and read through OnSocketEvent on the event loop, as
// in the program; the other ends are read and emptied after each event, so
// forwards and answers go somewhere. After each event the seat table and the
// game table are checked.
#include <sys/ioctl.h>

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "net/connect.h"
#include "net/message_handler.h"
#include "net/notices.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/table_view.h"
#include "net/wire.h"
#include "tests/fuzz/net_fuzz_support.h"

namespace {

// A view that checks every text it is given: terminated, and as long as the
// texts of the program can be (a notice fits g_textBuf; a chat piece is at
// most a 1000-character line).
class CheckingView : public fuzz::QuietView {
  public:
    void SetStatusText(const char* text) override {
        FUZZ_CHECK(std::strlen(text) < static_cast<std::size_t>(TEXT_BUF_SIZE));
    }
    void AppendChatText(const char* text) override {
        FUZZ_CHECK(std::strlen(text) <= static_cast<std::size_t>(CHAT_MAX_CHARS));
    }
};

struct Scene {
    Socket program[SEAT_COUNT + 2] = {};  // the program's ends: seats 2..4, then overflow (5)
    Socket peer[SEAT_COUNT + 2] = {};     // the other ends
};

CheckingView g_checkingView;

void Occupy(int seat, const char* name, Socket sock) {
    fuzz::Occupy(seat, name, sock, static_cast<std::uint16_t>(40000 + seat));
}

// A connected pair whose ends are reset on close.
bool Pair(Scene* scene, int index) {
    if (SockCreatePair(&scene->program[index], &scene->peer[index]) != 0) return false;
    for (Socket s : {scene->program[index], scene->peer[index]}) {
        fuzz::ResetOnClose(static_cast<int>(s));
    }
    return true;
}

void DrainPeers(const Scene& scene) {
    std::uint8_t scratch[4096];
    for (Socket peer : scene.peer) {
        if (peer == 0 || peer == INVALID_SOCKET) continue;
        while (SockRecv(peer, scratch, sizeof scratch) > 0) {
        }
    }
}

void CheckInvariants(bool host) {
    FUZZ_CHECK(g_playerCount >= 0 && g_playerCount <= 4);
    FUZZ_CHECK(g_localSeat >= 0 && g_localSeat <= 4);
    int joined = 0;
    for (int s = 0; s <= SEAT_COUNT; ++s) {
        const SeatRecord& record = g_seats[s];
        FUZZ_CHECK(strnlen(record.name, NAME_SIZE) < static_cast<std::size_t>(NAME_SIZE));
        if (IsSeatCounted(s)) {
            FUZZ_CHECK(s >= 1);
            FUZZ_CHECK(record.sock != INVALID_SOCKET);
            ++joined;
        }
        if (record.sock != INVALID_SOCKET) FUZZ_CHECK(record.number == s);
    }
    // The count is the number of joined seats; the host counts itself.
    if (host && g_localSeat == 1) {
        FUZZ_CHECK(g_playerCount == joined);
    } else if (!host) {
        FUZZ_CHECK(g_playerCount == joined);
    }
    const GameTable& t = *g_table;
    for (int s = 0; s <= SEAT_COUNT; ++s) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            FUZZ_CHECK(t.hands[s][p] == NO_CARD || t.hands[s][p] < DECK_SIZE);
        }
        for (int p = 0; p < PLAY_SIZE; ++p) {
            FUZZ_CHECK(t.lastPlays[s][p] == NO_CARD || t.lastPlays[s][p] < DECK_SIZE);
        }
    }
    for (int p = 0; p < PLAY_SIZE; ++p) {
        FUZZ_CHECK(t.tablePlay[p] == NO_CARD || t.tablePlay[p] < DECK_SIZE);
    }
    FUZZ_CHECK(t.turn >= 0 && t.turn <= SEAT_COUNT);
    FUZZ_CHECK(t.leader >= 0 && t.leader <= SEAT_COUNT);
    FUZZ_CHECK(t.tableCount >= 0 && t.tableCount <= PLAY_SIZE);
    FUZZ_CHECK(t.roundsPlayed >= 0);
    if (g_overflowSock != INVALID_SOCKET) FUZZ_CHECK(g_localSeat == 1);
}

// The connection the stream arrives on, registered with the socket layer as
// the program's would be, and what the reader has taken from it.
struct Stream {
    Socket conn = INVALID_SOCKET;
    std::size_t consumed = 0;
    bool closed = false;
    const Scene* scene = nullptr;
    bool host = false;
};
Stream g_stream;

// Every socket event goes to the program's handler, as in the program; after
// each one the peers are emptied and the tables checked.
void OnEvent(Socket sock, int event) {
    std::size_t before = 0;
    const bool ours =
        sock == g_stream.conn && !g_stream.closed && SockAvailable(sock, &before) == 0;
    OnSocketEvent(sock, event);
    if (ours) {
        std::size_t after = 0;
        if (SockAvailable(sock, &after) == 0) {
            FUZZ_CHECK(after <= before);
            g_stream.consumed += before - after;
        } else {
            g_stream.closed = true;  // the message closed its own connection
        }
    }
    DrainPeers(*g_stream.scene);
    CheckInvariants(g_stream.host);
}

// Runs the event loop until every byte sent so far has left the kernel for
// the layer (which keeps it for the reader, or drops it for the reader as the
// rest of an overlong message) and the reader has taken all it can.
void Settle(std::size_t sent) {
    int stable = 0;
    std::size_t lastConsumed = SIZE_MAX;
    for (int round = 0; round < 200000; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (g_stream.closed) return;
        std::size_t waiting = 0;
        if (SockAvailable(g_stream.conn, &waiting) != 0) {
            g_stream.closed = true;
            return;
        }
        FUZZ_CHECK(g_stream.consumed + waiting <= sent);
        const bool arrived = fuzz::KernelBytes(static_cast<int>(g_stream.conn), FIONREAD) == 0;
        stable = arrived && g_stream.consumed == lastConsumed ? stable + 1 : 0;
        lastConsumed = g_stream.consumed;
        if (stable >= 3) return;
    }
    FUZZ_CHECK(false);  // the reader neither finished nor waited for more
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartProgram(argc, argv, &g_checkingView, OnEvent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t scene = data[0];
    const std::size_t piece = data[1] == 0 ? size : data[1];
    data += 2;
    size -= 2;

    fuzz::ResetProgram();
    Scene sockets;
    const bool host = (scene & 1) == 0;
    const int joins = (scene >> 3) & 3;
    const bool inGame = joins == 1 || (!host && (scene & 8) != 0);
    Socket conn = INVALID_SOCKET;
    Socket feed = INVALID_SOCKET;
    if (host) {
        g_localSeat = 1;
        // Seat 1's socket would be the listening one; the reader never uses it.
        Occupy(1, "Host", 0x7FFFFFF0u);
        g_playerCount = 1;
        const int from = 2 + ((scene >> 1) & 3);  // 2, 3, 4 or 5 (overflow)
        for (int s = 2; s <= SEAT_COUNT; ++s) {
            if (!Pair(&sockets, s)) return 0;
            const bool joined = joins == 1 || (joins == 2 && s != from);
            Occupy(s, joined ? "Player" : "", sockets.program[s]);
            MoveSeat(s, SeatState::kAccepted, sockets.program[s]);
            if (joined) MoveSeat(s, SeatState::kJoined);
        }
        if (!Pair(&sockets, 5)) return 0;
        g_overflowSock = sockets.program[5];
        conn = sockets.program[from];
        feed = sockets.peer[from];
    } else {
        if (!Pair(&sockets, 2)) return 0;
        g_sock = sockets.program[2];
        std::snprintf(g_seats[0].name, NAME_SIZE, "%s", "Client");
        if (inGame) {
            g_localSeat = 3;
            for (int s = 1; s <= SEAT_COUNT; ++s) {
                Occupy(s, "Seat", 100 + static_cast<Socket>(s));
            }
            g_playerCount = 4;
        }
        conn = g_sock;
        feed = sockets.peer[2];
    }
    CheckInvariants(host);

    g_stream = Stream{conn, 0, false, &sockets, host};
    if (SockAsyncSelect(conn, FD_READ | FD_CLOSE) != 0) return 0;
    std::size_t sent = 0;
    while (sent < size && !g_stream.closed) {
        const std::size_t n = size - sent < piece ? size - sent : piece;
        if (SockSend(feed, data + sent, static_cast<int>(n)) != static_cast<int>(n)) break;
        sent += n;
        Settle(sent);
    }
    return 0;
}
