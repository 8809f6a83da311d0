// The socket layer's event semantics and error numbers, on real loopback TCP
// connections and the real Qt event loop. Every wait is bounded.
#include "net/socket_layer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "net/winsock_error.h"
#include "tests/support/scripted_peer.h"

namespace {

constexpr std::uint32_t LOOPBACK = 0x7F000001;  // 127.0.0.1

void RunFor(int ms) {
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(ms);
    loop.exec();
}

void SetBufferSizes(Socket s, int bytes) {
    const int fd = static_cast<int>(s);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

std::uint16_t PortOf(Socket s) {
    SockAddrIn addr;
    EXPECT_EQ(SockGetName(s, &addr), 0);
    return addr.port;
}

// A test message of 15 bytes (the size of MSG_PLAY): its number, then a
// pattern derived from it.
std::vector<std::uint8_t> Message(int number) {
    std::vector<std::uint8_t> bytes(15);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(number * 7 + static_cast<int>(i));
    }
    return bytes;
}

struct Event {
    Socket socket;
    int event;
};

class SocketLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SockStartup(), 0);
        SetSocketEventHandler([this](Socket s, int event) {
            events.push_back({s, event});
            if (onEvent) onEvent(s, event);
        });
    }

    void TearDown() override {
        SetSocketEventHandler(nullptr);
        SockCleanup();
        SetConnectTimeoutForTest(0);
    }

    int Count(Socket s, int event) const {
        int n = 0;
        for (const Event& e : events) n += (e.socket == s && e.event == event) ? 1 : 0;
        return n;
    }

    int CountFor(Socket s) const {
        int n = 0;
        for (const Event& e : events) n += e.socket == s ? 1 : 0;
        return n;
    }

    // A listening socket on 127.0.0.1 (a free port) registered for the host's
    // events, whose FD_ACCEPT is answered with SockAccept into `accepted`.
    Socket Listen() {
        Socket l = SockCreate();
        EXPECT_NE(l, INVALID_SOCKET);
        EXPECT_EQ(SockBind(l, {LOOPBACK, 0}), 0);
        EXPECT_EQ(SockListen(l, 5), 0);
        EXPECT_EQ(SockAsyncSelect(l, HOST_EVENTS), 0);
        onEvent = [this, l](Socket s, int event) {
            if (s == l && event == FD_ACCEPT && autoAccept)
                accepted.push_back(SockAccept(l, nullptr));
        };
        return l;
    }

    Socket ConnectTo(std::uint16_t port, int bufferSize = 0) {
        Socket c = SockCreate();
        EXPECT_NE(c, INVALID_SOCKET);
        if (bufferSize > 0) SetBufferSizes(c, bufferSize);
        EXPECT_EQ(SockConnect(c, {LOOPBACK, port}), 0) << SockLastError();
        return c;
    }

    std::vector<Event> events;
    std::function<void(Socket, int)> onEvent;
    std::vector<Socket> accepted;
    bool autoAccept = true;
};

TEST_F(SocketLayerTest, AcceptedConnectionGetsOneWriteEventAndAnImmediateSendNone) {
    Socket l = Listen();
    Socket client = ConnectTo(PortOf(l));
    ASSERT_TRUE(vtest::RunUntil([&] { return !accepted.empty(); }, 2000));
    Socket server = accepted.front();
    ASSERT_NE(server, INVALID_SOCKET);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(server, FD_WRITE) == 1; }, 2000));

    // A send that the kernel takes at once does not announce writability again.
    const std::uint8_t hello[3] = {1, 2, 3};
    EXPECT_EQ(SockSend(server, hello, 3), 3);
    RunFor(200);
    EXPECT_EQ(Count(server, FD_WRITE), 1);
    EXPECT_EQ(CountFor(server), 1);
    EXPECT_EQ(Count(l, FD_ACCEPT), 1);
    std::uint8_t got[3] = {};
    EXPECT_EQ(SockRecv(client, got, 3), 3);
    EXPECT_EQ(std::memcmp(got, hello, 3), 0);
}

