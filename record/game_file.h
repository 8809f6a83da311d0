// The saved game: a `.vantoro` file, and the replay of one.
//
// A file holds a small header and then the game's messages (MSG_DEAL,
// MSG_NEW_GAME, MSG_PLAY, MSG_PASS) byte for byte as they travel, in the
// order the saving copy applied them (net/game_log.h). docs/game-file.md
// describes the format for other readers. Plain C++ over the rules and the
// wire format: no Qt, so that the reader can be fuzzed and tested headless.
//
// The header, 91 bytes, integers little-endian:
//   magic(8, "VANTORO\n") | version(u16) | started(i64, ms since 1970 UTC) |
//   names[4](17 each, NUL-terminated, seats 1..4) | player seat(1, 1..4) |
//   message bytes(u32)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/wire.h"
#include "rules/game_table.h"

constexpr char GAME_FILE_MAGIC[8] = {'V', 'A', 'N', 'T', 'O', 'R', 'O', '\n'};
constexpr int GAME_FILE_MAGIC_SIZE = 8;
constexpr std::uint16_t GAME_FILE_VERSION = 1;

constexpr int GAME_FILE_VERSION_OFFSET = 8;
constexpr int GAME_FILE_STARTED_OFFSET = 10;
constexpr int GAME_FILE_NAMES_OFFSET = 18;
constexpr int GAME_FILE_SEAT_OFFSET = GAME_FILE_NAMES_OFFSET + SEAT_COUNT * NAME_SIZE;  // 86
constexpr int GAME_FILE_LENGTH_OFFSET = GAME_FILE_SEAT_OFFSET + 1;                      // 87
constexpr int GAME_FILE_HEADER_SIZE = GAME_FILE_LENGTH_OFFSET + 4;                      // 91
static_assert(GAME_FILE_SEAT_OFFSET == 86 && GAME_FILE_HEADER_SIZE == 91);

// What the header tells.
struct GameFileHeader {
    std::int64_t startedMs = 0;               // when the game's first deal came, UTC
    char names[SEAT_COUNT + 1][NAME_SIZE]{};  // index = seat; 0 unused
    int playerSeat = 1;                       // the seat of whoever saved the file
};

// The whole file for a header and the game's messages (as g_gameLog holds
// them). The caller passes messages that a reader accepts.
std::vector<std::uint8_t> EncodeGameFile(const GameFileHeader& header, const std::uint8_t* messages,
                                         std::size_t size);

// A file that was read whole and every move of which the rules accept.
struct GameFile {
    GameFileHeader header;
    std::vector<std::uint8_t> messages;  // the game's messages, as in the file
};

// Why a file was refused: a French text saying what, and the byte offset in
// the file where it was found.
struct GameFileError {
    std::size_t offset = 0;
    std::string what;
};

// Reads a whole file. Refuses, filling *error and leaving *file in an
// unspecified state, a file shorter than its header or than the message
// bytes it announces, a bad magic or version, a name without its NUL, a
// seat outside 1..4, a message that is not a deal, a new game, a play or a
// pass, a deal that is not a whole deck, a first message that is not a deal,
// or a move the rules refuse. Bytes after the announced messages are refused
// too (a file is one game).
bool ReadGameFile(const std::uint8_t* data, std::size_t size, GameFile* file, GameFileError* error);

// The message shown to a player for a refused file: what, and where.
std::string GameFileErrorText(const GameFileError& error);

// Applies one game message to a table as every copy does (a deal copies the
// hands and resets the round, a new game resets money and wins). Returns
// whether the table took it; a refused message leaves the table unchanged.
bool ApplyGameFileMessage(GameTable* table, const std::uint8_t* msg, std::size_t len);

// A saved game stepped through: position 0 of a round is its deal (with the
// new game that may follow it), positions 1..N its moves (plays and passes).
class GameReplay {
  public:
    // `file` was accepted by ReadGameFile and outlives the replay. Starts at
    // the first round's deal.
    explicit GameReplay(const GameFile* file);

    // Every position of the game, from the first deal to the last move.
    int PositionCount() const { return static_cast<int>(positions_.size()); }
    int Position() const { return position_; }
    // Moves to a position (clamped into the game) and rebuilds the table.
    void GoTo(int position);
    void Forward() { GoTo(position_ + 1); }
    void Back() { GoTo(position_ - 1); }
    // The deal of the next round, or of this round (of the previous one when
    // already at a deal).
    void NextRound();
    void PreviousRound();

    // The table at the position.
    const GameTable& Table() const { return table_; }
    // Round 1..RoundCount() of the position, the move in it (0 at the deal)
    // and the round's moves.
    int Round() const;
    int RoundCount() const { return static_cast<int>(roundStarts_.size()); }
    int Move() const;
    int MovesInRound() const;
    // The message applied last to reach the position (the deal at a round's
    // start), and its size.
    const std::uint8_t* MessageAt(int position, std::size_t* size) const;

  private:
    struct Step {
        std::size_t begin;  // offset in the messages of the step's first message
        std::size_t end;    // one past its last message (a deal's step holds a following new game)
        int round;          // index in roundStarts_
    };
    const GameFile* file_;
    std::vector<Step> positions_;
    std::vector<int> roundStarts_;        // position of each round's deal
    std::vector<GameTable> roundTables_;  // the table after each round's deal step
    GameTable table_;
    int position_ = 0;
};
