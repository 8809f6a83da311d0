#include "tests/support/scripted_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "net/connect.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/socket_layer.h"

namespace vtest {

namespace {

std::unique_ptr<GameTable>& OwnedTable() {
    static std::unique_ptr<GameTable> table;
    return table;
}

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void PumpOnce() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    usleep(200);
}

}  // namespace

void ResetNetwork(RecordingView* view, std::uint32_t seed) {
    ResetSockets(seed);
    OwnedTable() = std::make_unique<GameTable>();
    g_table = OwnedTable().get();
    // A table with no front end's computer player: leavers' seats are emptied.
    SetHostPolicy(HostPolicy{});
    g_view = view;
    if (view != nullptr) view->Clear();
}

void ResetSockets(std::uint32_t seed) {
    SockCleanup();
    SockStartup();
    SetSocketEventHandler(OnSocketEvent);
    ResetSeatTable();
    ResetReadStats();
    g_gameLog.Clear();
    SetTurnLimitForTest(0, 0);
    SetHandoverTimeoutForTest(0);
    SetDealSeedSource([seed] { return seed; });
}

void ReleaseNetwork() {
    ResetNetwork(nullptr);
    SockCleanup();
    g_view = nullptr;
    SetDealSeedSource(nullptr);
}

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        PumpOnce();
    } while (timer.elapsed() < ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return done();
        PumpOnce();
    }
    return true;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer check;
    check.setInterval(2);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    check.start();
    loop.exec();
    return done();
}

// ---------------------------------------------------------------------------
// RawPeer

RawPeer::~RawPeer() {
    Close();
}

bool RawPeer::Connect(std::uint16_t port, int receiveBuffer) {
    Close();
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (receiveBuffer > 0) {
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A loopback connect to a listening socket completes in the kernel's
    // backlog without the program's accept.
    if (connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        Close();
        return false;
    }
    SetNonBlocking(fd_);
    return true;
}

bool RawPeer::Send(const Bytes& bytes) {
    std::size_t sent = 0;
    QElapsedTimer timer;
    timer.start();
    while (sent < bytes.size()) {
        const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (timer.elapsed() > kWaitMs) return false;
        PumpOnce();  // the program reads while we wait
    }
    return true;
}

bool RawPeer::SendByteByByte(const Bytes& bytes, int pumpMs) {
    for (std::uint8_t byte : bytes) {
        if (!Send(Bytes{byte})) return false;
        Pump(pumpMs);
    }
    return true;
}

bool RawPeer::Fill(int timeoutMs, std::size_t want) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n > 0) {
                buffered_.insert(buffered_.end(), chunk, chunk + n);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                ended_ = true;
            }
            break;
        }
        if (buffered_.size() >= want || ended_) return buffered_.size() >= want;
        if (timer.elapsed() > timeoutMs) return false;
        PumpOnce();
    }
}

Bytes RawPeer::Read(std::size_t n, int timeoutMs) {
    Fill(timeoutMs, n);
    const std::size_t take = std::min(n, buffered_.size());
    Bytes out(buffered_.begin(), buffered_.begin() + static_cast<long>(take));
    buffered_.erase(buffered_.begin(), buffered_.begin() + static_cast<long>(take));
    return out;
}

std::size_t MessageSizeAt(const Bytes& bytes, std::size_t offset) {
    if (offset >= bytes.size()) return 0;
    switch (static_cast<std::int8_t>(bytes[offset])) {
        case 1:
            return 18;
        case 2:
            return 41;
        case 3:
            return 66;
        case 4:
        case 5:
        case 10:
            return 2;
        case 6:
        case 7:
        case 8:
        case 12:
            return 1;
        case 9:
            return 15;
        case 13:
            return 3;
        case 11:
            if (offset + 4 > bytes.size()) return 0;
            return 4 + static_cast<std::size_t>(bytes[offset + 2] | bytes[offset + 3] << 8);
        default:
            return 1;  // a stray byte stands alone
    }
}

Bytes RawPeer::ReadMessage(int timeoutMs) {
    if (!Fill(timeoutMs, 1)) return {};
    if (buffered_[0] == 11 && !Fill(timeoutMs, 4)) return {};
    const std::size_t size = MessageSizeAt(buffered_, 0);
    if (!Fill(timeoutMs, size)) return {};
    return Read(size, 0);
}

bool RawPeer::ExpectSilence(int ms) {
    Pump(ms);
    Fill(0, 1);
    return buffered_.empty();
}

bool RawPeer::WaitClosed(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!ended_) {
        Fill(0, SIZE_MAX);
        if (ended_) break;
        if (timer.elapsed() > timeoutMs) return false;
        PumpOnce();
    }
    return true;
}

Bytes RawPeer::Drain() {
    Fill(0, SIZE_MAX);
    Bytes out;
    out.swap(buffered_);
    return out;
}

void RawPeer::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    buffered_.clear();
    ended_ = false;
}

// ---------------------------------------------------------------------------
// ScriptedHost