TEST_F(SocketLayerTest, AcceptIsAnnouncedOncePerReadinessUntilSockAccept) {
    Socket l = Listen();
    autoAccept = false;
    ConnectTo(PortOf(l));
    ConnectTo(PortOf(l));
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(l, FD_ACCEPT) == 1; }, 2000));
    RunFor(200);
    EXPECT_EQ(Count(l, FD_ACCEPT), 1) << "no second announcement before SockAccept";

    Socket first = SockAccept(l, nullptr);
    ASSERT_NE(first, INVALID_SOCKET);
    // The second connection is still waiting: it is announced once more.
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(l, FD_ACCEPT) == 2; }, 2000));
    SockAddrIn peer;
    Socket second = SockAccept(l, &peer);
    ASSERT_NE(second, INVALID_SOCKET);
    EXPECT_EQ(peer.ipv4, LOOPBACK);
    RunFor(200);
    EXPECT_EQ(Count(l, FD_ACCEPT), 2);
    EXPECT_EQ(Count(first, FD_WRITE), 1);
    EXPECT_EQ(Count(second, FD_WRITE), 1);
}

TEST_F(SocketLayerTest, QueuedSendsArriveWholeInOrderAndDrainingBringsOneWriteEvent) {
    Socket l = Listen();
    Socket client = ConnectTo(PortOf(l), 4096);
    ASSERT_TRUE(vtest::RunUntil([&] { return !accepted.empty(); }, 2000));
    Socket server = accepted.front();
    SetBufferSizes(server, 4096);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(server, FD_WRITE) == 1; }, 2000));

    // 200 messages of 1000 bytes: far more than the two small kernel buffers
    // hold while the client does not read, so most of it has to wait.
    std::vector<std::uint8_t> sent;
    for (int i = 0; i < 200; ++i) {
        std::vector<std::uint8_t> chunk(1000);
        for (std::size_t k = 0; k < chunk.size(); ++k) {
            chunk[k] = static_cast<std::uint8_t>(i * 31 + static_cast<int>(k) * 7);
        }
        ASSERT_EQ(SockSend(server, chunk.data(), 1000), 1000);
        sent.insert(sent.end(), chunk.begin(), chunk.end());
    }
    RunFor(150);
    EXPECT_EQ(Count(server, FD_WRITE), 1) << "nothing has drained while the peer does not read";

    // A slow reader: at most 512 bytes per millisecond.
    std::vector<std::uint8_t> received;
    QTimer reader;
    reader.setInterval(1);
    QObject::connect(&reader, &QTimer::timeout, [&] {
        std::uint8_t buf[512];
        const int n = SockRecv(client, buf, sizeof buf);
        if (n > 0) received.insert(received.end(), buf, buf + n);
    });
    reader.start();
    ASSERT_TRUE(vtest::RunUntil([&] { return received.size() >= sent.size(); }, 15000))
        << received.size();
    reader.stop();
    EXPECT_TRUE(received == sent) << "bytes lost, duplicated or out of order";
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(server, FD_WRITE) == 2; }, 2000));
    RunFor(150);
    EXPECT_EQ(Count(server, FD_WRITE), 2) << "exactly one more FD_WRITE once the queue drained";
}

TEST_F(SocketLayerTest, MessageArrivingOneByteAtATimeIsOfferedOncePerByteAndReadWhole) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, CLIENT_EVENTS), 0);
    std::vector<std::vector<std::uint8_t>> messages;
    int activations = 0;
    onEvent = [&](Socket s, int event) {
        if (s != a || event != FD_READ) return;
        ++activations;
        std::size_t waiting = 0;
        ASSERT_EQ(SockAvailable(a, &waiting), 0);
        if (waiting < 15) return;  // not whole yet: take nothing
        std::vector<std::uint8_t> m(15);
        ASSERT_EQ(SockRecv(a, m.data(), 15), 15);
        messages.push_back(m);
    };
    const std::vector<std::uint8_t> message = Message(3);
    for (int i = 0; i < 15; ++i) {
        ASSERT_EQ(SockSend(b, &message[static_cast<std::size_t>(i)], 1), 1);
        ASSERT_TRUE(vtest::RunUntil([&] { return activations == i + 1; }, 2000)) << "byte " << i;
    }
    RunFor(150);
    EXPECT_EQ(activations, 15);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], message);
    EXPECT_EQ(Count(a, FD_CLOSE), 0);
}

