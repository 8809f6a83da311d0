// The socket layer over POSIX TCP and QSocketNotifier.
//
// Every socket the layer creates has a Connection record, keyed by its
// descriptor. A registered connection reads whatever the kernel has into its
// own input buffer when its read notifier fires, and posts FD_READ; handlers
// take bytes from that buffer. Sends go straight to the kernel when they can
// and are queued otherwise; the write notifier is enabled only while bytes are
// queued. Events wait in one queue that a single-shot zero timer drains, one
// event per shot, so that a handler is never entered from inside another one
// (a nested event loop in a handler finds the drain busy and leaves the queue
// alone until the handler returns). Nothing runs while nothing happens: no
// notifier is enabled without a reason and no timer runs with an empty queue.
#include "net/socket_layer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Bytes kept per connection before reading stops until the handler drains
// some; no byte is dropped, the kernel keeps the rest.
constexpr std::size_t INPUT_BUFFER_LIMIT = 64 * 1024;
// Bytes queued for a peer that does not read before the connection is given
// up as dead (it is shut down and its FD_CLOSE follows). The largest message
// is 1005 bytes; this is thousands of messages behind.
constexpr std::size_t OUTPUT_QUEUE_LIMIT = 4 * 1024 * 1024;

struct Connection {
    int fd = -1;
    std::uint64_t generation = 0;  // tells this registration from a later one on the same number
    long events = 0;               // the registered event set; 0 = not registered
    bool listening = false;
    bool connected = false;

    // Input or accept readiness; output readiness (enabled only while bytes are queued).
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;

    std::unique_ptr<std::uint8_t[]> input;  // INPUT_BUFFER_LIMIT bytes once reading starts
    std::size_t inputStart = 0;             // bytes [inputStart, inputEnd) wait to be read
    std::size_t inputEnd = 0;
    std::vector<std::uint8_t> output;  // bytes [outputStart, size) wait to be sent
    std::size_t outputStart = 0;

    bool readPosted = false;    // an FD_READ waits in the queue
    bool acceptPosted = false;  // FD_ACCEPT posted, SockAccept not called since
    bool closePosted = false;   // FD_CLOSE posted (once per connection)
    bool inReadDelivery = false;
    std::size_t consumedInDelivery = 0;
    std::size_t discardPending = 0;  // bytes still to come that SockDiscard dropped
    bool inputEnded = false;         // end of stream or a failure seen on reading
    bool receiveShut = false;
    bool sendShut = false;         // SD_SEND asked for
    bool sendShutPending = false;  // ...and carried out once the queue has drained
    bool sendWaited = false;       // a send had to queue: FD_WRITE when the queue drains
    int sendError = 0;             // Winsock error of a failed send; later sends fail with it

    std::size_t Available() const { return inputEnd - inputStart; }
    std::size_t Queued() const { return output.size() - outputStart; }
};

struct PendingEvent {
    Socket socket;
    std::uint64_t generation;
    int event;
};

struct LayerState {
    std::unordered_map<Socket, Connection> connections;
    std::deque<PendingEvent> queue;
    SocketEventHandler handler;
    QTimer* drainTimer = nullptr;
    bool dispatching = false;
    std::uint64_t nextGeneration = 1;
    int lastError = 0;
    int connectTimeoutMs = CONNECT_TIMEOUT_MS;
};

// Never destroyed: its Qt objects must not outlive the application object at
// exit, and the process's end closes the descriptors anyway.
LayerState& State() {
    static LayerState* state = new LayerState;
    return *state;
}

void SetError(int winsockError) {
    State().lastError = winsockError;
}
void SetErrorFromErrno(int err) {
    SetError(WinsockErrorFromErrno(err));
}

Connection* Find(Socket s) {
    auto& connections = State().connections;
    auto it = connections.find(s);
    return it == connections.end() ? nullptr : &it->second;
}

Connection* Find(Socket s, std::uint64_t generation) {
    Connection* c = Find(s);
    return c != nullptr && c->generation == generation ? c : nullptr;
}

