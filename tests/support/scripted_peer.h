// Test harness for the network and window tests: the program's code runs
// in one role on this thread's event loop, and the test's own raw POSIX
// sockets over 127.0.0.1 play the other seats. Every wait pumps the event
// loop and is bounded by a timeout.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/seat_table.h"
#include "net/table_view.h"

namespace vtest {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWaitMs = 3000;  // the longest any single wait may take

// A TableView that records what a window would show.
class RecordingView : public TableView {
  public:
    void SetStatusText(const char* text) override { statuses.emplace_back(text); }
    void AppendChatText(const char* text) override {
        chatAppends.emplace_back(text);
        chat += text;
    }
    void Repaint() override { ++repaints; }
    void SetAwayChecked(bool checked) override { awayStates.push_back(checked); }
    void EnablePlayerInfo(bool enabled) override { playerInfo.push_back(enabled); }
    void OnTableEvent(const TableEvent& event) override {
        events.push_back(event.kind);
        if (event.kind == TableEvent::Kind::kMessageHandled) handledTypes.push_back(event.type);
    }

    std::string LastStatus() const { return statuses.empty() ? "" : statuses.back(); }
    void Clear() { *this = RecordingView(); }

    std::vector<std::string> statuses;
    std::vector<std::string> chatAppends;
    std::string chat;  // every append, in order
    int repaints = 0;
    std::vector<bool> awayStates;
    std::vector<bool> playerInfo;
    std::vector<int> handledTypes;
    std::vector<TableEvent::Kind> events;
};

// Puts the network layer back to the state of a program that has just
// started: every socket closed, every record empty, counters cleared, a fresh
// game table whose deals use `seed`, and `view` installed.
void ResetNetwork(RecordingView* view, std::uint32_t seed = 4242);
// The same without touching g_table and g_view, for a front end that owns
// them (the table window): every socket closed, every record empty, counters
// and read statistics cleared, deals seeded with `seed`.
void ResetSockets(std::uint32_t seed = 4242);
// Forgets the installed view and table (for the end of a test).
void ReleaseNetwork();

// Runs the event loop for about ms milliseconds.
void Pump(int ms);
// Runs the event loop until done() or timeoutMs have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs);
// The same inside a nested event loop whose timers die with it, so that no
// timer of an earlier wait wakes a later one (for tests that count wake-ups).
bool RunUntil(const std::function<bool()>& done, int timeoutMs);

// One end of a TCP connection held by the test, non-blocking, read and
// written while the event loop keeps running.
class RawPeer {
  public:
    RawPeer() = default;
    explicit RawPeer(int fd) : fd_(fd) {}
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    // Connects to 127.0.0.1:port; with receiveBuffer > 0 the socket's receive
    // buffer is set that small first (a slow reader).
    bool Connect(std::uint16_t port, int receiveBuffer = 0);
    int fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // Sends every byte (pumping while the kernel will not take them).
    bool Send(const Bytes& bytes);
    // Sends the bytes one at a time, pumping between them.
    bool SendByteByByte(const Bytes& bytes, int pumpMs = 1);

    // The next n bytes, waiting up to timeoutMs; fewer when they do not come.
    Bytes Read(std::size_t n, int timeoutMs = kWaitMs);
    // The next whole message as the wire frames it; empty on timeout.
    Bytes ReadMessage(int timeoutMs = kWaitMs);
    // Pumps for ms and tells whether no byte arrived in that time.
    bool ExpectSilence(int ms = 100);
    // Waits for the peer's close (end of stream or reset) after any bytes.
    bool WaitClosed(int timeoutMs = kWaitMs);
    // Takes whatever has arrived, without waiting.
    Bytes Drain();
    void Close();

  private:
    bool Fill(int timeoutMs, std::size_t want);  // reads until buffered >= want
    int fd_ = -1;
    Bytes buffered_;
    bool ended_ = false;
};

// A scripted host: a raw listening socket the program joins with JoinTable.
class ScriptedHost {
  public:
    ScriptedHost();
    ~ScriptedHost();
    std::uint16_t port() const { return port_; }
    // Accepts the program's connection (already made by a blocking connect).
    std::unique_ptr<RawPeer> Accept(int timeoutMs = kWaitMs);

  private:
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
};

// Message bytes, built by hand from the layouts (not with the code under
// test), for the tests to send and to expect.
Bytes Msg(std::initializer_list<int> bytes);
Bytes JoinMsg(const std::string& name);
// A 41-byte MSG_SEAT_INFO with the given fields.
Bytes SeatInfoMsg(int number, const std::string& name, std::uint32_t sock, std::uint32_t ipv4,
                  std::uint16_t port);
Bytes DealMsg(const std::uint8_t hands[SEAT_COUNT + 1][HAND_SIZE]);
Bytes PlayMsg(int seat, const std::vector<int>& positions);
Bytes ChatMsg(int seat, const std::string& text);  // n = length + 1, the NUL included
Bytes Concat(std::initializer_list<Bytes> parts);
// The size of the message that starts at `offset`, as the layouts give it
// (1 for a byte that is no type); 0 when the bytes do not tell yet.
std::size_t MessageSizeAt(const Bytes& bytes, std::size_t offset);

// The position of a card in a seat's hand of the table; -1 if not held.
int PositionOf(const GameTable& table, int seat, int card);
// The seat holding a card; 0 if none.
int HolderOf(const GameTable& table, int card);
// A seed whose new-game deal gives the three of diamonds to `seat`.
std::uint32_t SeedOpenedBy(int seat);

// The program hosting with its three clients seated and the game dealt.
struct FullTable {
    std::unique_ptr<RawPeer> seat[SEAT_COUNT + 1];  // seats 2..4
};
// Hosts as "Hana" and seats "Ali", "Bob", "Cem" in seats 2, 3, 4, reading
// every message the joins produce so that each peer's stream is empty after.
// With slowReceiveBuffer > 0, seat 4's socket gets that small a receive buffer.
bool HostFullTable(FullTable* table, int slowReceiveBuffer = 0);

}  // namespace vtest