TEST_F(SocketLayerTest, ManyMessagesInOneSegmentAreOfferedUntilAllAreRead) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, HOST_EVENTS), 0);
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < 50; ++i) {
        const std::vector<std::uint8_t> m = Message(i);
        stream.insert(stream.end(), m.begin(), m.end());
    }
    std::vector<std::vector<std::uint8_t>> messages;
    int reads = 0;
    onEvent = [&](Socket s, int event) {
        if (s != a || event != FD_READ) return;
        ++reads;
        std::vector<std::uint8_t> m(15);
        if (SockRecv(a, m.data(), 15) == 15) messages.push_back(m);  // one message per event
    };
    ASSERT_EQ(SockSend(b, stream.data(), static_cast<int>(stream.size())),
              static_cast<int>(stream.size()));
    ASSERT_TRUE(vtest::RunUntil([&] { return messages.size() == 50; }, 3000)) << messages.size();
    RunFor(150);
    EXPECT_EQ(reads, 50) << "one event per message, none once all are read";
    for (int i = 0; i < 50; ++i) EXPECT_EQ(messages[static_cast<std::size_t>(i)], Message(i));
}

TEST_F(SocketLayerTest, HandlerThatTakesNothingIsNotCalledAgainUntilNewBytesArrive) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, CLIENT_EVENTS), 0);
    int activations = 0;
    onEvent = [&](Socket s, int event) {
        if (s == a && event == FD_READ) ++activations;  // waits for a message that never completes
    };
    const std::uint8_t part[5] = {11, 1, 2, 3, 4};
    ASSERT_EQ(SockSend(b, part, 5), 5);
    ASSERT_TRUE(vtest::RunUntil([&] { return activations == 1; }, 2000));
    RunFor(200);
    EXPECT_EQ(activations, 1) << "a stalled reader must not spin";
    ASSERT_EQ(SockSend(b, part, 1), 1);
    ASSERT_TRUE(vtest::RunUntil([&] { return activations == 2; }, 2000));
    RunFor(200);
    EXPECT_EQ(activations, 2);
    std::size_t waiting = 0;
    ASSERT_EQ(SockAvailable(a, &waiting), 0);
    EXPECT_EQ(waiting, 6u) << "every byte is still there";
}

TEST_F(SocketLayerTest, CloseComesAfterTheLastBytesAndOnlyOnce) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, CLIENT_EVENTS), 0);
    std::vector<std::vector<std::uint8_t>> messages;
    onEvent = [&](Socket s, int event) {
        if (s != a || event != FD_READ) return;
        std::vector<std::uint8_t> m(15);
        if (SockRecv(a, m.data(), 15) == 15) messages.push_back(m);
    };
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::uint8_t> m = Message(i);
        stream.insert(stream.end(), m.begin(), m.end());
    }
    ASSERT_EQ(SockSend(b, stream.data(), 45), 45);
    ASSERT_EQ(SockClose(b), 0);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(a, FD_CLOSE) == 1; }, 2000));
    RunFor(150);
    ASSERT_EQ(messages.size(), 3u);
    ASSERT_EQ(events.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(events[static_cast<std::size_t>(i)].event, FD_READ);
    EXPECT_EQ(events[3].event, FD_CLOSE);
}

TEST_F(SocketLayerTest, CloseStillComesWhenTheReaderWaitsForBytesThatNeverArrive) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, CLIENT_EVENTS), 0);
    const std::uint8_t part[4] = {11, 2, 200, 0};  // a chat header whose text never comes
    ASSERT_EQ(SockSend(b, part, 4), 4);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(a, FD_READ) == 1; }, 2000));
    ASSERT_EQ(SockClose(b), 0);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(a, FD_CLOSE) == 1; }, 2000));
    RunFor(200);
    EXPECT_EQ(Count(a, FD_READ), 1);
    EXPECT_EQ(Count(a, FD_CLOSE), 1);
}

TEST_F(SocketLayerTest, StaleEventOfAClosedSocketIsNotDeliveredToItsReusedNumber) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    // Registering a connected socket for FD_WRITE posts that event at once.
    ASSERT_EQ(SockAsyncSelect(a, HOST_EVENTS), 0);
    const Socket number = a;
    ASSERT_EQ(SockClose(a), 0);

    // Take descriptors until the closed number comes back.
    Socket reused = INVALID_SOCKET;
    std::vector<Socket> others;
    for (int i = 0; i < 16 && reused == INVALID_SOCKET; ++i) {
        Socket s = SockCreate();
        ASSERT_NE(s, INVALID_SOCKET);
        if (s == number) {
            reused = s;
        } else {
            others.push_back(s);
        }
    }
    ASSERT_EQ(reused, number);
    ASSERT_EQ(SockBind(reused, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(reused, 5), 0);
    ASSERT_EQ(SockAsyncSelect(reused, HOST_EVENTS), 0);
    RunFor(200);
    EXPECT_EQ(CountFor(number), 0) << "the closed connection's FD_WRITE reached the new socket";
}