ScriptedHost::ScriptedHost() {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
        listen(listenFd_, 8) == 0 &&
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len) == 0) {
        port_ = ntohs(sa.sin_port);
    }
    SetNonBlocking(listenFd_);
}

ScriptedHost::~ScriptedHost() {
    if (listenFd_ >= 0) close(listenFd_);
}

std::unique_ptr<RawPeer> ScriptedHost::Accept(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return std::make_unique<RawPeer>(fd);
        }
        if (timer.elapsed() > timeoutMs) return nullptr;
        PumpOnce();
    }
}

// ---------------------------------------------------------------------------
// Message bytes, from the layouts

Bytes Msg(std::initializer_list<int> bytes) {
    Bytes out;
    for (int b : bytes) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

Bytes JoinMsg(const std::string& name) {
    Bytes out(18, 0);
    out[0] = 1;
    std::memcpy(out.data() + 1, name.data(), std::min<std::size_t>(name.size(), 17));
    return out;
}

Bytes SeatInfoMsg(int number, const std::string& name, std::uint32_t sock, std::uint32_t ipv4,
                  std::uint16_t port) {
    Bytes out(41, 0);
    out[0] = 2;
    std::uint8_t* r = out.data() + 1;  // the 40-byte record
    r[0] = static_cast<std::uint8_t>(number);
    std::memcpy(r + 1, name.data(), std::min<std::size_t>(name.size(), 17));
    // r[18], r[19]: filler, zero
    r[20] = sock & 0xFF;  // sock, little-endian
    r[21] = (sock >> 8) & 0xFF;
    r[22] = (sock >> 16) & 0xFF;
    r[23] = (sock >> 24) & 0xFF;
    r[24] = 2;  // family AF_INET, little-endian
    r[25] = 0;
    r[26] = port >> 8;  // port, network order
    r[27] = port & 0xFF;
    r[28] = (ipv4 >> 24) & 0xFF;  // address, network order
    r[29] = (ipv4 >> 16) & 0xFF;
    r[30] = (ipv4 >> 8) & 0xFF;
    r[31] = ipv4 & 0xFF;
    // r[32..39]: zero
    return out;
}

Bytes DealMsg(const std::uint8_t hands[SEAT_COUNT + 1][HAND_SIZE]) {
    Bytes out{3};
    for (int s = 0; s <= SEAT_COUNT; ++s) out.insert(out.end(), hands[s], hands[s] + HAND_SIZE);
    return out;
}

Bytes PlayMsg(int seat, const std::vector<int>& positions) {
    Bytes out(15, 0);
    out[0] = 9;
    out[1] = static_cast<std::uint8_t>(seat);
    for (int p : positions) out[2 + p] = 0xFF;
    return out;
}

Bytes ChatMsg(int seat, const std::string& text) {
    const std::size_t n = text.size() + 1;
    Bytes out(4 + n, 0);  // the text's NUL is the last byte
    out[0] = 11;
    out[1] = static_cast<std::uint8_t>(seat);
    out[2] = static_cast<std::uint8_t>(n & 0xFF);
    out[3] = static_cast<std::uint8_t>(n >> 8);
    if (!text.empty()) std::memcpy(out.data() + 4, text.data(), text.size());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

int PositionOf(const GameTable& table, int seat, int card) {
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (table.hands[seat][p] == card) return p;
    }
    return -1;
}

int HolderOf(const GameTable& table, int card) {
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (PositionOf(table, s, card) >= 0) return s;
    }
    return 0;
}

std::uint32_t SeedOpenedBy(int seat) {
    for (std::uint32_t seed = 1;; ++seed) {
        GameTable table;
        table.DealWithSeed(seed, 1);
        if (HolderOf(table, CARD_OPENING) == seat) return seed;
    }
}

bool HostFullTable(FullTable* table, int slowReceiveBuffer) {
    const ConnectOutcome outcome = HostTable("Hana", "127.0.0.1", "0");
    if (outcome.step != ConnectStep::Connected) return false;
    const char* names[] = {"", "", "Ali", "Bob", "Cem"};
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        auto peer = std::make_unique<RawPeer>();
        if (!peer->Connect(g_bindAddr.port, seat == 4 ? slowReceiveBuffer : 0)) return false;
        // ASSIGN and one SEAT_INFO per seat already there (the host and the
        // earlier clients).
        if (peer->ReadMessage() != Msg({4, seat})) return false;
        for (int other = 1; other < seat; ++other) {
            if (peer->ReadMessage().size() != 41) return false;
        }
        if (!peer->Send(JoinMsg(names[seat]))) return false;
        table->seat[seat] = std::move(peer);
        // Every seated client, the newcomer included, is told of the join.
        for (int other = 2; other <= seat; ++other) {
            const Bytes info = table->seat[other]->ReadMessage();
            if (info.size() != 41 || info[1] != seat) return false;
        }
    }
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        if (table->seat[seat]->ReadMessage().size() != 66) return false;  // MSG_DEAL
        if (table->seat[seat]->ReadMessage() != Msg({6})) return false;   // MSG_NEW_GAME
    }
    return g_playerCount == 4;
}

}  // namespace vtest
