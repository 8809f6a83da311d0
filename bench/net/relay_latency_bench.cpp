// Relay latency on loopback: the real host code runs in a child process with
// its own event loop; three raw clients sit at its table. Each sample is the
// time from one client's send to the other clients' receipt through the host.
// Beside it, a raw loopback TCP round trip of the same size between two
// threads of this process (two hops, as the relay's client-host-client).
//
// Counters: p50_us and p99_us of the samples; "first" is the first other
// client's receipt, "all" the later of the two.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "net/connect.h"
#include "net/seat_table.h"

namespace {

using Clock = std::chrono::steady_clock;

bool SendAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool RecvAll(int fd, void* data, std::size_t size) {
    auto* p = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = recv(fd, p, size, 0);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int ConnectLoopback(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval timeout{5, 0};  // no wait of the benchmark may hang
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The host in a child process, and the three clients seated at its table.
struct Table {
    pid_t host = -1;
    int client[5] = {-1, -1, -1, -1, -1};  // seats 2..4
    bool ready = false;
};

Table& TheTable() {
    static Table table;
    return table;
}

[[noreturn]] void RunHost(int reportFd) {
    int argc = 1;
    char name[] = "bench_net_host";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    GameTable table;
    g_table = &table;
    for (int s = 0; s <= SEAT_COUNT; ++s) {
        g_seats[s].number = static_cast<std::int8_t>(s);
        g_seats[s].sock = INVALID_SOCKET;
    }
    StartNetwork();
    std::uint16_t port = 0;
    if (HostTable("Bench", "127.0.0.1", "0").step == ConnectStep::Connected) port = g_bindAddr.port;
    if (write(reportFd, &port, sizeof port) != sizeof port) _exit(1);
    close(reportFd);
    if (port == 0) _exit(1);
    _exit(app.exec());
}

void StopTable() {
    Table& t = TheTable();
    for (int& fd : t.client) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    if (t.host > 0) {
        kill(t.host, SIGTERM);
        waitpid(t.host, nullptr, 0);
        t.host = -1;
    }
    t.ready = false;
}

// Reads n whole messages of the given sizes (the join road is known).
bool Skip(int fd, std::size_t bytes) {
    std::vector<std::uint8_t> sink(bytes);
    return RecvAll(fd, sink.data(), bytes);
}

bool StartTable() {
    Table& t = TheTable();
    if (t.ready) return true;
    int report[2];
    if (pipe(report) != 0) return false;
    t.host = fork();
    if (t.host == 0) {
        close(report[0]);
        RunHost(report[1]);
    }
    close(report[1]);
    std::uint16_t port = 0;
    const bool got = read(report[0], &port, sizeof port) == sizeof port && port != 0;
    close(report[0]);
    if (!got) return false;
    std::atexit(StopTable);

    for (int seat = 2; seat <= 4; ++seat) {
        const int fd = ConnectLoopback(port);
        if (fd < 0) return false;
        t.client[seat] = fd;
        // MSG_SEAT_ASSIGN, then the records of the host and the seated.
        if (!Skip(fd, 2 + 41 * static_cast<std::size_t>(seat - 1))) return false;
        std::uint8_t join[18] = {1};
        std::snprintf(reinterpret_cast<char*>(join + 1), 17, "Peer%d", seat);
        if (!SendAll(fd, join, sizeof join)) return false;
        for (int other = 2; other <= seat; ++other) {
            if (!Skip(t.client[other], 41)) return false;
        }
    }
    for (int seat = 2; seat <= 4; ++seat) {
        if (!Skip(t.client[seat], 66 + 1)) return false;  // MSG_DEAL, MSG_NEW_GAME
    }
    t.ready = true;
    return true;
}

void ReportPercentiles(benchmark::State& state, std::vector<double>& first,
                       std::vector<double>& all) {
    auto pct = [](std::vector<double>& v, double p) {
        if (v.empty()) return 0.0;
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
    };
    state.counters["p50_us"] = pct(first, 0.50);
    state.counters["p99_us"] = pct(first, 0.99);
    if (!all.empty()) {
        state.counters["all_p50_us"] = pct(all, 0.50);
        state.counters["all_p99_us"] = pct(all, 0.99);
    }
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// A client's message relayed to the two others. `echo` is true for the
// message types the host also returns to their sender (chat).
void RelayBench(benchmark::State& state, const std::vector<std::uint8_t>& msg, bool echo) {
    if (!StartTable()) {
        state.SkipWithError("the host could not be started");
        return;
    }
    Table& t = TheTable();
    std::vector<double> first;
    std::vector<double> all;
    std::vector<std::uint8_t> in(msg.size());
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!SendAll(t.client[2], msg.data(), msg.size()) ||
            !RecvAll(t.client[3], in.data(), in.size())) {
            state.SkipWithError("relay failed");
            break;
        }
        const auto atFirst = Clock::now();
        if (!RecvAll(t.client[4], in.data(), in.size())) {
            state.SkipWithError("relay failed");
            break;
        }
        const auto atAll = Clock::now();
        if (echo && !RecvAll(t.client[2], in.data(), in.size())) {
            state.SkipWithError("echo failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(atFirst - start).count());
        first.push_back(Micros(atFirst - start));
        all.push_back(Micros(atAll - start));
    }
    ReportPercentiles(state, first, all);
}

void BM_RelayPlay(benchmark::State& state) {
    // Seat 2 plays nothing chosen: refused by the host's table, forwarded all the same.
    std::vector<std::uint8_t> play(15, 0);
    play[0] = 9;
    play[1] = 2;
    RelayBench(state, play, false);
}
BENCHMARK(BM_RelayPlay)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

void BM_RelayChat(benchmark::State& state) {
    // "hello there": n = 12, 16 bytes, back to all three clients.
    const char text[] = "hello there";
    std::vector<std::uint8_t> chat = {11, 2, sizeof text, 0};
    chat.insert(chat.end(), text, text + sizeof text);
    RelayBench(state, chat, true);
}
BENCHMARK(BM_RelayChat)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

// A raw round trip of `size` bytes: this thread to an echo thread and back.
void RawPing(benchmark::State& state, std::size_t size) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    listen(listener, 1);
    getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len);
    const int fd = ConnectLoopback(ntohs(sa.sin_port));
    const int echoFd = accept(listener, nullptr, nullptr);
    close(listener);
    int one = 1;
    setsockopt(echoFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::thread echo([echoFd, size] {
        std::vector<std::uint8_t> buf(size);
        while (RecvAll(echoFd, buf.data(), size) && SendAll(echoFd, buf.data(), size)) {
        }
    });
    std::vector<std::uint8_t> msg(size, 9);
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!SendAll(fd, msg.data(), size) || !RecvAll(fd, msg.data(), size)) {
            state.SkipWithError("ping failed");
            break;
        }
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        samples.push_back(Micros(end - start));
    }
    shutdown(fd, SHUT_RDWR);
    close(fd);
    echo.join();
    close(echoFd);
    std::vector<double> none;
    ReportPercentiles(state, samples, none);
}

void BM_RawPing15(benchmark::State& state) {
    RawPing(state, 15);
}
BENCHMARK(BM_RawPing15)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

void BM_RawPing16(benchmark::State& state) {
    RawPing(state, 16);
}
BENCHMARK(BM_RawPing16)->UseManualTime()->Iterations(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopTable();
    return 0;
}