Connection* FindOrFail(Socket s) {
    Connection* c = Find(s);
    if (c == nullptr) SetError(WinsockErrorFromErrno(ENOTSOCK));
    return c;
}

Connection& Adopt(int fd) {
    LayerState& state = State();
    Socket s = static_cast<Socket>(fd);
    state.connections.erase(s);  // a stale record would mean a descriptor closed behind our back
    Connection& c = state.connections[s];
    c.fd = fd;
    c.generation = state.nextGeneration++;
    return c;
}

void SetNoDelay(int fd) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void Drain();

void ScheduleDrain() {
    LayerState& state = State();
    if (state.dispatching || state.queue.empty()) return;
    if (state.drainTimer == nullptr) {
        state.drainTimer = new QTimer;
        state.drainTimer->setSingleShot(true);
        state.drainTimer->setInterval(0);
        QObject::connect(state.drainTimer, &QTimer::timeout, [] { Drain(); });
    }
    if (!state.drainTimer->isActive()) state.drainTimer->start();
}

void Post(const Connection& c, int event) {
    State().queue.push_back({static_cast<Socket>(c.fd), c.generation, event});
    ScheduleDrain();
}

void PostRead(Connection& c) {
    if ((c.events & FD_READ) == 0 || c.readPosted) return;
    c.readPosted = true;
    Post(c, FD_READ);
}

void PostClose(Connection& c) {
    if (c.closePosted) return;
    c.closePosted = true;
    if ((c.events & FD_CLOSE) != 0) Post(c, FD_CLOSE);
}

void OnReadable(Socket s, std::uint64_t generation);
void OnWritable(Socket s, std::uint64_t generation);

// Brings the notifiers in line with the connection's state: reading while a
// registered connection has room and its stream has not ended, accepting while
// no FD_ACCEPT is outstanding, writing while bytes are queued.
void Arm(Connection& c) {
    const Socket s = static_cast<Socket>(c.fd);
    const std::uint64_t generation = c.generation;

    bool wantRead = false;
    if (c.events != 0) {
        if (c.listening) {
            wantRead = !c.acceptPosted && !c.receiveShut;
        } else if (c.connected) {
            wantRead = !c.inputEnded && !c.receiveShut && c.Available() < INPUT_BUFFER_LIMIT;
        }
    }
    if (wantRead && c.readNotifier == nullptr) {
        c.readNotifier = std::make_unique<QSocketNotifier>(c.fd, QSocketNotifier::Read);
        QObject::connect(c.readNotifier.get(), &QSocketNotifier::activated,
                         [s, generation] { OnReadable(s, generation); });
    }
    if (c.readNotifier != nullptr && c.readNotifier->isEnabled() != wantRead) {
        c.readNotifier->setEnabled(wantRead);
    }

    const bool wantWrite = c.Queued() > 0;
    if (wantWrite && c.writeNotifier == nullptr) {
        c.writeNotifier = std::make_unique<QSocketNotifier>(c.fd, QSocketNotifier::Write);
        QObject::connect(c.writeNotifier.get(), &QSocketNotifier::activated,
                         [s, generation] { OnWritable(s, generation); });
    }
    if (c.writeNotifier != nullptr && c.writeNotifier->isEnabled() != wantWrite) {
        c.writeNotifier->setEnabled(wantWrite);
    }
}

// The stream has ended or failed. The bytes already buffered are still
// offered; FD_CLOSE follows them.
void EndInput(Connection& c) {
    c.inputEnded = true;
    if (!c.readPosted && !c.inReadDelivery) PostClose(c);
}

