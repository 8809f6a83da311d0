// The game's log: the messages that changed this copy's game (MSG_DEAL,
// MSG_NEW_GAME, MSG_PLAY, MSG_PASS), byte for byte as they travel, in the
// order this copy applied them. Every copy keeps one, fed in one place (the
// function that applies game messages, net/relay.h): the host replays a
// newcomer from it, and a front end can save the game from it.
//
// Positions are counted from the log's first byte since Clear and never
// move, so a reader's position stays good while the log grows and while the
// bytes no reader needs are let go.
//
// A game starts with a deal: at a MSG_NEW_GAME the deal just before it is
// the game's first message, and what came before that deal is let go unless
// a reader still needs it (Hold).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

class GameLog {
  public:
    static constexpr std::uint64_t NO_HOLD = std::numeric_limits<std::uint64_t>::max();

    // Forgets every message; positions count from 0 again.
    void Clear();
    // Appends one whole game message (its type byte first).
    void Append(const std::uint8_t* msg, std::size_t len);

    // The game in progress: from the deal that started it to the latest
    // message; empty before the first deal.
    const std::uint8_t* GameData() const;
    std::size_t GameSize() const;
    // Position of the game's first byte, and one past the last byte.
    std::uint64_t GameStart() const { return gameStart_; }
    std::uint64_t End() const { return base_ + bytes_.size(); }
    // The bytes from position `at` (kept, between Base() and End()) to the end.
    const std::uint8_t* At(std::uint64_t at) const { return bytes_.data() + (at - base_); }
    std::uint64_t Base() const { return base_; }

    // Keeps every byte from position `at` on, even of a game that has ended,
    // until Hold is called again (NO_HOLD lets everything before the game go).
    void Hold(std::uint64_t at);

    // How many bytes the log holds, the game's and those held for a reader.
    std::size_t HeldBytes() const { return bytes_.size(); }

  private:
    void LetGo();

    std::vector<std::uint8_t> bytes_;
    std::uint64_t base_ = 0;       // position of bytes_[0]
    std::uint64_t gameStart_ = 0;  // position of the game's deal
    std::uint64_t lastDeal_ = 0;   // position of the latest deal
    bool dealt_ = false;           // a deal has been logged since Clear
    std::uint64_t hold_ = NO_HOLD;
};

// This program's log.
extern GameLog g_gameLog;