TEST_F(SocketLayerTest, HandlersAreNeverEnteredFromInsideAnotherHandler) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, HOST_EVENTS), 0);  // FD_WRITE waits in the queue
    int depth = 0;
    int deepest = 0;
    onEvent = [&](Socket, int event) {
        ++depth;
        deepest = std::max(deepest, depth);
        if (event == FD_WRITE) {
            const std::uint8_t byte = 1;
            SockSend(b, &byte, 1);
            RunFor(100);  // a nested event loop, as a modal dialog would run
        } else {
            std::uint8_t got;
            SockRecv(a, &got, 1);
        }
        --depth;
    };
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(a, FD_READ) == 1; }, 2000));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(events.front().event, FD_WRITE);
}

TEST_F(SocketLayerTest, FullInputBufferPausesReadingWithoutLosingBytes) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    ASSERT_EQ(SockAsyncSelect(a, CLIENT_EVENTS), 0);
    std::vector<std::uint8_t> sent(300 * 1024);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i * 13 + i / 251);

    std::size_t mostWaiting = 0;
    bool consume = false;
    std::vector<std::uint8_t> received;
    int activations = 0;
    onEvent = [&](Socket s, int event) {
        if (s != a || event != FD_READ) return;
        ++activations;
        std::size_t waiting = 0;
        SockAvailable(a, &waiting);
        mostWaiting = std::max(mostWaiting, waiting);
        if (!consume) return;
        std::uint8_t buf[4096];
        const int n = SockRecv(a, buf, sizeof buf);
        if (n > 0) received.insert(received.end(), buf, buf + n);
    };
    ASSERT_EQ(SockSend(b, sent.data(), static_cast<int>(sent.size())),
              static_cast<int>(sent.size()));
    RunFor(300);
    EXPECT_LE(mostWaiting, 64u * 1024);
    EXPECT_GT(mostWaiting, 0u);
    EXPECT_LT(activations, 50) << "a reader that takes nothing from a full buffer must not spin";

    // Taking bytes outside a handler offers the rest again.
    consume = true;
    std::uint8_t first[100];
    ASSERT_EQ(SockRecv(a, first, sizeof first), 100);
    received.assign(first, first + 100);
    ASSERT_TRUE(vtest::RunUntil([&] { return received.size() >= sent.size(); }, 10000))
        << received.size();
    EXPECT_TRUE(received == sent);
}

TEST_F(SocketLayerTest, PeerThatNeverReadsIsGivenUpInsteadOfQueueingWithoutEnd) {
    Socket a, b;
    ASSERT_EQ(SockCreatePair(&a, &b), 0);
    SetBufferSizes(a, 4096);
    SetBufferSizes(b, 4096);
    ASSERT_EQ(SockAsyncSelect(a, HOST_EVENTS), 0);
    std::vector<std::uint8_t> chunk(1000, 0x5A);
    long accepted_bytes = 0;
    int result = 0;
    for (int i = 0; i < 8000 && result != SOCKET_ERROR; ++i) {
        result = SockSend(a, chunk.data(), 1000);
        if (result > 0) accepted_bytes += result;
    }
    ASSERT_EQ(result, SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), 10055);
    EXPECT_GT(accepted_bytes, 1000000L) << "a peer is not given up on a small backlog";
    EXPECT_LT(accepted_bytes, 6000000L);
    ASSERT_TRUE(vtest::RunUntil([&] { return Count(a, FD_CLOSE) == 1; }, 2000));
    EXPECT_EQ(SockSend(a, chunk.data(), 1), SOCKET_ERROR);
}