void ReadIntoBuffer(Connection& c) {
    if (c.input == nullptr) c.input = std::make_unique<std::uint8_t[]>(INPUT_BUFFER_LIMIT);
    for (;;) {
        if (c.inputStart > 0) {
            std::memmove(c.input.get(), c.input.get() + c.inputStart, c.Available());
            c.inputEnd -= c.inputStart;
            c.inputStart = 0;
        }
        const std::size_t room = INPUT_BUFFER_LIMIT - c.inputEnd;
        if (room == 0) return;  // full: Arm stops reading until the handler drains some
        const ssize_t n = recv(c.fd, c.input.get() + c.inputEnd, room, MSG_DONTWAIT);
        if (n > 0) {
            c.inputEnd += static_cast<std::size_t>(n);
            if (c.discardPending > 0) {
                // Nothing was waiting before these bytes: SockDiscard took it all.
                const std::size_t drop = std::min(c.discardPending, c.Available());
                c.inputStart += drop;
                c.discardPending -= drop;
                if (c.Available() == 0) c.inputStart = c.inputEnd = 0;
            }
            if (c.Available() > 0) PostRead(c);  // before a close found in the same pass
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        EndInput(c);  // end of stream, or the connection failed
        return;
    }
}

void OnReadable(Socket s, std::uint64_t generation) {
    Connection* c = Find(s, generation);
    if (c == nullptr) return;
    if (c->listening) {
        c->acceptPosted = true;  // not again until SockAccept
        if ((c->events & FD_ACCEPT) != 0) Post(*c, FD_ACCEPT);
    } else {
        ReadIntoBuffer(*c);
    }
    Arm(*c);
}

// Sends what the kernel takes now; false when the connection failed.
bool Flush(Connection& c) {
    while (c.Queued() > 0) {
        const ssize_t n =
            send(c.fd, c.output.data() + c.outputStart, c.Queued(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.outputStart += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        c.sendError = WinsockErrorFromErrno(n < 0 ? errno : EPIPE);
        c.output.clear();
        c.outputStart = 0;
        return false;
    }
    if (c.Queued() == 0) {
        c.output.clear();
        c.outputStart = 0;
        if (c.sendShutPending) {
            c.sendShutPending = false;
            shutdown(c.fd, SHUT_WR);
        }
    }
    return true;
}

void OnWritable(Socket s, std::uint64_t generation) {
    Connection* c = Find(s, generation);
    if (c == nullptr) return;
    const bool ok = Flush(*c);
    if (ok && c->Queued() == 0 && c->sendWaited) {
        c->sendWaited = false;
        if ((c->events & FD_WRITE) != 0) Post(*c, FD_WRITE);
    }
    Arm(*c);
}

void Deliver(Socket s, int event) {
    LayerState& state = State();
    if (!state.handler) return;
    state.dispatching = true;
    state.handler(s, event);
    state.dispatching = false;
}

void Drain() {
    LayerState& state = State();
    if (state.dispatching || state.queue.empty()) return;
    const PendingEvent pending = state.queue.front();
    state.queue.pop_front();

    Connection* c = Find(pending.socket, pending.generation);
    if (c != nullptr) {
        if (pending.event == FD_READ) {
            c->readPosted = false;
            const std::size_t before = c->Available();
            if (before > 0) {
                c->inReadDelivery = true;
                c->consumedInDelivery = 0;
                Deliver(pending.socket, FD_READ);
                c = Find(pending.socket, pending.generation);
                if (c != nullptr) {
                    c->inReadDelivery = false;
                    // A handler that took something and left something is offered
                    // the rest; one that took nothing waits for new bytes.
                    if (c->consumedInDelivery > 0 && c->Available() > 0) PostRead(*c);
                }
            }
            if (c != nullptr && c->inputEnded && !c->readPosted) PostClose(*c);
        } else {
            Deliver(pending.socket, pending.event);
        }
    }
    ScheduleDrain();
}

// Takes n <= Available() bytes off the front of the buffer.
void Consume(Connection& c, std::size_t n) {
    c.inputStart += n;
    if (c.Available() == 0) c.inputStart = c.inputEnd = 0;
    if (c.inReadDelivery) {
        c.consumedInDelivery += n;
    } else if (c.Available() > 0) {
        PostRead(c);  // taken outside an FD_READ: the rest is offered as Winsock would
    }
    Arm(c);  // resumes reading when a full buffer has drained
}

// Takes (or copies) up to len buffered bytes.
int TakeBuffered(Connection& c, void* data, int len, bool take) {
    const std::size_t n = std::min(c.Available(), static_cast<std::size_t>(len));
    if (n == 0) return 0;
    std::memcpy(data, c.input.get() + c.inputStart, n);
    if (take) Consume(c, n);
    return static_cast<int>(n);
}

void ToSockaddr(const SockAddrIn& addr, sockaddr_in* out) {
    std::memset(out, 0, sizeof *out);
    out->sin_family = AF_INET;
    out->sin_port = htons(addr.port);
    out->sin_addr.s_addr = htonl(addr.ipv4);
}

void FromSockaddr(const sockaddr_in& in, SockAddrIn* out) {
    out->ipv4 = ntohl(in.sin_addr.s_addr);
    out->port = ntohs(in.sin_port);
}

}  // namespace

int SockLastError() {
    return State().lastError;
}

int WinsockErrorFromErrno(int err) {
    // The table lists each errno once; its aliases are the same numbers here.
    static_assert(EWOULDBLOCK == EAGAIN && ENOTSUP == EOPNOTSUPP);
    static constexpr struct {
        int err;
        int code;
    } table[] = {
        {EINTR, 10004},           {EBADF, 10009},        {EACCES, 10013},
        {EFAULT, 10014},          {EINVAL, 10022},       {EMFILE, 10024},
        {EAGAIN, 10035},          {EINPROGRESS, 10036},  {EALREADY, 10037},
        {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},
        {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},  {EPROTONOSUPPORT, 10043},
        {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},   {EPFNOSUPPORT, 10046},
        {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
        {ENETDOWN, 10050},        {ENETUNREACH, 10051},  {ENETRESET, 10052},
        {ECONNABORTED, 10053},    {ECONNRESET, 10054},   {ENOBUFS, 10055},
        {EISCONN, 10056},         {ENOTCONN, 10057},     {ESHUTDOWN, 10058},
        {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},    {ECONNREFUSED, 10061},
        {ELOOP, 10062},           {ENAMETOOLONG, 10063}, {EHOSTDOWN, 10064},
        {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},    {EUSERS, 10068},
        {EDQUOT, 10069},          {ESTALE, 10070},       {EREMOTE, 10071},
        {EPIPE, 10054},  // a broken pipe is what Winsock reports as a reset
    };
    for (const auto& row : table) {
        if (row.err == err) return row.code;
    }
    return err;  // 0 stays 0; anything without a counterpart keeps its own number
}

int SockStartup() {
    State();
    return 0;
}

void SockCleanup() {
    LayerState& state = State();
    std::vector<Socket> open;
    open.reserve(state.connections.size());
    for (const auto& [s, c] : state.connections) open.push_back(s);
    for (Socket s : open) SockClose(s);
    state.queue.clear();
    if (state.drainTimer != nullptr) state.drainTimer->stop();
}

void SetConnectTimeoutForTest(int ms) {
    State().connectTimeoutMs = ms > 0 ? ms : CONNECT_TIMEOUT_MS;
}

Socket SockCreate() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        SetErrorFromErrno(errno);
        return INVALID_SOCKET;
    }
    Adopt(fd);
    return static_cast<Socket>(fd);
}

int SockBind(Socket s, const SockAddrIn& addr) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    // Linux lets a socket bind to the limited broadcast address (the value a
    // failed dotted-address conversion leaves); Winsock refuses it, and so
    // does this layer, so that such a field text fails at the bind.
    if (addr.ipv4 == 0xFFFFFFFFu) {
        SetError(WinsockErrorFromErrno(EADDRNOTAVAIL));
        return SOCKET_ERROR;
    }
    // Winsock lets a host bind again at once to a port whose old connections
    // are still closing; Linux does so only with SO_REUSEADDR. A port where
    // another socket listens stays refused ("Address already in use").
    int reuse = 1;
    setsockopt(c->fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in sa;
    ToSockaddr(addr, &sa);
    if (bind(c->fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    return 0;
}

int SockListen(Socket s, int backlog) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (listen(c->fd, backlog) != 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    c->listening = true;
    Arm(*c);
    return 0;
}

int SockConnect(Socket s, const SockAddrIn& addr) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    sockaddr_in sa;
    ToSockaddr(addr, &sa);

    const int flags = fcntl(c->fd, F_GETFL);
    fcntl(c->fd, F_SETFL, flags | O_NONBLOCK);
    int err = 0;
    if (connect(c->fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        err = errno;
        if (err == EINPROGRESS || err == EINTR) {
            using Clock = std::chrono::steady_clock;
            const auto deadline =
                Clock::now() + std::chrono::milliseconds(State().connectTimeoutMs);
            err = ETIMEDOUT;
            for (;;) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                        .count();
                if (left <= 0) break;
                pollfd p{c->fd, POLLOUT, 0};
                const int r = poll(&p, 1, static_cast<int>(left));
                if (r < 0 && errno == EINTR) continue;
                if (r < 0) {
                    err = errno;
                    break;
                }
                if (r == 0) continue;  // the deadline check above ends the wait
                int soError = 0;
                socklen_t len = sizeof soError;
                getsockopt(c->fd, SOL_SOCKET, SO_ERROR, &soError, &len);
                err = soError;
                break;
            }
        }
    }
    if (c->events == 0) fcntl(c->fd, F_SETFL, flags);  // blocking again unless registered
    if (err != 0) {
        SetErrorFromErrno(err);
        return SOCKET_ERROR;
    }
    SetNoDelay(c->fd);
    c->connected = true;
    if (c->events != 0) {
        Arm(*c);
        if ((c->events & FD_CONNECT) != 0) Post(*c, FD_CONNECT);
        if ((c->events & FD_WRITE) != 0) Post(*c, FD_WRITE);
    }
    return 0;
}

int SockAsyncSelect(Socket s, long events) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    const int flags = fcntl(c->fd, F_GETFL);
    if (flags < 0 || fcntl(c->fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    if (!c->connected && !c->listening) {
        sockaddr_in peer;
        socklen_t len = sizeof peer;
        c->connected = getpeername(c->fd, reinterpret_cast<sockaddr*>(&peer), &len) == 0;
    }
    const bool wasRegistered = c->events != 0;
    c->events = events;
    if (events == 0) {
        c->readNotifier.reset();
    }
    Arm(*c);
    if (events != 0 && c->connected) {
        if (!wasRegistered && (events & FD_WRITE) != 0 && c->Queued() == 0) Post(*c, FD_WRITE);
        if (c->Available() > 0) PostRead(*c);
        if (c->inputEnded && !c->readPosted) PostClose(*c);
    }
    return 0;
}

Socket SockAccept(Socket listening, SockAddrIn* peer) {
    Connection* l = FindOrFail(listening);
    if (l == nullptr) return INVALID_SOCKET;
    const long inherited = l->events;
    sockaddr_in sa;
    socklen_t len = sizeof sa;
    int fd;
    do {
        fd = accept4(l->fd, reinterpret_cast<sockaddr*>(&sa), &len,
                     SOCK_CLOEXEC | (inherited != 0 ? SOCK_NONBLOCK : 0));
    } while (fd < 0 && errno == EINTR);
    const int err = errno;
    // Whether or not a connection was there, the next one is announced again.
    l->acceptPosted = false;
    Arm(*l);
    if (fd < 0) {
        SetErrorFromErrno(err);
        return INVALID_SOCKET;
    }
    SetNoDelay(fd);
    Connection& c = Adopt(fd);
    c.connected = true;
    c.events = inherited;
    if (peer != nullptr) FromSockaddr(sa, peer);
    if (inherited != 0) {
        Arm(c);
        if ((inherited & FD_WRITE) != 0) Post(c, FD_WRITE);
    }
    return static_cast<Socket>(fd);
}

int SockSend(Socket s, const void* data, int len) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (len < 0 || (data == nullptr && len > 0)) {
        SetError(WinsockErrorFromErrno(len < 0 ? EINVAL : EFAULT));
        return SOCKET_ERROR;
    }
    if (c->sendShut) {
        SetError(WinsockErrorFromErrno(ESHUTDOWN));
        return SOCKET_ERROR;
    }
    if (c->sendError != 0) {
        SetError(c->sendError);
        return SOCKET_ERROR;
    }
    if (len == 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t sent = 0;
    if (c->Queued() == 0) {
        while (sent < static_cast<std::size_t>(len)) {
            const ssize_t n = send(c->fd, bytes + sent, static_cast<std::size_t>(len) - sent,
                                   MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
            c->sendError = WinsockErrorFromErrno(n < 0 ? errno : EPIPE);
            SetError(c->sendError);
            return SOCKET_ERROR;
        }
    }
    if (sent < static_cast<std::size_t>(len)) {
        const std::size_t rest = static_cast<std::size_t>(len) - sent;
        if (c->Queued() + rest > OUTPUT_QUEUE_LIMIT) {
            // The peer has stopped reading for good: give the connection up. Shutting
            // down our own descriptor ends its input, so the usual FD_CLOSE follows.
            c->output.clear();
            c->outputStart = 0;
            c->sendError = WinsockErrorFromErrno(ENOBUFS);
            shutdown(c->fd, SHUT_RDWR);
            Arm(*c);
            SetError(c->sendError);
            return SOCKET_ERROR;
        }
        if (c->outputStart > 0 && c->outputStart >= c->output.size() / 2) {
            c->output.erase(c->output.begin(),
                            c->output.begin() + static_cast<long>(c->outputStart));
            c->outputStart = 0;
        }
        c->output.insert(c->output.end(), bytes + sent, bytes + len);
        c->sendWaited = true;
        Arm(*c);
    }
    return len;
}

namespace {

// Reads up to len waiting bytes, taking them (recv) or leaving them (peek):
// from the connection's buffer once it is registered, else from the kernel.
int Receive(Socket s, void* data, int len, bool take) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (len <= 0) return 0;
    if (data == nullptr) {
        SetError(WinsockErrorFromErrno(EFAULT));
        return SOCKET_ERROR;
    }
    if (c->Available() > 0 || c->events != 0) return TakeBuffered(*c, data, len, take);
    const int flags = MSG_DONTWAIT | (take ? 0 : MSG_PEEK);
    ssize_t n;
    do {
        n = recv(c->fd, data, static_cast<std::size_t>(len), flags);
    } while (n < 0 && errno == EINTR);
    if (n >= 0) return static_cast<int>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    SetErrorFromErrno(errno);
    return SOCKET_ERROR;
}

}  // namespace

int SockRecv(Socket s, void* data, int len) {
    return Receive(s, data, len, true);
}

int SockPeek(Socket s, void* data, int len) {
    return Receive(s, data, len, false);
}

int SockDiscard(Socket s, std::size_t count) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (c->events == 0 || c->listening) {
        SetError(WinsockErrorFromErrno(EINVAL));
        return SOCKET_ERROR;
    }
    const std::size_t now = std::min(c->Available(), count);
    if (now > 0) Consume(*c, now);
    c->discardPending += count - now;
    return 0;
}

int SockAvailable(Socket s, std::size_t* count) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (count == nullptr) {
        SetError(WinsockErrorFromErrno(EFAULT));
        return SOCKET_ERROR;
    }
    std::size_t total = c->Available();
    if (c->events == 0 && !c->listening) {
        int waiting = 0;
        if (ioctl(c->fd, FIONREAD, &waiting) != 0) {
            SetErrorFromErrno(errno);
            return SOCKET_ERROR;
        }
        total += static_cast<std::size_t>(waiting);
    }
    *count = total;
    return 0;
}

std::size_t SockQueued(Socket s) {
    const Connection* c = Find(s);
    return c == nullptr ? 0 : c->Queued();
}

std::size_t SockUnacknowledged(Socket s) {
    const Connection* c = Find(s);
    if (c == nullptr) return 0;
    int inKernel = 0;
    if (ioctl(c->fd, SIOCOUTQ, &inKernel) != 0 || inKernel < 0) inKernel = 0;
    return c->Queued() + static_cast<std::size_t>(inKernel);
}

int SockShutdown(Socket s, int how) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (how != SD_RECEIVE && how != SD_SEND && how != SD_BOTH) {
        SetError(WinsockErrorFromErrno(EINVAL));
        return SOCKET_ERROR;
    }
    int result = 0;
    if (how == SD_RECEIVE || how == SD_BOTH) {
        // Our own shutdown is no close by the peer: reading simply stops.
        c->receiveShut = true;
        if (shutdown(c->fd, SHUT_RD) != 0) {
            SetErrorFromErrno(errno);
            result = SOCKET_ERROR;
        }
    }
    if (how == SD_SEND || how == SD_BOTH) {
        c->sendShut = true;
        if (c->Queued() > 0) {
            c->sendShutPending = true;  // after the queued bytes have gone
        } else if (shutdown(c->fd, SHUT_WR) != 0) {
            SetErrorFromErrno(errno);
            result = SOCKET_ERROR;
        }
    }
    Arm(*c);
    return result;
}

