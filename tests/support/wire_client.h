// A client that follows the wire format exactly and does nothing more, as a
// program of the previous build does: it counts seat records as they come
// (one more for each MSG_SEAT_INFO, one fewer for each MSG_SEAT_LEFT), applies
// every deal, new game, play and pass to its own table with the rules, and on
// its turn passes when it may, or else leads a single card (the three of
// diamonds at the opening); it asks for the next round when it won one. It
// stands for every program that follows the existing messages, and is built
// on raw sockets and the rules only, not on the network code under test.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rules/game_table.h"
#include "tests/support/scripted_peer.h"

namespace vtest {

class WireClient {
  public:
    explicit WireClient(std::string name) : name_(std::move(name)) {}

    // Connects to 127.0.0.1:port; its MSG_JOIN goes out when the seat comes.
    bool Connect(std::uint16_t port);
    // Reads and applies every whole message that has arrived; false once the
    // connection has ended.
    bool Poll();
    // Makes this seat's move, or asks for the next round, when it is due.
    // True when it sent something.
    bool Act();
    // Polls (and acts, when `play` is set) until done() or timeoutMs.
    bool RunUntil(const std::function<bool()>& done, bool play, int timeoutMs = 10000);
    // Sends bytes of its own making (a message the previous build would not send).
    bool Send(const Bytes& bytes) { return peer_.Send(bytes); }
    void Close() { peer_.Close(); }

    const GameTable& Table() const { return table_; }
    int Seat() const { return seat_; }
    int Count() const { return count_; }
    bool Live() const { return count_ == SEAT_COUNT && newGameSeen_; }
    const std::string& NameOf(int seat) const { return names_[seat]; }
    int Away(int seat) const { return away_[seat]; }
    // Every type received, in order.
    const std::vector<int>& Types() const { return types_; }
    // Every deal, new game, play and pass its table took, byte for byte, in
    // order, its own moves among them: what changed its game.
    const Bytes& GameBytes() const { return gameBytes_; }

  private:
    void Apply(const Bytes& message);

    std::string name_;
    RawPeer peer_;
    GameTable table_;
    int seat_ = 0;
    int count_ = 0;
    bool newGameSeen_ = false;
    bool askedNextRound_ = false;
    std::string names_[SEAT_COUNT + 1];
    int away_[SEAT_COUNT + 1] = {};
    std::vector<int> types_;
    Bytes gameBytes_;
};

// True when the two tables hold the same game: hands, plays on the table,
// turn, lead, passes, money, wins, rounds and the history of every round.
bool SameGame(const GameTable& a, const GameTable& b, std::string* why);

}  // namespace vtest