TEST_F(SocketLayerTest, IdleConnectedTableWakesNothingAndUsesNoCpu) {
    Socket l = Listen();
    Socket client = ConnectTo(PortOf(l));
    ASSERT_EQ(SockAsyncSelect(client, CLIENT_EVENTS), 0);
    ASSERT_TRUE(vtest::RunUntil(
        [&] { return !accepted.empty() && Count(accepted[0], FD_WRITE) == 1; }, 2000));
    RunFor(50);
    const std::size_t before = events.size();

    int wakeUps = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    ASSERT_NE(dispatcher, nullptr);
    auto counter =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    rusage start, end;
    getrusage(RUSAGE_SELF, &start);
    QElapsedTimer clock;
    clock.start();
    RunFor(2000);
    const double wallMs = static_cast<double>(clock.elapsed());
    getrusage(RUSAGE_SELF, &end);
    QObject::disconnect(counter);

    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    const double cpuMs =
        ms(end.ru_utime) - ms(start.ru_utime) + ms(end.ru_stime) - ms(start.ru_stime);
    std::printf("idle connected table: %.2f ms CPU over %.0f ms, %d wake-ups\n", cpuMs, wallMs,
                wakeUps);
    EXPECT_EQ(events.size(), before);
    EXPECT_LE(wakeUps, 3) << "only the test's own end-of-wait timer may wake the loop";
    EXPECT_LT(cpuMs, 50.0);
}

TEST_F(SocketLayerTest, BindToAPortInUseIsAddressInUse) {
    Socket first = SockCreate();
    ASSERT_EQ(SockBind(first, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(first, 5), 0);
    Socket second = SockCreate();
    EXPECT_EQ(SockBind(second, {LOOPBACK, PortOf(first)}), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), WSAEADDRINUSE);
    EXPECT_STREQ(WinsockErrorText(SockLastError()), "Address already in use");
}

TEST_F(SocketLayerTest, BindToAnAddressNotOnThisMachineCannotAssign) {
    // Documentation addresses; take one that no interface here carries.
    std::vector<std::uint32_t> local;
    ifaddrs* list = nullptr;
    ASSERT_EQ(getifaddrs(&list), 0);
    for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
        local.push_back(ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr));
    }
    freeifaddrs(list);
    std::uint32_t foreign = 0;
    for (std::uint32_t candidate : {0xC0000201u, 0xC6336401u, 0xCB007101u}) {
        if (std::find(local.begin(), local.end(), candidate) == local.end()) {
            foreign = candidate;
            break;
        }
    }
    ASSERT_NE(foreign, 0u);
    Socket s = SockCreate();
    EXPECT_EQ(SockBind(s, {foreign, 0}), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), WSAEADDRNOTAVAIL);
    EXPECT_STREQ(WinsockErrorText(SockLastError()), "Cant assign requested address");
    // The value a failed address conversion leaves is refused the same way.
    EXPECT_EQ(SockBind(s, {0xFFFFFFFFu, 0}), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), WSAEADDRNOTAVAIL);
}

TEST_F(SocketLayerTest, ConnectWhereNobodyListensIsRefused) {
    // A bound socket that does not listen holds the port and refuses connections.
    Socket holder = SockCreate();
    ASSERT_EQ(SockBind(holder, {LOOPBACK, 0}), 0);
    Socket c = SockCreate();
    EXPECT_EQ(SockConnect(c, {LOOPBACK, PortOf(holder)}), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), WSAECONNREFUSED);
    EXPECT_STREQ(WinsockErrorText(SockLastError()), "Connection refused");
}

TEST_F(SocketLayerTest, ConnectToAListenerWithAFullBacklogTimesOut) {
    Socket l = SockCreate();
    ASSERT_EQ(SockBind(l, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(l, 0), 0);  // never accepts: the backlog fills at once
    SetConnectTimeoutForTest(300);
    int error = 0;
    qint64 failedAfterMs = 0;
    for (int i = 0; i < 8 && error == 0; ++i) {
        Socket c = SockCreate();
        QElapsedTimer clock;
        clock.start();
        if (SockConnect(c, {LOOPBACK, PortOf(l)}) != 0) {
            error = SockLastError();
            failedAfterMs = clock.elapsed();
        }
    }
    EXPECT_EQ(error, WSAETIMEDOUT);
    EXPECT_STREQ(WinsockErrorText(error), "Connection timed out");
    EXPECT_GE(failedAfterMs, 250);
    EXPECT_LT(failedAfterMs, 3000);
}

TEST_F(SocketLayerTest, CallsOnSocketsItDidNotOpenFailWithoutTouchingThem) {
    // A seat record zeroed at start-up holds 0, standard input's descriptor.
    EXPECT_EQ(SockClose(0), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), 10038);
    EXPECT_NE(fcntl(0, F_GETFD), -1) << "standard input was closed";
    const std::uint8_t byte = 0;
    EXPECT_EQ(SockSend(INVALID_SOCKET, &byte, 1), SOCKET_ERROR);
    std::size_t count = 0;
    EXPECT_EQ(SockAvailable(INVALID_SOCKET, &count), SOCKET_ERROR);
    EXPECT_EQ(SockLastError(), 10038);
}