int SockClose(Socket s) {
    LayerState& state = State();
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    // What the kernel can still take goes out; the rest of a queue for a peer
    // that stopped reading is lost with the connection.
    if (c->Queued() > 0 && c->sendError == 0) Flush(*c);
    c->readNotifier.reset();
    c->writeNotifier.reset();
    const int fd = c->fd;
    state.connections.erase(s);
    for (auto it = state.queue.begin(); it != state.queue.end();) {
        it = it->socket == s ? state.queue.erase(it) : it + 1;
    }
    if (close(fd) != 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    return 0;
}

int SockGetName(Socket s, SockAddrIn* addr) {
    Connection* c = FindOrFail(s);
    if (c == nullptr) return SOCKET_ERROR;
    if (addr == nullptr) {
        SetError(WinsockErrorFromErrno(EFAULT));
        return SOCKET_ERROR;
    }
    sockaddr_in sa;
    socklen_t len = sizeof sa;
    if (getsockname(c->fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    FromSockaddr(sa, addr);
    return 0;
}

int SockCreatePair(Socket* a, Socket* b) {
    if (a == nullptr || b == nullptr) {
        SetError(WinsockErrorFromErrno(EFAULT));
        return SOCKET_ERROR;
    }
    *a = *b = INVALID_SOCKET;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        SetErrorFromErrno(errno);
        return SOCKET_ERROR;
    }
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    int connector = -1;
    int accepted = -1;
    int err = 0;
    if (bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        err = errno;
    } else if ((connector = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) < 0) {
        err = errno;
    } else if (connect(connector, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        err = errno;
    } else {
        do {
            accepted = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        } while (accepted < 0 && errno == EINTR);
        if (accepted < 0) err = errno;
    }
    close(listener);
    if (err != 0) {
        if (connector >= 0) close(connector);
        SetErrorFromErrno(err);
        return SOCKET_ERROR;
    }
    SetNoDelay(connector);
    SetNoDelay(accepted);
    Adopt(connector).connected = true;
    Adopt(accepted).connected = true;
    *a = static_cast<Socket>(connector);
    *b = static_cast<Socket>(accepted);
    return 0;
}

void SetSocketEventHandler(SocketEventHandler handler) {
    State().handler = std::move(handler);
}

bool ParseDottedAddress(const char* text, std::uint32_t* ipv4) {
    if (text == nullptr) return false;
    std::uint32_t result = 0;
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (*p != '.') return false;
            ++p;
        }
        int digits = 0;
        unsigned value = 0;
        while (*p >= '0' && *p <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(*p - '0');
            ++p;
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        result = result << 8 | value;
    }
    if (*p != '\0') return false;
    if (ipv4 != nullptr) *ipv4 = result;
    return true;
}

void FormatDottedAddress(std::uint32_t ipv4, char* out) {
    std::snprintf(out, 16, "%u.%u.%u.%u", ipv4 >> 24 & 0xFF, ipv4 >> 16 & 0xFF, ipv4 >> 8 & 0xFF,
                  ipv4 & 0xFF);
}