TEST(WinsockErrors, EveryErrnoOfTheTableMapsToItsWinsockNumber) {
    const struct {
        int err;
        int code;
    } table[] = {
        {EINTR, 10004},           {EBADF, 10009},           {EACCES, 10013},
        {EFAULT, 10014},          {EINVAL, 10022},          {EMFILE, 10024},
        {EWOULDBLOCK, 10035},     {EAGAIN, 10035},          {EINPROGRESS, 10036},
        {EALREADY, 10037},        {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039},
        {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},
        {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},
        {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},
        {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},        {ENETUNREACH, 10051},
        {ENETRESET, 10052},       {ECONNABORTED, 10053},    {ECONNRESET, 10054},
        {ENOBUFS, 10055},         {EISCONN, 10056},         {ENOTCONN, 10057},
        {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},
        {ECONNREFUSED, 10061},    {ELOOP, 10062},           {ENAMETOOLONG, 10063},
        {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
        {EUSERS, 10068},          {EDQUOT, 10069},          {ESTALE, 10070},
        {EREMOTE, 10071},
    };
    for (const auto& row : table) {
        EXPECT_EQ(WinsockErrorFromErrno(row.err), row.code) << "errno " << row.err;
        EXPECT_STRNE(WinsockErrorText(row.code), "Not a WinSock error") << row.code;
    }
    EXPECT_EQ(WinsockErrorFromErrno(0), 0);
}

TEST(WinsockErrors, TextsOfTheTableAndOfCodesOutsideIt) {
    EXPECT_STREQ(WinsockErrorText(10013), "Permission denied");
    EXPECT_STREQ(WinsockErrorText(10047), "Address family not supported by protocol family");
    EXPECT_STREQ(WinsockErrorText(10058), "Cant send after socket shutdown");
    EXPECT_STREQ(WinsockErrorText(10059), "Too many references: cant splice");
    EXPECT_STREQ(WinsockErrorText(10067), "Too many processes");
    EXPECT_STREQ(WinsockErrorText(10092), "WinSock DLL cannot support this application");
    EXPECT_STREQ(WinsockErrorText(11004), "No Data");
    for (int code = 10072; code <= 10090; ++code) {
        EXPECT_STREQ(WinsockErrorText(code), "Not a WinSock error") << code;
    }
    for (int code : {0, -1, 1, 10000, 10003, 10005, 10094, 11000, 11005, 99999}) {
        EXPECT_STREQ(WinsockErrorText(code), "Not a WinSock error") << code;
    }
    int known = 0;
    for (int code = 9000; code < 12000; ++code) {
        const char* text = WinsockErrorText(code);
        ASSERT_NE(text, nullptr);
        known += std::strcmp(text, "Not a WinSock error") != 0 ? 1 : 0;
    }
    EXPECT_EQ(known, 50) << "the table has fifty codes";
}

TEST(DottedAddress, FourDecimalNumbersOnly) {
    std::uint32_t ip = 0;
    EXPECT_TRUE(ParseDottedAddress("127.0.0.1", &ip));
    EXPECT_EQ(ip, 0x7F000001u);
    EXPECT_TRUE(ParseDottedAddress("192.168.1.200", &ip));
    EXPECT_EQ(ip, 0xC0A801C8u);
    EXPECT_TRUE(ParseDottedAddress("255.255.255.255", &ip));
    EXPECT_EQ(ip, 0xFFFFFFFFu);
    for (const char* bad :
         {"", "localhost", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", " 1.2.3.4", "1..2.3",
          "1.2.3.", "0x7f.0.0.1", "1234.1.1.1", "-1.2.3.4"}) {
        ip = 0x12345678;
        EXPECT_FALSE(ParseDottedAddress(bad, &ip)) << bad;
        EXPECT_EQ(ip, 0x12345678u) << "a refused text leaves the address alone: " << bad;
    }
    EXPECT_FALSE(ParseDottedAddress(nullptr, &ip));
    char text[16];
    FormatDottedAddress(0xC0A801C8u, text);
    EXPECT_STREQ(text, "192.168.1.200");
    FormatDottedAddress(0xFFFFFFFFu, text);
    EXPECT_STREQ(text, "255.255.255.255");
}

}  // namespace
